// PLIB's font loader asks glXGetCurrentContext() whether a GL context is
// current, and ends the process with "FATAL: FNT font loader called without a
// valid OpenGL context." when the answer is null. xmotool-render draws
// through an EGL context, which GLX knows nothing of, so this program answers
// the question itself: a definition in the executable takes precedence over
// libGLX's for every library the program loads. The player, whose context
// is GLX, never links this file.
#include <EGL/egl.h>
#include <GL/glx.h>

extern "C" GLXContext glXGetCurrentContext() { return reinterpret_cast<GLXContext>(eglGetCurrentContext()); }
