#include "app/playback.h"

#include <iostream>
#include <optional>
#include <vector>

#include "app/capture_requests.h"
#include "app/fixed_step.h"
#include "app/folder_watch.h"
#include "app/frame_capture.h"
#include "app/gl_setup.h"
#include "app/held_frame.h"
#include "app/key_overlay.h"
#include "app/playback_ticks.h"
#include "app/player.h"
#include "app/player_media_loader.h"
#include "app/player_options.h"
#include "app/relaunch.h"
#include "app/reload_check.h"
#include "app/render_options.h"
#include "app/status_line.h"
#include "app/watch_set.h"
#include "app/window.h"
#include "movie/movie_loader.h"

namespace xmo {

namespace {

// Stepping by hand moves the paused film on by one frame of 25 per second.
constexpr std::uint32_t kStepMs = 40;
// Editors save in bursts (a temporary file, a rename, a backup): the reload
// waits until the film's files have been quiet this long.
constexpr std::uint32_t kSaveSettleMs = 200;
// Redraw rate of a paused film, which renders nothing new.
constexpr unsigned kPausedRedrawMs = 15;
// A run to the start time reports progress once it has taken this long.
constexpr std::uint32_t kSeekQuietMs = 1000;
constexpr std::uint32_t kSeekReportMs = 1000;

class Playback {
public:
    Playback(const PlayerOptions& options, CaptureRequests& captures)
        : options_(options),
          captures_(captures),
          ticks_(playerTicks),
          player_([this] { return ticks_.now(); }, std::cout, std::cerr),
          media_(std::cerr),
          overlay_(layoutKeyOverlay(kScreenWidth, kScreenHeight)) {}

    int run();

private:
    std::optional<int> start();
    void watchFilmFiles();
    bool reachStartFrame(long frame);
    void showSeekProgress(std::int32_t targetMs, std::uint32_t begun, std::uint32_t& reportedAt);
    void renderOrRedraw();
    void present();
    std::vector<PlayerInput>& pollInput();
    void applyInput(PlayerInput input);
    void noteSaves();
    std::optional<int> relaunchIfAsked();
    void showStatus();
    bool isTitleDue() const { return options_.windowed && playerTicks() - titleSetAt_ >= kStatusRefreshMs; }
    void setTitle(const std::string& text);
    int end(int exitCode);

    const PlayerOptions& options_;
    CaptureRequests& captures_;
    PlaybackTicks ticks_;
    Player player_;
    PlayerMediaLoader media_;
    HeldFrame held_;
    KeyOverlay overlay_;
    std::uint32_t keysShownUntil_ = 0;
    std::uint32_t titleSetAt_ = 0;
    std::string title_;

    int pendingSteps_ = 0;

    std::optional<WatchSet> watchSet_;
    FolderWatch folderWatch_;
    std::optional<std::uint32_t> reloadDueAt_;
    enum class Relaunch { None, Restart, Reload } relaunch_ = Relaunch::None;

