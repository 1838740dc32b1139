#include "views/RenderPlotter.h"

namespace kv {

Pen PenForLineCode(int code, const SchemeColours& colours)
{
    switch (code) {
    case LineCode::Black:
        return { kBlack, PenStyle::Solid, 1 };
    case LineCode::DottedLime:
        return { kLime, PenStyle::Dot, 1 };
    case LineCode::Track:
        return { colours.trackFG ? colours.foreground : kYellow, PenStyle::Dot, 1 };
    case LineCode::DottedBlue:
        return { kBlue, PenStyle::Dot, 1 };
    case LineCode::DottedAqua:
        return { kAqua, PenStyle::Dot, 1 };
    case LineCode::Meridian:
        return { kMeridianColour, PenStyle::DashDot, 1 };
    case LineCode::SolidLime:
        return { kLime, PenStyle::Solid, 1 };
    case LineCode::SolidBlue:
        return { kBlue, PenStyle::Solid, 1 };
    case LineCode::SolidAqua:
        return { kAqua, PenStyle::Solid, 1 };
    case LineCode::Foreground:
        return { colours.foreground, PenStyle::Solid, 1 };
    case LineCode::Route:
        return { kRed, PenStyle::Solid, 1 };
    case LineCode::Graticule:
        return { kGrey, PenStyle::Solid, 1 };
    case LineCode::Grid:
        return { kSilver, PenStyle::Solid, 1 };
    case LineCode::Lime:
        return { kLime, PenStyle::Solid, 1 };
    case LineCode::Fuchsia:
        return { kFuchsia, PenStyle::Solid, 1 };
    default:
        // No other codes are used; an unknown one draws in the foreground colour.
        return { colours.foreground, PenStyle::Solid, 1 };
    }
}

} // namespace kv
