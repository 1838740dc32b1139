#pragma once
// The standard output of the stream commands ais-decode and ais-gen.

#include <cstdio>
#include <string>
#include <string_view>

namespace kvtool {

// Output gathered in one buffer and written in large blocks.
class BufferedOut {
public:
    explicit BufferedOut(std::FILE* f)
        : f_(f)
    {
        buf_.reserve(kFlushAt + 4096);
    }
    ~BufferedOut() { flush(); }
    BufferedOut(const BufferedOut&) = delete;
    BufferedOut& operator=(const BufferedOut&) = delete;

    // The text the JSON objects are appended to (kv::JsonObject).
    std::string& buffer() { return buf_; }
    void raw(std::string_view s)
    {
        if (s.size() > kFlushAt / 2) {
            flush();
            write(s.data(), s.size());
            return;
        }
        buf_ += s;
    }
    void endLine() { buf_ += '\n'; }
    void maybeFlush()
    {
        if (buf_.size() >= kFlushAt) {
            flush();
        }
    }
    bool flush()
    {
        if (!buf_.empty()) {
            write(buf_.data(), buf_.size());
            buf_.clear();
        }
        return ok_ && std::fflush(f_) == 0;
    }

private:
    void write(const char* data, std::size_t n) { ok_ = std::fwrite(data, 1, n, f_) == n && ok_; }
    static constexpr std::size_t kFlushAt = 1 << 16;
    std::FILE* f_;
    std::string buf_;
    bool ok_ = true;
};

} // namespace kvtool
