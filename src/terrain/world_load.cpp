#include <GL/gl.h>

#include "image/image_file.h"
#include "terrain/sky.h"
#include "terrain/terrain.h"
#include "terrain/world_files.h"

namespace xmo {

void loadTerrain(Terrain& terrain, std::ostream& errors) {
    Image image;
    readImageFile(kHeightMapFile, image, errors);
    terrain.grid = buildTerrainGrid(image);
    image = Image{};
    readImageFile(kSurfaceImageFile, image, errors);
    terrain.texture = uploadTexture(image);
}

void loadSkyTexture(SkyTexture& sky, std::ostream& errors) {
    Image image;
    readImageFile(kSkyImageFile, image, errors);
    sky.texture = uploadTexture(image);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
}

}  // namespace xmo
