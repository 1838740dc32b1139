// kvtool nmea-parse: the parse results of NMEA sentences, one JSON object per line.
// kvtool ports: the source each COM number resolves to.

#include "Command.h"
#include "app/ProgramState.h"

#include "core/TextFile.h"

#include "core/Json.h"
#include "nmea/InstrumentSentences.h"
#include "nmea/NmeaParse.h"
#include "platform/qt/QtSerialPort.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <fstream>
#include <iostream>

namespace {

void WriteParseResult(kv::JsonObject& j, const kv::ProgramState& nav, const kv::Display& d)
{
    auto num = [&](const char* name, double v) { j.number(name, v); };
    auto text = [&](const char* name, std::string_view v) { j.text(name, v); };
    num("SentenceLat", nav.sentenceFix.SentenceLat);
    num("SentenceLong", nav.sentenceFix.SentenceLong);
    num("PositionValid", nav.sentenceFix.PositionValid ? 1 : 0);
    text("FixQuality", nav.sentenceFix.FixQuality);
    text("FixTimeText", nav.sentenceFix.FixTimeText);
    text("SatellitesText", nav.sentenceFix.SatellitesText);
    num("Hdop", nav.sentenceFix.Hdop);
    num("PositionError", nav.sentenceFix.PositionError);
    num("MagVariation", nav.sentenceFix.MagVariation);
    num("EventSentence", nav.sentenceFix.EventSentence ? 1 : 0);
    const kv::ShortString<33>* extra[] = { &nav.sentenceFix.ExtraField1, &nav.sentenceFix.ExtraField2,
        &nav.sentenceFix.ExtraField3, &nav.sentenceFix.ExtraField4, &nav.sentenceFix.ExtraField5,
        &nav.sentenceFix.ExtraField6, &nav.sentenceFix.ExtraField7, &nav.sentenceFix.ExtraField8,
        &nav.sentenceFix.ExtraField9, &nav.sentenceFix.ExtraField0 };
    const char* names[] = { "ExtraField1", "ExtraField2", "ExtraField3", "ExtraField4", "ExtraField5", "ExtraField6",
        "ExtraField7", "ExtraField8", "ExtraField9", "ExtraField0" };
    for (int i = 0; i < 10; ++i) {
        text(names[i], *extra[i]);
    }
    text("GPSIndicatorText", d.GPSIndicatorText);
    text("GPSIndicatorColour", d.GPSIndicatorColour);
    text("GPSIndicatorHint", d.GPSIndicatorHint);
}

// The depth, wind or heading a sentence carries, as more members of its line (none for others).
void WriteInstrument(kv::JsonObject& j, const kv::InstrumentRecord& r)
{
    using Kind = kv::InstrumentRecord::Kind;
    switch (r.kind) {
    case Kind::None:
        return;
    case Kind::Depth:
        j.text("Instrument", "depth");
        j.number("DepthMetres", r.depthMetres);
        return;
    case Kind::ApparentWind:
    case Kind::TrueWind:
        j.text("Instrument", r.kind == Kind::ApparentWind ? "apparent wind" : "true wind");
        j.number("WindAngle", r.windAngle);
        j.number("WindKnots", r.windKnots);
        return;
    case Kind::Heading:
        j.text("Instrument", "heading");
        j.number("HeadingTrue", r.headingTrue);
        return;
    }
}

int RunNmeaParse(const kvtool::Args& args)
{
    if (args.size() > 1) {
        std::fprintf(stderr, "usage: kvtool nmea-parse [FILE]\n");
        return 2;
    }
    std::ifstream file;
    std::istream* in = &std::cin;
    if (args.size() == 1) {
        if (const std::string problem = kv::RegularFileProblem(args[0]); !problem.empty()) {
            std::fprintf(stderr, "kvtool nmea-parse: cannot read %s: %s\n", args[0].c_str(), problem.c_str());
            return 1;
        }
        file.open(args[0], std::ios::binary);
        if (!file) {
            std::fprintf(stderr, "kvtool nmea-parse: cannot open %s\n", args[0].c_str());
            return 1;
        }
        in = &file;
    }
    // One navigation state for the whole input: fields a sentence does not set keep their values.
    kv::ProgramState nav;
    kv::Display display;
    std::string line;
    while (std::getline(*in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] != '$') {
            continue;
        }
        // A damaged line is reported and leaves the state as it was.
        const kv::SentenceRejection rejection = kv::CheckSentence(line);
        std::string json;
        {
            kv::JsonObject j(json);
            if (rejection != kv::SentenceRejection::None) {
                j.text("Rejected", kv::RejectionName(rejection));
            } else {
                kv::ParseSentence(line, nav.sentenceFix, display, nav.aisPlayback.AISPlayback);
                WriteParseResult(j, nav, display);
                WriteInstrument(j, kv::ParseInstrumentSentence(line, nav.sentenceFix.MagVariation));
            }
        }
        json += '\n';
        std::fwrite(json.data(), 1, json.size(), stdout);
    }
    return 0;
}

int RunPorts(const kvtool::Args& args)
{
    if (!args.empty()) {
        std::fprintf(stderr, "usage: kvtool ports\n");
        return 2;
    }
    const std::string folder = QDir::currentPath().toLocal8Bit().toStdString() + "/";
    // A number without any source prints "-"; an entry that is not a valid source prints why.
    for (unsigned n = 1; n <= 15; ++n) {
        const std::string entry = folder + "dev/com" + std::to_string(n);
        const kv::SourceParse source = kv::ResolveComSource(n, folder);
        const bool hasEntry
            = QFileInfo(QString::fromLocal8Bit(entry)).isSymLink() || QFileInfo::exists(QString::fromLocal8Bit(entry));
        const std::string text = source.ok() ? kv::SourceText(source.address)
            : hasEntry                       ? "error: " + source.error
                                             : "-";
        // A file or link name may hold anything: nothing of it reaches the terminal raw.
        std::printf("%u\t%s\n", n, kv::VisibleText(text).c_str());
    }
    return 0;
}

const kvtool::CommandRegistration parseReg { { "nmea-parse",
    "[FILE]: parse results of each \"$\" line (stdin without FILE) as JSON lines, with the depth, wind or heading it "
    "carries",
    &RunNmeaParse } };
const kvtool::CommandRegistration portsReg { { "ports",
    "the source each COM number 1-15 resolves to: a device, an address or why the entry is not one", &RunPorts } };

} // namespace
