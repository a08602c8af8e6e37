#include "app/render_run.h"

#include "app/fixed_step.h"
#include "app/offscreen_context.h"
#include "app/player.h"

namespace xmo {

RunResult playFrames(Player& player, PlaybackTicks& ticks, int fps, const std::vector<long>& frames,
                     OffscreenContext& context, FrameSink& sink, const volatile std::sig_atomic_t& stop) {
    RunResult result;
    if (frames.empty()) return result;
    std::vector<std::uint8_t> picture;
    std::size_t next = 0;
    const auto isWanted = [&](long frame) { return next < frames.size() && frame == frames[next]; };
    result.lastFrame = playFixedSteps(player, ticks, fps, 0, frames.back(), isWanted, [&](long frame) {
        if (isWanted(frame)) {
            context.readPicture(picture);
            if (!sink.take(frame, picture, result.error)) {
                result.end = RunEnd::SinkFailed;
                return false;
            }
            ++result.taken;
            ++next;
        }
        if (stop && next < frames.size()) {
            result.end = RunEnd::Interrupted;
            return false;
        }
        return true;
    });
    if (result.end == RunEnd::AllFrames && next < frames.size()) result.end = RunEnd::ExitCommand;
    return result;
}

}  // namespace xmo
