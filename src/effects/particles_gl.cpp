#include <GL/gl.h>

#include "effects/particles.h"
#include "image/texture.h"

namespace xmo {

namespace {

constexpr float kHalfWidth = 0.2f;
constexpr float kAlphaThreshold = 0.1f;

void drawSprite(const Particle& particle, float level, unsigned texture, const float billboard[16]) {
    glPushMatrix();
    glTranslatef(particle.position[0], particle.position[1], particle.position[2]);
    glMultMatrixf(billboard);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    // GL_BLEND with the default black environment colour gives colour x
    // (1 - texel) and alpha x texel: a puff that is dark at its centre and
    // light at its rim, its alpha falling off outward, not a glow.
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, kAlphaThreshold);
    glColor4f(level, level, level, level);
    glBegin(GL_POLYGON);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-kHalfWidth, -kHalfWidth, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(kHalfWidth, -kHalfWidth, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(kHalfWidth, kHalfWidth, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-kHalfWidth, kHalfWidth, 0.0f);
    glEnd();
    glPopMatrix();
}

}  // namespace

void initParticleTexture(ParticleTexture& texture) {
    const std::vector<std::uint8_t> image = buildParticleImage();
    texture.name = createRgbaTexture(kParticleTextureSize, kParticleTextureSize, image.data(), TextureWrap::Clamp);
}

void drawParticles(const ParticleTexture& texture, const ParticleList& particles, const float billboard[16], float t) {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    for (const auto& particle : particles) {
        const ParticleShade shade = shadeParticle(*particle, t);
        if (shade.visible) drawSprite(*particle, shade.level, texture.name, billboard);
    }
    glPopAttrib();
}

}  // namespace xmo
