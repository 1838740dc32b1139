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
        // Some daemons end their lines with CR alone, so either end closes a report; the LF of a
        // report's CR LF goes with it.
        const bool reportEnd = inJson_ || (afterReport_ && c == '\n');
        if (!reportEnd) {
            out += c;
        }
        afterReport_ = inJson_ && c == '\r';
        if (lineEnd) {
            inJson_ = false;
        }
        lineStart_ = lineEnd;
    }
    return out;
}

} // namespace kv
