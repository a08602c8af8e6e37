#include "movie/behaviour_names.h"

#include <cstring>

#include "base/name_table.h"

namespace xmo {

namespace {

constexpr NameEntry<CommandType> kCommandNames[] = {
    {"createparticles", CommandType::CreateParticles},
    {"disablemodels", CommandType::DisableModels},
    {"enablemodels", CommandType::EnableModels},
    {"disableanimatephysics", CommandType::DisableAnimatePhysics},
    {"enableanimatephysics", CommandType::EnableAnimatePhysics},
    {"exit", CommandType::Exit},
};
constexpr NameTable kCommands(kCommandNames, CommandType::Unknown);

constexpr NameEntry<FadeType> kFadeNames[] = {
    {"blackfadeout", FadeType::BlackFadeOut}, {"blackfadein", FadeType::BlackFadeIn},
    {"whitefadeout", FadeType::WhiteFadeOut}, {"whitefadein", FadeType::WhiteFadeIn},
    {"stayblack", FadeType::StayBlack},
};
constexpr NameTable kFades(kFadeNames, FadeType::Unknown);

template <typename Value, std::size_t N>
std::vector<std::string_view> namesOf(const NameEntry<Value> (&entries)[N]) {
    std::vector<std::string_view> names;
    for (const NameEntry<Value>& entry : entries) names.push_back(entry.name);
    return names;
}

}  // namespace

Easing easingOf(const char* name) { return std::strcmp(name, "hermite") == 0 ? Easing::Hermite : Easing::Linear; }

AnimationMode animationModeOf(const char* name) {
    return std::strcmp(name, "bspline") == 0 ? AnimationMode::BSpline : AnimationMode::KeyPairs;
}

CommandType commandTypeOf(const char* name) { return kCommands.find(name); }

FadeType fadeTypeOf(const char* name) { return kFades.find(name); }

ParticleType particleTypeOf(const char* name) {
    return std::strcmp(name, "fade") == 0 ? ParticleType::Fade : ParticleType::Unseen;
}

std::vector<std::string_view> commandNames() { return namesOf(kCommandNames); }

std::vector<std::string_view> fadeNames() { return namesOf(kFadeNames); }

}  // namespace xmo
