// An OpenGL context without a window, for rendering films to files: EGL on
// Mesa's surfaceless platform, a compatibility profile current on a small
// pbuffer, drawing into a framebuffer object of the frame's size.
//
// The frames go to a framebuffer object because that is where the player's
// own frames go: SDL 1.2 (sdl12-compat) draws a full-screen GL mode into a
// framebuffer object of the mode's size and scales it to the screen. Mesa's
// software rasteriser does not give a framebuffer object and a window-system
// surface such as the pbuffer quite the same pixels (the odd pixel on a
// shared triangle edge differs by one step); drawing into the same kind of
// buffer with the same formats (8-bit red, green and blue, 24 depth bits,
// 8 stencil bits) keeps every pixel equal to the player's.
//
// With more than one sample per pixel the frame is drawn into a multisampled
// framebuffer (colour, depth and stencil all multisampled, so the shadows'
// stencil counts are kept per sample) and resolved into a plain one, which
// is the one read back.
#pragma once

#include <EGL/egl.h>

#include <cstdint>
#include <string>
#include <vector>

namespace xmo {

class OffscreenContext {
public:
    OffscreenContext() = default;
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;
    ~OffscreenContext();

    // Creates the context, makes it current and binds a frame buffer of
    // width by height pixels with `samples` samples each; false with the
    // reason when no EGL driver can give one, or when the GL draws no frame
    // that large or with that many samples.
    bool open(int width, int height, int samples, std::string& error);
    // After open failed: whether it was the size or the samples the GL
    // cannot give (a usage error), rather than the context itself.
    bool frameRefused() const { return frameRefused_; }
    // After open: the samples per pixel the GL gave, which may be more than
    // asked for (a rasteriser that only knows 4 gives 4 for 2).
    int samples() const { return samples_; }

    // The frame drawn so far as readFramePicture gives it (resolved first
    // when multisampled).
    void readPicture(std::vector<std::uint8_t>& picture);

private:
    bool frameRefused_ = false;
    int width_ = 0;
    int height_ = 0;
    int samples_ = 1;
    unsigned multisampled_ = 0;  // the framebuffer drawn into, when it is not the one read
    unsigned resolved_ = 0;
    EGLDisplay display_ = EGL_NO_DISPLAY;
    EGLSurface surface_ = EGL_NO_SURFACE;
    EGLContext context_ = EGL_NO_CONTEXT;
};

}  // namespace xmo
