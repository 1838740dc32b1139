#include "ais/AisSmallCraftTargets.h"

#include "ais/AisTargets.h"

#include <algorithm>

namespace kv {

namespace {

template <std::size_t N, std::size_t M> void SetText(AisString<N>& field, const AisFixedText<M>& text)
{
    field.set(text.view().substr(0, N));
}

// The fields Class B position and extended reports (18 and 19) share.
template <typename M> void CopyClassBHead(TAISTarget& r, const M& m)
{
    r.MsgType = m.MsgType;
    r.Repeat = m.Repeat;
    r.MMSI = m.MMSI;
    r.SOG = m.SOG;
    r.PosAccuracy = m.PosAccuracy;
    r.Longitude = m.Longitude;
    r.Latitude = m.Latitude;
    r.COG = m.COG;
    r.TrueHeading = m.TrueHeading;
    r.TimeStamp = m.TimeStamp;
}

struct ToRecord {
    TAISTarget& r;
    void operator()(const std::monostate&) const { }
    void operator()(const AisClassBPosition& m) const
    {
        CopyClassBHead(r, m);
        r.Regional = m.Regional2;
        r.RAIM = m.RAIM;
        r.CommState = m.CommState;
    }
    void operator()(const AisClassBExtended& m) const
    {
        CopyClassBHead(r, m);
        r.Regional = m.Regional4;
        SetText(r.VesselName, m.VesselName);
        r.ShipType = m.ShipType;
        r.DimA = m.DimA;
        r.DimB = m.DimB;
        r.DimC = m.DimC;
        r.DimD = m.DimD;
        r.EPFD = m.EPFD;
        r.RAIM = m.RAIM;
        r.DTE = m.DTE;
    }
    void operator()(const AisAidToNavigation& m) const
    {
        r.MsgType = m.MsgType;
        r.Repeat = m.Repeat;
        r.MMSI = m.MMSI;
        r.ShipType = m.AidType;
        SetText(r.VesselName, m.Name);
        r.PosAccuracy = m.PosAccuracy;
        r.Longitude = m.Longitude;
        r.Latitude = m.Latitude;
        r.DimA = m.DimA;
        r.DimB = m.DimB;
        r.DimC = m.DimC;
        r.DimD = m.DimD;
        r.EPFD = m.EPFD;
        r.TimeStamp = m.TimeStamp;
        r.RAIM = m.RAIM;
        r.Spare = m.Virtual;
        r.TrueHeading = 511; // an aid has no heading
    }
    void operator()(const AisClassBStatic& m) const
    {
        r.MsgType = m.MsgType;
        r.Repeat = m.Repeat;
        r.MMSI = m.MMSI;
        if (m.PartNumber == 0) {
            SetText(r.VesselName, m.VesselName);
        } else {
            r.ShipType = m.ShipType;
            SetText(r.CallSign, m.CallSign);
            if (!IsAuxiliaryCraft(m.MMSI)) {
                r.DimA = m.DimA;
                r.DimB = m.DimB;
                r.DimC = m.DimC;
                r.DimD = m.DimD;
            }
        }
        r.Reserved52 = m.PartNumber; // which part the record holds (the text window reads it)
    }
};

} // namespace

bool SmallCraftToCurrent(AisState& ais, AisSmallCraftCounts& counts)
{
    AisAssembler& a = ais.assembler;
    if (a.LastDropped || a.Current.MsgType != 0) {
        return false;
    }
    AisSmallCraftMessage message;
    const AisSmallCraftResult result = DecodeSmallCraft(a.SixBitBuf, a.PayloadSymbols * 6, message);
    counts.add(result);
    if (result != AisSmallCraftResult::Decoded) {
        return false;
    }
    if (const auto* s = std::get_if<AisClassBStatic>(&message)) {
        if (std::none_of(
                ais.targets.begin(), ais.targets.end(), [&](const TAISTarget& t) { return t.MMSI == s->MMSI; })) {
            return false;
        }
    }
    std::visit(ToRecord { a.Current }, message);
    return true;
}

bool CopySmallCraft(const TAISTarget& m, TAISTarget& t)
{
    switch (m.MsgType) {
    case 18:
    case 19:
    case 21: {
        // Position reports replace what they carry; the name and dimensions of an earlier 24
        // stay unless this message has its own.
        const AisString<20> name = t.VesselName;
        const std::uint16_t shipType = t.ShipType;
        t.MsgType = m.MsgType;
        t.Repeat = m.Repeat;
        t.SOG = m.SOG;
        t.PosAccuracy = m.PosAccuracy;
        t.Longitude = m.Longitude;
        t.Latitude = m.Latitude;
        t.COG = m.COG;
        t.TrueHeading = m.TrueHeading;
        t.TimeStamp = m.TimeStamp;
        t.Regional = m.Regional;
        t.RAIM = m.RAIM;
        t.CommState = m.CommState;
        t.Spare = m.Spare;
        if (m.MsgType != 18) {
            t.VesselName = m.VesselName;
            t.ShipType = m.ShipType;
            t.DimA = m.DimA;
            t.DimB = m.DimB;
            t.DimC = m.DimC;
            t.DimD = m.DimD;
            t.EPFD = m.EPFD;
        } else {
            t.VesselName = name;
            t.ShipType = shipType;
        }
        AddTrackPosition(t, AisLatDegrees(m), AisLonDegrees(m));
        return true;
    }
    case 24:
        t.MsgType = 24;
        if (m.Reserved52 == 0) {
            t.VesselName = m.VesselName;
        } else {
            t.ShipType = m.ShipType;
            t.CallSign = m.CallSign;
            if (!IsAuxiliaryCraft(m.MMSI)) { // its dimension bits are the mother ship's MMSI
                t.DimA = m.DimA;
                t.DimB = m.DimB;
                t.DimC = m.DimC;
                t.DimD = m.DimD;
            }
        }
        t.Reserved52 = m.Reserved52;
        return true;
    default:
        return false;
    }
}

AisTargetClass TargetClass(const TAISTarget& t)
{
    switch (t.MsgType) {
    case 18:
    case 19:
    case 24:
        return AisTargetClass::ClassB;
    case 21:
        return t.Spare != 0 ? AisTargetClass::VirtualAidToNavigation : AisTargetClass::AidToNavigation;
    default:
        return AisTargetClass::ClassA;
    }
}

} // namespace kv
