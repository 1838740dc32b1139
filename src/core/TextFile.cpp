#include "core/TextFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include <cctype>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kv {

namespace {

// Opens path for reading when it is a regular file; otherwise says why not and returns -1.
// Non-blocking, so that opening a FIFO returns at once and fstat can tell what it is.
int OpenRegular(const std::string& path, struct stat& st, std::string& problem)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        problem = errno == ENOENT ? "does not exist" : std::strerror(errno);
        return -1;
    }
    if (::fstat(fd, &st) != 0) {
        problem = std::strerror(errno);
    } else if (S_ISDIR(st.st_mode)) {
        problem = "is a folder, not a file";
    } else if (!S_ISREG(st.st_mode)) {
        problem = "is not a regular file";
    }
    if (!problem.empty()) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

std::string RegularFileProblem(const std::string& path)
{
    struct stat st { };
    std::string problem;
    const int fd = OpenRegular(path, st, problem);
    if (fd >= 0) {
        ::close(fd);
    }
    return problem;
}

FileReadResult ReadRegularFile(const std::string& path, std::size_t maxBytes)
{
    FileReadResult result;
    struct stat st { };
    const int fd = OpenRegular(path, st, result.problem);
    if (fd < 0) {
        return result;
    }
    if (static_cast<unsigned long long>(st.st_size) > maxBytes) {
        result.problem = "is larger than " + std::to_string(maxBytes) + " bytes";
        ::close(fd);
        return result;
    }
    std::string content;
    content.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            result.problem = std::strerror(errno);
            break;
        }
        if (n == 0) {
            break;
        }
        if (content.size() + static_cast<std::size_t>(n) > maxBytes) {
            // The file grew while it was read.
            result.problem = "is larger than " + std::to_string(maxBytes) + " bytes";
            break;
        }
        content.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (result.problem.empty()) {
        result.bytes = std::move(content);
    }
    return result;
}

namespace {

// Reads length bytes at offset (fewer at the end of the file); false on an error.
bool ReadAt(int fd, unsigned long long offset, std::size_t length, std::string& out)
{
    out.resize(length);
    std::size_t done = 0;
    while (done < length) {
        const ssize_t n = ::pread(fd, out.data() + done, length - done, static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
    out.resize(done);
    return true;
}

} // namespace

std::optional<FileSlice> ReadFileSlice(const std::string& path, std::size_t headBytes, unsigned long long from)
{
    struct stat st { };
    std::string problem;
    const int fd = OpenRegular(path, st, problem);
    if (fd < 0) {
        return std::nullopt;
    }
    FileSlice slice;
    slice.device = static_cast<unsigned long long>(st.st_dev);
    slice.inode = static_cast<unsigned long long>(st.st_ino);
    slice.size = static_cast<unsigned long long>(st.st_size);
    const auto size = slice.size;
    const bool ok = ReadAt(fd, 0, static_cast<std::size_t>(std::min<unsigned long long>(headBytes, size)), slice.head)
        && (from >= size || ReadAt(fd, from, static_cast<std::size_t>(size - from), slice.tail));
    ::close(fd);
    if (!ok) {
        return std::nullopt;
    }
    return slice;
}

std::optional<std::string> ReadWholeFile(const std::string& path)
{
    return ReadRegularFile(path).bytes;
}

std::vector<std::string> SplitLines(std::string_view content)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        auto end = content.find('\n', start);
        if (end == std::string_view::npos) {
            end = content.size();
        }
        std::string_view line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.emplace_back(line);
        start = end + 1;
    }
    return lines;
}

std::optional<std::vector<std::string>> ReadTextLines(const std::string& path)
{
    auto content = ReadWholeFile(path);
    if (!content) {
        return std::nullopt;
    }
    return SplitLines(*content);
}

