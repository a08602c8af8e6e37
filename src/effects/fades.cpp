#include "effects/fades.h"

#include "movie/movie.h"

namespace xmo {

std::optional<FadeColour> fadeColour(const SpecialEffect& fade, float t) {
    if (!(fade.starttime < t && t < fade.endtime)) return std::nullopt;
    const float u = (t - fade.starttime) / (fade.endtime - fade.starttime);
    switch (fade.fadeType) {
    case FadeType::BlackFadeOut: return FadeColour{0.0f, u};
    case FadeType::BlackFadeIn: return FadeColour{0.0f, 1.0f - u};
    case FadeType::WhiteFadeOut: return FadeColour{u, u};
    case FadeType::WhiteFadeIn: return FadeColour{1.0f - u, 1.0f - u};
    case FadeType::StayBlack: return FadeColour{0.0f, 1.0f};
    case FadeType::Unknown: break;
    }
    return std::nullopt;
}

}  // namespace xmo
