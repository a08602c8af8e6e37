// Camera-facing particle sprites of a sequence: motion, depth order, fading
// and expiry, all sharing one sprite texture made at start-up.
//
// A particle is born in the first frame it is passed over (not when it is
// created), fades from full white to nothing over its fadetime and is then
// removed, at most one per frame. Particles of a sequence that is not
// current are neither moved nor drawn and keep their state. The pure half
// below moves, orders, ages and retires a sequence's Particle records each
// frame; the GL half draws them as they stand, with the sprite texture,
// which the player owns. Nothing here allocates per frame once a film's
// particles have reached their number: the list is sorted in place, a
// removed particle is kept in a list of spent ones, and new particles are
// taken from there.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "math/vec.h"
#include "movie/movie.h"

namespace xmo {

using ParticleList = std::vector<std::unique_ptr<Particle>>;

// ---- Pure half --------------------------------------------------------------

// Adds a particle with default fields to the list, reusing a spent one when
// there is one.
Particle& addParticle(ParticleList& particles, ParticleList& spent);

// position += velocity * dt for every particle.
void updateParticles(ParticleList& particles, float dt);

// Sets each particle's depth along the viewing direction from eye to lookAt
// and sorts the list in place, farthest first, so blending composes back to
// front. A degenerate view (eye on lookAt) or a NaN position sorts as
// nearest instead of breaking the sort's ordering.
void sortParticlesFarthestFirst(ParticleList& particles, Vec3f eye, Vec3f lookAt);

struct ParticleShade {
    bool visible = false;  // drawn: a "fade" particle with a usable fadetime
    float level = 0.0f;    // colour and alpha, 1 - age / fadetime
    bool expired = false;  // past its fadetime: a candidate for removal
};

// What a born particle shows at local time t. A fadetime of zero, a negative
// or a NaN one (or none in the file) has no age fraction: such a particle is
// expired at once and never drawn.
ParticleShade shadeParticle(const Particle& particle, float t);

// The frame's pass over the list at local time t, without drawing: sorts
// it, gives each particle not yet born its birth time t, then moves the last
// expired particle in that order, if any, to the spent ones. An expired
// particle has faded below the alpha test, so retiring it before the frame
// is drawn changes no pixel.
void advanceParticles(ParticleList& particles, ParticleList& spent, float t, Vec3f eye, Vec3f lookAt);

// The sprite: kParticleTextureSize squared RGBA texels, each channel a linear
// fall-off from 255 at the centre to 0 at a radius of half the size.
inline constexpr int kParticleTextureSize = 64;
std::vector<std::uint8_t> buildParticleImage();

// ---- GL half ----------------------------------------------------------------

// The sprite texture of every particle.
struct ParticleTexture {
    unsigned name = 0;
};

// Uploads buildParticleImage() as a clamped, linearly filtered texture.
// Needs the GL context.
void initParticleTexture(ParticleTexture& texture);

// Draws the list in its order: each visible particle a 0.4-wide square at
// its position, turned to the viewer by billboard (the inverse view's
// rotation, 16 floats in GL order), textured with the sprite in GL_BLEND
// mode, colour and alpha at its shade level at t, alpha-tested above 0.1.
void drawParticles(const ParticleTexture& texture, const ParticleList& particles, const float billboard[16], float t);

}  // namespace xmo
