#include "nmea/SentenceFramer.h"

namespace kv {

void SentenceFramer::feed(std::string_view bytes, const Sink& sink)
{
    while (!bytes.empty()) {
        const auto brk = bytes.find_first_of("\r\n");
        const auto end = brk == std::string_view::npos ? bytes.size() : brk + 1;
        buffer_.append(bytes.substr(0, brk == std::string_view::npos ? end : brk));
        if (buffer_.size() >= kSentenceLimit) {
            buffer_.clear();
            if (sink.discarded) {
                sink.discarded();
            }
        }
        if (brk != std::string_view::npos && bytes[brk] == '\r') {
            // The handler may feed or clear the buffer; it gets its own copy of the sentence.
            const std::string sentence = buffer_;
            buffer_.clear();
            if (sink.sentence) {
                sink.sentence(sentence);
            }
        }
        bytes.remove_prefix(end);
    }
}

} // namespace kv
