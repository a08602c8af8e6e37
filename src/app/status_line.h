// The status line in the title of the player's window, and what is shown
// there while the film is run on to its start time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace xmo {

struct Sequence;

// The title is set at most four times a second.
inline constexpr std::uint32_t kStatusRefreshMs = 250;

struct PlaybackStatus {
    std::string filmName;  // the movie file's name, without its folder
    int sequenceNumber = 0;  // 1-based
    int sequenceCount = 0;
    float filmTime = 0.0f;
    float localTime = 0.0f;
    bool paused = false;
};

// The status of the film at film time t.
PlaybackStatus describePlayback(const std::string& moviePath,
                                const std::vector<std::unique_ptr<Sequence>>& sequences, float t, bool paused);

// "film.xmo | sequence 2 of 5 | 12.34 s (local 3.21 s) | paused"
std::string formatStatusLine(const PlaybackStatus& status);

// "film.xmo | loading", until the film is read
std::string formatLoadingLine(const std::string& moviePath);

// "film.xmo | reaching 40.00 s: 35%"
std::string formatSeekLine(const std::string& moviePath, std::int32_t reachedMs, std::int32_t targetMs);

// Where S keeps the picture at film time filmMs: beside the film, named
// after it and the time, "films/film-00012.480.png" for films/film.xmo.
std::string stillPath(const std::string& moviePath, std::int32_t filmMs);

}  // namespace xmo
