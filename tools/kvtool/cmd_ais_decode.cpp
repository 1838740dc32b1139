// kvtool ais-decode: "!AIVDM" lines through the program's own assembly and decoding, one JSON
// object per completed message of type 1, 2, 3, 4, 5 or 11.
// kvtool ais-gen: a reproducible stream of such sentences for tests and benchmarks.

#include "Command.h"

#include "core/TextFile.h"

#include "ais/AisCollision.h"
#include "ais/AisDecoder.h"
#include "ais/AisEncoder.h"
#include "ais/AisSmallCraft.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <variant>
#include <vector>

namespace {

// Output gathered in one buffer and written in large blocks. A message reserves room for the
// largest object first, so the writes inside it need no further checks.
class Out {
public:
    explicit Out(std::FILE* f) : f_(f), buf_(new char[kSize]), p_(buf_.get()) {}
    ~Out() { flush(); }
    Out(const Out&) = delete;
    Out& operator=(const Out&) = delete;

    // Makes room for n more bytes (n at most kRoom without a check in the writers below).
    void reserve(std::size_t n)
    {
        if (static_cast<std::size_t>(buf_.get() + kSize - p_) < n) {
            flush();
        }
    }
    void raw(std::string_view s)
    {
        if (s.size() > kSize / 2) {
            flush();
            write(s.data(), s.size());
            return;
        }
        reserve(s.size());
        put(s);
    }
    void put(std::string_view s)
    {
        std::memcpy(p_, s.data(), s.size());
        p_ += s.size();
    }
    void ch(char c) { *p_++ = c; }
    void number(long long v) { p_ = std::to_chars(p_, p_ + 24, v).ptr; }
    // A JSON string of Latin-1 bytes: each byte is the code point of the same value.
    void text(std::string_view s)
    {
        *p_++ = '"';
        for (const char c : s) {
            const auto u = static_cast<unsigned char>(c);
            if (u == '"' || u == '\\') {
                *p_++ = '\\';
                *p_++ = c;
            } else if (u < 0x20) {
                static const char hex[] = "0123456789abcdef";
                put("\\u00");
                *p_++ = hex[u >> 4];
                *p_++ = hex[u & 15];
            } else if (u >= 0x80) {
                *p_++ = static_cast<char>(0xC0 | (u >> 6));
                *p_++ = static_cast<char>(0x80 | (u & 0x3F));
            } else {
                *p_++ = c;
            }
        }
        *p_++ = '"';
    }
    void endLine() { *p_++ = '\n'; }
    void maybeFlush()
    {
        if (static_cast<std::size_t>(p_ - buf_.get()) >= kFlushAt) {
            flush();
        }
    }
    bool flush()
    {
        if (p_ != buf_.get()) {
            write(buf_.get(), static_cast<std::size_t>(p_ - buf_.get()));
            p_ = buf_.get();
        }
        return ok_ && std::fflush(f_) == 0;
    }

