#include "effects/particles.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace xmo {

namespace {

// NaN would break the ordering std::sort relies on; it sorts as nearest.
float sortKey(float depth) { return std::isnan(depth) ? -std::numeric_limits<float>::infinity() : depth; }

}  // namespace

Particle& addParticle(ParticleList& particles, ParticleList& spent) {
    if (spent.empty()) {
        particles.push_back(std::make_unique<Particle>());
    } else {
        *spent.back() = Particle{};
        particles.push_back(std::move(spent.back()));
        spent.pop_back();
    }
    return *particles.back();
}

void updateParticles(ParticleList& particles, float dt) {
    for (auto& p : particles) p->position += p->velocity * dt;
}

void sortParticlesFarthestFirst(ParticleList& particles, Vec3f eye, Vec3f lookAt) {
    const Vec3f direction = normalize(lookAt - eye);
    for (auto& p : particles) p->depth = dot(direction, p->position - eye);
    std::sort(particles.begin(), particles.end(),
              [](const std::unique_ptr<Particle>& a, const std::unique_ptr<Particle>& b) {
                  return sortKey(a->depth) > sortKey(b->depth);
              });
}

ParticleShade shadeParticle(const Particle& particle, float t) {
    ParticleShade shade;
    if (!(particle.fadetime > 0.0f)) {
        shade.expired = true;
        return shade;
    }
    shade.visible = particle.particleType == ParticleType::Fade;
    shade.level = 1.0f - (t - particle.birthTime) / particle.fadetime;
    shade.expired = particle.birthTime + particle.fadetime < t;
    return shade;
}

void advanceParticles(ParticleList& particles, ParticleList& spent, float t, Vec3f eye, Vec3f lookAt) {
    sortParticlesFarthestFirst(particles, eye, lookAt);
    std::size_t lastExpired = particles.size();
    for (std::size_t i = 0; i < particles.size(); ++i) {
        Particle& particle = *particles[i];
        if (particle.birthTime == -1.0f) particle.birthTime = t;
        if (shadeParticle(particle, t).expired) lastExpired = i;
    }
    if (lastExpired < particles.size()) {
        spent.push_back(std::move(particles[lastExpired]));
        particles.erase(particles.begin() + static_cast<std::ptrdiff_t>(lastExpired));
    }
}

std::vector<std::uint8_t> buildParticleImage() {
    constexpr int n = kParticleTextureSize;
    constexpr float radius = n / 2;
    std::vector<std::uint8_t> texels(static_cast<std::size_t>(n) * n * 4);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const float di = static_cast<float>(i) - radius;
            const float dj = static_cast<float>(j) - radius;
            const float d = std::sqrt(di * di + dj * dj);
            const float v = std::max(std::trunc(255.0f - 255.0f * d / radius), 0.0f);
            std::fill_n(texels.begin() + (static_cast<std::ptrdiff_t>(i) * n + j) * 4, 4, static_cast<std::uint8_t>(v));
        }
    }
    return texels;
}

}  // namespace xmo
