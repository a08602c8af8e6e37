#include "app/playback.h"

#include <iostream>
#include <optional>
#include <vector>

#include "app/capture_requests.h"
#include "app/film_check.h"
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
#include "app/problem_panel.h"
#include "app/relaunch.h"
#include "app/reload_check.h"
#include "app/render_options.h"
#include "app/seek_targets.h"
#include "app/status_line.h"
#include "app/time_bar.h"
#include "app/timeline.h"
#include "app/watch_set.h"
#include "app/window.h"
#include "movie/movie_loader.h"

namespace xmo {

namespace {

// Editors save in bursts (a temporary file, a rename, a backup): the reload
// waits until the film's files have been quiet this long.
constexpr std::uint32_t kSaveSettleMs = 200;
// Redraw rate of a paused film, which renders nothing new.
constexpr unsigned kPausedRedrawMs = 15;
// A run to a far time reports progress once it has taken this long.
constexpr std::uint32_t kSeekQuietMs = 1000;
constexpr std::uint32_t kSeekReportMs = 1000;
// How long a note (a still written) stays in the title.
constexpr std::uint32_t kTitleNoteMs = 2000;

class Playback {
public:
    Playback(const PlayerOptions& options, CaptureRequests& captures)
        : options_(options),
          captures_(captures),
          ticks_(playerTicks),
          player_([this] { return ticks_.now(); }, std::cout, std::cerr),
          media_(std::cerr),
          // Above the time bar, which may show at the same time.
          keyOverlay_(layoutKeyOverlay(kScreenWidth, kScreenHeight - kTimeBarHeight)) {}

    int run();

private:
    std::optional<int> start();
    void watchFilmFiles();
    void showCheckProblems();
    bool seekTo(long frame, bool holdThere, bool exitEnds = false);
    long advanceTo(long frame, bool& hold);
    void showSeekProgress(std::int32_t targetMs, std::uint32_t begun, std::uint32_t& reportedAt);
    void renderOrRedraw();
    void stopAtFilmEndWhileWatching();
    void present();
    void drawOverlays();
    void writeStill();
    std::vector<PlayerInput>& pollInput();
    void applyInput(const PlayerInput& input);
    void togglePause();
    void pauseHere(const std::string& note);
    long currentFrame() const;
    void noteSaves();
    std::optional<int> relaunchIfAsked();
    void showProblems(std::string title, std::vector<std::string> lines);
    void showStatus();
    bool isTitleDue() const { return options_.windowed && playerTicks() - titleSetAt_ >= kStatusRefreshMs; }
    void setTitle(const std::string& text);
    void setTitleNote(std::string note, std::uint32_t forMs);
    int end(int exitCode);

    const PlayerOptions& options_;
    CaptureRequests& captures_;
    PlaybackTicks ticks_;
    Player player_;
    PlayerMediaLoader media_;
    HeldFrame held_;
    Overlay keyOverlay_;
    std::uint32_t keysShownUntil_ = 0;
    std::uint32_t titleSetAt_ = 0;
    std::string title_;
    std::string titleNote_;
    std::uint32_t titleNoteUntil_ = 0;  // 0: until the film plays on

    // The frame of the fixed step the film stands on, when it got there by
    // fixed steps (-1: freshly read, before frame 0). Playing on the wall
    // clock leaves the grid; a seek forward from the grid goes on from there,
    // any other seek reads the film again and runs from its start.
    std::optional<long> onGridFrame_;

    // Where a key or the time bar asked the film to go, done once per turn
    // of the loop: a drag shows every frame it passes over while seeks keep
    // up, and the one under the pointer when they do not.
    std::optional<long> seekTarget_;
    // The time bar: shown while the pointer is over the window's lower edge,
    // while it is dragged, and for a while after a seek.
    int pointerY_ = -1;
    bool dragging_ = false;
    std::uint32_t timeBarUntil_ = 0;

    Overlay problemPanel_;
    bool problemsShown_ = false;
    bool stillRequested_ = false;
    bool musicFailed_ = false;

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
        for (const PlayerInput& input : pollInput()) applyInput(input);
        if (seekTarget_) {
            const long target = *seekTarget_;
            seekTarget_.reset();
            if (!seekTo(target, ticks_.isPaused())) return end(musicFailed_ ? 1 : 0);
        }
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
    onGridFrame_ = -1;

