#pragma once
// Shared by the fuzz targets: the check that stops a run when a reader breaks one of its own
// promises, and scratch files for the readers that take a path.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace kvfuzz {

[[noreturn]] inline void Broken(const char* what, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: reader promise broken: %s\n", file, line, what);
    std::abort();
}

#define KV_FUZZ_CHECK(condition)                                                                                       \
    do {                                                                                                               \
        if (!(condition)) {                                                                                            \
            ::kvfuzz::Broken(#condition, __FILE__, __LINE__);                                                          \
        }                                                                                                              \
    } while (0)

inline bool Finite(double value)
{
    return std::isfinite(value);
}

// A private folder made on first use (under $TMPDIR) and removed when the run ends normally.
class Scratch {
public:
    static Scratch& get()
    {
        static Scratch scratch;
        return scratch;
    }
    const std::string& folder() const { return folder_; }
    std::string path(const std::string& name) const { return folder_ + "/" + name; }
    // Writes bytes as the whole of file `name` in the folder (made or replaced) and returns its path.
    std::string write(const std::string& name, std::string_view bytes) const
    {
        const std::string p = path(name);
        const int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0) {
            Broken("scratch file cannot be written", __FILE__, __LINE__);
        }
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n <= 0) {
                Broken("scratch file cannot be written", __FILE__, __LINE__);
            }
            done += static_cast<std::size_t>(n);
        }
        ::close(fd);
        return p;
    }
    void remove(const std::string& name) const { ::unlink(path(name).c_str()); }

private:
    Scratch()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kvfuzz-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            Broken("no scratch folder", __FILE__, __LINE__);
        }
        folder_ = pattern;
    }
    ~Scratch()
    {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    std::string folder_;
};

// Splits one input into two files' contents: the first two bytes give the length of the first
// (little-endian, cut to what is there), the rest is the second.
inline std::pair<std::string_view, std::string_view> SplitTwo(std::string_view input)
{
    if (input.size() < 2) {
        return { {}, input };
    }
    std::size_t n
        = static_cast<unsigned char>(input[0]) | (static_cast<std::size_t>(static_cast<unsigned char>(input[1])) << 8);
    input.remove_prefix(2);
    n = std::min(n, input.size());
    return { input.substr(0, n), input.substr(n) };
}

inline std::string_view AsText(const std::uint8_t* data, std::size_t size)
{
    return { reinterpret_cast<const char*>(data), size };
}

} // namespace kvfuzz
