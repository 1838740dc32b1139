#pragma once
// A small RTF reader for the tests of the remarks document.

#include <QByteArray>
#include <QImage>

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace kvtest {

// What a word processor would take from the RTF: the text (paragraph marks as "\n", \'hh
// decoded) and the pictures decoded from their PNG data, in order. Fails the test on unbalanced
// braces.
struct RtfContent {
    std::string text;
    std::vector<QImage> pictures;
    std::vector<std::size_t> picturesAt; // text length at each picture
};

inline RtfContent ReadRtf(const std::string& rtf)
{
    RtfContent out;
    int depth = 0;
    std::vector<bool> skip { false };
    std::vector<bool> picture { false };
    std::string hex;
    for (std::size_t i = 0; i < rtf.size(); ++i) {
        const char c = rtf[i];
        if (c == '{') {
            ++depth;
            skip.push_back(skip.back());
            picture.push_back(false);
        } else if (c == '}') {
            if (picture.back()) {
                out.pictures.push_back(QImage::fromData(QByteArray::fromHex(QByteArray::fromStdString(hex)), "PNG"));
                out.picturesAt.push_back(out.text.size());
                hex.clear();
            }
            --depth;
            EXPECT_GE(depth, 0) << "unbalanced braces at " << i;
            skip.pop_back();
            picture.pop_back();
        } else if (c == '\\') {
            const char n = rtf[i + 1];
            if (n == '\\' || n == '{' || n == '}') {
                if (!skip.back()) {
                    out.text += n;
                }
                ++i;
            } else if (n == '\'') {
                if (!skip.back()) {
                    out.text += static_cast<char>(std::stoi(rtf.substr(i + 2, 2), nullptr, 16));
                }
                i += 3;
            } else if (n == '*') {
                skip.back() = true;
                ++i;
            } else {
                std::size_t j = i + 1;
                while (j < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[j]))) {
                    ++j;
                }
                const std::string word = rtf.substr(i + 1, j - i - 1);
                while (j < rtf.size() && (std::isdigit(static_cast<unsigned char>(rtf[j])) || rtf[j] == '-')) {
                    ++j;
                }
                if (j < rtf.size() && rtf[j] == ' ') {
                    ++j;
                }
                if (word == "fonttbl") {
                    skip.back() = true;
                } else if (word == "pict") {
                    picture.back() = true;
                    skip.back() = true;
                } else if (word == "par" && !skip.back()) {
                    out.text += '\n';
                } else if (word == "tab" && !skip.back()) {
                    out.text += '\t';
                }
                i = j - 1;
            }
        } else if (c == '\r' || c == '\n') {
            // line breaks of the file itself are not text
        } else if (picture.back()) {
            hex += c;
        } else if (!skip.back()) {
            out.text += c;
        }
    }
    EXPECT_EQ(depth, 0) << "the document is not closed";
    return out;
}

} // namespace kvtest
