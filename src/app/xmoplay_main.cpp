// xmoplay: plays one film full screen until Escape, the window's close, or the
// film's own exit command.
#include <cstdio>
#include <iostream>

#include "app/player.h"
#include "app/player_media_loader.h"
#include "app/window.h"
#include "movie/movie_loader.h"

int main(int argc, char** argv) {
    using namespace xmo;
    const std::string moviePath = argc >= 2 ? argv[1] : "BrikBasics.xmo";

    const WindowResult window = openPlayerWindow();
    if (window.status == WindowStatus::SdlInitFailed) {
        std::fprintf(stderr, "Unable to initialize SDL: %s\n", window.error.c_str());
        return 1;
    }
    if (window.status == WindowStatus::VideoModeFailed) {
        std::fprintf(stderr, "Unable to create OpenGL screen: %s\n", window.error.c_str());
        return 2;
    }

    Player player(playerTicks, std::cout, std::cerr);
    player.swapBuffers = swapPlayerWindow;
    PlayerMediaLoader media(std::cerr);
    try {
        if (!startPlayer(player, moviePath, media)) {
            closePlayerWindow();
            return 1;  // the music could not be brought up
        }
    } catch (const LoadError& e) {
        std::cout << std::flush;
        std::cerr << describeLoadError(e) << "\n";
        closePlayerWindow();
        return 3;
    }
    hideCursor();

    while (player.quitCode == 0) {
        renderFrame(player);
        if (pollQuitRequest()) player.quitCode = kQuitByUser;
    }

    stopPlayer(player);
    closePlayerWindow();
    return 0;  // a finished film is a success, however it ended
}
