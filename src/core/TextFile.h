#pragma once
// Whole-file reading and writing. Text files are written with CR LF and read accepting CR LF or
// LF. A file the program rewrites goes to a temporary file in the same folder that is then
// renamed over the old one, so a crash or a full disk never leaves a half-written file.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

std::optional<std::string> ReadWholeFile(const std::string& path);
std::optional<std::vector<std::string>> ReadTextLines(const std::string& path);
std::vector<std::string> SplitLines(std::string_view content);

bool WriteFileAtomic(const std::string& path, std::string_view bytes);
bool WriteTextLinesAtomic(const std::string& path, const std::vector<std::string>& lines);
// Appends in one write: a whole line or a whole record, never a part of one.
bool AppendToFile(const std::string& path, std::string_view bytes);

bool FileExists(const std::string& path);
std::optional<unsigned long long> FileSize(const std::string& path);

} // namespace kv
