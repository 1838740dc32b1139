#pragma once
// Text taken from another program's file (a GPX name, a description) into one of the program's
// own fixed-layout files. Those files are single-byte and line-oriented, so a line break or a NUL
// in a name would split or cut a record: control characters become spaces, and characters that
// the single-byte set (Latin-1) lacks become "?".

#include <string>
#include <string_view>

namespace kv {

// utf8: UTF-8 text as XML files carry it. Bytes that are not valid UTF-8 count as one unknown
// character each ("?").
std::string FixedLayoutText(std::string_view utf8);

} // namespace kv
