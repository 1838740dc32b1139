#pragma once
// The standard output of the stream commands ais-decode and ais-gen.

#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

namespace kvtool {

// Output gathered in one buffer and written in large blocks. A message reserves room for the
// largest object first, so the writes inside it need no further checks.
class BufferedOut {
public:
    explicit BufferedOut(std::FILE* f) : f_(f), buf_(new char[kSize]), p_(buf_.get()) {}
    ~BufferedOut() { flush(); }
    BufferedOut(const BufferedOut&) = delete;
    BufferedOut& operator=(const BufferedOut&) = delete;

    // Makes room for n more bytes (n at most kRoom without a check in the writers that use it).
    void reserve(std::size_t n)
    {
        if (static_cast<std::size_t>(buf_.get() + kSize - p_) < n) {
            flush();
        }
    }
    void raw(std::string_view s)
    {
        if (s.size() > kSize / 2) {
            flush();
            write(s.data(), s.size());
            return;
        }
        reserve(s.size());
        put(s);
    }
    void put(std::string_view s)
    {
        std::memcpy(p_, s.data(), s.size());
        p_ += s.size();
    }
    void ch(char c) { *p_++ = c; }
    void number(long long v) { p_ = std::to_chars(p_, p_ + 24, v).ptr; }
    // A JSON string of Latin-1 bytes: each byte is the code point of the same value.
    void text(std::string_view s)
    {
        *p_++ = '"';
        for (const char c : s) {
            const auto u = static_cast<unsigned char>(c);
            if (u == '"' || u == '\\') {
                *p_++ = '\\';
                *p_++ = c;
            } else if (u < 0x20) {
                static const char hex[] = "0123456789abcdef";
                put("\\u00");
                *p_++ = hex[u >> 4];
                *p_++ = hex[u & 15];
            } else if (u >= 0x80) {
                *p_++ = static_cast<char>(0xC0 | (u >> 6));
                *p_++ = static_cast<char>(0x80 | (u & 0x3F));
            } else {
                *p_++ = c;
            }
        }
        *p_++ = '"';
    }
    void endLine() { *p_++ = '\n'; }
    void maybeFlush()
    {
        if (static_cast<std::size_t>(p_ - buf_.get()) >= kFlushAt) {
            flush();
        }
    }
    bool flush()
    {
        if (p_ != buf_.get()) {
            write(buf_.get(), static_cast<std::size_t>(p_ - buf_.get()));
            p_ = buf_.get();
        }
        return ok_ && std::fflush(f_) == 0;
    }

    static constexpr std::size_t kRoom = 4096; // more than any one message's object

private:
    void write(const char* data, std::size_t n) { ok_ = std::fwrite(data, 1, n, f_) == n && ok_; }
    static constexpr std::size_t kFlushAt = 1 << 16;
    static constexpr std::size_t kSize = kFlushAt + kRoom;
    std::FILE* f_;
    std::unique_ptr<char[]> buf_;
    char* p_;
    bool ok_ = true;
};

} // namespace kvtool
