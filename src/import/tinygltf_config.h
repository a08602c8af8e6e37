// tinygltf as the player builds it: without its image decoder and its own
// file access (pictures go through the player's image front end, files
// through CompanionFiles). The switches change the reader's class, so every
// file includes the header through here. The header's writer needs
// <fstream> even when file access is left out.
#pragma once

#include <fstream>

#define TINYGLTF_NO_STB_IMAGE
#define TINYGLTF_NO_STB_IMAGE_WRITE
#define TINYGLTF_NO_FS
#include <tiny_gltf.h>
