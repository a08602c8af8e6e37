#include "app/player_options.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "app/render_options.h"
#include "app/seek_targets.h"
#include "movie/movie.h"

namespace xmo {

namespace {

// A day of film: far past any film, and a fixed-step run to it still ends.
constexpr double kMaxStartSeconds = 86400.0;
constexpr int kMaxFps = 1000;

enum class OptionId { Help, Version, Window, Start, Sequence, Watch, Paused, Fps };

struct OptionSpec {
    const char* name;
    char shortName;  // 0: long form only
    bool takesValue;
    OptionId id;
};

constexpr OptionSpec kOptions[] = {
    {"help", 'h', false, OptionId::Help},        {"version", 0, false, OptionId::Version},
    {"window", 'w', false, OptionId::Window},    {"start", 0, true, OptionId::Start},
    {"sequence", 0, true, OptionId::Sequence},   {"watch", 0, false, OptionId::Watch},
    {"paused", 0, false, OptionId::Paused},      {"fps", 0, true, OptionId::Fps},
};

// An exact name wins over the prefixes it starts ("--watch" is not ambiguous
// with a longer option); otherwise the prefix must fit exactly one name.
const OptionSpec* findLongOption(const std::string& name, std::string& error) {
    const OptionSpec* found = nullptr;
    int matches = 0;
    for (const OptionSpec& o : kOptions) {
        const std::string full = o.name;
        if (full == name) return &o;
        if (full.compare(0, name.size(), name) == 0) {
            found = &o;
            ++matches;
        }
    }
    if (matches == 1) return found;
    error = (matches == 0 ? "unknown option '--" : "ambiguous option '--") + name + "'";
    return nullptr;
}

const OptionSpec* findShortOption(char c, std::string& error) {
    for (const OptionSpec& o : kOptions)
        if (o.shortName == c) return &o;
    error = std::string("unknown option '-") + c + "'";
    return nullptr;
}

bool parseWholeNumber(const std::string& text, long min, long max, long& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0' && value >= min && value <= max;
}

bool parseSeconds(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return *end == '\0' && std::isfinite(value) && value >= 0.0 && value <= kMaxStartSeconds;
}

// Applies one option with its value; false and error on a bad value.
bool applyOption(const OptionSpec& o, const std::string& value, CommandLine& line) {
    PlayerOptions& p = line.options;
    long number = 0;
    switch (o.id) {
    case OptionId::Help: line.action = CommandLineAction::Help; return true;
    case OptionId::Version: line.action = CommandLineAction::Version; return true;
    case OptionId::Window: p.windowed = true; return true;
    case OptionId::Watch: p.watch = true; return true;
    case OptionId::Paused: p.paused = true; return true;
    case OptionId::Start: {
        double seconds = 0.0;
        if (!parseSeconds(value, seconds)) {
            line.error = "--start: expected seconds from 0 to 86400, got '" + value + "'";
            return false;
        }
        p.startSeconds = seconds;
        return true;
    }
    case OptionId::Sequence:
        if (!parseWholeNumber(value, 1, 1000000, number)) {
            line.error = "--sequence: expected a sequence number from 1, got '" + value + "'";
            return false;
        }
        p.sequence = static_cast<int>(number);
        return true;
    case OptionId::Fps:
        if (!parseWholeNumber(value, 1, kMaxFps, number)) {
            line.error = "--fps: expected a whole number from 1 to 1000, got '" + value + "'";
            return false;
        }
        p.fps = static_cast<int>(number);
        return true;
    }
    return false;
}

CommandLine usageError(std::string error) {
    CommandLine line;
    line.action = CommandLineAction::UsageError;
    line.error = std::move(error);
    return line;
}

// Options that make sense only together.
std::string checkCombination(const PlayerOptions& p, bool fpsGiven) {
    if (p.startSeconds && p.sequence > 0) return "--start and --sequence cannot be used together";
    if (fpsGiven && !p.startSeconds && p.sequence == 0 && !p.watch)
        return "--fps sets the step that reaches --start or --sequence (or a --watch reload); give one of them";
    return {};
}

std::string formatSeconds(std::int32_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%d.%03d", ms / 1000, ms % 1000);
    return text;
}

}  // namespace

CommandLine parsePlayerCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    bool haveMovie = false;
    bool fpsGiven = false;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (optionsEnded || a.size() < 2 || a[0] != '-') {
            // Only the first film counts; the player always ignored the rest.
            if (!haveMovie) line.options.moviePath = a;
            haveMovie = true;
            continue;
        }
        if (a == "--") {
            optionsEnded = true;
            continue;
        }
        std::string error;
        if (a[1] == '-') {
            const std::size_t equals = a.find('=');
            const OptionSpec* o = findLongOption(a.substr(2, equals == std::string::npos ? std::string::npos : equals - 2), error);
            if (!o) return usageError(error);
            std::string value;
            if (o->takesValue) {
                if (equals != std::string::npos) {
                    value = a.substr(equals + 1);
                } else if (i + 1 < args.size()) {
                    value = args[++i];
                } else {
                    return usageError(std::string("--") + o->name + " needs a value");
                }
            } else if (equals != std::string::npos) {
                return usageError(std::string("--") + o->name + " takes no value");
            }
            if (!applyOption(*o, value, line)) return usageError(line.error);
            fpsGiven = fpsGiven || o->id == OptionId::Fps;
        } else {
            for (std::size_t k = 1; k < a.size(); ++k) {
                const OptionSpec* o = findShortOption(a[k], error);
                if (!o) return usageError(error);
                applyOption(*o, {}, line);
            }
        }
        if (line.action != CommandLineAction::Play) return line;
    }
    const std::string error = checkCombination(line.options, fpsGiven);
    if (!error.empty()) return usageError(error);
    return line;
}

