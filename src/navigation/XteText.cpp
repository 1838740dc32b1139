#include "navigation/XteText.h"

#include "core/Format.h"

#include <cmath>

namespace kv {

std::string XteGaugeText(double xteNm)
{
    std::string size = Trim(FormatFixed(std::fabs(xteNm), 0, 2));
    if (size == "0.00") {
        return size;
    }
    return size + (xteNm > 0.0 ? " R" : " L"); // right positive
}

} // namespace kv
