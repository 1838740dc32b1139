#pragma once
// Shared helpers of the chart tests: chart images made from points, a program with fakes.

#include "app/ProgramState.h"
#include "charts/ChartFiles.h"
#include "platform/fake/Fakes.h"
#include "support/TempDir.h"

#include <string>
#include <vector>

namespace kvtest {

// The bytes of a chart file as the program writes it: the points, then the terminating pen-up.
inline std::string ChartImage(const std::vector<kv::ChartPoint>& points, bool terminate = true)
{
    std::vector<kv::ChartPoint> all = points;
    if (terminate) {
        all.push_back(kv::ChartPoint::penUp());
    }
    return kv::ChartRecordBytes(all);
}

// n points of line type 0 along a meridian, latitudes 50.000, 50.001, ...
inline std::vector<kv::ChartPoint> Line(int n, double lon = 1.0, int type = 0)
{
    std::vector<kv::ChartPoint> points;
    for (int i = 0; i < n; ++i) {
        points.push_back(kv::ChartPoint::make(50.0 + i * 0.001, lon, type));
    }
    return points;
}

struct RecordingHooks : kv::ChartViewHooks {
    void setViewCaptions(const std::string& caption) override { captions.push_back(caption); }
    void RefreshViews() override { ++refreshes; }
    void UpdateMenuItems() override { ++menuUpdates; }
    void rebuildChartIndex() override { ++indexRebuilds; }
    void createView(const std::string& caption) override { createdViews.push_back(caption); }
    void closeLowestView() override { ++closedViews; }
    void endProgram() override { ended = true; }

    std::vector<std::string> captions;
    std::vector<std::string> createdViews;
    int refreshes = 0, menuUpdates = 0, indexRebuilds = 0, closedViews = 0;
    bool ended = false;
};

// A program with fakes and a working folder holding charts/ and routes/.
struct ChartProgram {
    ChartProgram()
    {
        state.folders.AppDir = dir.path() + "/";
        std::filesystem::create_directories(dir.file("charts"));
        std::filesystem::create_directories(dir.file("routes"));
    }
    std::string chartPath(const std::string& name) const { return dir.file("charts/" + name); }
    void writeChart(const std::string& name, const std::string& bytes) const { dir.write("charts/" + name, bytes); }
    std::vector<std::string> messages() const { return fakes.prompter.texts(); }

    TempDir dir;
    kv::ProgramState state;
    kv::FakePlatform fakes;
    RecordingHooks hooks;
    kv::ChartFiles files { state, fakes.platform, hooks };
};

} // namespace kvtest