namespace {

bool WriteAll(int fd, std::string_view bytes)
{
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

bool WriteFileAtomic(const std::string& path, std::string_view bytes)
{
    namespace fs = std::filesystem;
    const fs::path target(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string pattern = (folder / (".kvtmp-" + target.filename().string() + "-XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        return false;
    }
    bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) {
        // Keep the permissions a user would expect of a freshly created file.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::chmod(pattern.c_str(), 0666 & ~mask);
        ok = std::rename(pattern.c_str(), path.c_str()) == 0;
    }
    if (!ok) {
        ::unlink(pattern.c_str());
    }
    return ok;
}

bool WriteTextLinesAtomic(const std::string& path, const std::vector<std::string>& lines)
{
    std::string content;
    for (const auto& line : lines) {
        content += line;
        content += "\r\n";
    }
    return WriteFileAtomic(path, content);
}

int OpenForAppend(const std::string& path, int access)
{
    // Non-blocking: a FIFO in the file's place must not stop the program until someone reads it.
    const int fd = ::open(path.c_str(), access | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0666);
    if (fd < 0) {
        return -1;
    }
    struct stat st { };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool AppendToFile(const std::string& path, std::string_view bytes)
{
    const int fd = OpenForAppend(path, O_WRONLY);
    if (fd < 0) {
        return false;
    }
    const bool ok = WriteAll(fd, bytes);
    return (::close(fd) == 0) && ok;
}

bool AppendLinesToFile(const std::string& path, std::string_view lines)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0666);
    if (fd < 0) {
        return false;
    }
    struct stat st { };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    std::string text;
    char last = '\n';
    if (st.st_size > 0 && ::pread(fd, &last, 1, st.st_size - 1) == 1 && last != '\n') {
        text = "\r\n";
    }
    text.append(lines);
    const bool ok = WriteAll(fd, text);
    return (::close(fd) == 0) && ok;
}

bool AppendWholeRecords(const std::string& path, std::string_view bytes, std::size_t recordSize)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0666);
    if (fd < 0) {
        return false;
    }
    struct stat st { };
    if (recordSize == 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    const auto size = static_cast<std::size_t>(st.st_size);
    const std::size_t piece = size % recordSize;
    // A kill between the cut and the write leaves whole records only, which is what the readers
    // take anyway.
    if (piece != 0 && ::ftruncate(fd, static_cast<off_t>(size - piece)) != 0) {
        ::close(fd);
        return false;
    }
    const bool ok = WriteAll(fd, bytes);
    return (::close(fd) == 0) && ok;
}

bool FileExists(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);
}

bool PathTaken(const std::string& path)
{
    struct stat st { };
    return ::lstat(path.c_str(), &st) == 0;
}

std::optional<std::string> MoveAside(const std::string& path, const std::function<std::string(int)>& nameFor)
{
    // Bounded, so that a folder full of earlier copies cannot keep the program searching.
    for (int n = 0; n < 10000; ++n) {
        const std::string target = nameFor(n);
        if (PathTaken(target)) {
            continue;
        }
        if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
            return target;
        }
        if (errno == EEXIST) {
            continue; // taken between the look and the move
        }
        if (errno == EINVAL || errno == ENOSYS) {
            // A file system without the no-replace move: the look above has to do.
            if (std::rename(path.c_str(), target.c_str()) == 0) {
                return target;
            }
        }
        return std::nullopt;
    }
    return std::nullopt;
}

bool IsAtomicWriteTemporary(std::string_view fileName)
{
    // ".kvtmp-" + the target's name + "-" + the six characters mkstemp puts in.
    constexpr std::string_view prefix = ".kvtmp-";
    if (fileName.size() < prefix.size() + 1 + 1 + 6 || fileName.substr(0, prefix.size()) != prefix) {
        return false;
    }
    if (fileName[fileName.size() - 7] != '-') {
        return false;
    }
    for (const char c : fileName.substr(fileName.size() - 6)) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

int RemoveStaleTemporaries(const std::string& folder)
{
    namespace fs = std::filesystem;
    if (folder.empty()) {
        return 0; // no folder known: the current one is not necessarily the program's
    }
    std::error_code ec;
    fs::directory_iterator it(fs::path(folder), ec);
    int removed = 0;
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code typeError;
        if (!IsAtomicWriteTemporary(it->path().filename().string()) || !it->is_regular_file(typeError)
            || it->is_symlink(typeError)) {
            continue;
        }
        std::error_code removeError;
        if (fs::remove(it->path(), removeError)) {
            ++removed;
        }
    }
    return removed;
}

std::optional<unsigned long long> FileSize(const std::string& path)
{
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) {
        return std::nullopt;
    }
    return size;
}

} // namespace kv
