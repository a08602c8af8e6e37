#include "app/time_bar.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "app/timeline.h"
#include "movie/movie.h"

namespace xmo {

namespace {

constexpr int kMargin = 10;       // the track's distance from the window's sides
constexpr int kTextTop = 5;
constexpr int kTrackTop = 18;
constexpr int kTrackHeight = 10;
constexpr int kMarkerWidth = 3;
constexpr OverlayColour kSegmentLight{0.55f, 0.55f, 0.6f, 0.9f};
constexpr OverlayColour kSegmentDark{0.35f, 0.35f, 0.4f, 0.9f};
constexpr OverlayColour kPlayed{0.95f, 0.75f, 0.2f, 0.5f};
constexpr OverlayColour kMarker{1.0f, 1.0f, 1.0f, 1.0f};

int trackWidth(int screenWidth) { return std::max(1, screenWidth - 2 * kMargin); }

}  // namespace

bool isOverTimeBar(int y, int screenHeight) { return y >= screenHeight - kTimeBarHeight && y < screenHeight; }

double timeBarFraction(int x, int screenWidth) {
    return std::clamp(static_cast<double>(x - kMargin) / trackWidth(screenWidth), 0.0, 1.0);
}

Overlay layoutTimeBar(const std::vector<std::unique_ptr<Sequence>>& sequences, float t, bool paused, int screenWidth,
                      int screenHeight) {
    const int top = screenHeight - kTimeBarHeight;
    const int width = trackWidth(screenWidth);
    const double length = filmEnd(sequences);
    const auto columnOf = [&](double time) {
        const double fraction = length > 0.0 ? std::clamp(time / length, 0.0, 1.0) : 0.0;
        return kMargin + static_cast<int>(std::lround(fraction * width));
    };

    Overlay overlay;
    addRect(overlay, {0, top, screenWidth, kTimeBarHeight}, kOverlayShade);
    double start = 0.0;
    for (std::size_t i = 0; i < sequences.size(); ++i) {
        const int left = columnOf(start);
        start += sequences[i]->duration;
        const int right = columnOf(start);
        // A pixel's gap marks where one sequence ends and the next begins.
        addRect(overlay, {left, top + kTrackTop, std::max(1, right - left - 1), kTrackHeight},
                i % 2 ? kSegmentDark : kSegmentLight);
    }
    const int now = columnOf(t);
    addRect(overlay, {kMargin, top + kTrackTop, now - kMargin, kTrackHeight}, kPlayed);
    addRect(overlay, {now - kMarkerWidth / 2, top + kTrackTop - 3, kMarkerWidth, kTrackHeight + 6}, kMarker);

    const SequenceAt at = findSequence(sequences, t);
    std::size_t number = 0;
    while (number < sequences.size() && sequences[number].get() != at.sequence) ++number;
    char text[128];
    std::snprintf(text, sizeof text, "%.3f S OF %.3f S   SEQUENCE %zu OF %zu%s", static_cast<double>(t), length,
                  number + 1, sequences.size(), paused ? "   PAUSED" : "");
    addText(overlay, text, kMargin, top + kTextTop, 1, kOverlayText);
    return overlay;
}

}  // namespace xmo
