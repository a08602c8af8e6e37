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

    texture.name =
        createRgbaTexture(texture.width, texture.height, rgba.empty() ? nullptr : rgba.data(), TextureWrap::Repeat);
    image = Image{};
    return texture;
}

unsigned createRgbaTexture(int width, int height, const std::uint8_t* rgba, TextureWrap wrap) {
    const GLint wrapMode = wrap == TextureWrap::Clamp ? GL_CLAMP : GL_REPEAT;
    GLuint name = 0;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrapMode);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrapMode);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return name;
}

}  // namespace xmo
