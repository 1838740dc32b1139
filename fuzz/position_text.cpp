// Position texts as a user types them or a file holds them: read, written back, and the typing
// aids of the position fields.
#include "FuzzSupport.h"

#include "geodesy/PositionText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input = kvfuzz::AsText(data, size);
    const std::string_view latText = input.substr(0, std::min<std::size_t>(input.size(), 12));
    const std::string_view lonText = input.substr(latText.size());
    const kv::LatLong p = kv::TextToPosition(latText, lonText);
    KV_FUZZ_CHECK(kvfuzz::Finite(p.lat) && kvfuzz::Finite(p.lon));
    KV_FUZZ_CHECK(p.lat >= kv::kTextLatitudeMin && p.lat <= kv::kTextLatitudeMax);

    // The program's own texts of what it read read back to the same texts.
    const kv::PositionTexts texts = kv::PositionToText(p.lat, p.lon);
    KV_FUZZ_CHECK(texts.latitude.size() == kv::kLatitudeTextLength);
    // Longitudes are not clamped: one of 999.5 degrees or more (which a typed text can give)
    // takes a fourth column of degrees.
    if (std::fabs(p.lon) < 999.0) {
        KV_FUZZ_CHECK(texts.longitude.size() == kv::kLongitudeTextLength);
        // Read back, the texts give the position to their precision (half of 0.00001 minute).
        const kv::LatLong back = kv::TextToPosition(texts.latitude, texts.longitude);
        KV_FUZZ_CHECK(std::fabs(back.lat - p.lat) <= 1e-7 && std::fabs(back.lon - p.lon) <= 1e-7);
    }

    (void)kv::CompactPositionText(p.lat, p.lon);
    (void)kv::DecimalDegreeText(p.lat, p.lon);

    // Typing: whatever is in the field and wherever the caret is, the caret stays inside it.
    for (const bool longitude : { false, true }) {
        kv::PositionField field { std::string(input), size > 0 ? data[0] % (size + 1) : 0 };
        const kv::PositionField changed = kv::PositionFieldChange(field, longitude);
        KV_FUZZ_CHECK(changed.caret <= changed.text.size());
        const std::string complete = kv::CompletePositionText(std::string(input), longitude);
        (void)kv::TextToPosition(longitude ? std::string_view() : complete, longitude ? complete : std::string_view());
    }
    return 0;
}
