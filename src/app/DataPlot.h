#pragma once
// The data trend plot of the main window: the cross-track offset of each fix in the quick log
// from the active leg (or, without one, from the line through the first and last fix), in metres,
// drawn left to right with full scale 4500 / gain metres either side of the middle line.

#include "app/ProgramState.h"

#include <QImage>

#include <string>
#include <vector>

namespace kv {

inline constexpr double kPlotFullScaleAtGainOne = 4500.0;
inline constexpr int kPlotMarkHeight = 86;

// Gain changes keep it at least 1; the spin step is 1 up to 99 and 100 above; the hint shows
// the full scale.
void DataGainChange(DataPlotState& plot, Display& display, int gain);
std::string FullScaleHint(int gain);

// Offsets (metres, right of the track positive) of the quick-log fixes.
std::vector<double> CrossTrackOffsets(const ProgramState& state);

// A fresh plot: background, the middle line, the offsets in the foreground colour and, unless
// every fix is plotted, the two red marks.
QImage DrawDataPlot(const ProgramState& state, const DataPlotState& plot, int width, int height);

} // namespace kv
