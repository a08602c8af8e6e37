// Fuzzes the music decoder on arbitrary bytes (mpg123 itself is fuzzed
// upstream; this covers our reader callbacks, format handling and limits).
// Whatever decodes must be whole 16-bit frames of one or two channels.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "effects/sound.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const xmo::DecodeResult result = xmo::decodeMpegAudio(data, size);
    if (result.error) {
        if (!result.audio.samples.empty()) std::abort();
        return 0;
    }
    const xmo::DecodedAudio& audio = result.audio;
    if (audio.channels != 1 && audio.channels != 2) std::abort();
    if (audio.rate <= 0 || audio.samples.empty() || audio.samples.size() % audio.channels != 0) std::abort();
    return 0;
}
