#include <GL/gl.h>

#include "effects/screen_overlay.h"
#include "effects/tiles.h"
#include "image/texture.h"

namespace xmo {

namespace {

void drawTile(const Tiles& tile) {
    const TileTexCoords far = tileTexCoords(tile);
    beginScreenOverlay(-1.0, 1.0, -1.0, 1.0);
    glBindTexture(GL_TEXTURE_2D, tile.texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glEnable(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    // Texture row 0 is the image's first row: it goes to the top of the screen.
    glBegin(GL_POLYGON);
    glTexCoord2f(0.0f, far.t);
    glVertex3f(-1.0f, -1.0f, 0.0f);
    glTexCoord2f(far.s, far.t);
    glVertex3f(1.0f, -1.0f, 0.0f);
    glTexCoord2f(far.s, 0.0f);
    glVertex3f(1.0f, 1.0f, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-1.0f, 1.0f, 0.0f);
    glEnd();
    endScreenOverlay();
}

}  // namespace

void uploadTile(Tiles& tile, const Image& image) {
    const TileTexels texels = layoutTileTexture(image);
    tile.textureWidth = kTileTextureSize;
    tile.textureHeight = kTileTextureSize;
    tile.imageWidth = texels.imageWidth;
    tile.imageHeight = texels.imageHeight;
    if (texels.rgba.empty()) return;
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    tile.texture = createRgbaTexture(kTileTextureSize, kTileTextureSize, texels.rgba.data(), TextureWrap::Repeat);
}

void drawTiles(const std::vector<std::unique_ptr<Tiles>>& tiles, float t) {
    for (const auto& tile : tiles)
        if (tile->texture != 0 && tile->imageWidth > 0 && tile->imageHeight > 0 && isTileActive(*tile, t))
            drawTile(*tile);
}

}  // namespace xmo
