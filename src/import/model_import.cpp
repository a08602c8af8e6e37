#include "import/model_import.h"

#include <algorithm>
#include <cctype>

#include "base/regular_file.h"

namespace xmo {

std::optional<ModelFormat> modelFormatOf(const std::string& fileName) {
    const std::size_t dot = fileName.find_last_of('.');
    if (dot == std::string::npos || fileName.find('/', dot) != std::string::npos) return std::nullopt;
    std::string extension = fileName.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == "gltf" || extension == "glb") return ModelFormat::Gltf;
    if (extension == "obj") return ModelFormat::Obj;
    return std::nullopt;
}

ImportedModel importModelFile(ModelFormat format, const ImportRequest& request, ImportServices& services) {
    {
        // Refused as a scene file is, before a byte is read.
        const RegularFile file(request.fileName);
        if (file.isNotRegular()) throw LoadError(request.fileName, 0, file.problem());
        if (!file) throw LoadError(request.fileName, 0, "cannot open the model file: " + file.problem());
        if (file.size() > kMaxModelFileBytes)
            throw LoadError(request.fileName, 0,
                            "too large to be a model file (" + std::to_string(file.size()) + " bytes)");
    }
    std::vector<std::uint8_t> bytes;
    std::string reason;
    if (!readRegularFile(request.fileName, kMaxModelFileBytes, bytes, reason))
        throw LoadError(request.fileName, 0, "cannot read the model file: " + reason);
    return format == ModelFormat::Gltf ? importGltf(bytes, request, services) : importObj(bytes, request, services);
}

}  // namespace xmo
