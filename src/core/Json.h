#pragma once
// Small JSON writing helpers for the tools' line-per-record output. Texts of the program are
// Latin-1 bytes: each byte becomes the code point of the same value (bytes 128-255 are written as
// the UTF-8 of U+0080..U+00FF), so the JSON is valid UTF-8 whatever the input.

#include <string>
#include <string_view>

namespace kv {

// A quoted JSON string: quote, backslash and control characters escaped.
std::string JsonString(std::string_view latin1);
// A JSON number in the shortest form that reads back as the same double; non-finite values
// (which JSON cannot hold) are written as null.
std::string JsonNumber(double value);

} // namespace kv
