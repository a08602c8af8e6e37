// `xmotool join OUT PART1 ... PARTN`: the parts of an export (video_parts.h)
// joined into one video without encoding anything again. ffmpeg's concat
// demuxer copies the parts' frames one after the other and the first part's
// sound track, which runs the whole span, goes in once, so the joined file
// holds the frames, timestamps and sound a single export would.
//
// OUT is written as the export writes it: beside itself, checked with
// ffprobe (every frame of every part there), then renamed over the old one.
#pragma once

#include <string>
#include <vector>

namespace xmo {

// Joins the parts into OUT; false with the reason ("cannot join ...: ",
// "cannot write OUT: ...") when the files are not the parts of one export in
// order, or the join fails. On success, summary is the line to print.
bool joinVideoParts(const std::string& out, const std::vector<std::string>& parts, std::string& summary,
                    std::string& error);

}  // namespace xmo
