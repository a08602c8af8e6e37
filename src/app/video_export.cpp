#include "app/video_export.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/render_progress.h"
#include "app/sound_track.h"
#include "app/video_parts.h"
#include "app/video_probe.h"
#include "effects/sound.h"
#include "movie/movie.h"

namespace xmo {

namespace {

constexpr const char* kEncoder = "ffmpeg";
// The progress line is redrawn at most this often.
constexpr double kProgressInterval = 0.25;

double secondsBetween(std::chrono::steady_clock::time_point a, std::chrono::steady_clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

struct DecodedSound {
    DecodedAudio audio;
    long long start = 0;  // the track's sample frame
};

// Every sound the film starts, decoded at the track's rate, placed where the
// player would start it; a music file that cannot be used stops the export,
// as it stops the player.
bool decodeSounds(const Movie& movie, const std::string& movieFile, int fps, long firstFrame,
                  std::vector<DecodedSound>& decoded, std::string& error) {
    for (const auto& sound : movie.sounds) {
        const std::optional<long> startFrame = soundStartFrame(*sound, fps);
        if (!startFrame) continue;
        DecodeResult result = decodeMpegAudioFile(sound->filename, kSoundTrackRate);
        if (result.error) {
            error = movieFile + ":" + std::to_string(sound->sourceLine) + ": music file \"" + sound->filename +
                    "\": " + soundErrorText(*result.error);
            return false;
        }
        decoded.push_back({std::move(result.audio), frameSample(*startFrame, fps) - frameSample(firstFrame, fps)});
    }
    return true;
}

bool writeMix(std::FILE* file, const std::vector<SoundClip>& clips, long long length) {
    std::vector<std::int16_t> block(2 * kSoundTrackRate);
    for (long long first = 0; first < length; first += kSoundTrackRate) {
        const std::size_t count = static_cast<std::size_t>(std::min<long long>(kSoundTrackRate, length - first));
        mixSoundTrack(clips, first, count, block.data());
        // Raw samples are little-endian 16-bit, as the machines we run on hold them.
        if (std::fwrite(block.data(), sizeof(std::int16_t), 2 * count, file) != 2 * count) return false;
    }
    return true;
}

}  // namespace

VideoExport::VideoExport(const RenderOptions& options, const std::vector<long>& span, const std::vector<long>& frames,
                         std::ostream& progress, bool progressIsTerminal)
    : options_(options),
      firstFrame_(frames.empty() ? 0 : frames.front()),
      frameCount_(static_cast<long>(frames.size())),
      progress_(progress),
      progressIsTerminal_(progressIsTerminal),
      video_(options.videoPath),
      soundTrack_(options.videoPath) {
    if ((!options.part || options.part->index == 1) && !span.empty()) {
        trackFirst_ = span.front();
        trackCount_ = static_cast<long>(span.size());
    }
    if (options.part && !frames.empty() && !span.empty())
        partTag_ = formatPartTag({*options.part, frames.front(), frames.back(), span.front(), span.back(), options.fps});
}

bool VideoExport::start(const Movie& movie, const std::string& movieFile, std::string& error) {
    started_ = lastShown_ = std::chrono::steady_clock::now();
    // Before the music is decoded: a target that may not be replaced costs no work.
    if (!video_.create(error)) return false;
    hasSound_ = !movie.sounds.empty() && trackCount_ > 0;
    if (hasSound_ && !writeSoundTrack(movie, movieFile, error)) return false;
    rgb_.resize(static_cast<std::size_t>(options_.size.width) * options_.size.height * 3);
    if (!encoder_.start(ffmpegArguments(), error)) {
        error += "; video export needs ffmpeg (the Debian package ffmpeg)";
        return false;
    }
    return true;
}

bool VideoExport::writeSoundTrack(const Movie& movie, const std::string& movieFile, std::string& error) {
    std::vector<DecodedSound> decoded;
    if (!decodeSounds(movie, movieFile, options_.fps, trackFirst_, decoded, error)) return false;
    std::vector<SoundClip> clips;
    for (const DecodedSound& d : decoded) {
        const int channels = d.audio.channels;
        clips.push_back({d.audio.samples.data(), d.audio.samples.size() / channels, channels, d.start});
    }
    if (!soundTrack_.create(error)) return false;
    const long long length =
        frameSample(trackFirst_ + trackCount_, options_.fps) - frameSample(trackFirst_, options_.fps);
    errno = 0;
    std::FILE* file = std::fopen(soundTrack_.path().c_str(), "wb");
    bool ok = file && writeMix(file, clips, length);
    int reason = errno;
    if (file && std::fclose(file) != 0 && ok) {
        ok = false;
        reason = errno;
    }
    if (!ok)
        error = "cannot write the sound track " + soundTrack_.path() + ": " +
                (reason ? std::strerror(reason) : "write failed");
    return ok;
}

std::vector<std::string> VideoExport::ffmpegArguments() const {
    const bool webm = options_.videoFormat == VideoFormat::WebM;
    // Errors only, and the first one ends it: whatever it then says is why.
    std::vector<std::string> args = {
        kEncoder, "-hide_banner", "-nostdin", "-loglevel", "error", "-xerror", "-y",
        "-f", "rawvideo", "-pix_fmt", "rgb24",
        "-video_size", std::to_string(options_.size.width) + "x" + std::to_string(options_.size.height),
        "-framerate", std::to_string(options_.fps), "-i", "pipe:0",
    };
    if (hasSound_) {
        args.insert(args.end(), {"-f", "s16le", "-ar", std::to_string(kSoundTrackRate), "-ac", "2", "-i",
                                 ffmpegFileUrl(soundTrack_.path()), "-map", "0:v", "-map", "1:a"});
    }
    if (!partTag_.empty()) args.insert(args.end(), {"-metadata", "comment=" + partTag_});
    // 4:2:0 chroma: what every browser and phone decodes.
    args.insert(args.end(), {"-pix_fmt", "yuv420p"});
    if (webm) {
        args.insert(args.end(), {"-c:v", "libvpx-vp9", "-crf", "32", "-b:v", "0", "-deadline", "good",
                                 "-cpu-used", "4", "-row-mt", "1"});
        if (hasSound_) args.insert(args.end(), {"-c:a", "libopus", "-b:a", "128k"});
    } else {
        args.insert(args.end(), {"-c:v", "libx264", "-preset", "medium", "-crf", "20"});
        if (hasSound_) args.insert(args.end(), {"-c:a", "aac", "-b:a", "192k"});
        // The index up front, so a browser starts playing before it has the whole file.
        args.insert(args.end(), {"-movflags", "+faststart"});
    }
    // The track runs to the end of the requested frames; when the film's exit
    // command ends it sooner, the sound stops with the picture. The first of
    // several parts keeps the whole span's track for the join.
    const bool trackIsTheFrames = trackFirst_ == firstFrame_ && trackCount_ == frameCount_;
    if (hasSound_ && trackIsTheFrames) args.push_back("-shortest");
    args.insert(args.end(), {"-f", webm ? "webm" : "mp4", ffmpegFileUrl(video_.path())});
    return args;
}

bool VideoExport::take(long, const std::vector<std::uint8_t>& picture, std::string& error) {
    for (std::size_t p = 0, q = 0; q < rgb_.size(); p += 4, q += 3) {
        rgb_[q] = picture[p];
        rgb_[q + 1] = picture[p + 1];
        rgb_[q + 2] = picture[p + 2];
    }
    if (!encoder_.write(rgb_.data(), rgb_.size(), error)) {
        error = "cannot write " + options_.videoPath + ": " + error;
        return false;
    }
    ++taken_;
    showProgress(taken_ == frameCount_);
    return true;
}

void VideoExport::showProgress(bool last) {
    if (!progressIsTerminal_) return;
    const auto now = std::chrono::steady_clock::now();
    if (!last && secondsBetween(lastShown_, now) < kProgressInterval) return;
    lastShown_ = now;
    // Drawn over itself; the summary line replaces it at the end.
    progress_ << "\r" << progressLine(taken_, frameCount_, secondsBetween(started_, now)) << "\033[K" << std::flush;
}

bool VideoExport::finish(std::string& error) {
    const bool encoded = encoder_.finish(error);
    seconds_ = secondsBetween(started_, std::chrono::steady_clock::now());
    if (progressIsTerminal_) progress_ << "\r\033[K" << std::flush;
    if (!encoded || !checkWritten(error)) {
        error = "cannot write " + options_.videoPath + ": " + error;
        return false;
    }
    return video_.commit(error);
}

bool VideoExport::checkWritten(std::string& error) const {
    VideoProbe found;
    if (!probeVideo(video_.path(), found, error)) {
        error = "the file ffmpeg wrote cannot be read whole: " + error;
        return false;
    }
    if (found.videoFrames != taken_) {
        error = "ffmpeg wrote " + std::to_string(found.videoFrames) + " of " + std::to_string(taken_) + " frames";
        return false;
    }
    if (hasSound_ && found.soundPackets == 0) {
        error = "ffmpeg wrote no sound";
        return false;
    }
    return true;
}

std::string VideoExport::summary() const {
    const double filmSeconds = static_cast<double>(taken_) / options_.fps;
    char text[200];
    std::snprintf(text, sizeof text,
                  ": %ld frames at %d fps (%.2f s), %dx%d %s %s, %d sample(s) per pixel, in %.1f s (%.2f s per "
                  "second of film)",
                  taken_, options_.fps, filmSeconds, options_.size.width, options_.size.height,
                  options_.videoFormat == VideoFormat::WebM ? "VP9" : "H.264",
                  hasSound_ ? "with sound" : "without sound", options_.samples, seconds_,
                  filmSeconds > 0.0 ? seconds_ / filmSeconds : 0.0);
    const std::string part = partTag_.empty() ? "" : " (" + partTag_.substr(std::string("xmotool ").size()) + ")";
    return "wrote " + options_.videoPath + part + text;
}

}  // namespace xmo
