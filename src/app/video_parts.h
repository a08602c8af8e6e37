// The parts of a video rendered apart (`xmotool render --part K/N`, on one
// machine or many) and joined again (`xmotool join`).
//
// Each part file says in its comment tag which part it is, which frames it
// holds and of which span, so that the join can refuse parts given out of
// order, one missing, or parts of different exports, instead of writing a
// film with a jump in it. Only the first part carries a sound track, and it
// carries that of the whole span: the sound is encoded once, as for a single
// export, and has no seam at the joins.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/render_options.h"

namespace xmo {

struct PartTag {
    VideoPart part;
    long first = 0, last = 0;          // the part's frames
    long spanFirst = 0, spanLast = 0;  // the frames of the whole export
    int fps = 0;
};

// "xmotool part K/N frames A-B of S-E at F fps"
std::string formatPartTag(const PartTag& tag);
// Nothing when the text is not such a tag.
std::optional<PartTag> parsePartTag(const std::string& text);

// A part as the join finds it: its tag, the video frames it holds and the
// timestamp of the first (seconds).
struct FoundPart {
    std::string path;
    std::optional<PartTag> tag;
    long frames = 0;
    double start = 0;
};

// Why these files, in this order, are not parts 1 to N of one export, each
// whole (only the last may end early, where the film's exit command ended
// it); nothing when they are.
std::optional<std::string> findPartsProblem(const std::vector<FoundPart>& parts);

}  // namespace xmo