bool hasAuthorOptions(const PlayerOptions& options) {
    return options.windowed || options.startSeconds || options.sequence > 0 || options.watch || options.paused ||
           options.fps != kDefaultSeekFps;
}

std::string usageErrorLine(const std::string& error) {
    return "xmoplay: " + error + " (see 'xmoplay --help')";
}

const char* playerHelpText() {
    return "usage: xmoplay [options] [movie.xmo]\n"
           "\n"
           "Plays the film (default BrikBasics.xmo) full screen from its start until\n"
           "Escape, the window's close or the film's exit command.\n"
           "\n"
           "options:\n"
           "  -w, --window      an 800x600 window instead of full screen\n"
           "      --start T     begin at film time T seconds (the film first runs from 0\n"
           "                    to T on a fixed step, as xmotool render does)\n"
           "      --sequence N  begin with sequence N (counted from 1)\n"
           "      --paused      begin paused (at --start's time, or at 0)\n"
           "      --watch       reload when the film or any file it names is saved, and\n"
           "                    go on from the same film time; a film that does not load\n"
           "                    is shown in the window and the old one plays on; the\n"
           "                    film's exit command and its end pause instead of ending;\n"
           "                    the warnings of xmotool check are listed in the window\n"
           "      --fps N       the fixed step that reaches a time (default 25)\n"
           "  -h, --help        this text\n"
           "      --version     the version\n"
           "\n"
           "keys (with any option; without options only Escape acts):\n"
           "  Escape            end\n"
           "  Space             pause and resume\n"
           "  Left, Right       a second back or on; while paused, a frame (1/fps s)\n"
           "  Shift+Left/Right  five seconds back or on\n"
           "  Page Up           the start of the sequence, or of the one before when\n"
           "                    the film is at most half a second into it\n"
           "  Page Down         the start of the next sequence\n"
           "  Home, End         the film's first frame, its last frame\n"
           "  R                 restart from 0 (the player starts again, the film read\n"
           "                    afresh)\n"
           "  S                 write the picture as FILM-SSSSS.mmm.png beside the film\n"
           "  H                 show or hide the problems, and show these keys\n"
           "  F1                show these keys for two seconds\n"
           "  the time bar      along the bottom edge (point there, or after a seek):\n"
           "                    click or drag on it to seek\n"
           "\n"
           "A seek runs the film from its start (or on from the frame it stands on)\n"
           "without drawing, so the frame shown is the one xmotool render makes at\n"
           "that time.\n";
}

std::optional<long> findStartFrame(const PlayerOptions& options,
                                   const std::vector<std::unique_ptr<Sequence>>& sequences, std::string& error) {
    const int fps = options.fps;
    if (options.startSeconds) return std::lround(*options.startSeconds * fps);
    if (options.sequence == 0) return options.paused ? std::optional<long>(0) : std::nullopt;

    const std::size_t index = static_cast<std::size_t>(options.sequence) - 1;
    if (index >= sequences.size()) {
        error = "--sequence " + std::to_string(options.sequence) + ": the film has " +
                std::to_string(sequences.size()) + " sequence(s)";
        return std::nullopt;
    }
    return firstFrameOfSequence(sequences, index, fps);
}

std::vector<std::string> relaunchArguments(const PlayerOptions& options, std::int32_t filmMs, bool paused) {
    std::vector<std::string> args;
    if (options.windowed) args.push_back("--window");
    if (options.watch) args.push_back("--watch");
    if (paused) args.push_back("--paused");
    args.push_back("--fps=" + std::to_string(options.fps));
    args.push_back("--start=" + formatSeconds(filmMs < 0 ? 0 : filmMs));
    args.push_back("--");
    args.push_back(options.moviePath);
    return args;
}

}  // namespace xmo
