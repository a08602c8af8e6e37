#include "app/problem_panel.h"

#include <algorithm>

namespace xmo {

namespace {

constexpr int kPadding = 8;
constexpr int kScale = 2;
constexpr int kRowHeight = (kGlyphHeight + 3) * kScale;
constexpr int kMaxRows = 14;
constexpr OverlayColour kTitleColour{1.0f, 0.55f, 0.35f, 1.0f};

// Pieces of at most `columns` characters, broken at a blank where one is near.
std::vector<std::string> wrap(const std::string& line, std::size_t columns) {
    std::vector<std::string> rows;
    std::string rest = line;
    while (rest.size() > columns) {
        std::size_t cut = rest.rfind(' ', columns);
        if (cut == std::string::npos || cut < columns / 2) cut = columns;
        rows.push_back(rest.substr(0, cut));
        rest.erase(0, rest[cut] == ' ' ? cut + 1 : cut);
    }
    rows.push_back(rest);
    return rows;
}

}  // namespace

Overlay layoutProblemPanel(const std::string& title, const std::vector<std::string>& lines, int screenWidth) {
    const std::size_t columns =
        static_cast<std::size_t>(std::max(1, (screenWidth - 2 * kPadding + kScale) / (kGlyphAdvance * kScale)));
    std::vector<std::string> rows{title};
    std::size_t shown = 0;
    for (; shown < lines.size(); ++shown) {
        const std::vector<std::string> pieces = wrap(lines[shown], columns);
        if (rows.size() + pieces.size() > kMaxRows - 1) break;
        rows.insert(rows.end(), pieces.begin(), pieces.end());
    }
    if (shown < lines.size()) rows.push_back("AND " + std::to_string(lines.size() - shown) + " MORE");

    Overlay overlay;
    const int height = 2 * kPadding + static_cast<int>(rows.size()) * kRowHeight;
    addRect(overlay, {0, 0, screenWidth, height}, kOverlayShade);
    for (std::size_t i = 0; i < rows.size(); ++i)
        addText(overlay, rows[i], kPadding, kPadding + static_cast<int>(i) * kRowHeight, kScale,
                i == 0 ? kTitleColour : kOverlayText);
    return overlay;
}

}  // namespace xmo
