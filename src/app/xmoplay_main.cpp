// xmoplay: plays one film, full screen or in a window, until Escape, the
// window's close, or the film's own exit command.
#include <cstdio>
#include <string>
#include <vector>

#include "app/capture_requests.h"
#include "app/playback.h"
#include "app/player_options.h"
#include "app/window.h"

int main(int argc, char** argv) {
    using namespace xmo;
    CaptureRequests captures;  // first: no thread may start before it
    const CommandLine line = parsePlayerCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (line.action) {
    case CommandLineAction::Help: std::fputs(playerHelpText(), stdout); return 0;
    case CommandLineAction::Version: std::printf("xmoplay %s\n", XMO_VERSION); return 0;
    case CommandLineAction::UsageError: std::fprintf(stderr, "%s\n", usageErrorLine(line.error).c_str()); return 2;
    case CommandLineAction::Play: break;
    }

    const WindowResult window = openPlayerWindow(line.options.windowed ? WindowMode::Windowed : WindowMode::FullScreen);
    if (window.status == WindowStatus::SdlInitFailed) {
        std::fprintf(stderr, "Unable to initialize SDL: %s\n", window.error.c_str());
        return 1;
    }
    if (window.status == WindowStatus::VideoModeFailed) {
        std::fprintf(stderr, "Unable to create OpenGL screen: %s\n", window.error.c_str());
        return 2;
    }
    return playFilm(line.options, captures);
}
