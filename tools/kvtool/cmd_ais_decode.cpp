// kvtool ais-decode: "!AIVDM" lines through the program's own assembly and decoding, one JSON
// object per completed message of type 1, 2, 3, 4, 5 or 11.

#include "BufferedOut.h"
#include "Command.h"

#include "core/Json.h"
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

void WriteMessage(BufferedOut& out, const kv::TAISTarget& r)
{
    {
        kv::JsonObject o(out.buffer());
        o.integer("MsgType", r.MsgType);
        o.integer("Repeat", r.Repeat);
        o.integer("MMSI", r.MMSI);
        switch (r.MsgType) {
        case 1:
        case 2:
        case 3:
            o.integer("NavStatus", r.NavStatus);
            o.integer("ROT", r.ROT);
            o.integer("SOG", r.SOG);
            o.flag("PosAccuracy", r.PosAccuracy != 0);
            o.integer("Longitude", r.Longitude);
            o.integer("Latitude", r.Latitude);
            o.integer("COG", r.COG);
            o.integer("TrueHeading", r.TrueHeading);
            o.integer("TimeStamp", r.TimeStamp);
            o.integer("Regional", r.Regional);
            o.flag("Spare", r.Spare != 0);
            o.flag("RAIM", r.RAIM != 0);
            o.integer("CommState", r.CommState);
            break;
        case 4:
        case 11:
            o.integer("Year", r.Year);
            o.integer("Month", r.Month);
            o.integer("Day", r.Day);
            o.integer("Hour", r.Hour);
            o.integer("Minute", r.Minute);
            o.integer("Second", r.Second);
            o.flag("PosAccuracy", r.PosAccuracy != 0);
            o.integer("Longitude", r.Longitude);
            o.integer("Latitude", r.Latitude);
            o.integer("EPFD", r.EPFD);
            o.integer("Reserved52", r.Reserved52);
            o.flag("RAIM", r.RAIM != 0);
            o.integer("CommState", r.CommState);
            break;
        default: // 5
            o.integer("AISVersion", r.AISVersion);
            o.integer("IMO", r.IMO);
            o.text("CallSign", r.CallSign.view());
            o.text("VesselName", r.VesselName.view());
            o.integer("ShipType", r.ShipType);
            o.integer("DimA", r.DimA);
            o.integer("DimB", r.DimB);
            o.integer("DimC", r.DimC);
            o.integer("DimD", r.DimD);
            o.integer("EPFD", r.EPFD);
            o.integer("ETA", r.ETA);
            o.integer("Draught", r.Draught);
            o.text("Destination", r.Destination.view());
            o.flag("DTE", r.DTE != 0);
            break;
        }
    }
    out.endLine();
}

// The small-craft messages printed by --all, keys in the order of the message fields.
struct SmallCraftWriter {
    BufferedOut& out;
    void operator()(const std::monostate&) const { }
    void operator()(const kv::AisClassBPosition& m) const
    {
        {
            kv::JsonObject o(out.buffer());
            o.integer("MsgType", m.MsgType);
            o.integer("Repeat", m.Repeat);
            o.integer("MMSI", m.MMSI);
            o.integer("Reserved8", m.Reserved8);
            o.integer("SOG", m.SOG);
            o.flag("PosAccuracy", m.PosAccuracy != 0);
            o.integer("Longitude", m.Longitude);
            o.integer("Latitude", m.Latitude);
            o.integer("COG", m.COG);
            o.integer("TrueHeading", m.TrueHeading);
            o.integer("TimeStamp", m.TimeStamp);
            o.integer("Regional2", m.Regional2);
            o.flag("CSUnit", m.CSUnit != 0);
            o.flag("Display", m.Display != 0);
            o.flag("DSC", m.DSC != 0);
            o.flag("Band", m.Band != 0);
            o.flag("Msg22", m.Msg22 != 0);
            o.flag("Assigned", m.Assigned != 0);
            o.flag("RAIM", m.RAIM != 0);
            o.integer("CommState", m.CommState);
        }
        out.endLine();
    }
    void operator()(const kv::AisClassBExtended& m) const
    {
        {
            kv::JsonObject o(out.buffer());
            o.integer("MsgType", m.MsgType);
            o.integer("Repeat", m.Repeat);
            o.integer("MMSI", m.MMSI);
            o.integer("Reserved8", m.Reserved8);
            o.integer("SOG", m.SOG);
            o.flag("PosAccuracy", m.PosAccuracy != 0);
            o.integer("Longitude", m.Longitude);
            o.integer("Latitude", m.Latitude);
            o.integer("COG", m.COG);
            o.integer("TrueHeading", m.TrueHeading);
            o.integer("TimeStamp", m.TimeStamp);
            o.integer("Regional4", m.Regional4);
            o.text("VesselName", m.VesselName.view());
            o.integer("ShipType", m.ShipType);
            o.integer("DimA", m.DimA);
            o.integer("DimB", m.DimB);
            o.integer("DimC", m.DimC);
            o.integer("DimD", m.DimD);
            o.integer("EPFD", m.EPFD);
            o.flag("RAIM", m.RAIM != 0);
            o.flag("DTE", m.DTE != 0);
            o.flag("Assigned", m.Assigned != 0);
        }
        out.endLine();
    }
    void operator()(const kv::AisAidToNavigation& m) const
    {
        {
            kv::JsonObject o(out.buffer());
            o.integer("MsgType", m.MsgType);
            o.integer("Repeat", m.Repeat);
            o.integer("MMSI", m.MMSI);
            o.integer("AidType", m.AidType);
            o.text("Name", m.Name.view());
            o.flag("PosAccuracy", m.PosAccuracy != 0);
            o.integer("Longitude", m.Longitude);
            o.integer("Latitude", m.Latitude);
            o.integer("DimA", m.DimA);
            o.integer("DimB", m.DimB);
            o.integer("DimC", m.DimC);
            o.integer("DimD", m.DimD);
            o.integer("EPFD", m.EPFD);
            o.integer("TimeStamp", m.TimeStamp);
            o.flag("OffPosition", m.OffPosition != 0);
            o.integer("Regional8", m.Regional8);
            o.flag("RAIM", m.RAIM != 0);
            o.flag("Virtual", m.Virtual != 0);
            o.flag("Assigned", m.Assigned != 0);
        }
        out.endLine();
    }
    void operator()(const kv::AisClassBStatic& m) const
    {
        {
            kv::JsonObject o(out.buffer());
            o.integer("MsgType", m.MsgType);
            o.integer("Repeat", m.Repeat);
            o.integer("MMSI", m.MMSI);
            o.integer("PartNumber", m.PartNumber);
            if (m.PartNumber == 0) {
                o.text("VesselName", m.VesselName.view());
            } else {
                o.integer("ShipType", m.ShipType);
                o.text("VendorID", m.VendorID.view());
                o.text("CallSign", m.CallSign.view());
                o.integer("DimA", m.DimA);
                o.integer("DimB", m.DimB);
                o.integer("DimC", m.DimC);
                o.integer("DimD", m.DimD);
                if (kv::IsAuxiliaryCraft(m.MMSI)) {
                    o.integer("MothershipMMSI", m.MothershipMMSI);
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
                std::visit(SmallCraftWriter { out }, message);
            }
        }
        out.maybeFlush(); // written in blocks as it goes: memory stays the same for any length of input
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

const kvtool::CommandRegistration decodeReg { { "ais-decode",
    "[--all] [FILE]: decode !AIVDM lines (stdin without FILE), one JSON object per message "
    "(--all: also types 18, 19, 21 and 24)",
    &RunAisDecode, true } };

} // namespace
