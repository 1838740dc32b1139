// Received "!AIVDM" lines (one per input line) through fragment assembly, the payload decoder
// and the small-craft decoder, as the AIS reception path runs them.
#include "FuzzSupport.h"

#include "ais/AisDecoder.h"
#include "ais/AisSmallCraft.h"
#include "ais/AisText.h"

#include <variant>

namespace {

template <std::size_t N> void CheckText(const kv::AisFixedText<N>& text)
{
    KV_FUZZ_CHECK(text.length <= N);
}

void CheckRecord(const kv::TAISTarget& t)
{
    KV_FUZZ_CHECK(t.CallSign.length <= 7 && t.VesselName.length <= 20 && t.Destination.length <= 20);
    KV_FUZZ_CHECK(t.FragCount.length <= 5 && t.FragNum.length <= 5 && t.SeqId.length <= 5);
    KV_FUZZ_CHECK(t.TrackCount <= kv::kAisTrackPoints);
    // The text pieces of the information window take whatever was decoded.
    (void)kv::AisNavStatusText(t);
    (void)kv::AisEpfdText(t.EPFD);
    (void)kv::AisEtaText(t.ETA, 2026);
    (void)kv::AisRotText(t.ROT);
    (void)kv::AisLatText(t.Latitude);
    (void)kv::AisLongText(t.Longitude);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input = kvfuzz::AsText(data, size);
    kv::AisAssembler assembler;
    while (!input.empty()) {
        const auto end = input.find('\n');
        const std::string_view line = input.substr(0, end);
        input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
        if (!assembler.ProcessAISSentence(line)) {
            continue;
        }
        KV_FUZZ_CHECK(assembler.PayloadSymbols <= kv::kSixBitBufSize);
        CheckRecord(assembler.current());
        if (assembler.LastDropped) {
            continue;
        }
        kv::AisSmallCraftMessage message;
        const auto result = kv::DecodeSmallCraft(assembler.SixBitBuf, assembler.PayloadSymbols * 6, message);
        if (result == kv::AisSmallCraftResult::Decoded) {
            KV_FUZZ_CHECK(!std::holds_alternative<std::monostate>(message));
            if (const auto* b = std::get_if<kv::AisClassBExtended>(&message)) {
                CheckText(b->VesselName);
            } else if (const auto* a = std::get_if<kv::AisAidToNavigation>(&message)) {
                CheckText(a->Name);
            } else if (const auto* s = std::get_if<kv::AisClassBStatic>(&message)) {
                CheckText(s->VesselName);
                CheckText(s->VendorID);
                CheckText(s->CallSign);
                KV_FUZZ_CHECK(s->PartNumber <= 1);
            }
            const unsigned type = kv::GetBits(assembler.SixBitBuf, 1, 6);
            KV_FUZZ_CHECK(assembler.PayloadSymbols * 6 >= static_cast<std::size_t>(kv::SmallCraftMinBits(type)));
        }
    }
    return 0;
}
