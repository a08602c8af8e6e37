// The player's window: SDL 1.2 with an OpenGL context of 8-bit colour
// channels, a 16-bit depth buffer, an 8-bit stencil buffer (the shadow pass
// needs it) and double buffering.
#pragma once

#include <string>
#include <vector>

#include "app/seek_targets.h"

namespace xmo {

enum class WindowStatus { Ok, SdlInitFailed, VideoModeFailed };

struct WindowResult {
    WindowStatus status = WindowStatus::Ok;
    std::string error;  // SDL_GetError() of the failing step, or why SDL was refused
};

enum class WindowMode { FullScreen, Windowed };

// SDL_Init, the GL attributes and the 800x600 video mode. On a failed video
// mode SDL is shut down again. Without a display SDL would fall back to a
// video driver that shows nothing and can take no key; unless the user chose
// the driver (SDL_VIDEODRIVER), that counts as SDL not starting.
WindowResult openPlayerWindow(WindowMode mode = WindowMode::FullScreen);

void closePlayerWindow();
void swapPlayerWindow();
void hideCursor();
void setPlayerWindowTitle(const std::string& title);

// What the user asked for while the film plays.
enum class PlayerAction {
    Quit,         // the window was closed, or Escape
    Pause,        // Space: pause or resume
    Seek,         // an arrow (with or without Shift), Page Up or Down, Home or End
    Restart,      // R
    Still,        // S
    ShowKeys,     // F1
    ShowProblems, // H: the problems panel on or off, and the keys
    PointerMove,  // the mouse moved to (x, y)
    PointerDown,  // the left button went down at (x, y)
    PointerUp,    // the left button came up at (x, y)
};

struct PlayerInput {
    PlayerAction action = PlayerAction::Quit;
    SeekKey seek = SeekKey::Forward;  // for Seek
    int x = 0, y = 0;                 // window pixels, y downwards, for the pointer
};

// Drains the event queue into inputs, in the order they came; other events
// and keys are dropped.
void pollPlayerInput(std::vector<PlayerInput>& inputs);

unsigned playerTicks();
void waitMilliseconds(unsigned ms);

}  // namespace xmo
