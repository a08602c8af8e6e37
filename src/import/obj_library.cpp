// The OBJ reader itself, compiled here once from Debian's header-only
// tinyobjloader, so that the tools map no library of it at start-up.
#define TINYOBJLOADER_IMPLEMENTATION
#include <tiny_obj_loader.h>