    std::string error;
    const std::optional<long> startFrame = findStartFrame(options_, player_.currentMovie->sequences, error);
    if (!error.empty()) {
        std::cerr << usageErrorLine(error) << "\n";
        return end(2);
    }
    if (options_.watch) {
        watchFilmFiles();
        showCheckProblems();
    }
    if (!startFrame) {
        ticks_.resume();  // film time 0 is now
        return std::nullopt;
    }
    // Without --watch the film's exit command on the way ends the player, as
    // it ends the film.
    if (!seekTo(*startFrame, options_.paused, !options_.watch) || player_.quitCode != 0)
        return end(musicFailed_ ? 1 : 0);
    return std::nullopt;
}

void Playback::watchFilmFiles() {
    watchSet_.emplace(findFilmFiles(*player_.currentMovie, options_.moviePath));
    std::string error;
    if (!folderWatch_.watch(watchSet_->folders(), error))
        std::cerr << "xmoplay: --watch: " << error << "; some saves will not reload the film\n";
}

// The warnings xmotool check gives for the film, listed in the window.
void Playback::showCheckProblems() {
    std::ostream quiet(nullptr);  // loading the film said where its files were found
    const FilmProblems found = checkFilm(options_.moviePath, quiet);
    std::vector<std::string> lines;
    for (const Diagnostic& d : found.problems) lines.push_back(formatDiagnostic(d));
    if (lines.empty()) return;
    const std::string count = std::to_string(lines.size()) + (lines.size() == 1 ? " PROBLEM" : " PROBLEMS");
    showProblems("XMOTOOL CHECK: " + count + " (H HIDES THIS)", std::move(lines));
}

// Takes the film to frame `frame` of the fixed step and draws it: on from
// the frame it stands on when that is on the grid and not later, else from
// the start of the film read again. The film then holds there when holdThere
// is set (or Space was pressed on the way), or plays on. The film's exit
// command on the way stops the run on its frame, held, unless exitEnds (the
// quit code then stays set). False when the user quit on the way or the film
// could no longer be set up.
bool Playback::seekTo(long frame, bool holdThere, bool exitEnds) {
    Movie* movie = player_.currentMovie.get();
    pauseSound(player_.sound, movie->sounds);  // nothing is heard on the way
    if (!onGridFrame_ || frame < *onGridFrame_) {
        const std::uint32_t ticksBefore = ticks_.now();
        const bool wasPaused = ticks_.isPaused();
        try {
            ticks_.hold(0);  // film time 0 when the clock starts again
            if (!restartFilm(player_, options_.moviePath, media_)) {
                musicFailed_ = true;  // "Error!" and the reason are on the console
                return false;
            }
        } catch (const LoadError& e) {
            showProblems("THE FILM CANNOT BE READ AGAIN TO SEEK; IT STAYS WHERE IT IS", {describeLoadError(e)});
            ticks_.hold(ticksBefore);
            if (!wasPaused) {
                ticks_.resume();
                resumeSound(player_.sound, movie->sounds);
            }
            return true;
        }
        movie = player_.currentMovie.get();
        onGridFrame_ = -1;
    }

    bool hold = holdThere;
    const long reached = *onGridFrame_ == frame ? frame : advanceTo(frame, hold);
    if (player_.quitCode == kQuitByUser) return false;
    if (player_.quitCode == kQuitByExitCommand) {
        if (exitEnds) return true;
        player_.quitCode = 0;
        hold = true;
        setTitleNote("paused by the film's exit command", 0);
    }
    if (reached < frame || *onGridFrame_ == frame) drawFrame(player_);  // the exit command's frame, or this one again
    onGridFrame_ = reached;
    timeBarUntil_ = playerTicks() + kTimeBarAfterSeekMs;
    seekSound(player_.sound, movie->sounds, player_.movieClock.filmTime());
    if (hold) {
        held_.keep(kScreenWidth, kScreenHeight);
    } else {
        held_.clear();
        ticks_.resume();
        resumeSound(player_.sound, movie->sounds);
    }
    return true;
}

// Advances the film from the grid frame it stands on to `frame`, drawing
// that one; Space on the way decides whether the film holds or runs once
// there. Returns the frame reached (earlier when the user quit or the film's
// exit command fired on the way).
long Playback::advanceTo(long frame, bool& hold) {
    const std::uint32_t begun = playerTicks();
    std::uint32_t reportedAt = begun;
    const std::int32_t targetMs = static_cast<std::int32_t>(frameTicks(frame, options_.fps));
    const auto isLast = [frame](long n) { return n == frame; };
    return playFixedSteps(player_, ticks_, options_.fps, *onGridFrame_ + 1, frame, isLast, [&](long n) {
        for (const PlayerInput& input : pollInput()) {
            if (input.action == PlayerAction::Pause) hold = !hold;
            if (input.action == PlayerAction::Quit) player_.quitCode = kQuitByUser;
            const bool drags = input.action == PlayerAction::PointerMove || input.action == PlayerAction::PointerUp;
            if (dragging_ && drags) applyInput(input);
        }
        noteSaves();
        if (n < frame) showSeekProgress(targetMs, begun, reportedAt);
        return player_.quitCode == 0;
    });
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
        stopAtFilmEndWhileWatching();
        if (ticks_.isPaused()) return;
        renderFrame(player_);
        onGridFrame_.reset();  // the wall clock's steps are not the fixed ones
        if (player_.quitCode == kQuitByExitCommand && options_.watch) {
            player_.quitCode = 0;
            pauseHere("paused by the film's exit command (--watch)");
        }
    } else if (!held_.isKept()) {
        // Just paused: the picture as the film stands, kept.
        drawFrame(player_);
        held_.keep(kScreenWidth, kScreenHeight);
    } else {
        held_.draw();
    }
}

// Under --watch the film holds on its last frame instead of running on
// past the end of its last sequence.
void Playback::stopAtFilmEndWhileWatching() {
    if (!options_.watch) return;
    const auto endMs = static_cast<std::uint32_t>(filmEnd(player_.currentMovie->sequences) * 1000.0f);
    if (ticks_.now() <= endMs) return;
    ticks_.hold(endMs);
    renderFrame(player_);
    onGridFrame_.reset();
    pauseHere("paused at the film's end (--watch)");
}

void Playback::pauseHere(const std::string& note) {
    ticks_.pause();
    pauseSound(player_.sound, player_.currentMovie->sounds);
    held_.keep(kScreenWidth, kScreenHeight);
    setTitleNote(note, 0);
}

void Playback::present() {
    if (stillRequested_) writeStill();
    if (captures_.isOn() && captures_.isRequested()) {
        std::string error;
        if (!saveFramePng(captures_.path(), kScreenWidth, kScreenHeight, error))
            std::cerr << "xmoplay: XMOPLAY_CAPTURE: " << error << "\n";
    }
    drawOverlays();
    swapPlayerWindow();
}

// After the film's picture is taken for a still or a capture: the problems,
// the time bar and the keys.
void Playback::drawOverlays() {
    const std::uint32_t now = playerTicks();
    if (problemsShown_) drawOverlay(problemPanel_, kScreenWidth, kScreenHeight);
    if (dragging_ || now < timeBarUntil_ || isOverTimeBar(pointerY_, kScreenHeight))
        drawOverlay(layoutTimeBar(player_.currentMovie->sequences, player_.movieClock.filmTime(), ticks_.isPaused(),
                                  kScreenWidth, kScreenHeight),
                    kScreenWidth, kScreenHeight);
    if (now < keysShownUntil_) drawOverlay(keyOverlay_, kScreenWidth, kScreenHeight);
}

void Playback::writeStill() {
    stillRequested_ = false;
    const std::string path = stillPath(options_.moviePath, player_.movieClock.currentMs);
    std::string error;
    if (saveFramePng(path, kScreenWidth, kScreenHeight, error)) {
        setTitleNote("still written to " + path, kTitleNoteMs);
    } else {
        std::cerr << "xmoplay: " << path << ": " << error << "\n";
        setTitleNote("no still: " + error, kTitleNoteMs);
    }
}

std::vector<PlayerInput>& Playback::pollInput() {
    inputs_.clear();
    pollPlayerInput(inputs_);
    return inputs_;
}

void Playback::applyInput(const PlayerInput& input) {
    if (input.action != PlayerAction::Quit && !hasAuthorOptions(options_)) return;
    const auto& sequences = player_.currentMovie->sequences;
    switch (input.action) {
    case PlayerAction::Quit: player_.quitCode = kQuitByUser; break;
    case PlayerAction::Pause: togglePause(); break;
    case PlayerAction::Seek:
        seekTarget_ = findSeekTarget(input.seek, currentFrame(), ticks_.isPaused(), sequences, options_.fps);
        break;
    case PlayerAction::Restart: relaunch_ = Relaunch::Restart; break;
    case PlayerAction::Still: stillRequested_ = true; break;
    case PlayerAction::ShowProblems:
        problemsShown_ = !problemsShown_ && !problemPanel_.empty();
        keysShownUntil_ = playerTicks() + kKeyOverlayMs;
        break;
    case PlayerAction::ShowKeys: keysShownUntil_ = playerTicks() + kKeyOverlayMs; break;
    case PlayerAction::PointerMove:
        pointerY_ = input.y;
        if (dragging_) seekTarget_ = frameAtFraction(timeBarFraction(input.x, kScreenWidth), sequences, options_.fps);
        break;
    case PlayerAction::PointerDown:
        pointerY_ = input.y;
        if (!isOverTimeBar(input.y, kScreenHeight)) break;
        dragging_ = true;
        seekTarget_ = frameAtFraction(timeBarFraction(input.x, kScreenWidth), sequences, options_.fps);
        break;
    case PlayerAction::PointerUp:
        if (!dragging_) break;
        dragging_ = false;
        seekTarget_ = frameAtFraction(timeBarFraction(input.x, kScreenWidth), sequences, options_.fps);
        break;
    }
}

void Playback::togglePause() {
    Movie& movie = *player_.currentMovie;
    if (ticks_.isPaused()) {
        held_.clear();
        setTitleNote("", 0);
        ticks_.resume();
        resumeSound(player_.sound, movie.sounds);
    } else {
        ticks_.pause();
        pauseSound(player_.sound, movie.sounds);
    }
}

// The frame the film stands on, or the one nearest its time when it plays on
// the wall clock.
long Playback::currentFrame() const {
    if (onGridFrame_) return std::max(0L, *onGridFrame_);
    return frameNearest(player_.movieClock.currentMs / 1000.0, options_.fps);
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
// only when that fails; a film that does not load leaves this one playing,
// its problem in the window.
std::optional<int> Playback::relaunchIfAsked() {
    if (relaunch_ == Relaunch::None || player_.quitCode != 0) return std::nullopt;
    // A reload goes on from the film time of the picture on screen.
    const std::int32_t filmMs = relaunch_ == Relaunch::Restart ? 0 : player_.movieClock.currentMs;
    relaunch_ = Relaunch::None;
    if (const std::optional<std::string> problem = findReloadProblem(options_.moviePath)) {
        std::cerr << "xmoplay: the film plays on as it was: " << *problem << "\n";
        showProblems("THE SAVED FILM DOES NOT LOAD; THE FILM PLAYS ON AS IT WAS (H HIDES THIS)", {*problem});
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

void Playback::showProblems(std::string title, std::vector<std::string> lines) {
    problemPanel_ = layoutProblemPanel(title, lines, kScreenWidth);
    problemsShown_ = true;
}

// The status line is built only when the title may change, so that the
// frames in between do no string work.
void Playback::showStatus() {
    if (!isTitleDue()) return;
    if (titleNoteUntil_ != 0 && playerTicks() >= titleNoteUntil_) setTitleNote("", 0);
    std::string line = formatStatusLine(describePlayback(options_.moviePath, player_.currentMovie->sequences,
                                                         player_.movieClock.filmTime(), ticks_.isPaused()));
    if (!titleNote_.empty()) line += " | " + titleNote_;
    setTitle(line);
}

void Playback::setTitle(const std::string& text) {
    titleSetAt_ = playerTicks();
    if (text == title_) return;
    setPlayerWindowTitle(text);
    title_ = text;
}

void Playback::setTitleNote(std::string note, std::uint32_t forMs) {
    titleNote_ = std::move(note);
    titleNoteUntil_ = forMs == 0 ? 0 : playerTicks() + forMs;
    titleSetAt_ = playerTicks() - kStatusRefreshMs;  // shown with the next status line
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
