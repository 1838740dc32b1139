// kvtool ais-decode: "!AIVDM" lines through the program's own assembly and decoding, one JSON
// object per completed message of type 1, 2, 3, 4, 5 or 11.

#include "BufferedOut.h"
#include "Command.h"

#include "core/TextFile.h"

#include "ais/AisDecoder.h"
#include "ais/AisSmallCraft.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <variant>
#include <vector>

namespace {

using kvtool::BufferedOut;

class JsonObject {
public:
    explicit JsonObject(BufferedOut& out) : out_(out)
    {
        out_.reserve(BufferedOut::kRoom);
        out_.ch('{');
    }
    ~JsonObject() { out_.ch('}'); }
    JsonObject(const JsonObject&) = delete;
    JsonObject& operator=(const JsonObject&) = delete;

    template <std::size_t N>
    void num(const char (&key)[N], long long v)
    {
        this->key(key);
        out_.number(v);
    }
    template <std::size_t N>
    void flag(const char (&key)[N], std::uint8_t v)
    {
        this->key(key);
        out_.put(v != 0 ? std::string_view("true") : std::string_view("false"));
    }
    template <std::size_t N>
    void text(const char (&key)[N], std::string_view v)
    {
        this->key(key);
        out_.text(v);
    }

private:
    template <std::size_t N>
    void key(const char (&k)[N])
    {
        if (!first_) {
            out_.ch(',');
        }
        first_ = false;
        out_.ch('"');
        out_.put(std::string_view(k, N - 1));
        out_.put("\":");
    }
    BufferedOut& out_;
    bool first_ = true;
};

void WriteMessage(BufferedOut& out, const kv::TAISTarget& r)
{
    {
        JsonObject o(out);
        o.num("MsgType", r.MsgType);
        o.num("Repeat", r.Repeat);
        o.num("MMSI", r.MMSI);
        switch (r.MsgType) {
        case 1:
        case 2:
        case 3:
            o.num("NavStatus", r.NavStatus);
            o.num("ROT", r.ROT);
            o.num("SOG", r.SOG);
            o.flag("PosAccuracy", r.PosAccuracy);
            o.num("Longitude", r.Longitude);
            o.num("Latitude", r.Latitude);
            o.num("COG", r.COG);
            o.num("TrueHeading", r.TrueHeading);
            o.num("TimeStamp", r.TimeStamp);
            o.num("Regional", r.Regional);
            o.flag("Spare", r.Spare);
            o.flag("RAIM", r.RAIM);
            o.num("CommState", r.CommState);
            break;
        case 4:
        case 11:
            o.num("Year", r.Year);
            o.num("Month", r.Month);
            o.num("Day", r.Day);
            o.num("Hour", r.Hour);
            o.num("Minute", r.Minute);
            o.num("Second", r.Second);
            o.flag("PosAccuracy", r.PosAccuracy);
            o.num("Longitude", r.Longitude);
            o.num("Latitude", r.Latitude);
            o.num("EPFD", r.EPFD);
            o.num("Reserved52", r.Reserved52);
            o.flag("RAIM", r.RAIM);
            o.num("CommState", r.CommState);
            break;
        default: // 5
            o.num("AISVersion", r.AISVersion);
            o.num("IMO", r.IMO);
            o.text("CallSign", r.CallSign.view());
            o.text("VesselName", r.VesselName.view());
            o.num("ShipType", r.ShipType);
            o.num("DimA", r.DimA);
            o.num("DimB", r.DimB);
            o.num("DimC", r.DimC);
            o.num("DimD", r.DimD);
            o.num("EPFD", r.EPFD);
            o.num("ETA", r.ETA);
            o.num("Draught", r.Draught);
            o.text("Destination", r.Destination.view());
            o.flag("DTE", r.DTE);
            break;
        }
    }
    out.endLine();
}

// The small-craft messages printed by --all, keys in the order of the message fields.
struct SmallCraftWriter {
    BufferedOut& out;
    void operator()(const std::monostate&) const {}
    void operator()(const kv::AisClassBPosition& m) const
    {
        {
            JsonObject o(out);
            o.num("MsgType", m.MsgType);
            o.num("Repeat", m.Repeat);
            o.num("MMSI", m.MMSI);
            o.num("Reserved8", m.Reserved8);
            o.num("SOG", m.SOG);
            o.flag("PosAccuracy", m.PosAccuracy);
            o.num("Longitude", m.Longitude);
            o.num("Latitude", m.Latitude);
            o.num("COG", m.COG);
            o.num("TrueHeading", m.TrueHeading);
            o.num("TimeStamp", m.TimeStamp);
            o.num("Regional2", m.Regional2);
            o.flag("CSUnit", m.CSUnit);
            o.flag("Display", m.Display);
            o.flag("DSC", m.DSC);
            o.flag("Band", m.Band);
            o.flag("Msg22", m.Msg22);
            o.flag("Assigned", m.Assigned);
            o.flag("RAIM", m.RAIM);
            o.num("CommState", m.CommState);
        }
        out.endLine();
    }
    void operator()(const kv::AisClassBExtended& m) const
    {
        {
            JsonObject o(out);
            o.num("MsgType", m.MsgType);
            o.num("Repeat", m.Repeat);
            o.num("MMSI", m.MMSI);
            o.num("Reserved8", m.Reserved8);
            o.num("SOG", m.SOG);
            o.flag("PosAccuracy", m.PosAccuracy);
            o.num("Longitude", m.Longitude);
            o.num("Latitude", m.Latitude);
            o.num("COG", m.COG);
            o.num("TrueHeading", m.TrueHeading);
            o.num("TimeStamp", m.TimeStamp);
            o.num("Regional4", m.Regional4);
            o.text("VesselName", m.VesselName.view());
            o.num("ShipType", m.ShipType);
            o.num("DimA", m.DimA);
            o.num("DimB", m.DimB);
            o.num("DimC", m.DimC);
            o.num("DimD", m.DimD);
            o.num("EPFD", m.EPFD);
            o.flag("RAIM", m.RAIM);
            o.flag("DTE", m.DTE);
            o.flag("Assigned", m.Assigned);
        }
        out.endLine();
    }
    void operator()(const kv::AisAidToNavigation& m) const
    {
        {
            JsonObject o(out);
            o.num("MsgType", m.MsgType);
            o.num("Repeat", m.Repeat);
            o.num("MMSI", m.MMSI);
            o.num("AidType", m.AidType);
            o.text("Name", m.Name.view());
            o.flag("PosAccuracy", m.PosAccuracy);
            o.num("Longitude", m.Longitude);
            o.num("Latitude", m.Latitude);
            o.num("DimA", m.DimA);
            o.num("DimB", m.DimB);
            o.num("DimC", m.DimC);
            o.num("DimD", m.DimD);
            o.num("EPFD", m.EPFD);
            o.num("TimeStamp", m.TimeStamp);
            o.flag("OffPosition", m.OffPosition);
            o.num("Regional8", m.Regional8);
            o.flag("RAIM", m.RAIM);
            o.flag("Virtual", m.Virtual);
            o.flag("Assigned", m.Assigned);
        }
        out.endLine();
    }
    void operator()(const kv::AisClassBStatic& m) const
    {
        {
            JsonObject o(out);
            o.num("MsgType", m.MsgType);
            o.num("Repeat", m.Repeat);
            o.num("MMSI", m.MMSI);
            o.num("PartNumber", m.PartNumber);
            if (m.PartNumber == 0) {
                o.text("VesselName", m.VesselName.view());
            } else {
                o.num("ShipType", m.ShipType);
                o.text("VendorID", m.VendorID.view());
                o.text("CallSign", m.CallSign.view());
                o.num("DimA", m.DimA);
                o.num("DimB", m.DimB);
                o.num("DimC", m.DimC);
                o.num("DimD", m.DimD);
                if (kv::IsAuxiliaryCraft(m.MMSI)) {
                    o.num("MothershipMMSI", m.MothershipMMSI);
                }
            }
        }
        out.endLine();
    }
};

bool Printable(std::uint8_t type)
{
    return type == 1 || type == 2 || type == 3 || type == 4 || type == 5 || type == 11;
}

int RunAisDecode(const kvtool::Args& args)
{
    bool all = false;
    std::vector<std::string> files;
    for (const std::string& a : args) {
        if (a == "--all") {
            all = true;
        } else {
            files.push_back(a);
        }
    }
    if (files.size() > 1) {
        std::fprintf(stderr, "usage: kvtool ais-decode [--all] [FILE]\n");
        return 2;
    }
    std::FILE* in = stdin;
    if (!files.empty()) {
        if (const std::string problem = kv::RegularFileProblem(files[0]); !problem.empty()) {
            std::fprintf(stderr, "kvtool ais-decode: cannot read %s: %s\n", files[0].c_str(), problem.c_str());
            return 1;
        }
        in = std::fopen(files[0].c_str(), "rb");
        if (in == nullptr) {
            std::fprintf(stderr, "kvtool ais-decode: cannot open %s: %s\n", files[0].c_str(), std::strerror(errno));
            return 1;
        }
    }
    kv::AisSmallCraftCounts counts;
    kv::AisSmallCraftMessage message;
    kv::AisAssembler assembler;
    BufferedOut out(stdout);
    // Lines are cut from a large read buffer; a line longer than the buffer is read in pieces
    // that are joined in `pending` (rare, so its allocation does not matter).
    std::string buffer(1 << 20, '\0');
    std::string pending;
    auto handle = [&](std::string_view line) {
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.substr(0, 6) != "!AIVDM" || !assembler.ProcessAISSentence(line)) {
            return;
        }
        if (Printable(assembler.Current.MsgType)) {
            WriteMessage(out, assembler.Current);
        } else if (all && !assembler.LastDropped) {
            const auto r = kv::DecodeSmallCraft(assembler.SixBitBuf, assembler.PayloadSymbols * 6, message);
            counts.add(r);
            if (r == kv::AisSmallCraftResult::Decoded) {
                std::visit(SmallCraftWriter{out}, message);
            }
        }
    };
    std::size_t got;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), in)) > 0) {
        std::string_view chunk(buffer.data(), got);
        std::size_t start = 0;
        while (true) {
            const std::size_t nl = chunk.find('\n', start);
            if (nl == std::string_view::npos) {
                pending.append(chunk.substr(start));
                break;
            }
            if (pending.empty()) {
                handle(chunk.substr(start, nl - start));
            } else {
                pending.append(chunk.substr(start, nl - start));
                handle(pending);
                pending.clear();
            }
            start = nl + 1;
        }
    }
    if (!pending.empty()) {
        handle(pending);
    }
    const bool readError = std::ferror(in) != 0;
    if (in != stdin) {
        std::fclose(in);
    }
    if (!out.flush()) {
        std::fprintf(stderr, "kvtool ais-decode: write error\n");
        return 1;
    }
    if (readError) {
        std::fprintf(stderr, "kvtool ais-decode: read error\n");
        return 1;
    }
    if (counts.shortDropped + counts.badPart > 0) {
        std::fprintf(stderr, "kvtool ais-decode: dropped %ld short message(s), %ld with part number 2 or 3\n",
                     counts.shortDropped, counts.badPart);
    }
    return 0;
}

const kvtool::CommandRegistration decodeReg{
    {"ais-decode", "[--all] [FILE]: decode !AIVDM lines (stdin without FILE), one JSON object per message "
                   "(--all: also types 18, 19, 21 and 24)", &RunAisDecode, true}};

} // namespace
