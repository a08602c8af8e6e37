// An OpenGL context without a window, for rendering films to files: EGL on
// Mesa's surfaceless platform, a compatibility profile current on a pbuffer
// of the player's screen size, drawing into a framebuffer object.
//
// The frames go to a framebuffer object because that is where the player's
// own frames go: SDL 1.2 (sdl12-compat) draws a full-screen GL mode into a
// framebuffer object of the mode's size and scales it to the screen. Mesa's
// software rasteriser does not give a framebuffer object and a window-system
// surface such as the pbuffer quite the same pixels (the odd pixel on a
// shared triangle edge differs by one step); drawing into the same kind of
// buffer with the same formats (8-bit red, green and blue, 24 depth bits,
// 8 stencil bits) keeps every pixel equal to the player's.
#pragma once

#include <EGL/egl.h>

#include <string>

namespace xmo {

class OffscreenContext {
public:
    OffscreenContext() = default;
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;
    ~OffscreenContext();

    // Creates the context, makes it current and binds the frame buffer;
    // false with the reason when no EGL driver can give one.
    bool open(int width, int height, std::string& error);

private:
    EGLDisplay display_ = EGL_NO_DISPLAY;
    EGLSurface surface_ = EGL_NO_SURFACE;
    EGLContext context_ = EGL_NO_CONTEXT;
};

}  // namespace xmo
