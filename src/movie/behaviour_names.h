// Names in a movie file that select behaviour: the easing of a camera
// element or a key frame, the mode of an animation, the kind of a timed
// command, of a screen fade and of a particle.
//
// The loader resolves each name to its enum once, as the element is read,
// and keeps the file's text beside it for the writer and for messages; the
// frame compares enums only. Names are compared exactly and case-sensitively;
// a name that selects nothing gets the value that behaves as any other text
// always did (linear, key pairs, a command or fade that does nothing, a
// particle that is never drawn).
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace xmo {

// "hermite" eases the blend parameter; any other text leaves it linear.
enum class Easing { Linear, Hermite };

// "bspline" moves the model along a B-spline through its position keys; any
// other text interpolates between key pairs.
enum class AnimationMode { KeyPairs, BSpline };

// The position keys a "bspline" animation needs to move its model at all.
inline constexpr std::size_t kMinBSplineKeys = 4;

enum class CommandType {
    Unknown,  // fires every timer1 seconds to no effect
    CreateParticles,
    DisableModels,
    EnableModels,
    DisableAnimatePhysics,
    EnableAnimatePhysics,
    Exit,
};

enum class FadeType {
    Unknown,  // draws nothing
    BlackFadeOut,
    BlackFadeIn,
    WhiteFadeOut,
    WhiteFadeIn,
    StayBlack,
};

// Only "fade" particles are drawn; any other type moves and expires unseen.
enum class ParticleType { Unseen, Fade };

Easing easingOf(const char* name);
AnimationMode animationModeOf(const char* name);
CommandType commandTypeOf(const char* name);
FadeType fadeTypeOf(const char* name);
ParticleType particleTypeOf(const char* name);

// The names that select a command and a fade, for "did you mean" hints.
std::vector<std::string_view> commandNames();
std::vector<std::string_view> fadeNames();

}  // namespace xmo
