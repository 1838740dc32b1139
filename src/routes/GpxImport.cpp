#include "routes/GpxImport.h"

#include "core/ForeignText.h"
#include "core/Format.h"
#include "core/TextFile.h"

#include <QByteArray>
#include <QString>
#include <QXmlStreamReader>

#include <cmath>

namespace kv {

namespace {

// GPX 1.1 and 1.0 keep the same names for everything read here; only the namespace differs.
// Hand-written files often declare no namespace at all, and those are read too.
bool IsGpxNamespace(QStringView uri)
{
    return uri.isEmpty() || uri == u"http://www.topografix.com/GPX/1/1" || uri == u"http://www.topografix.com/GPX/1/0";
}

std::optional<double> Coordinate(const QXmlStreamAttributes& attributes, QStringView name, double limit)
{
    // Attributes without a prefix: lat="51.5", never a namespaced one that happens to be named so.
    for (const QXmlStreamAttribute& a : attributes) {
        if (a.name() == name && a.namespaceUri().isEmpty()) {
            const auto value = ParseReal(a.value().toString().toStdString());
            if (value && std::isfinite(*value) && std::fabs(*value) <= limit) {
                return value;
            }
            return std::nullopt;
        }
    }
    return std::nullopt;
}

class GpxReader {
public:
    explicit GpxReader(std::string_view bytes)
        : xml_(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())))
    {
    }

    GpxData read()
    {
        if (xml_.readNextStartElement()) {
            if (xml_.name() != u"gpx" || !IsGpxNamespace(xml_.namespaceUri())) {
                const QString uri = xml_.namespaceUri().toString();
                xml_.raiseError(QStringLiteral("not a GPX file: the document is <%1>%2")
                                    .arg(xml_.qualifiedName().toString(),
                                        uri.isEmpty() ? QString() : QStringLiteral(" of namespace ") + uri));
            } else {
                gpxNamespace_ = xml_.namespaceUri().toString();
                document();
            }
        }
        // Whatever follows the document must be well formed too: a file cut short or with
        // something broken after its last point is not half taken.
        while (!xml_.atEnd() && !xml_.hasError()) {
            xml_.readNext();
        }
        if (xml_.hasError()) {
            GpxData failed;
            failed.error = "GPX file not read: " + xml_.errorString().toStdString() + " (line "
                + std::to_string(xml_.lineNumber()) + ", column " + std::to_string(xml_.columnNumber()) + ")";
            return failed;
        }
        return std::move(data_);
    }

private:
    bool is(QStringView name) const { return xml_.name() == name && xml_.namespaceUri() == gpxNamespace_; }

    void document()
    {
        while (xml_.readNextStartElement()) {
            if (is(u"wpt")) {
                point(data_.waypoints);
            } else if (is(u"rte")) {
                data_.routes.push_back(line(u"rtept"));
            } else if (is(u"trk")) {
                data_.tracks.push_back(line(u"trkseg"));
            } else {
                // metadata, extensions and anything of another namespace
                xml_.skipCurrentElement();
            }
        }
    }

    // A route (its points are children) or a track (its points are in segments).
    GpxLine line(QStringView pointParent)
    {
        GpxLine result;
        while (xml_.readNextStartElement()) {
            if (is(u"name")) {
                result.name = text();
            } else if (is(u"rtept") && pointParent == u"rtept") {
                point(result.points);
            } else if (is(u"trkseg") && pointParent == u"trkseg") {
                while (xml_.readNextStartElement()) {
                    if (is(u"trkpt")) {
                        point(result.points);
                    } else {
                        xml_.skipCurrentElement();
                    }
                }
            } else {
                xml_.skipCurrentElement();
            }
        }
        return result;
    }

    void point(std::vector<GpxPoint>& into)
    {
        const auto lat = Coordinate(xml_.attributes(), u"lat", 90.0);
        const auto lon = Coordinate(xml_.attributes(), u"lon", 180.0);
        GpxPoint p;
        while (xml_.readNextStartElement()) {
            if (is(u"name")) {
                p.name = text();
            } else if (is(u"time")) {
                p.time = FixedLayoutText(
                    xml_.readElementText(QXmlStreamReader::SkipChildElements).trimmed().toStdString());
            } else {
                xml_.skipCurrentElement();
            }
        }
        if (lat && lon) {
            p.lat = *lat;
            p.lon = *lon;
            into.push_back(std::move(p));
        } else {
            ++data_.skipped;
        }
    }

    // The text of a name element with its references resolved and its CDATA taken as text, in the
    // single-byte form of the program's files.
    std::string text()
    {
        return FixedLayoutText(
            xml_.readElementText(QXmlStreamReader::SkipChildElements).trimmed().toUtf8().toStdString());
    }

    QXmlStreamReader xml_;
    QString gpxNamespace_;
    GpxData data_;
};

double Digits(std::string_view text, std::size_t at, std::size_t count, bool& ok)
{
    if (at + count > text.size()) {
        ok = false;
        return 0.0;
    }
    double value = 0.0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            ok = false;
            return 0.0;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

} // namespace

GpxData ReadGpx(std::string_view bytes)
{
    if (bytes.size() > kGpxMaxBytes) {
        GpxData refused;
        refused.error
            = "GPX file not read: larger than " + std::to_string(kGpxMaxBytes / (std::size_t { 1024 } * 1024)) + " MB";
        return refused;
    }
    return GpxReader(bytes).read();
}

GpxData ReadGpxFile(const std::string& path)
{
    const FileReadResult read = ReadRegularFile(path, kGpxMaxBytes);
    if (!read.bytes) {
        GpxData failed;
        failed.error = "GPX file not read: " + path + " " + read.problem;
        return failed;
    }
    return ReadGpx(*read.bytes);
}

std::optional<double> GpxMinutesOfDay(std::string_view time)
{
    const auto t = time.find('T');
    if (t == std::string_view::npos) {
        return std::nullopt;
    }
    bool ok = true;
    const std::size_t at = t + 1;
    const double hours = Digits(time, at, 2, ok);
    const double minutes = Digits(time, at + 3, 2, ok);
    double seconds = Digits(time, at + 6, 2, ok);
    if (!ok || time[at + 2] != ':' || time[at + 5] != ':' || hours > 23 || minutes > 59 || seconds > 60) {
        return std::nullopt;
    }
    std::size_t i = at + 8;
    if (i < time.size() && time[i] == '.') {
        double scale = 0.1;
        for (++i; i < time.size() && time[i] >= '0' && time[i] <= '9'; ++i, scale /= 10) {
            seconds += (time[i] - '0') * scale;
        }
    }
    return hours * 60.0 + minutes + seconds / 60.0;
}

} // namespace kv
