#pragma once
// A single-byte text of at most N characters: assigning a longer value cuts it at N, as the
// program's fixed-length fields and record layouts require.

#include <cstddef>
#include <string>
#include <string_view>

namespace kv {

template <std::size_t N> class ShortString {
public:
    static constexpr std::size_t capacity = N;

    ShortString() = default;
    ShortString(std::string_view text)
        : text_(text.substr(0, N))
    {
    } // NOLINT(google-explicit-constructor)
    ShortString(const char* text)
        : ShortString(std::string_view(text))
    {
    } // NOLINT(google-explicit-constructor)
    ShortString(const std::string& text)
        : ShortString(std::string_view(text))
    {
    } // NOLINT(google-explicit-constructor)

    ShortString& operator=(std::string_view text)
    {
        text_.assign(text.substr(0, N));
        return *this;
    }
    ShortString& operator=(const char* text) { return *this = std::string_view(text); }
    ShortString& operator=(const std::string& text) { return *this = std::string_view(text); }

    const std::string& str() const { return text_; }
    operator std::string_view() const { return text_; } // NOLINT(google-explicit-constructor)
    const char* c_str() const { return text_.c_str(); }
    std::size_t size() const { return text_.size(); }
    bool empty() const { return text_.empty(); }
    void clear() { text_.clear(); }

    friend bool operator==(const ShortString& a, std::string_view b) { return a.text_ == b; }

private:
    std::string text_;
};

template <std::size_t N> std::string operator+(const std::string& a, const ShortString<N>& b)
{
    return a + b.str();
}
template <std::size_t N> std::string operator+(const ShortString<N>& a, const std::string& b)
{
    return a.str() + b;
}
template <std::size_t N> std::string operator+(const char* a, const ShortString<N>& b)
{
    return a + b.str();
}
template <std::size_t N> std::string operator+(const ShortString<N>& a, const char* b)
{
    return a.str() + b;
}

} // namespace kv
