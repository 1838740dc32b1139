#pragma once
// Class B and aid-to-navigation stations as targets, behind the "Class B and AtoN targets"
// switch of kvfree.ini. Their messages are put into the current record with the fields the
// record has, so that the target table treats them like the Class A messages: MsgType keeps the
// real type (18, 19, 21 or 24); an aid to navigation keeps its aid type in ShipType, its name
// (the first 20 characters) in VesselName and its virtual flag in Spare.

#include "ais/AisSmallCraft.h"
#include "ais/AisState.h"

namespace kv {

// After the assembler completed a message: a Class B or AtoN message becomes the current record.
// A static data report (24) of a station not in the table is left out (it carries no position to
// place a new target at); short messages and part numbers 2 and 3 are dropped and counted.
// Returns true when the current record was filled.
bool SmallCraftToCurrent(AisState& ais, AisSmallCraftCounts& counts);

// Copies a Class B or AtoN current record into the target with its MMSI; false for other types.
bool CopySmallCraft(const TAISTarget& m, TAISTarget& t);

enum class AisTargetClass { ClassA, ClassB, AidToNavigation, VirtualAidToNavigation };
AisTargetClass TargetClass(const TAISTarget& t);

} // namespace kv
