// The command line of xmoplay: which film, and how an author wants to watch
// it (in a window, from a chosen moment, paused, reloaded on every save).
//
// Without options the player plays "BrikBasics.xmo" full screen from film
// time 0; only the first file name counts, further ones are ignored.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace xmo {

struct Sequence;

inline constexpr int kDefaultSeekFps = 25;

struct PlayerOptions {
    std::string moviePath = "BrikBasics.xmo";
    bool windowed = false;
    std::optional<double> startSeconds;  // --start
    int sequence = 0;                    // --sequence, 1-based; 0 when not given
    bool watch = false;
    bool paused = false;
    int fps = kDefaultSeekFps;  // the fixed step that reaches the start time
};

enum class CommandLineAction { Play, Help, Version, UsageError };

struct CommandLine {
    CommandLineAction action = CommandLineAction::Play;
    PlayerOptions options;
    std::string error;  // for UsageError: what is wrong, without the program name
};

// Whether any option was given. The author's keys (pause, step, restart, the
// key overlay) work only then: the plain player shows the film as written and
// ends on Escape, ignoring every other key.
bool hasAuthorOptions(const PlayerOptions& options);

// GNU-style: long options may be abbreviated to any unambiguous prefix and
// take their value as "--start=12" or "--start 12"; "-w" and "-h" may be
// grouped; "--" ends the options. args excludes the program name.
CommandLine parsePlayerCommandLine(const std::vector<std::string>& args);

// The one line a usage error prints on standard error.
std::string usageErrorLine(const std::string& error);

// The text of --help.
const char* playerHelpText();

// The frame of the fixed-step clock (at options.fps) the run starts on:
// round(T * fps) for --start T, the first frame inside sequence N for
// --sequence N, frame 0 for --paused alone; nothing when the film simply
// plays on the wall clock from its start. Fills error (exit as a usage
// error) when the film has fewer than N sequences.
std::optional<long> findStartFrame(const PlayerOptions& options,
                                   const std::vector<std::unique_ptr<Sequence>>& sequences, std::string& error);

// The arguments (without the program name) that start the player again at
// film time filmMs, paused or playing, with the author's other options
// unchanged: a reload or a restart is a fresh run to that time.
std::vector<std::string> relaunchArguments(const PlayerOptions& options, std::int32_t filmMs, bool paused);

}  // namespace xmo
