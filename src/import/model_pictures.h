// The pictures of a model's materials, read from files beside the model and
// decoded once each into the pending textures (scene/model_textures.h):
// several materials naming one picture with one wrap share its texture,
// since the wrap belongs to the texture. Used by the OBJ import and by the
// standard reading of scene files. Depends on import/ and image/.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <tuple>

#include "import/companion_files.h"
#include "import/model_import.h"

namespace xmo {

class ModelPictures {
public:
    explicit ModelPictures(ImportServices& services) : services_(services) {}

    struct Picture {
        int pending = -1;                     // its entry in the pending textures; -1: no pixels
        std::optional<std::string> problem;  // why not, said the first time the picture is asked for only
    };

    // The picture at path (a path files gave), read through files.
    Picture find(CompanionFiles& files, const std::string& path, bool repeatS, bool repeatT);

private:
    ImportServices& services_;
    std::map<std::tuple<std::string, bool, bool>, int> known_;
};

}  // namespace xmo