    std::vector<PlayerInput> inputs_;
    std::vector<FolderChange> changes_;
};

int Playback::run() {
    if (const std::optional<int> failed = start()) return *failed;
    while (player_.quitCode == 0) {
        renderOrRedraw();
        present();
        showStatus();
        for (const PlayerInput input : pollInput()) applyInput(input);
        noteSaves();
        if (const std::optional<int> failed = relaunchIfAsked()) return *failed;
        if (ticks_.isPaused()) waitMilliseconds(kPausedRedrawMs);
    }
    return end(0);  // a finished film is a success, however it ended
}

// Start-up and the way to the start time. Returns an exit code when the run
// ends there.
std::optional<int> Playback::start() {
    if (options_.windowed) setTitle(formatLoadingLine(options_.moviePath));
    try {
        if (!startPlayer(player_, options_.moviePath, media_)) {
            closePlayerWindow();
            return 1;  // the music could not be brought up
        }
    } catch (const LoadError& e) {
        std::cout << std::flush;
        std::cerr << describeLoadError(e) << "\n";
        closePlayerWindow();
        return 3;
    }
    if (!options_.windowed) hideCursor();

    std::string error;
    const std::optional<long> startFrame = findStartFrame(options_, player_.currentMovie->sequences, error);
    if (!error.empty()) {
        std::cerr << usageErrorLine(error) << "\n";
        return end(2);
    }
    if (options_.watch) watchFilmFiles();
    if (!startFrame) {
        ticks_.resume();  // film time 0 is now
        return std::nullopt;
    }
    if (!reachStartFrame(*startFrame)) return end(0);
    present();
    return std::nullopt;
}

void Playback::watchFilmFiles() {
    watchSet_.emplace(findFilmFiles(*player_.currentMovie, options_.moviePath));
    std::string error;
    if (!folderWatch_.watch(watchSet_->folders(), error))
        std::cerr << "xmoplay: --watch: " << error << "; some saves will not reload the film\n";
}

// Advances the film on the fixed step up to frame n, draws that frame alone
// and leaves it not yet shown; the film then holds or runs on from there. False when the
// user quit on the way.
bool Playback::reachStartFrame(long n) {
    Movie& movie = *player_.currentMovie;
    bool pauseAtEnd = options_.paused;
    const std::uint32_t begun = playerTicks();
    std::uint32_t reportedAt = begun;
    const std::int32_t targetMs = static_cast<std::int32_t>(frameTicks(n, options_.fps));

    pauseSound(player_.sound, movie.sounds);  // nothing is heard on the way
    const auto isLast = [n](long frame) { return frame == n; };
    const long reached = playFixedSteps(player_, ticks_, options_.fps, n, isLast, [&](long frame) {
        for (const PlayerInput input : pollInput()) {
            // Space on the way decides whether the film holds or runs once there.
            if (input == PlayerInput::Pause) pauseAtEnd = !pauseAtEnd;
            if (input == PlayerInput::Quit || input == PlayerInput::ShowKeys || input == PlayerInput::Restart)
                applyInput(input);
        }
        noteSaves();
        if (frame < n) showSeekProgress(targetMs, begun, reportedAt);
        return player_.quitCode == 0;
    });
    if (reached < n) return false;  // quit on the way, or the film's exit command

    seekSound(player_.sound, movie.sounds, player_.movieClock.filmTime());
    if (pauseAtEnd) {
        held_.keep(kScreenWidth, kScreenHeight);
    } else {
        ticks_.resume();
        resumeSound(player_.sound, movie.sounds);
    }
    return true;
}

// In the title as it goes, and a line on standard error each second, once
// the run has taken a second.
void Playback::showSeekProgress(std::int32_t targetMs, std::uint32_t begun, std::uint32_t& reportedAt) {
    const std::uint32_t now = playerTicks();
    if (now - begun < kSeekQuietMs) return;
    const bool report = now - reportedAt >= kSeekReportMs;
    if (!report && !isTitleDue()) return;
    const std::string line = formatSeekLine(options_.moviePath, player_.movieClock.currentMs, targetMs);
    if (isTitleDue()) setTitle(line);
    if (report) {
        std::cerr << "xmoplay: " << line << "\n";
        reportedAt = now;
    }
}

void Playback::renderOrRedraw() {
    if (!ticks_.isPaused()) {
        renderFrame(player_);
    } else if (!held_.isKept() || pendingSteps_ > 0) {
        // Just paused, or stepped: one frame at the held time, then kept.
        if (held_.isKept()) {
            ticks_.step(kStepMs);
            --pendingSteps_;
        }
        renderFrame(player_);
        held_.keep(kScreenWidth, kScreenHeight);
    } else {
        held_.draw();
    }
}

void Playback::present() {
    if (captures_.isOn() && captures_.isRequested()) {
        std::string error;
        if (!saveFramePng(captures_.path(), kScreenWidth, kScreenHeight, error))
            std::cerr << "xmoplay: XMOPLAY_CAPTURE: " << error << "\n";
    }
    if (playerTicks() < keysShownUntil_) drawKeyOverlay(overlay_, kScreenWidth, kScreenHeight);
    swapPlayerWindow();
}

std::vector<PlayerInput>& Playback::pollInput() {
    inputs_.clear();
    pollPlayerInput(inputs_);
    return inputs_;
}

void Playback::applyInput(PlayerInput input) {
    if (input != PlayerInput::Quit && !hasAuthorOptions(options_)) return;
    Movie& movie = *player_.currentMovie;
    switch (input) {
    case PlayerInput::Quit: player_.quitCode = kQuitByUser; break;
    case PlayerInput::Pause:
        if (ticks_.isPaused()) {
            held_.clear();
            pendingSteps_ = 0;
            ticks_.resume();
            resumeSound(player_.sound, movie.sounds);
        } else {
            ticks_.pause();
            pauseSound(player_.sound, movie.sounds);
        }
        break;
    case PlayerInput::Step:
        if (ticks_.isPaused()) ++pendingSteps_;
        break;
    case PlayerInput::Restart: relaunch_ = Relaunch::Restart; break;
    case PlayerInput::ShowKeys: keysShownUntil_ = playerTicks() + kKeyOverlayMs; break;
    }
}

void Playback::noteSaves() {
    if (!watchSet_) return;
    changes_.clear();
    folderWatch_.poll(changes_);
    for (const FolderChange& c : changes_)
        if (watchSet_->isFilmFile(c.folder, c.name)) reloadDueAt_ = playerTicks() + kSaveSettleMs;
    if (reloadDueAt_ && static_cast<std::int32_t>(playerTicks() - *reloadDueAt_) >= 0) {
        reloadDueAt_.reset();
        if (relaunch_ == Relaunch::None) relaunch_ = Relaunch::Reload;
    }
}

// A reload or restart that was asked for: the film on disk is checked, then
// the player starts again in place of this process. Returns an exit code
// only when that fails; a film that does not load leaves this one playing.
std::optional<int> Playback::relaunchIfAsked() {
    if (relaunch_ == Relaunch::None || player_.quitCode != 0) return std::nullopt;
    // A reload goes on from the film time of the picture on screen.
    const std::int32_t filmMs = relaunch_ == Relaunch::Restart ? 0 : player_.movieClock.currentMs;
    relaunch_ = Relaunch::None;
    if (const std::optional<std::string> problem = findReloadProblem(options_.moviePath)) {
        std::cerr << "xmoplay: the film plays on as it was: " << *problem << "\n";
        return std::nullopt;
    }
    const std::vector<std::string> args = relaunchArguments(options_, filmMs, ticks_.isPaused());
    stopPlayer(player_);
    closePlayerWindow();
    std::cout << std::flush;
    const std::string failure = relaunchPlayer(args);
    std::cerr << "xmoplay: " << failure << "\n";
    return 1;
}

// The status line is built only when the title may change, so that the
// frames in between do no string work.
void Playback::showStatus() {
    if (!isTitleDue()) return;
    setTitle(formatStatusLine(describePlayback(options_.moviePath, player_.currentMovie->sequences,
                                               player_.movieClock.filmTime(), ticks_.isPaused())));
}

void Playback::setTitle(const std::string& text) {
    titleSetAt_ = playerTicks();
    if (text == title_) return;
    setPlayerWindowTitle(text);
    title_ = text;
}

int Playback::end(int exitCode) {
    stopPlayer(player_);
    closePlayerWindow();
    return exitCode;
}

}  // namespace

int playFilm(const PlayerOptions& options, CaptureRequests& captures) {
    Playback playback(options, captures);
    return playback.run();
}

}  // namespace xmo
