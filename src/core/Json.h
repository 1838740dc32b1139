#pragma once
// JSON writing for the tools' line-per-record output and logs. Texts of the program are Latin-1
// bytes: each byte becomes the code point of the same value (bytes 128-255 are written as the
// UTF-8 of U+0080..U+00FF), so the JSON is valid UTF-8 whatever the input.

#include <charconv>
#include <string>
#include <string_view>

namespace kv {

// Appends a quoted JSON string: quote, backslash and control characters escaped.
void AppendJsonString(std::string& out, std::string_view latin1);
std::string JsonString(std::string_view latin1);
// A JSON number in the shortest form that reads back as the same double; non-finite values
// (which JSON cannot hold) are written as null.
std::string JsonNumber(double value);

// One JSON object written member by member onto the end of a text; the members appear in the
// order written and only the values are escaped. The object is closed by close() or, at the latest, when the writer
// goes.
class JsonObject {
public:
    explicit JsonObject(std::string& out)
        : out_(out)
    {
        out_ += '{';
    }
    ~JsonObject() { close(); }
    JsonObject(const JsonObject&) = delete;
    JsonObject& operator=(const JsonObject&) = delete;

    void text(std::string_view key, std::string_view value)
    {
        this->key(key);
        AppendJsonString(out_, value);
    }
    void number(std::string_view key, double value)
    {
        this->key(key);
        out_ += JsonNumber(value);
    }
    void integer(std::string_view key, long long value)
    {
        this->key(key);
        char buf[24];
        out_.append(buf, std::to_chars(buf, buf + sizeof buf, value).ptr);
    }
    void flag(std::string_view key, bool value)
    {
        this->key(key);
        out_ += value ? "true" : "false";
    }
    void close()
    {
        if (!closed_) {
            out_ += '}';
            closed_ = true;
        }
    }

private:
    // Keys are the program's own member names, plain ASCII that needs no escape.
    void key(std::string_view k)
    {
        out_ += first_ ? "\"" : ",\"";
        first_ = false;
        out_ += k;
        out_ += "\":";
    }
    std::string& out_;
    bool first_ = true;
    bool closed_ = false;
};

} // namespace kv
