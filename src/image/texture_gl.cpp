#include <GL/gl.h>

#include "image/texture.h"

namespace xmo {

Texture uploadTexture(Image& image) {
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    if (maxSide > 0 && (image.width > maxSide || image.height > maxSide)) image = scaleImageToFit(image, maxSide);

    std::vector<std::uint8_t> rgba;
    buildTextureBytes(image, rgba);
    Texture texture;
    texture.width = image.empty() ? 0 : image.width;
    texture.height = image.empty() ? 0 : image.height;

    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glGenTextures(1, &texture.name);
    glBindTexture(GL_TEXTURE_2D, texture.name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, texture.width, texture.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 rgba.empty() ? nullptr : rgba.data());
    image = Image{};
    return texture;
}

}  // namespace xmo
