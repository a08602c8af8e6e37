// Where the author's seek keys and the time bar take the film: frames of the
// fixed-step clock (frame n at n / fps seconds), the grid on which xmotool
// render makes its frames, so a frame reached by a seek is the frame render
// makes at that time.
#pragma once

#include <memory>
#include <vector>

namespace xmo {

struct Sequence;

enum class SeekKey {
    Back,              // Left: a second back while playing, a frame while paused
    Forward,           // Right: a second on while playing, a frame while paused
    BackFar,           // Shift+Left: five seconds back
    ForwardFar,        // Shift+Right: five seconds on
    PreviousSequence,  // Page Up
    NextSequence,      // Page Down
    Start,             // Home
    End,               // End
};

// The frame nearest film time t.
long frameNearest(double seconds, int fps);

// The first frame the timeline puts inside sequence `index` (from 0): a
// shared boundary belongs to the earlier sequence, so this may be a frame or
// two after the sequence's start time.
long firstFrameOfSequence(const std::vector<std::unique_ptr<Sequence>>& sequences, std::size_t index, int fps);

// The last frame at or before the end of the last sequence.
long lastFrameOfFilm(const std::vector<std::unique_ptr<Sequence>>& sequences, int fps);

// Where key takes the film from frame `current`: never before frame 0 nor
// past the last frame of the film. Page Up goes to the start of the current
// sequence, or of the one before when the film stands at most half a second
// into it; Page Down to the start of the next (the last frame after the last
// sequence).
long findSeekTarget(SeekKey key, long current, bool paused,
                    const std::vector<std::unique_ptr<Sequence>>& sequences, int fps);

// The frame at fraction x (0 to 1) of the film's length, for the time bar.
long frameAtFraction(double x, const std::vector<std::unique_ptr<Sequence>>& sequences, int fps);

}  // namespace xmo
