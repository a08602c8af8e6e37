#include "app/video_parts.h"

#include <cstdio>

namespace xmo {

std::string formatPartTag(const PartTag& t) {
    char text[160];
    std::snprintf(text, sizeof text, "xmotool part %d/%d frames %ld-%ld of %ld-%ld at %d fps", t.part.index,
                  t.part.count, t.first, t.last, t.spanFirst, t.spanLast, t.fps);
    return text;
}

std::optional<PartTag> parsePartTag(const std::string& text) {
    PartTag t;
    int consumed = 0;
    if (std::sscanf(text.c_str(), "xmotool part %d/%d frames %ld-%ld of %ld-%ld at %d fps%n", &t.part.index,
                    &t.part.count, &t.first, &t.last, &t.spanFirst, &t.spanLast, &t.fps, &consumed) != 7 ||
        static_cast<std::size_t>(consumed) != text.size())
        return std::nullopt;
    if (t.part.index < 1 || t.part.index > t.part.count || t.first > t.last || t.spanFirst > t.first ||
        t.last > t.spanLast || t.fps < 1)
        return std::nullopt;
    return t;
}

std::optional<std::string> findPartsProblem(const std::vector<FoundPart>& parts) {
    if (parts.empty()) return std::string("no part given");
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const FoundPart& p = parts[i];
        if (!p.tag) return p.path + ": not a part written by xmotool render --part";
        const PartTag& t = *p.tag;
        const PartTag& one = *parts[0].tag;
        const std::string position = std::to_string(i + 1);
        if (t.part.count != static_cast<int>(parts.size()))
            return p.path + ": part " + std::to_string(t.part.index) + " of " + std::to_string(t.part.count) +
                   ", but " + std::to_string(parts.size()) + " part(s) are given";
        if (t.part.index != static_cast<int>(i + 1))
            return p.path + ": part " + std::to_string(t.part.index) + ", given as part " + position +
                   "; give the parts in order";
        if (t.fps != one.fps || t.spanFirst != one.spanFirst || t.spanLast != one.spanLast)
            return p.path + ": a part of another export than " + parts[0].path + " (" + formatPartTag(t) + ")";
        if (i > 0 && t.first != parts[i - 1].tag->last + 1)
            return p.path + ": begins at frame " + std::to_string(t.first) + ", not after frame " +
                   std::to_string(parts[i - 1].tag->last) + " where part " + std::to_string(i) + " ends";
        const long planned = t.last - t.first + 1;
        const bool last = i + 1 == parts.size();
        if (p.frames > planned || (!last && p.frames != planned) || p.frames < 1)
            return p.path + ": holds " + std::to_string(p.frames) + " frame(s) of the " + std::to_string(planned) +
                   " of frames " + std::to_string(t.first) + "-" + std::to_string(t.last);
    }
    return std::nullopt;
}

}  // namespace xmo
