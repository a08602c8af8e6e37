#include <SDL/SDL.h>

#include "app/gl_setup.h"
#include "app/window.h"

namespace xmo {

WindowResult openPlayerWindow() {
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) < 0) return {WindowStatus::SdlInitFailed, SDL_GetError()};
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 8);
    if (!SDL_SetVideoMode(kScreenWidth, kScreenHeight, 0, SDL_OPENGL | SDL_DOUBLEBUF | SDL_FULLSCREEN)) {
        WindowResult failed{WindowStatus::VideoModeFailed, SDL_GetError()};
        SDL_Quit();
        return failed;
    }
    return {};
}

void closePlayerWindow() { SDL_Quit(); }

void swapPlayerWindow() { SDL_GL_SwapBuffers(); }

void hideCursor() { SDL_ShowCursor(SDL_DISABLE); }

bool pollQuitRequest() {
    bool quit = false;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT) quit = true;
        if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE) quit = true;
    }
    return quit;
}

unsigned playerTicks() { return SDL_GetTicks(); }

}  // namespace xmo
