#include "app/video_export.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/gl_setup.h"
#include "app/render_progress.h"
#include "app/sound_track.h"
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

VideoExport::VideoExport(const RenderOptions& options, const std::vector<long>& frames, std::ostream& progress,
                         bool progressIsTerminal)
    : options_(options),
      firstFrame_(frames.empty() ? 0 : frames.front()),
      frameCount_(static_cast<long>(frames.size())),
      progress_(progress),
      progressIsTerminal_(progressIsTerminal),
      video_(options.videoPath),
      soundTrack_(options.videoPath) {}

bool VideoExport::start(const Movie& movie, const std::string& movieFile, std::string& error) {
    started_ = lastShown_ = std::chrono::steady_clock::now();
    hasSound_ = !movie.sounds.empty();
    if (hasSound_ && !writeSoundTrack(movie, movieFile, error)) return false;
    if (!video_.create(error)) return false;
    rgb_.resize(static_cast<std::size_t>(kScreenWidth) * kScreenHeight * 3);
    if (!encoder_.start(ffmpegArguments(), error)) {
        error += "; video export needs ffmpeg (the Debian package ffmpeg)";
        return false;
    }
    return true;
}

bool VideoExport::writeSoundTrack(const Movie& movie, const std::string& movieFile, std::string& error) {
    std::vector<DecodedSound> decoded;
    if (!decodeSounds(movie, movieFile, options_.fps, firstFrame_, decoded, error)) return false;
    std::vector<SoundClip> clips;
    for (const DecodedSound& d : decoded) {
        const int channels = d.audio.channels;
        clips.push_back({d.audio.samples.data(), d.audio.samples.size() / channels, channels, d.start});
    }
    if (!soundTrack_.create(error)) return false;
    const long long length =
        frameSample(firstFrame_ + frameCount_, options_.fps) - frameSample(firstFrame_, options_.fps);
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
    std::vector<std::string> args = {
        kEncoder, "-hide_banner", "-nostdin", "-loglevel", "error", "-y",
        "-f", "rawvideo", "-pix_fmt", "rgb24",
        "-video_size", std::to_string(kScreenWidth) + "x" + std::to_string(kScreenHeight),
        "-framerate", std::to_string(options_.fps), "-i", "pipe:0",
    };
    if (hasSound_) {
        args.insert(args.end(), {"-f", "s16le", "-ar", std::to_string(kSoundTrackRate), "-ac", "2", "-i",
                                 soundTrack_.path(), "-map", "0:v", "-map", "1:a"});
    }
    if (options_.videoSize) {
        args.insert(args.end(), {"-vf", "scale=" + std::to_string(options_.videoSize->width) + ":" +
                                            std::to_string(options_.videoSize->height) + ":flags=lanczos"});
    }
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
    // command ends it sooner, the sound stops with the picture.
    if (hasSound_) args.push_back("-shortest");
    args.insert(args.end(), {"-f", webm ? "webm" : "mp4", video_.path()});
    return args;
}

bool VideoExport::take(long, const std::vector<std::uint8_t>& picture, std::string& error) {
    for (std::size_t p = 0, q = 0; q < rgb_.size(); p += 4, q += 3) {
        rgb_[q] = picture[p];
        rgb_[q + 1] = picture[p + 1];
        rgb_[q + 2] = picture[p + 2];
    }
    if (!encoder_.write(rgb_.data(), rgb_.size(), error)) return false;
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
    return encoded && video_.commit(error);
}

std::string VideoExport::summary() const {
    const double filmSeconds = static_cast<double>(taken_) / options_.fps;
    const int width = options_.videoSize ? options_.videoSize->width : kScreenWidth;
    const int height = options_.videoSize ? options_.videoSize->height : kScreenHeight;
    char text[128];
    std::snprintf(text, sizeof text, ": %ld frames at %d fps (%.2f s), %dx%d %s %s, in %.1f s (%.2f s per second of film)",
                  taken_, options_.fps, filmSeconds, width, height,
                  options_.videoFormat == VideoFormat::WebM ? "VP9" : "H.264",
                  hasSound_ ? "with sound" : "without sound", seconds_, filmSeconds > 0.0 ? seconds_ / filmSeconds : 0.0);
    return "wrote " + options_.videoPath + text;
}

}  // namespace xmo
