// Fuzz target of the image front end: any bytes as an image file, through
// format detection, the header size probe, decoding and the steps between a
// picture and a texture. Neither our code nor the decoders it drives may
// crash, read out of bounds or allocate what a header merely claims.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "image/image_file.h"

namespace {

// The one scratch file of this process, removed when it ends.
struct ScratchFile {
    std::string path = "/tmp/xmo-image-fuzz-" + std::to_string(getpid());
    ~ScratchFile() { std::remove(path.c_str()); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFile scratch;
    const std::string& path = scratch.path;
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    (void)xmo::findImageFileProblem(path);
    xmo::Image image;
    std::ostringstream errors;
    xmo::readImageFile(path, image, errors);
    std::vector<std::uint8_t> rgba;
    xmo::buildTextureBytes(xmo::scaleImageToFit(image, 7), rgba);
    return 0;
}
