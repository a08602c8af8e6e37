#include "app/fixed_step.h"

#include "app/playback_ticks.h"
#include "app/player.h"
#include "app/render_options.h"

namespace xmo {

long playFixedSteps(Player& player, PlaybackTicks& ticks, int fps, long first, long last,
                    const std::function<bool(long frame)>& isDrawn,
                    const std::function<bool(long frame)>& afterFrame) {
    long frame = first;
    for (; frame <= last; ++frame) {
        ticks.hold(frameTicks(frame, fps));
        advanceFrame(player);
        if (isDrawn(frame)) drawFrame(player);
        if (!afterFrame(frame) || player.quitCode != 0) return frame;
    }
    return frame - 1;
}

}  // namespace xmo