    static constexpr std::size_t kRoom = 4096; // more than any one message's object

private:
    void write(const char* data, std::size_t n) { ok_ = std::fwrite(data, 1, n, f_) == n && ok_; }
    static constexpr std::size_t kFlushAt = 1 << 16;
    static constexpr std::size_t kSize = kFlushAt + kRoom;
    std::FILE* f_;
    std::unique_ptr<char[]> buf_;
    char* p_;
    bool ok_ = true;
};

class JsonObject {
public:
    explicit JsonObject(Out& out) : out_(out)
    {
        out_.reserve(Out::kRoom);
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
    Out& out_;
    bool first_ = true;
};

void WriteMessage(Out& out, const kv::TAISTarget& r)
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
    Out& out;
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
    Out out(stdout);
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

// A mixed stream: position reports (1, 2, 3), base stations (4, 11) and two-fragment static
// data (5), with plausible values drawn from a fixed seed.
// Small-craft traffic: Class B positions (18), extended reports (19, some split over two
// fragments), aids to navigation (21, with and without a name extension, some virtual) and
// static data (24 parts A and B, some from auxiliary craft), with "not available" values and
// positions on both sides of the equator and the prime meridian.
void GenSmallCraft(Out& out, const std::function<long(long, long)>& uni, long& written, int& seq)
{
    static const char* const kYachts[] = {"BLUE MOON", "SEA WITCH", "PERSEVERANCE", "KESTREL", "HALCYON DAYS",
                                          "WILD GOOSE", "ARIEL", "MORNING STAR OF HAMBLE"};
    static const char* const kMarks[] = {"NAB TOWER", "BRAMBLE BANK", "E SOLENT CARDINAL BUOY", "NEEDLES FAIRWAY",
                                         "W", "CHICHESTER BAR BEACON VIRTUAL AIS"};
    kv::AisBitWriter w;
    const long pick = uni(0, 99);
    long mmsi = uni(200000000, 799999999);
    const bool na = uni(0, 9) == 0; // "not available" values in one message out of ten
    const long lon = na ? 181L * 600000 : uni(-180L * 600000, 180L * 600000);
    const long lat = na ? 91L * 600000 : uni(-90L * 600000, 90L * 600000);
    std::size_t maxChars = 60;
    std::string seqId;
    char channel = 0; // drawn with the payload unless set
    if (pick < 50) {
        w.put(18, 6);
        w.put(uni(0, 3), 2);
        w.put(mmsi, 30);
        w.put(uni(0, 255), 8);
        w.put(na ? 1023 : uni(0, 1022), 10);
        w.put(uni(0, 1), 1);
        w.put(lon, 28);
        w.put(lat, 27);
        w.put(na ? 3600 : uni(0, 3599), 12);
        w.put(na ? 511 : uni(0, 359), 9);
        w.put(na ? 60 : uni(0, 63), 6);
        w.put(uni(0, 3), 2);
        for (int i = 0; i < 7; ++i) {
            w.put(uni(0, 1), 1);
        }
        w.put(uni(0, (1 << 20) - 1), 20);
    } else if (pick < 62) {
        w.put(19, 6);
        w.put(uni(0, 3), 2);
        w.put(mmsi, 30);
        w.put(uni(0, 255), 8);
        w.put(na ? 1023 : uni(0, 1022), 10);
        w.put(uni(0, 1), 1);
        w.put(lon, 28);
        w.put(lat, 27);
        w.put(na ? 3600 : uni(0, 3599), 12);
        w.put(na ? 511 : uni(0, 359), 9);
        w.put(uni(0, 63), 6);
        w.put(uni(0, 15), 4);
        w.putText(kYachts[uni(0, 7)], 20);
        w.put(uni(0, 99), 8);
        w.put(uni(0, 511), 9);
        w.put(uni(0, 511), 9);
        w.put(uni(0, 63), 6);
        w.put(uni(0, 63), 6);
        w.put(uni(0, 15), 4);
        w.put(uni(0, 1), 1);
        w.put(uni(0, 1), 1);
        w.put(uni(0, 1), 1);
        w.put(0, 4);
        if (uni(0, 3) == 0) { // a 312-bit report sent as two fragments
            maxChars = 30;
            seqId = std::to_string(seq);
            seq = (seq + 1) % 10;
        }
    } else if (pick < 74) {
        const std::string name = kMarks[uni(0, 5)];
        w.put(21, 6);
        w.put(uni(0, 3), 2);
        w.put(uni(992000000, 992999999), 30);
        w.put(uni(0, 31), 5);
        w.putText(name.substr(0, 20), 20);
        w.put(uni(0, 1), 1);
        w.put(lon, 28);
        w.put(lat, 27);
        w.put(uni(0, 511), 9);
        w.put(uni(0, 511), 9);
        w.put(uni(0, 63), 6);
        w.put(uni(0, 63), 6);
        w.put(uni(0, 15), 4);
        w.put(uni(0, 63), 6);
        w.put(uni(0, 1), 1);
        w.put(uni(0, 255), 8);
        w.put(uni(0, 1), 1);
        w.put(uni(0, 1), 1);
        w.put(uni(0, 1), 1);
        w.put(0, 1);
        if (name.size() > 20) {
            const std::string ext = name.substr(20, 14);
            w.putText(ext, static_cast<int>(ext.size()));
        }
    } else {
        // Static data as stations send it: part A then part B; one B in ten comes alone.
        if (uni(0, 9) == 0) {
            mmsi = uni(980000000, 989999999);
        }
        // Both parts on one channel, as most receivers pass them on.
        channel = uni(0, 1) != 0 ? 'A' : 'B';
        if (uni(0, 9) != 0) {
            kv::AisBitWriter a;
            a.put(24, 6);
            a.put(uni(0, 3), 2);
            a.put(mmsi, 30);
            a.put(0, 2);
            a.putText(kYachts[uni(0, 7)], 20);
            int fill = 0;
            const std::string payload = a.armoured(&fill);
            out.raw(kv::AisSentences(payload, fill, "", channel)[0]);
            out.raw("\r\n");
            ++written;
        }
        w.put(24, 6);
        w.put(uni(0, 3), 2);
        w.put(mmsi, 30);
        w.put(1, 2);
        w.put(uni(0, 99), 8);
        w.putText(std::string("SRT") + static_cast<char>('A' + uni(0, 25)), 4);
        w.put(uni(0, (1 << 18) - 1), 18);
        w.putText(std::to_string(uni(10000, 99999)).insert(0, "M"), 7);
        w.put(uni(0, 511), 9);
        w.put(uni(0, 511), 9);
        w.put(uni(0, 63), 6);
        w.put(uni(0, 63), 6);
        w.put(0, 6);
    }
    int fill = 0;
    const std::string payload = w.armoured(&fill);
    if (channel == 0) {
        channel = uni(0, 1) != 0 ? 'A' : 'B';
    }
    for (const auto& s : kv::AisSentences(payload, fill, seqId, channel, maxChars)) {
        out.raw(s);
        out.raw("\r\n");
        ++written;
    }
}

int RunAisGen(const kvtool::Args& all)
{
    // --small-craft makes three messages in five Class B or AtoN, the rest as without it.
    kvtool::Args args;
    bool smallCraft = false;
    for (const std::string& a : all) {
        if (a == "--small-craft") {
            smallCraft = true;
        } else {
            args.push_back(a);
        }
    }
    if (args.empty() || args.size() > 2) {
        std::fprintf(stderr, "usage: kvtool ais-gen N [SEED] [--small-craft]\n");
        return 2;
    }
    const long n = std::strtol(args[0].c_str(), nullptr, 10);
    const unsigned long seed = args.size() > 1 ? std::strtoul(args[1].c_str(), nullptr, 10) : 1;
    std::mt19937 rng(static_cast<std::mt19937::result_type>(seed));
    auto uni = [&rng](long lo, long hi) { return std::uniform_int_distribution<long>(lo, hi)(rng); };
    static const char* const kNames[] = {"EVER DIADEM", "SEA WITCH", "MARY ROSE", "NORDIC STAR", "CAPE WRATH",
                                         "SOLENT FERRY 2", "ATLANTIC CONVEYOR", "ISLE OF WIGHT"};
    static const char* const kPorts[] = {"NEW YORK", "SOUTHAMPTON", "ROTTERDAM", "COWES", "CHERBOURG", "LE HAVRE"};
    Out out(stdout);
    long written = 0;
    int seq = 0;
    while (written < n) {
        if (smallCraft && uni(0, 99) < 60) {
            GenSmallCraft(out, uni, written, seq);
            out.maybeFlush();
            continue;
        }
        const long pick = uni(0, 99);
        kv::AisBitWriter w;
        const long mmsi = uni(200000000, 799999999);
        if (pick < 70 || n - written < 2) {
            const int type = pick < 40 ? 1 : pick < 50 ? 2 : pick < 60 ? 3 : pick < 66 ? 4 : 11;
            w.put(type, 6);
            w.put(uni(0, 3), 2);
            w.put(mmsi, 30);
            const long lon = uni(-180L * 600000, 180L * 600000);
            const long lat = uni(-90L * 600000, 90L * 600000);
            if (type <= 3) {
                w.put(uni(0, 15), 4);
                w.put(uni(-128, 127), 8);
                w.put(uni(0, 1023), 10);
                w.put(uni(0, 1), 1);
                w.put(lon, 28);
                w.put(lat, 27);
                w.put(uni(0, 3600), 12);
                w.put(uni(0, 1) != 0 ? 511 : uni(0, 359), 9);
                w.put(uni(0, 63), 6);
                w.put(0, 4);
                w.put(0, 1);
                w.put(uni(0, 1), 1);
                w.put(uni(0, (1 << 19) - 1), 19);
            } else {
                w.put(uni(2000, 2030), 14);
                w.put(uni(1, 12), 4);
                w.put(uni(1, 31), 5);
                w.put(uni(0, 23), 5);
                w.put(uni(0, 59), 6);
                w.put(uni(0, 59), 6);
                w.put(uni(0, 1), 1);
                w.put(lon, 28);
                w.put(lat, 27);
                w.put(uni(0, 8), 4);
                w.put(0, 10);
                w.put(uni(0, 1), 1);
                w.put(uni(0, (1 << 19) - 1), 19);
            }
            int fill = 0;
            const std::string payload = w.armoured(&fill);
            for (const auto& s : kv::AisSentences(payload, fill, "", uni(0, 1) != 0 ? 'A' : 'B')) {
                out.raw(s);
                out.raw("\r\n");
                ++written;
            }
        } else {
            w.put(5, 6);
            w.put(0, 2);
            w.put(mmsi, 30);
            w.put(0, 2);
            w.put(uni(1000000, 9999999), 30);
            w.putText(std::to_string(uni(10000, 99999)).insert(0, "V"), 7);
            w.putText(kNames[uni(0, 7)], 20);
            w.put(uni(20, 99), 8);
            w.put(uni(5, 300), 9);
            w.put(uni(5, 100), 9);
            w.put(uni(1, 30), 6);
            w.put(uni(1, 30), 6);
            w.put(1, 4);
            w.put((uni(1, 12) << 16) | (uni(1, 31) << 11) | (uni(0, 23) << 6) | uni(0, 59), 20);
            w.put(uni(10, 200), 8);
            w.putText(kPorts[uni(0, 5)], 20);
            w.put(0, 1);
            w.put(0, 1);
            int fill = 0;
            const std::string payload = w.armoured(&fill);
            const std::string seqId = std::to_string(seq);
            seq = (seq + 1) % 10;
            for (const auto& s : kv::AisSentences(payload, fill, seqId, 'A')) {
                out.raw(s);
                out.raw("\r\n");
                ++written;
            }
        }
        out.maybeFlush();
    }
    return 0;
}

const kvtool::CommandRegistration decodeReg{
    {"ais-decode", "[--all] [FILE]: decode !AIVDM lines (stdin without FILE), one JSON object per message "
                   "(--all: also types 18, 19, 21 and 24)", &RunAisDecode, true}};
const kvtool::CommandRegistration genReg{
    {"ais-gen", "N [SEED] [--small-craft]: N !AIVDM sentences of types 1, 2, 3, 4, 11 and two-fragment 5 "
                "(with --small-craft also 18, 19, 21 and 24)", &RunAisGen, true}};

} // namespace

namespace {

// kvtool cpa: the collision warning's closest point of approach for two vessels.
int RunCpa(const kvtool::Args& args)
{
    double v[8];
    bool ok = args.size() == 8;
    for (std::size_t i = 0; ok && i < 8; ++i) {
        const char* s = args[i].c_str();
        char* end = nullptr;
        v[i] = std::strtod(s, &end);
        ok = end != s && *end == '\0' && std::isfinite(v[i]);
    }
    if (!ok) {
        std::fprintf(stderr, "usage: kvtool cpa OWNLAT OWNLONW OWNSOG OWNCOG TLAT TLONW TSOG TCOG\n");
        return 2;
    }
    const kv::CpaResult r = kv::ComputeCpa({v[0], v[1], v[2], v[3]}, {v[4], v[5], v[6], v[7]});
    std::printf("CPA\t%.3f\tTCPA\t%.2f\n", r.cpaNm, r.tcpaMin);
    return 0;
}

const kvtool::CommandRegistration cpaReg{
    {"cpa", "OWNLAT OWNLONW OWNSOG OWNCOG TLAT TLONW TSOG TCOG: closest point of approach (nm) and time to it "
            "(minutes, negative when past); longitudes west positive", &RunCpa, true}};

} // namespace
