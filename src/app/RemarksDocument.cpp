// The remarks document written as RTF: Courier text, one paragraph per line, pictures as PNG.

#include "app/RemarksDocument.h"

#include <QBuffer>
#include <QByteArray>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace kv {

namespace {

const char* const kRtfHeader = "{\\rtf1\\ansi\\ansicpg1252\\deff0";
const char* const kRtfFonts = "{\\fonttbl{\\f0\\fmodern Courier New;}}";

bool Exists(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

// Text with the RTF specials escaped, line ends as paragraph marks, bytes above 127 as \'hh.
void AppendRtfText(std::string& out, const std::string& text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            out += "\\par\n";
        } else if (c == '\n') {
            out += "\\par\n";
        } else if (c == '\\' || c == '{' || c == '}') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c == '\t') {
            out += "\\tab ";
        } else if (c < 32) {
            // other control characters have no place in a document
        } else if (c > 127) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\'%02x", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
}

QByteArray Png(const QImage& picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return bytes;
}

void AppendPicture(std::string& out, const QImage& picture)
{
    // Shown at the size of the screen picture: 15 twips to a pixel at 96 dots per inch.
    const QByteArray hex = Png(picture).toHex();
    out += "{\\pict\\pngblip\\picw" + std::to_string(picture.width()) + "\\pich" + std::to_string(picture.height())
        + "\\picwgoal" + std::to_string(picture.width() * 15) + "\\pichgoal" + std::to_string(picture.height() * 15)
        + "\n";
    for (qsizetype i = 0; i < hex.size(); i += 128) {
        out.append(hex.constData() + i, static_cast<std::size_t>(std::min<qsizetype>(128, hex.size() - i)));
        out += '\n';
    }
    out += "}\\par\n";
}

std::string HtmlEscaped(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '\r':
            if (i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
            out += "<br>";
            break;
        case '\n':
            out += "<br>";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

std::string RemarksDocumentPath(const std::string& logDir, const std::string& logBaseName)
{
    return logDir + logBaseName + ".doc";
}

RemarksDocument::RemarksDocument(std::string path)
    : path_(std::move(path))
{
}

bool RemarksDocument::Continue()
{
    if (!Exists(path_)) {
        return true;
    }
    std::ifstream in(path_, std::ios::binary);
    if (!in) {
        return false;
    }
    std::ostringstream content;
    content << in.rdbuf();
    std::string rtf = content.str();
    while (!rtf.empty() && (rtf.back() == '\n' || rtf.back() == '\r' || rtf.back() == ' ')) {
        rtf.pop_back();
    }
    if (rtf.rfind(kRtfHeader, 0) == 0 && rtf.find(kRemarksGeneratorTag) != std::string::npos && !rtf.empty()
        && rtf.back() == '}') {
        rtf.pop_back();
        earlier_ = rtf;
        return true;
    }
    // Someone else's file (or one edited and saved by a word processor): keep it as it is.
    const std::string stem = path_.size() > 4 ? path_.substr(0, path_.size() - 4) : path_;
    for (int n = 2;; ++n) {
        const std::string candidate = stem + "-" + std::to_string(n) + ".doc";
        if (!Exists(candidate)) {
            path_ = candidate;
            return true;
        }
    }
}

void RemarksDocument::TypeText(const std::string& text)
{
    items_.push_back(Item { text, {} });
}

void RemarksDocument::Truncate(std::size_t itemCount)
{
    if (itemCount < items_.size()) {
        items_.resize(itemCount);
    }
}

void RemarksDocument::Paste(const QImage& picture)
{
    if (!picture.isNull()) {
        items_.push_back(Item { {}, picture });
    }
}

std::string RemarksDocument::Rtf() const
{
    std::string out;
    if (earlier_.empty()) {
        out = std::string(kRtfHeader) + kRtfFonts + kRemarksGeneratorTag + "\n\\f0\\fs20\n";
    } else {
        out = earlier_ + "\n";
    }
    for (const Item& item : items_) {
        if (item.picture.isNull()) {
            AppendRtfText(out, item.text);
        } else {
            AppendPicture(out, item.picture);
        }
    }
    out += "}\n";
    return out;
}

std::string RemarksDocument::Html() const
{
    std::string out = "<html><body><pre style=\"font-family: monospace\">";
    if (continued()) {
        out += "(continues the document saved earlier today)<br><br>";
    }
    for (const Item& item : items_) {
        if (item.picture.isNull()) {
            out += HtmlEscaped(item.text);
        } else {
            out += "<img src=\"data:image/png;base64," + Png(item.picture).toBase64().toStdString() + "\"><br>";
        }
    }
    out += "</pre></body></html>";
    return out;
}

bool RemarksDocument::SaveAs(const std::string& path) const
{
    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            return false;
        }
        const std::string rtf = Rtf();
        out.write(rtf.data(), static_cast<std::streamsize>(rtf.size()));
        out.close();
        if (!out) {
            std::error_code ec;
            std::filesystem::remove(temporary, ec);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::filesystem::remove(temporary, ec);
        return false;
    }
    return true;
}

} // namespace kv
