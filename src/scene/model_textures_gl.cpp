#include <GL/gl.h>

#include "image/texture.h"
#include "scene/model_textures.h"

namespace xmo {

void uploadModelTextures(ModelTextures& textures) {
    for (PendingTexture& pending : textures.pending) {
        // A picture that did not decode leaves its shapes untextured rather
        // than bound to a texture of no size.
        if (pending.image.empty() || pending.users.empty()) continue;
        const ImageTexture& first = *pending.users.front();
        const Texture texture = uploadTexture(pending.image);
        // uploadTexture leaves the new texture bound.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, first.repeatS ? GL_REPEAT : GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, first.repeatT ? GL_REPEAT : GL_CLAMP);
        for (ImageTexture* user : pending.users) user->textureName = texture.name;
        textures.made.push_back(texture.name);
    }
    textures.pending.clear();
}

void deleteModelTextures(ModelTextures& textures) {
    if (!textures.made.empty()) glDeleteTextures(static_cast<GLsizei>(textures.made.size()), textures.made.data());
    textures.made.clear();
}

}  // namespace xmo
