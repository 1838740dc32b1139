#pragma once
// The night palette: every colour of a picture becomes a dim red of the same lightness on black,
// so that the chart keeps its contrasts without spoiling the eyes' adaptation to the dark.

#include "core/ExtraSettings.h"
#include "views/RenderCanvas.h"

#include <QImage>

#include <string>

namespace kv {

// Red from 0 (black) to this value for white.
inline constexpr int kNightRedMax = 170;

Rgb NightColour(Rgb colour);
// A copy of `picture` in night colours, its `background` black (the picture itself keeps the
// scheme's colours: area measurement, copies and prints work on it).
QImage NightImage(const QImage& picture, Rgb background);

// Switches the night palette and writes kvfree.ini in `appDir`; false when it could not be written.
bool SetNightPalette(ExtraSettings& extra, const std::string& appDir, bool on);

} // namespace kv
