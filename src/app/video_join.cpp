#include "app/video_join.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "app/child_process.h"
#include "app/render_options.h"
#include "app/video_parts.h"
#include "app/video_probe.h"
#include "base/atomic_file.h"

namespace xmo {

namespace {

// A name in the concat demuxer's list, quoted: inside single quotes only the
// quote itself needs escaping. The list is read line by line, so a line break
// cannot be in a name at all.
bool quoteListName(const std::string& name, std::string& quoted) {
    if (name.find_first_of("\n\r") != std::string::npos) return false;
    quoted = "'";
    for (const char c : name) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    quoted += "'";
    return true;
}

std::string secondsText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6f", seconds);
    return text;
}

// Each part starts at its first picture and lasts as long as its frames: the
// first part's sound track, which runs the whole span and starts before the
// pictures (the encoder's priming), must neither push the second part's
// frames back nor shift the first's.
bool writeList(const std::string& path, const std::vector<FoundPart>& parts, std::string& error) {
    std::string text = "ffconcat version 1.0\n";
    for (const FoundPart& part : parts) {
        std::string quoted;
        if (!quoteListName(ffmpegFileUrl(std::filesystem::absolute(part.path).string()), quoted)) {
            error = "cannot join " + part.path + ": a line break in a file name";
            return false;
        }
        text += "file " + quoted + "\ninpoint " + secondsText(part.start) + "\nduration " +
                secondsText(static_cast<double>(part.frames) / part.tag->fps) + "\n";
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    bool ok = file && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const int reason = errno;
    if (file && std::fclose(file) != 0) ok = false;
    if (!ok) error = "cannot write the list of parts " + path + ": " + std::strerror(reason ? reason : EIO);
    return ok;
}

// Every part probed, and of one kind: same codec, size and frame rate.
bool findParts(const std::vector<std::string>& paths, std::vector<FoundPart>& parts, VideoProbe& first,
               std::string& error) {
    for (const std::string& path : paths) {
        VideoProbe probe;
        if (!probeVideo(path, probe, error)) {
            error = "cannot join " + path + ": " + error;
            return false;
        }
        if (parts.empty()) {
            first = probe;
        } else if (probe.videoCodec != first.videoCodec || probe.width != first.width ||
                   probe.height != first.height || probe.frameRate != first.frameRate) {
            error = "cannot join " + path + ": " + probe.videoCodec + " " + std::to_string(probe.width) + "x" +
                    std::to_string(probe.height) + " at " + probe.frameRate + " frames per second, unlike " +
                    paths[0] + " (" + first.videoCodec + " " + std::to_string(first.width) + "x" +
                    std::to_string(first.height) + " at " + first.frameRate + ")";
            return false;
        }
        parts.push_back({path, parsePartTag(probe.comment), probe.videoFrames, probe.videoStart});
    }
    if (const std::optional<std::string> problem = findPartsProblem(parts)) {
        error = "cannot join: " + *problem;
        return false;
    }
    return true;
}

std::vector<std::string> ffmpegArguments(const std::string& list, const std::string& firstPart, bool sound,
                                         long frames, int fps, VideoFormat format, const std::string& out) {
    // The timestamps as the parts have them: the sound's first packet starts
    // before 0 (the encoder's priming), which would otherwise shift the
    // pictures by as much.
    std::vector<std::string> args = {"ffmpeg", "-hide_banner", "-nostdin", "-loglevel", "error", "-xerror", "-y",
                                     "-copyts", "-f", "concat", "-safe", "0", "-i", ffmpegFileUrl(list)};
    if (sound) args.insert(args.end(), {"-i", ffmpegFileUrl(firstPart), "-map", "1:a"});
    // No tags: the joined file is no part. The track runs the whole span;
    // when the film's exit command ended the last part early, the sound stops
    // with the picture.
    args.insert(args.end(), {"-map", "0:v", "-c", "copy", "-map_metadata", "-1", "-t",
                             secondsText(static_cast<double>(frames) / fps)});
    if (format == VideoFormat::Mp4) args.insert(args.end(), {"-movflags", "+faststart"});
    args.insert(args.end(), {"-f", format == VideoFormat::Mp4 ? "mp4" : "webm", ffmpegFileUrl(out)});
    return args;
}

// ffmpeg ended well and the file holds every frame, and the sound when the
// first part has one.
bool checkJoined(ChildProcess& ffmpeg, const std::string& path, long frames, bool sound, std::string& error) {
    VideoProbe joined;
    if (!ffmpeg.wait(error) || !endedCleanly(ffmpeg, error) || !probeVideo(path, joined, error)) return false;
    if (joined.videoFrames == frames && joined.hasSound == sound) return true;
    error = "ffmpeg wrote " + std::to_string(joined.videoFrames) + " of " + std::to_string(frames) + " frames" +
            (sound && !joined.hasSound ? " and no sound" : "");
    return false;
}

}  // namespace

bool joinVideoParts(const std::string& out, const std::vector<std::string>& paths, std::string& summary,
                    std::string& error) {
    const std::optional<VideoFormat> format = videoFormatOf(out);
    if (!format) {
        error = "cannot join into " + out + ": the file name must end in .mp4 or .webm";
        return false;
    }
    for (const std::string& path : paths) {
        if (videoFormatOf(path) != format) {
            error = "cannot join " + path + " into " + out + ": the parts and OUT must all be .mp4 or all .webm";
            return false;
        }
    }
    std::vector<FoundPart> parts;
    VideoProbe first;
    if (!findParts(paths, parts, first, error)) return false;

    TemporaryFile video(out), list(out);
    if (!video.create(error) || !list.create(error) || !writeList(list.path(), parts, error)) return false;
    long frames = 0;
    for (const FoundPart& part : parts) frames += part.frames;
    const int fps = parts[0].tag->fps;
    ChildProcess ffmpeg;
    if (!ffmpeg.start(ffmpegArguments(list.path(), paths[0], first.hasSound, frames, fps, *format, video.path()), -1,
                      false, error)) {
        error += "; joining needs ffmpeg (the Debian package ffmpeg)";
        return false;
    }
    if (!checkJoined(ffmpeg, video.path(), frames, first.hasSound, error)) {
        error = "cannot write " + out + ": " + error;
        return false;
    }
    if (!video.commit(error)) return false;
    char text[160];
    std::snprintf(text, sizeof text, ": %ld frames at %d fps (%.2f s), %dx%d %s %s", frames, fps,
                  static_cast<double>(frames) / fps, first.width, first.height,
                  *format == VideoFormat::Mp4 ? "H.264" : "VP9", first.hasSound ? "with sound" : "without sound");
    summary = "joined " + std::to_string(parts.size()) + " part(s) into " + out + text;
    return true;
}

}  // namespace xmo
