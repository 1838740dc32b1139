#include "core/GpsdStream.h"

namespace kv {

std::string GpsdNmeaFilter::filter(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        if (lineStart_ && c == '{') {
            inJson_ = true;
        }
        const bool lineEnd = c == '\n' || c == '\r';
        if (!inJson_) {
            out += c;
        }
        if (c == '\n') {
            inJson_ = false;
        }
        lineStart_ = lineEnd;
    }
    return out;
}

} // namespace kv
