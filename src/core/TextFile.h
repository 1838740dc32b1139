#pragma once
// Whole-file reading and writing. Text files are written with CR LF and read accepting CR LF or
// LF. A file the program rewrites goes to a temporary file in the same folder that is then
// renamed over the old one, so a crash or a full disk never leaves a half-written file.

#include <cstddef>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kv {

// Only regular files are read: a folder, a FIFO or a device where a file is expected is refused
// at once (a FIFO would otherwise block the program until something writes to it). A file larger
// than maxBytes is refused without being read. Nothing here throws.
struct FileReadResult {
    std::optional<std::string> bytes;
    std::string problem; // why there are no bytes, in words: "is a folder", "does not exist", ...
};
FileReadResult ReadRegularFile(const std::string& path, std::size_t maxBytes = std::numeric_limits<std::size_t>::max());
std::optional<std::string> ReadWholeFile(const std::string& path);
// For readers that stream a file themselves: what stops path from being read as a regular file
// ("is a folder, not a file", ...), or "" when it can be read. Never blocks on a FIFO.
std::string RegularFileProblem(const std::string& path);
std::optional<std::vector<std::string>> ReadTextLines(const std::string& path);
std::vector<std::string> SplitLines(std::string_view content);

// For readers that follow a growing file (a log): its first bytes, the bytes from an offset to
// its end, and what tells one file from another. Only regular files; nothing when unreadable.
struct FileSlice {
    std::string head; // the first headBytes bytes (fewer in a shorter file)
    std::string tail; // from `from` to the end; empty when the file is shorter
    unsigned long long device = 0;
    unsigned long long inode = 0;
    unsigned long long size = 0;
};
std::optional<FileSlice> ReadFileSlice(const std::string& path, std::size_t headBytes, unsigned long long from);

bool WriteFileAtomic(const std::string& path, std::string_view bytes);
bool WriteTextLinesAtomic(const std::string& path, const std::vector<std::string>& lines);
// Appends in one write: a whole line or a whole record, never a part of one.
bool AppendToFile(const std::string& path, std::string_view bytes);
// Opens a regular file for appending (created when missing) with `access` (O_WRONLY or O_RDWR);
// -1 when it cannot be opened or is not a regular file (a folder, a FIFO, a device).
int OpenForAppend(const std::string& path, int access);
// Appends whole lines of a text log. A file that does not end in a line end (the program was
// killed in the middle of an append: the kernel copies a write page by page) first gets one, so
// the piece stays a line of its own and the new lines are whole.
bool AppendLinesToFile(const std::string& path, std::string_view lines);
// Appends whole fixed-size records (bytes holds a whole number of them). A file whose length is
// not a multiple of recordSize ends in the start of a record a killed append left: that piece is
// cut off first, so the file holds whole records only and every record before it stays as it
// was. False when the file cannot be written.
bool AppendWholeRecords(const std::string& path, std::string_view bytes, std::size_t recordSize);

bool FileExists(const std::string& path);
// Something (a file, folder, FIFO, dangling link ...) stands at path.
bool PathTaken(const std::string& path);

// Moves path to the first of nameFor(0), nameFor(1), ... that nothing stands at, never replacing
// an existing entry. The new name, or nothing when the move failed (path is then left as it was).
std::optional<std::string> MoveAside(const std::string& path, const std::function<std::string(int)>& nameFor);

// Removes the temporaries that an interrupted rewrite (see WriteFileAtomic) left in folder: only
// regular files named ".kvtmp-<name>-XXXXXX". Returns how many went.
int RemoveStaleTemporaries(const std::string& folder);
bool IsAtomicWriteTemporary(std::string_view fileName);
std::optional<unsigned long long> FileSize(const std::string& path);

} // namespace kv
