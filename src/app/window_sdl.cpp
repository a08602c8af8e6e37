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
    const auto seek = [&inputs](SeekKey key) { inputs.push_back({PlayerAction::Seek, key}); };
    const auto pointer = [&inputs](PlayerAction action, int x, int y) { inputs.push_back({action, {}, x, y}); };
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_QUIT: inputs.push_back({PlayerAction::Quit}); break;
        case SDL_MOUSEMOTION: pointer(PlayerAction::PointerMove, event.motion.x, event.motion.y); break;
        case SDL_MOUSEBUTTONDOWN:
            if (event.button.button == SDL_BUTTON_LEFT)
                pointer(PlayerAction::PointerDown, event.button.x, event.button.y);
            break;
        case SDL_MOUSEBUTTONUP:
            if (event.button.button == SDL_BUTTON_LEFT) pointer(PlayerAction::PointerUp, event.button.x, event.button.y);
            break;
        case SDL_KEYDOWN: {
            const bool shift = (event.key.keysym.mod & KMOD_SHIFT) != 0;
            switch (event.key.keysym.sym) {
            case SDLK_ESCAPE: inputs.push_back({PlayerAction::Quit}); break;
            case SDLK_SPACE: inputs.push_back({PlayerAction::Pause}); break;
            case SDLK_LEFT: seek(shift ? SeekKey::BackFar : SeekKey::Back); break;
            case SDLK_RIGHT: seek(shift ? SeekKey::ForwardFar : SeekKey::Forward); break;
            case SDLK_PAGEUP: seek(SeekKey::PreviousSequence); break;
            case SDLK_PAGEDOWN: seek(SeekKey::NextSequence); break;
            case SDLK_HOME: seek(SeekKey::Start); break;
            case SDLK_END: seek(SeekKey::End); break;
            case SDLK_r: inputs.push_back({PlayerAction::Restart}); break;
            case SDLK_s: inputs.push_back({PlayerAction::Still}); break;
            case SDLK_h: inputs.push_back({PlayerAction::ShowProblems}); break;
            case SDLK_F1: inputs.push_back({PlayerAction::ShowKeys}); break;
            default: break;
            }
            break;
        }
        default: break;
        }
    }
}

unsigned playerTicks() { return SDL_GetTicks(); }

void waitMilliseconds(unsigned ms) { SDL_Delay(ms); }

}  // namespace xmo
