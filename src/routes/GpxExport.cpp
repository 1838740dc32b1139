#include "routes/GpxExport.h"

#include <QByteArray>
#include <QString>
#include <QXmlStreamWriter>

namespace kv {

namespace {

// Single-byte text as XML may carry it: control characters, which XML 1.0 does not allow even
// escaped, become spaces.
QString XmlText(const std::string& latin1)
{
    QString text = QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size()));
    for (QChar& c : text) {
        if (c.unicode() < 0x20 && c != u'\t' && c != u'\n') {
            c = u' ';
        }
    }
    return text;
}

// Eight decimals keep the 1e-5 minutes of the route and waypoint files (about 1.7e-7 degrees).
QString Degrees(double value)
{
    return QString::number(value, 'f', 8);
}

void Point(QXmlStreamWriter& xml, const char* element, const GpxPoint& p)
{
    xml.writeStartElement(QLatin1String(element));
    xml.writeAttribute(QStringLiteral("lat"), Degrees(p.lat));
    xml.writeAttribute(QStringLiteral("lon"), Degrees(p.lon));
    if (!p.time.empty()) {
        xml.writeTextElement(QStringLiteral("time"), XmlText(p.time));
    }
    if (!p.name.empty()) {
        xml.writeTextElement(QStringLiteral("name"), XmlText(p.name));
    }
    xml.writeEndElement();
}

void Name(QXmlStreamWriter& xml, const std::string& name)
{
    if (!name.empty()) {
        xml.writeTextElement(QStringLiteral("name"), XmlText(name));
    }
}

} // namespace

std::string WriteGpx(const GpxData& data)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(2);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(QStringLiteral("http://www.topografix.com/GPX/1/1"));
    xml.writeStartElement(QStringLiteral("gpx"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.1"));
    xml.writeAttribute(QStringLiteral("creator"), QStringLiteral("KVFree"));
    for (const GpxPoint& p : data.waypoints) {
        Point(xml, "wpt", p);
    }
    for (const GpxLine& route : data.routes) {
        xml.writeStartElement(QStringLiteral("rte"));
        Name(xml, route.name);
        for (const GpxPoint& p : route.points) {
            Point(xml, "rtept", p);
        }
        xml.writeEndElement();
    }
    for (const GpxLine& track : data.tracks) {
        xml.writeStartElement(QStringLiteral("trk"));
        Name(xml, track.name);
        xml.writeStartElement(QStringLiteral("trkseg"));
        for (const GpxPoint& p : track.points) {
            Point(xml, "trkpt", p);
        }
        xml.writeEndElement();
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes.toStdString();
}

} // namespace kv
