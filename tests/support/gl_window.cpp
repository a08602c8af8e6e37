#include "support/gl_window.h"

#include <GL/gl.h>

#include <cstdlib>
#include <filesystem>

#include "app/frame_capture.h"
#include "app/gl_setup.h"
#include "app/window.h"

namespace xmo::test {

bool ensureGlWindow(std::string* error) {
    static bool opened = false;
    static std::string failure;
    if (!opened && failure.empty()) {
        const WindowResult result = openPlayerWindow();
        if (result.status == WindowStatus::Ok) {
            initGL(kScreenWidth, kScreenHeight);
            opened = true;
        } else {
            failure = result.error.empty() ? "no window" : result.error;
        }
    }
    if (error) *error = failure;
    return opened;
}

Rgba pixelAt(int x, int y) {
    unsigned char p[4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, kScreenHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2], p[3]};
}

std::string saveFrameForInspection(const std::string& name) {
    const char* dir = std::getenv("XMO_TEST_OUTPUT");
    const std::filesystem::path folder = dir ? dir : std::filesystem::temp_directory_path() / "xmoplay-test-frames";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / (name + ".png")).string();
    std::string error;
    saveFramePng(path, kScreenWidth, kScreenHeight, error);
    return error.empty() ? path : error;
}

}  // namespace xmo::test
