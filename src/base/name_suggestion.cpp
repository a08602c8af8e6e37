#include "base/name_suggestion.h"

#include <algorithm>
#include <cctype>

namespace xmo {

namespace {

int lower(char c) { return std::tolower(static_cast<unsigned char>(c)); }

// Edit distance in half edits (optimal string alignment), so that a change
// of case alone ("Keytime") beats any real slip.
int halfEdits(std::string_view a, std::string_view b) {
    const size_t n = b.size();
    std::vector<int> before(n + 1), previous(n + 1), current(n + 1);
    for (size_t j = 0; j <= n; ++j) previous[j] = static_cast<int>(2 * j);
    for (size_t i = 1; i <= a.size(); ++i) {
        current[0] = static_cast<int>(2 * i);
        for (size_t j = 1; j <= n; ++j) {
            const int replace = a[i - 1] == b[j - 1] ? 0 : lower(a[i - 1]) == lower(b[j - 1]) ? 1 : 2;
            int best = std::min({previous[j] + 2, current[j - 1] + 2, previous[j - 1] + replace});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                best = std::min(best, before[j - 2] + 2);
            current[j] = best;
        }
        std::swap(before, previous);
        std::swap(previous, current);
    }
    return previous[n];
}

}  // namespace

std::string_view closestName(std::string_view name, const std::vector<std::string_view>& candidates) {
    const int allowedEdits = name.size() <= 4 ? 1 : name.size() <= 8 ? 2 : 3;
    std::string_view best;
    int bestHalfEdits = 2 * allowedEdits + 1;
    for (std::string_view candidate : candidates) {
        const int d = halfEdits(name, candidate);
        if (d < bestHalfEdits) {
            best = candidate;
            bestHalfEdits = d;
        }
    }
    return best;
}

std::vector<std::string_view> suggestNames(std::string_view name, const std::vector<std::string_view>& candidates) {
    if (const std::string_view closest = closestName(name, candidates); !closest.empty()) return {closest};
    std::vector<std::string_view> holding;
    constexpr std::size_t kShortestPart = 4;
    if (name.size() < kShortestPart) return holding;
    for (std::string_view candidate : candidates) {
        const auto at = std::search(candidate.begin(), candidate.end(), name.begin(), name.end(),
                                    [](char a, char b) { return lower(a) == lower(b); });
        if (at != candidate.end()) holding.push_back(candidate);
    }
    return holding;
}

std::string didYouMean(const std::vector<std::string_view>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += i == 0 ? "; did you mean \"" : i + 1 == names.size() ? " or \"" : ", \"";
        text += names[i];
        text += '"';
    }
    return names.empty() ? text : text + "?";
}

}  // namespace xmo
