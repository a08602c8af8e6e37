// Full-screen image overlays ("Tiles") of a sequence; each Tiles record owns
// the texture its image was loaded into while the movie was read.
//
// A tile's image sits in the top-left corner of a fixed 1024x1024 texture and
// is stretched over the whole viewport, first row at the top, while the
// tile's inclusive time window holds the local time. An image larger than
// the texture is scaled down to fit it, keeping its aspect ratio; an empty
// image (unreadable, unrecognised or undecodable) shows nothing. The pure half
// lays out the texels and computes the window and texture coordinates; the
// GL half uploads and draws. Images come from the image decoder (the picture
// record of image/image.h); the player's media loader reads each tile's file
// as its element is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "image/image.h"
#include "movie/movie.h"

namespace xmo {

inline constexpr int kTileTextureSize = 1024;

// The texture to upload: kTileTextureSize squared RGBA texels, the image's
// (scaled) pixels in its first rows and columns with alpha 255. Empty texels
// and a size of 0 x 0 when the image has nothing to show.
struct TileTexels {
    int imageWidth = 0;
    int imageHeight = 0;
    std::vector<std::uint8_t> rgba;
};

// ---- Pure half --------------------------------------------------------------

// The size an image of width x height takes in the texture: itself when it
// fits, otherwise scaled down until its longer side fits (each side at least
// one pixel).
struct TileSize {
    int width = 0;
    int height = 0;
};
TileSize fitTileSize(int width, int height);

// Lays the image out in the texture, scaling it down (averaging the pixels
// each texel covers) when it does not fit. An empty image, or one whose
// pixels are fewer than its size says, gives the empty result.
TileTexels layoutTileTexture(const Image& image);

// starttime <= t <= endtime: both bounds are shown.
bool isTileActive(const Tiles& tile, float t);

// Texture coordinates of the image's far corner: imageWidth / textureWidth
// across, imageHeight / textureHeight down.
struct TileTexCoords {
    float s = 0.0f;
    float t = 0.0f;
};
TileTexCoords tileTexCoords(const Tiles& tile);

// ---- GL half ----------------------------------------------------------------

// Uploads the laid-out image as the tile's texture (repeat, linear, replace)
// and records its image size; leaves the tile without a texture when the
// image has nothing to show. Needs the GL context.
void uploadTile(Tiles& tile, const Image& image);

// Draws, in list order, each tile with a texture whose window holds t, over
// the whole viewport and opaque.
void drawTiles(const std::vector<std::unique_ptr<Tiles>>& tiles, float t);

}  // namespace xmo
