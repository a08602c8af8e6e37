// What a written video holds, as ffprobe reads it: the check that a file
// ffmpeg wrote is whole before it replaces anything, and what the join
// learns about each part.
#pragma once

#include <string>

namespace xmo {

struct VideoProbe {
    std::string videoCodec;  // empty when there is no video stream
    int width = 0, height = 0;
    std::string frameRate;  // "25/1"
    long videoFrames = 0;   // packets of the video stream: one per frame
    double videoStart = 0;  // seconds: the first picture's timestamp
    bool hasSound = false;
    long soundPackets = 0;
    std::string comment;  // the file's comment tag
};

// A file name as ffmpeg and ffprobe take it: as a file: URL, so that a name
// starting with "-" is not an option and one with ":" not a protocol.
std::string ffmpegFileUrl(const std::string& path);

// Reads the file's streams with ffprobe, counting packets without decoding
// them; false with the reason when ffprobe is missing, cannot read the file
// (an MP4 without its index, for one) or reports an error in it.
bool probeVideo(const std::string& path, VideoProbe& probe, std::string& error);

}  // namespace xmo
