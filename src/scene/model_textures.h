// The pictures of model textures between loading and the first frame.
//
// Loading never calls OpenGL (the tools load films without a context), so an
// object's loader decodes each picture its shapes use into this list, and
// one start-up step of the drawing library turns them into textures once the
// context exists, before the first frame, naming each ImageTexture that uses
// it. A picture used by several shapes is decoded and made a texture once.
// The player's RendererState owns the list. Depends on scene/nodes.h and
// image/image.h.
#pragma once

#include <vector>

#include "image/image.h"
#include "scene/nodes.h"

namespace xmo {

struct PendingTexture {
    Image image;
    std::vector<ImageTexture*> users;  // each gets the texture's name; the first one's wrap applies
};

struct ModelTextures {
    std::vector<PendingTexture> pending;
    std::vector<unsigned> made;  // the texture names made from them, for deleteModelTextures
};

// Drawing library: makes a texture of every pending picture that is not
// empty, names its users, and empties the list.
void uploadModelTextures(ModelTextures& textures);

// Drawing library: deletes every texture uploadModelTextures made, when the
// film that drew them is read again in the same process.
void deleteModelTextures(ModelTextures& textures);

}  // namespace xmo
