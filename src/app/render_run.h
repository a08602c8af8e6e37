// A render run: the film played on the fixed-step clock, frame after frame
// from the first, and the chosen frames drawn and handed to a sink (PNG files, hash
// lines, a video). Every output takes its frames from this one loop, so a
// video frame, a PNG file and a hash of the same frame number show the same
// picture.
#pragma once

#include <csignal>
#include <cstdint>
#include <string>
#include <vector>

namespace xmo {

class OffscreenContext;
class PlaybackTicks;
struct Player;

class FrameSink {
public:
    virtual ~FrameSink() = default;
    // Takes frame n's picture (readFramePicture, of the frame's size); false
    // with the reason stops the run.
    virtual bool take(long frame, const std::vector<std::uint8_t>& picture, std::string& error) = 0;
};

enum class RunEnd { AllFrames, ExitCommand, SinkFailed, Interrupted };

struct RunResult {
    RunEnd end = RunEnd::AllFrames;
    long lastFrame = -1;  // the last frame rendered
    long taken = 0;       // frames handed to the sink
    std::string error;    // why the sink failed
};

// Advances frames 0, 1, ... up to the last of `frames` (ascending) on the
// fixed step of `fps` frames per second, and draws those in `frames` and
// hands them, as the context reads them back, to the sink. The frames in
// between are advanced without being drawn, so commands, animations and
// physics move on as in playback at the cost of the film's logic alone.
// Stops after the frame in which the film's exit command fires, when the
// sink fails, or when `stop` is set between frames.
RunResult playFrames(Player& player, PlaybackTicks& ticks, int fps, const std::vector<long>& frames,
                     OffscreenContext& context, FrameSink& sink, const volatile std::sig_atomic_t& stop);

}  // namespace xmo
