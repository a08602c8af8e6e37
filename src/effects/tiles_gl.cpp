#include <GL/gl.h>
#include <GL/glu.h>

#include "effects/tiles.h"

namespace xmo {

namespace {

void drawTile(const Tiles& tile) {
    const TileTexCoords far = tileTexCoords(tile);
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluOrtho2D(-1.0, 1.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
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
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

}  // namespace

void uploadTile(Tiles& tile, const Image& image) {
    const TileTexels texels = layoutTileTexture(image);
    tile.textureWidth = kTileTextureSize;
    tile.textureHeight = kTileTextureSize;
    tile.imageWidth = texels.imageWidth;
    tile.imageHeight = texels.imageHeight;
    if (texels.rgba.empty()) return;
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kTileTextureSize, kTileTextureSize, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 texels.rgba.data());
    tile.texture = texture;
}

void drawTiles(const std::vector<std::unique_ptr<Tiles>>& tiles, float t) {
    for (const auto& tile : tiles)
        if (tile->texture != 0 && tile->imageWidth > 0 && tile->imageHeight > 0 && isTileActive(*tile, t))
            drawTile(*tile);
}

}  // namespace xmo
