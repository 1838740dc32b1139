#pragma once
// The lines of the AIS target information window for one target.

#include "ais/OwnShip.h"
#include "core/ExtraSettings.h"
#include "platform/Clock.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kv {

struct AisState;
struct TAISTarget;

// The 21 lines of target n (1-based), followed by the technical lines when
// AdditionalTargetData is on. A Class B vessel or an aid to navigation gets its own shorter set,
// headed by its class. `now` is the computer's local date and time. With collision warnings on in
// `collision`, a moving target's closest approach follows last (CollisionLines).
std::vector<std::string> WriteTargetText(
    const AisState& ais, const OwnShip& own, int n, const LocalDateTime& now, const ExtraSettings* collision = nullptr);

// "CPA 0.22 Nm", "TCPA 8.9 Min" and, for a target inside the limits, "DANGEROUS TARGET"; nothing
// while collision warnings are off or for a target whose motion gives no closest approach.
std::vector<std::string> CollisionLines(const TAISTarget& t, const OwnShip& own, const ExtraSettings& collision);

// Pieces of the text, exposed for the views and the tests.
std::string AisNavStatusText(const TAISTarget& t);
std::string AisEpfdText(unsigned epfd);
std::string AisEtaText(std::uint32_t eta, int currentYear);
std::string AisRotText(std::uint8_t rot);
std::string AisAgeText(double heardDays, double nowDays);
std::string AisLatText(std::int32_t latitude);
std::string AisLongText(std::int32_t longitude);
// "Class A", "Class B", "Aid to Navigation", ...
std::string AisClassText(const TAISTarget& t);
// The kind of an aid to navigation (0..31).
std::string AisAidTypeText(unsigned aidType);

} // namespace kv
