#include <GL/gl.h>

#include "base/film_files.h"
#include "image/image_file.h"
#include "terrain/sky.h"
#include "terrain/terrain.h"
#include "terrain/world_files.h"

namespace xmo {

void loadTerrain(Terrain& terrain, FilmFiles& files, std::ostream& errors) {
    Image image;
    readImageFile(files.locate(kHeightMapFile), image, errors);
    terrain.grid = buildTerrainGrid(image);
    image = Image{};
    readImageFile(files.locate(kSurfaceImageFile), image, errors);
    terrain.texture = uploadTexture(image);
}

void loadSkyTexture(SkyTexture& sky, FilmFiles& files, std::ostream& errors) {
    Image image;
    readImageFile(files.locate(kSkyImageFile), image, errors);
    sky.texture = uploadTexture(image);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
}

}  // namespace xmo
