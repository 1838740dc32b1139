#pragma once
// The Qt application for the window tests (created on first use: GoogleTest supplies main) and
// a prepared working folder with the world chart.

#include "ais/AisEncoder.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QElapsedTimer>

#include <filesystem>
#include <string>

namespace kvtest {

inline QApplication& App()
{
    static int argc = 1;
    static char name[] = "test_ui";
    static char* argv[] = { name, nullptr };
    // Never destroyed: tearing it down among the exit handlers races Qt's own global objects.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// Runs the event loop for `ms` milliseconds, or until `done` says so.
template <class Done> bool SpinUntil(int ms, Done done)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        if (done()) {
            return true;
        }
    }
    return done();
}

inline void Spin(int ms)
{
    SpinUntil(ms, [] { return false; });
}

// charts/ (with the world chart), routes/, tides/, logs/.
inline void PrepareWorkingFolder(const TempDir& dir)
{
    namespace fs = std::filesystem;
    for (const char* folder : { "charts", "routes", "tides", "logs" }) {
        fs::create_directories(dir.file(folder));
    }
    for (const char* file : { "world.cht", "world.cfg" }) {
        fs::copy_file(fs::path(KV_SOURCE_DIR) / "demo/charts" / file, dir.file(std::string("charts/") + file),
            fs::copy_options::overwrite_existing);
    }
}

// One "!AIVDM" position report (message 1) of a vessel under way.
inline std::string AisPositionReport(unsigned mmsi, double lat, double lonEast, double sogKnots, double cogDegrees)
{
    kv::AisBitWriter w;
    w.put(1, 6);
    w.put(0, 2);
    w.put(mmsi, 30);
    w.put(0, 4);
    w.put(-128, 8);
    w.put(static_cast<std::int64_t>(sogKnots * 10), 10);
    w.put(1, 1);
    w.put(static_cast<std::int64_t>(lonEast * 600000.0), 28);
    w.put(static_cast<std::int64_t>(lat * 600000.0), 27);
    w.put(static_cast<std::int64_t>(cogDegrees * 10), 12);
    w.put(511, 9);
    w.put(30, 6);
    w.put(0, 2);
    w.put(0, 3);
    w.put(0, 1);
    w.put(0, 19);
    int fill = 0;
    const std::string payload = w.armoured(&fill);
    return kv::AisSentences(payload, fill, "")[0];
}

} // namespace kvtest
