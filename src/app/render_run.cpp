#include "app/render_run.h"

#include <GL/gl.h>

#include "app/frame_capture.h"
#include "app/gl_setup.h"
#include "app/player.h"

namespace xmo {

RunResult playFrames(Player& player, long& frame, const std::vector<long>& frames, FrameSink& sink,
                     const volatile std::sig_atomic_t& stop) {
    RunResult result;
    std::vector<std::uint8_t> picture;
    std::size_t next = 0;
    for (frame = 0; next < frames.size(); ++frame) {
        if (stop) {
            result.end = RunEnd::Interrupted;
            return result;
        }
        renderFrame(player);
        result.lastFrame = frame;
        if (frame == frames[next]) {
            glFinish();
            readFramePicture(kScreenWidth, kScreenHeight, picture);
            if (!sink.take(frame, picture, result.error)) {
                result.end = RunEnd::SinkFailed;
                return result;
            }
            ++result.taken;
            ++next;
        }
        if (player.quitCode != 0 && next < frames.size()) {
            result.end = RunEnd::ExitCommand;
            return result;
        }
    }
    return result;
}

}  // namespace xmo
