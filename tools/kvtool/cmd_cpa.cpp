// kvtool cpa: the collision warning's closest point of approach for two vessels.

#include "Command.h"

#include "ais/AisCollision.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

int RunCpa(const kvtool::Args& args)
{
    double v[8];
    bool ok = args.size() == 8;
    for (std::size_t i = 0; ok && i < 8; ++i) {
        const char* s = args[i].c_str();
        char* end = nullptr;
        v[i] = std::strtod(s, &end);
        ok = end != s && *end == '\0' && std::isfinite(v[i]);
    }
    if (!ok) {
        std::fprintf(stderr, "usage: kvtool cpa OWNLAT OWNLONW OWNSOG OWNCOG TLAT TLONW TSOG TCOG\n");
        return 2;
    }
    const kv::CpaResult r = kv::ComputeCpa({ v[0], v[1], v[2], v[3] }, { v[4], v[5], v[6], v[7] });
    std::printf("CPA\t%.3f\tTCPA\t%.2f\n", r.cpaNm, r.tcpaMin);
    return 0;
}

const kvtool::CommandRegistration cpaReg { { "cpa",
    "OWNLAT OWNLONW OWNSOG OWNCOG TLAT TLONW TSOG TCOG: closest point of approach (nm) and time to it "
    "(minutes, negative when past); longitudes west positive",
    &RunCpa, true } };

} // namespace
