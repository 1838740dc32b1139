#include "views/NightPalette.h"

#include <algorithm>

namespace kv {

Rgb NightColour(Rgb colour)
{
    const int r = static_cast<int>((colour >> 16) & 0xFF);
    const int g = static_cast<int>((colour >> 8) & 0xFF);
    const int b = static_cast<int>(colour & 0xFF);
    // Lightness as the eye weighs the three primaries, raised halfway to the strongest primary so
    // that a red or blue mark (a dangerous target, a channel) stays as plain as a white one.
    const int lightness = (299 * r + 587 * g + 114 * b) / 1000;
    const int level = (lightness + std::max({ r, g, b })) / 2;
    return static_cast<Rgb>(level * kNightRedMax / 255) << 16;
}

QImage NightImage(const QImage& picture, Rgb background)
{
    if (picture.isNull()) {
        return picture;
    }
    QImage out = picture.convertToFormat(QImage::Format_RGB32);
    // A chart picture is long runs of few colours: the last conversion is kept.
    std::uint32_t lastIn = 0xFF000000u;
    std::uint32_t lastOut = 0xFF000000u;
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<std::uint32_t*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if (line[x] != lastIn) {
                lastIn = line[x];
                const Rgb in = lastIn & 0xFFFFFFu;
                lastOut = 0xFF000000u | (in == background ? 0u : NightColour(in));
            }
            line[x] = lastOut;
        }
    }
    return out;
}

bool SetNightPalette(ExtraSettings& extra, const std::string& appDir, bool on)
{
    ExtraSettings wanted = extra;
    wanted.NightPalette = on;
    return ChangeExtraSettings(appDir + kExtraSettingsFile, extra, wanted);
}

} // namespace kv
