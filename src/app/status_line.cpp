#include "app/status_line.h"

#include <cstdio>
#include <filesystem>

#include "app/timeline.h"

namespace xmo {

namespace {

std::string filmNameOf(const std::string& moviePath) {
    return std::filesystem::path(moviePath).filename().string();
}

}  // namespace

PlaybackStatus describePlayback(const std::string& moviePath,
                                const std::vector<std::unique_ptr<Sequence>>& sequences, float t, bool paused) {
    PlaybackStatus status;
    status.filmName = filmNameOf(moviePath);
    status.sequenceCount = static_cast<int>(sequences.size());
    status.filmTime = t;
    status.paused = paused;
    const SequenceAt at = findSequence(sequences, t);
    status.localTime = at.localTime;
    for (std::size_t i = 0; i < sequences.size(); ++i)
        if (sequences[i].get() == at.sequence) status.sequenceNumber = static_cast<int>(i) + 1;
    return status;
}

std::string formatStatusLine(const PlaybackStatus& s) {
    char text[512];
    std::snprintf(text, sizeof text, "%s | sequence %d of %d | %.2f s (local %.2f s)%s", s.filmName.c_str(),
                  s.sequenceNumber, s.sequenceCount, s.filmTime, s.localTime, s.paused ? " | paused" : "");
    return text;
}

std::string formatLoadingLine(const std::string& moviePath) { return filmNameOf(moviePath) + " | loading"; }

std::string stillPath(const std::string& moviePath, std::int32_t filmMs) {
    const std::filesystem::path movie(moviePath);
    char name[64];
    std::snprintf(name, sizeof name, "-%05d.%03d.png", filmMs / 1000, filmMs % 1000);
    return (movie.parent_path() / (movie.stem().string() + name)).string();
}

std::string formatSeekLine(const std::string& moviePath, std::int32_t reachedMs, std::int32_t targetMs) {
    const long percent = targetMs > 0 ? static_cast<long>(100LL * reachedMs / targetMs) : 100;
    char text[512];
    std::snprintf(text, sizeof text, "%s | reaching %.2f s: %ld%%", filmNameOf(moviePath).c_str(), targetMs / 1000.0,
                  percent);
    return text;
}

}  // namespace xmo
