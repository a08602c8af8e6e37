#include "app/video_probe.h"

#include <strings.h>

#include <cstdlib>
#include <sstream>
#include <vector>

#include "app/child_process.h"

namespace xmo {

namespace {

// One line of ffprobe's compact output, "SECTION|key=value|key=value".
void readSection(const std::string& line, VideoProbe& probe, bool& sawVideo) {
    std::istringstream items(line);
    std::string section, item;
    std::getline(items, section, '|');
    std::string type, codec, width, height, rate, packets, start;
    while (std::getline(items, item, '|')) {
        const std::size_t equals = item.find('=');
        if (equals == std::string::npos) continue;
        const std::string key = item.substr(0, equals), value = item.substr(equals + 1);
        if (section == "format" && strcasecmp(key.c_str(), "tag:comment") == 0) probe.comment = value;
        if (key == "codec_type") type = value;
        if (key == "codec_name") codec = value;
        if (key == "width") width = value;
        if (key == "height") height = value;
        if (key == "r_frame_rate") rate = value;
        if (key == "nb_read_packets") packets = value;
        if (key == "start_time") start = value;
    }
    if (section != "stream") return;
    const long count = std::strtol(packets.c_str(), nullptr, 10);
    if (type == "video" && !sawVideo) {
        sawVideo = true;
        probe.videoCodec = codec;
        probe.width = std::atoi(width.c_str());
        probe.height = std::atoi(height.c_str());
        probe.frameRate = rate;
        probe.videoFrames = count;
        probe.videoStart = std::strtod(start.c_str(), nullptr);
    } else if (type == "audio") {
        probe.hasSound = true;
        probe.soundPackets += count;
    }
}

}  // namespace

std::string ffmpegFileUrl(const std::string& path) { return "file:" + path; }

bool probeVideo(const std::string& path, VideoProbe& probe, std::string& error) {
    ChildProcess ffprobe;
    const std::vector<std::string> argv = {
        "ffprobe", "-v", "error", "-count_packets", "-show_entries",
        "stream=codec_type,codec_name,width,height,r_frame_rate,start_time,nb_read_packets:format_tags=comment",
        "-of", "compact", ffmpegFileUrl(path)};
    if (!ffprobe.start(argv, -1, true, error) || !ffprobe.wait(error)) return false;
    if (!endedCleanly(ffprobe, error)) return false;
    probe = VideoProbe{};
    bool sawVideo = false;
    std::istringstream lines(ffprobe.output());
    for (std::string line; std::getline(lines, line);) readSection(line, probe, sawVideo);
    if (!sawVideo) {
        error = "it holds no video";
        return false;
    }
    return true;
}

}  // namespace xmo
