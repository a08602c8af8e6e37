// A film exported as a video file: the frames of a render run piped as raw
// RGB to ffmpeg, which encodes them (H.264 in MP4, or VP9 in WebM) together
// with the film's music.
//
// The sound track is known in full before the first frame is rendered (each
// sound starts in a frame the fixed-step clock fixes), so it is mixed up
// front into a temporary file of raw samples beside the video, which ffmpeg
// reads at its own pace; a second pipe would have to be fed in step with the
// frames ffmpeg happens to want. Raw samples, unlike a WAV file, have no
// 4 GiB limit. A film without sounds gives a video without sound. Of the
// parts of a video (video_parts.h) the first carries the sound track of the
// whole span and the others none.
//
// The video is written to a temporary file beside OUT. Once ffmpeg has ended,
// having said nothing on its standard error, ffprobe must find in that file
// every frame (and the sound, where there is sound) before it is renamed over
// OUT: an ffmpeg that exits 0 after a write error in the file's last bytes,
// or after writing nothing, fails the export and leaves the old OUT as it
// was. Both temporary files go with the object.
#pragma once

#include <chrono>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "app/encoder_process.h"
#include "app/render_options.h"
#include "app/render_run.h"
#include "base/atomic_file.h"

namespace xmo {

struct Movie;

class VideoExport : public FrameSink {
public:
    // `span` holds the frames of the whole export, `frames` those the run
    // will hand over (the part's, or all of them); `progress` gets a progress
    // line when it is a terminal.
    VideoExport(const RenderOptions& options, const std::vector<long>& span, const std::vector<long>& frames,
                std::ostream& progress, bool progressIsTerminal);

    // Decodes and mixes the movie's music into the sound track file, then
    // starts ffmpeg. movieFile names the movie in messages about its music.
    bool start(const Movie& movie, const std::string& movieFile, std::string& error);

    bool take(long frame, const std::vector<std::uint8_t>& picture, std::string& error) override;

    // Ends ffmpeg's input, waits for it, checks what it wrote and moves the
    // video into place.
    bool finish(std::string& error);

    // "wrote OUT: N frames ... in T (R s per second of film)"; after finish.
    std::string summary() const;

private:
    bool writeSoundTrack(const Movie& movie, const std::string& movieFile, std::string& error);
    std::vector<std::string> ffmpegArguments() const;
    bool checkWritten(std::string& error) const;
    void showProgress(bool last);

    const RenderOptions& options_;
    long firstFrame_;
    long frameCount_;
    // The frames the sound track runs along; count 0: the video has none.
    long trackFirst_ = 0;
    long trackCount_ = 0;
    std::string partTag_;  // empty unless a part
    std::ostream& progress_;
    bool progressIsTerminal_;

    TemporaryFile video_;
    TemporaryFile soundTrack_;
    bool hasSound_ = false;
    EncoderProcess encoder_;
    std::vector<std::uint8_t> rgb_;
    long taken_ = 0;
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::time_point lastShown_;
    double seconds_ = 0.0;  // from start to finish
};

}  // namespace xmo
