#include <SDL/SDL.h>

#include <cstdlib>
#include <cstring>

#include "app/gl_setup.h"
#include "app/window.h"

namespace xmo {

namespace {

// The drivers SDL picks when there is nothing to show a window on.
bool isInvisibleDriver(const char* name) {
    return std::strcmp(name, "offscreen") == 0 || std::strcmp(name, "dummy") == 0;
}

}  // namespace

WindowResult openPlayerWindow(WindowMode mode) {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) < 0) return {WindowStatus::SdlInitFailed, SDL_GetError()};
    const char* chosen = std::getenv("SDL_VIDEODRIVER");
    char driver[64] = "";
    if ((!chosen || !*chosen) && SDL_VideoDriverName(driver, sizeof driver) && isInvisibleDriver(driver)) {
        SDL_Quit();
        return {WindowStatus::SdlInitFailed, "no display (set DISPLAY, or use xmotool render)"};
    }
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    const Uint32 flags = SDL_OPENGL | SDL_DOUBLEBUF | (mode == WindowMode::FullScreen ? SDL_FULLSCREEN : 0);
    if (!SDL_SetVideoMode(kScreenWidth, kScreenHeight, 0, flags)) {
        WindowResult failed{WindowStatus::VideoModeFailed, SDL_GetError()};
        SDL_Quit();
        return failed;
    }
    return {};
}

void closePlayerWindow() { SDL_Quit(); }

void swapPlayerWindow() { SDL_GL_SwapBuffers(); }

void hideCursor() { SDL_ShowCursor(SDL_DISABLE); }

void setPlayerWindowTitle(const std::string& title) { SDL_WM_SetCaption(title.c_str(), nullptr); }

void pollPlayerInput(std::vector<PlayerInput>& inputs) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT) inputs.push_back(PlayerInput::Quit);
        if (event.type != SDL_KEYDOWN) continue;
        switch (event.key.keysym.sym) {
        case SDLK_ESCAPE: inputs.push_back(PlayerInput::Quit); break;
        case SDLK_SPACE: inputs.push_back(PlayerInput::Pause); break;
        case SDLK_RIGHT: inputs.push_back(PlayerInput::Step); break;
        case SDLK_r: inputs.push_back(PlayerInput::Restart); break;
        case SDLK_h:
        case SDLK_F1: inputs.push_back(PlayerInput::ShowKeys); break;
        default: break;
        }
    }
}

unsigned playerTicks() { return SDL_GetTicks(); }

void waitMilliseconds(unsigned ms) { SDL_Delay(ms); }

}  // namespace xmo
