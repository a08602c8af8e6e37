// The player's window: SDL 1.2 with an OpenGL context of 8-bit colour
// channels, a 16-bit depth buffer, an 8-bit stencil buffer (the shadow pass
// needs it) and double buffering.
#pragma once

#include <string>

namespace xmo {

enum class WindowStatus { Ok, SdlInitFailed, VideoModeFailed };

struct WindowResult {
    WindowStatus status = WindowStatus::Ok;
    std::string error;  // SDL_GetError() of the failing step
};

// SDL_Init, the GL attributes and the 800x600 full-screen video mode. On a
// failed video mode SDL is shut down again.
WindowResult openPlayerWindow();

void closePlayerWindow();
void swapPlayerWindow();
void hideCursor();

// Drains the event queue; true when the user asked to quit (window closed
// or Escape pressed).
bool pollQuitRequest();

unsigned playerTicks();

}  // namespace xmo
