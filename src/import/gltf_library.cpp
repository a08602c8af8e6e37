// The glTF reader itself, compiled here once from Debian's header-only
// tinygltf (its JSON through nlohmann-json).
#define TINYGLTF_IMPLEMENTATION
#include "import/tinygltf_config.h"
