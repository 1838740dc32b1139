// JPEG bytes as a raster image file may hold them: decoded reduced for a small window and, when
// the header claims a modest size, at full size too. A damaged file must come back as an error
// that names it, never as a crash or a picture of the wrong size.
#include "FuzzSupport.h"

#include "raster/ImageDecode.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto small = kv::raster::DecodeJpegBytes(bytes, "fuzz.jpg", 64, 48, &error);
    if (!small) {
        KV_FUZZ_CHECK(!error.empty() && error.find("fuzz.jpg") != std::string::npos);
        return 0;
    }
    const int denom = small->scaleDenom;
    KV_FUZZ_CHECK(denom == 1 || denom == 2 || denom == 4 || denom == 8);
    KV_FUZZ_CHECK(denom == kv::raster::ChooseScaleDenom(small->full, 64, 48));
    const kv::raster::ImageSize reduced = kv::raster::ScaledSize(small->full, denom);
    KV_FUZZ_CHECK(small->image.width() == reduced.width && small->image.height() == reduced.height);
    KV_FUZZ_CHECK(small->image.format() == QImage::Format_RGB32);

    if (static_cast<long long>(small->full.width) * small->full.height <= 4'000'000) {
        const auto full = kv::raster::DecodeJpegBytes(bytes, "fuzz.jpg", 0, 0, &error);
        // The same bytes decoded without reduction succeed too, at the full size.
        KV_FUZZ_CHECK(full.has_value());
        KV_FUZZ_CHECK(full->scaleDenom == 1);
        KV_FUZZ_CHECK(full->image.width() == small->full.width && full->image.height() == small->full.height);
    }
    return 0;
}
