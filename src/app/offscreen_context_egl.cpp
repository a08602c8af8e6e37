#include "app/offscreen_context.h"

#include <EGL/eglext.h>
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>
#include <cstring>

namespace xmo {

namespace {

std::string eglFailure(const char* step) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%04X", static_cast<unsigned>(eglGetError()));
    return std::string("cannot create an offscreen GL context: ") + step + " failed (EGL error " + code + ")";
}

bool hasExtension(const char* list, const char* name) {
    const std::size_t length = std::strlen(name);
    for (const char* at = list; at && (at = std::strstr(at, name)); at += length)
        if ((at == list || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0')) return true;
    return false;
}

// The player's frame buffer: colour, then depth and stencil in one buffer.
bool bindFrameBuffer(int width, int height) {
    GLuint framebuffer = 0, buffers[2] = {};
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glGenRenderbuffers(2, buffers);
    glBindRenderbuffer(GL_RENDERBUFFER, buffers[0]);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_RGB8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, buffers[0]);
    glBindRenderbuffer(GL_RENDERBUFFER, buffers[1]);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_STENCIL_ATTACHMENT, GL_RENDERBUFFER, buffers[1]);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
}

}  // namespace

bool OffscreenContext::open(int width, int height, std::string& error) {
    if (!hasExtension(eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS), "EGL_MESA_platform_surfaceless")) {
        error = "cannot create an offscreen GL context: no EGL driver offers Mesa's surfaceless platform";
        return false;
    }
    const auto getPlatformDisplay =
        reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) {
        error = eglFailure("eglGetProcAddress(eglGetPlatformDisplayEXT)");
        return false;
    }
    display_ = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display_ == EGL_NO_DISPLAY || !eglInitialize(display_, nullptr, nullptr)) {
        error = eglFailure("eglInitialize");
        display_ = EGL_NO_DISPLAY;
        return false;
    }
    const EGLint wanted[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                             EGL_RED_SIZE, 8, EGL_GREEN_SIZE, 8, EGL_BLUE_SIZE, 8,
                             EGL_DEPTH_SIZE, 16, EGL_STENCIL_SIZE, 8, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint count = 0;
    if (!eglChooseConfig(display_, wanted, &config, 1, &count) || count != 1) {
        error = "cannot create an offscreen GL context: no pbuffer with 8-bit red, green and blue, "
                "16 depth and 8 stencil bits";
        return false;
    }
    const EGLint size[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    surface_ = eglCreatePbufferSurface(display_, config, size);
    if (surface_ == EGL_NO_SURFACE) {
        error = eglFailure("eglCreatePbufferSurface");
        return false;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        error = eglFailure("eglBindAPI(EGL_OPENGL_API)");
        return false;
    }
    const EGLint profile[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK, EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT,
                              EGL_NONE};
    context_ = eglCreateContext(display_, config, EGL_NO_CONTEXT, profile);
    if (context_ == EGL_NO_CONTEXT) {
        error = eglFailure("eglCreateContext");
        return false;
    }
    if (!eglMakeCurrent(display_, surface_, surface_, context_)) {
        error = eglFailure("eglMakeCurrent");
        return false;
    }
    if (!bindFrameBuffer(width, height)) {
        error = "cannot create an offscreen GL context: the frame buffer is incomplete";
        return false;
    }
    return true;
}

// The display stays initialised until the process ends: terminating it
// unloads Mesa's driver, and the few blocks the driver keeps until exit could
// then no longer be told apart from our own by the leak check of sanitizer
// builds.
OffscreenContext::~OffscreenContext() {
    if (display_ == EGL_NO_DISPLAY) return;
    // Destroying the context frees the frame buffer with it.
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context_ != EGL_NO_CONTEXT) eglDestroyContext(display_, context_);
    if (surface_ != EGL_NO_SURFACE) eglDestroySurface(display_, surface_);
    eglReleaseThread();
}

}  // namespace xmo
