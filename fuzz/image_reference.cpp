// The `.ref` file beside a raster image: size, corner positions, track pen, offsets, audio flag.
#include "FuzzSupport.h"

#include "raster/ImageReference.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto& scratch = kvfuzz::Scratch::get();
    const std::string path = scratch.write("fuzz.ref", kvfuzz::AsText(data, size));
    const auto read = kv::raster::ReadRefFile(path);
    if (read.status != kv::raster::RefRead::Read) {
        // A refused file says why; the viewer shows that reason to the user.
        KV_FUZZ_CHECK(read.status == kv::raster::RefRead::Missing || !read.problem.empty());
        return 0;
    }
    const auto& ref = read.ref;
    KV_FUZZ_CHECK(ref.height >= 1 && ref.width >= 1);
    KV_FUZZ_CHECK(kvfuzz::Finite(ref.nw_lat) && kvfuzz::Finite(ref.nw_lon));
    KV_FUZZ_CHECK(kvfuzz::Finite(ref.se_lat) && kvfuzz::Finite(ref.se_lon));

    // Where the viewer puts the vessel and what it shows under the cursor never overflow.
    if (kv::raster::Referenced(ref)) {
        const auto corner = kv::raster::PlotPixel(ref, ref.se_lat, ref.se_lon);
        (void)corner;
        const auto middle
            = kv::raster::ShownPixelPosition(ref, ref.width / 2.0, ref.height / 2.0, ref.width, ref.height);
        KV_FUZZ_CHECK(kvfuzz::Finite(middle.lat) && kvfuzz::Finite(middle.lon));
    }

    // What the viewer writes, it reads back to the same lines.
    const auto lines = kv::raster::RefFileLines(ref);
    KV_FUZZ_CHECK(kv::raster::WriteRefFile(path, ref));
    const auto again = kv::raster::ReadRefFile(path);
    KV_FUZZ_CHECK(again.status == kv::raster::RefRead::Read && kv::raster::RefFileLines(again.ref) == lines);
    return 0;
}
