#include "app/offscreen_context.h"

#include <EGL/eglext.h>
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "app/frame_capture.h"

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

// The pbuffer only makes the context current; every frame goes to a
// framebuffer object.
constexpr EGLint kPbufferSide = 16;

void attachRenderbuffer(GLenum attachment, GLenum format, int width, int height, int samples) {
    GLuint buffer = 0;
    glGenRenderbuffers(1, &buffer);
    glBindRenderbuffer(GL_RENDERBUFFER, buffer);
    if (samples > 1) {
        glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, format, width, height);
    } else {
        glRenderbufferStorage(GL_RENDERBUFFER, format, width, height);
    }
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, attachment, GL_RENDERBUFFER, buffer);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
}

// The player's frame buffer: colour, then depth and stencil in one buffer;
// colour alone for the buffer a multisampled frame is resolved into. Left
// bound; 0 when the GL cannot complete it.
GLuint makeFrameBuffer(int width, int height, int samples, bool depthAndStencil) {
    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    attachRenderbuffer(GL_COLOR_ATTACHMENT0, GL_RGB8, width, height, samples);
    if (depthAndStencil) attachRenderbuffer(GL_DEPTH_STENCIL_ATTACHMENT, GL_DEPTH24_STENCIL8, width, height, samples);
    return glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE ? framebuffer : 0;
}

// Why the GL cannot draw such frames; empty when it can.
std::string findFrameLimit(int width, int height, int samples) {
    GLint largestSide = 0, mostSamples = 0;
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &largestSide);
    glGetIntegerv(GL_MAX_SAMPLES, &mostSamples);
    const std::string renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    if (width > largestSide || height > largestSide)
        return "--size " + std::to_string(width) + "x" + std::to_string(height) + ": " + renderer +
               " draws frames of at most " + std::to_string(largestSide) + "x" + std::to_string(largestSide) +
               " pixels";
    if (samples > 1 && samples > mostSamples)
        return "--samples " + std::to_string(samples) + ": " + renderer + " gives at most " +
               std::to_string(std::max(mostSamples, 1)) + " sample(s) per pixel";
    return {};
}

}  // namespace

bool OffscreenContext::open(int width, int height, int samples, std::string& error) {
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
    const EGLint size[] = {EGL_WIDTH, kPbufferSide, EGL_HEIGHT, kPbufferSide, EGL_NONE};
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
    error = findFrameLimit(width, height, samples);
    frameRefused_ = !error.empty();
    if (frameRefused_) return false;
    width_ = width;
    height_ = height;
    if (samples > 1) {
        resolved_ = makeFrameBuffer(width, height, 1, false);
        multisampled_ = makeFrameBuffer(width, height, samples, true);
        if (!resolved_ || !multisampled_) {
            error = "cannot create an offscreen GL context: no multisampled frame buffer of " +
                    std::to_string(width) + "x" + std::to_string(height) + " pixels";
            return false;
        }
        glGetIntegerv(GL_SAMPLES, &samples_);
        if (samples_ < samples) {
            frameRefused_ = true;
            error = "--samples " + std::to_string(samples) + ": the GL gives " + std::to_string(samples_) +
                    " sample(s) per pixel for it";
            return false;
        }
        return true;
    }
    if (!makeFrameBuffer(width, height, 1, true)) {
        error = "cannot create an offscreen GL context: no frame buffer of " + std::to_string(width) + "x" +
                std::to_string(height) + " pixels";
        return false;
    }
    return true;
}

void OffscreenContext::readPicture(std::vector<std::uint8_t>& picture) {
    if (multisampled_) {
        glBindFramebuffer(GL_READ_FRAMEBUFFER, multisampled_);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolved_);
        glBlitFramebuffer(0, 0, width_, height_, 0, 0, width_, height_, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, resolved_);
    }
    readFramePicture(width_, height_, picture);
    if (multisampled_) glBindFramebuffer(GL_FRAMEBUFFER, multisampled_);
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
