#include "import/model_pictures.h"

#include <cstdint>
#include <vector>

namespace xmo {

ModelPictures::Picture ModelPictures::find(CompanionFiles& files, const std::string& path, bool repeatS,
                                           bool repeatT) {
    const std::tuple<std::string, bool, bool> key{path, repeatS, repeatT};
    const auto known = known_.find(key);
    if (known != known_.end()) return {known->second, std::nullopt};
    Picture found;
    std::vector<std::uint8_t> bytes;
    Image picture;
    if (!files.read(path, bytes)) found.problem = "cannot read \"" + path + "\": " + files.problemOf(path);
    else found.problem = services_.images.decodeImage(bytes.data(), bytes.size(), picture);
    if (!found.problem && !picture.empty()) {
        services_.textures.pending.push_back(PendingTexture{std::move(picture), {}});
        found.pending = static_cast<int>(services_.textures.pending.size() - 1);
    }
    known_[key] = found.pending;
    return found;
}

}  // namespace xmo
