#include "nmea/Talkers.h"

namespace kv {

bool IsReceiverTalker(std::string_view sentence)
{
    if (sentence.size() < 3 || sentence[0] != '$') {
        return false;
    }
    const std::string_view talker = sentence.substr(1, 2);
    for (const std::string_view known : { "GP", "GN", "GL", "GA", "GB", "BD", "GQ", "GI" }) {
        if (talker == known) {
            return true;
        }
    }
    return false;
}

bool IsChosenPositionSentence(std::string_view sentence, int positionSentence)
{
    if (sentence.size() < 6 || !IsReceiverTalker(sentence)) {
        return false;
    }
    const std::string_view kind = sentence.substr(3, 3);
    return (kind == "RMC" && positionSentence == 1) || (kind == "GGA" && positionSentence == 0);
}

} // namespace kv
