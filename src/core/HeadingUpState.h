#pragma once
// The heading-up rotation of the views. Owner: navigation (the fix cycle).

namespace kv {

struct HeadingUpState {
    double ViewAngle = 0.0; // radians
    double ViewAngleCos = 1.0;
    double ViewAngleSin = 0.0;
};

} // namespace kv
