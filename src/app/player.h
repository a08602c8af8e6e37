// The player: the process state of one film run, start-up and the frame.
//
// Player holds what the whole run shares (the movie, the quit code, the
// clock, the field-of-view angles, the camera vectors, the view, its inverse
// and the billboard matrix, the caption pen), the state object of every
// subsystem (renderer state, terrain, sky, particle texture, caption
// renderer, sound system, physics world), which start-up and the frame pass
// to the steps that use them, and the evaluation caches. main creates one;
// the offline renderer creates one over a fixed-step clock. Neither start-up
// nor the frame touches SDL: the window, its buffer swap and the tick source
// are given from outside.
//
// A frame has two halves. advanceFrame moves the film from one frame to the
// next and makes no GL call; drawFrame draws the state advanceFrame left and
// changes nothing a later frame reads. A frame that is shown is both
// (renderFrame); reaching a time advances alone, so the frame reached is the
// one a playback that drew every frame shows there.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "app/movie_clock.h"
#include "effects/captions.h"
#include "effects/particles.h"
#include "effects/sound.h"
#include "math/mat4.h"
#include "math/vec.h"
#include "motion/bspline.h"
#include "motion/camera.h"
#include "movie/movie.h"
#include "physics/ode_world.h"
#include "scene/renderer_state.h"
#include "terrain/sky.h"
#include "terrain/terrain.h"

namespace xmo {

class MediaLoader;

// quitCode values: any non-zero value ends the main loop after its frame.
inline constexpr int kQuitByUser = 1;
inline constexpr int kQuitByExitCommand = 2;

struct Player {
    Player(TickSource ticks, std::ostream& console, std::ostream& errors)
        : movieClock(std::move(ticks)), console(console), errors(errors) {}

    std::unique_ptr<Movie> currentMovie;
    int quitCode = 0;
    MovieClock movieClock;
    float fieldOfViewX = 0.0f;
    float fieldOfViewY = 0.0f;

    // Written by the camera each frame it covers, else kept from the last.
    Vec3f eyePoint, lookAtPoint, upVector;
    // This frame's look-at view, and its inverse, which the next frame's
    // commands still see.
    Mat4x4f view;
    Mat4x4f inverseView;
    float billboardMatrix[16] = {};

    // This frame as advanceFrame leaves it for drawFrame.
    Sequence* sequence = nullptr;
    float filmTime = 0.0f;
    float localTime = 0.0f;
    CaptionPen captionPen;              // carries from frame to frame
    CaptionPen captionPenAtFrameStart;  // where this frame's captions begin

    RendererState renderer;
    Terrain terrain;
    SkyTexture sky;
    ParticleTexture particleTexture;
    CaptionRenderer captions;
    SoundSystem sound;
    std::unique_ptr<OdeWorld> physics;  // made for each reading of the film, before it is loaded

    CameraCache cameraCache;
    BSplineScratch animationScratch;

    std::ostream& console;  // the film's progress and message lines
    std::ostream& errors;
    std::function<void()> swapBuffers;
};

// Start-up after the GL context exists: GL state and projection, particle
// texture, physics world, sky, terrain, the movie with everything it names,
// the scenes' lights, the bricks' display lists, the music, then the clock.
// Throws LoadError when the movie cannot be used; false when the music cannot
// be brought up, with "Error!" and the reason already on the console.
[[nodiscard]] bool startPlayer(Player& player, const std::string& moviePath, MediaLoader& media);

// The film moved on by one frame: clock, physics, sequence, timed commands,
// camera and view, animations, model placement, particles, the caption pen
// and the music, in that order. No GL call.
void advanceFrame(Player& player);

// The frame as advanceFrame left it, from clearing the buffers to swapping
// them.
void drawFrame(Player& player);

// A frame that is shown: advanceFrame, then drawFrame.
void renderFrame(Player& player);

// The view of the camera vectors (the up vector's second and third
// components exchanged), its inverse (kept from the last frame when the view
// cannot be inverted) and the billboard matrix.
void updateView(Player& player);

// The film read again and put back at film time 0, in the same window and
// sound device: a fresh movie and physics world, the camera, view, caption
// pen and clock as at start-up (the clock starts at the tick source's value,
// as it does there). The world and the media already loaded
// (fonts, pictures and music, by file) are kept. Throws LoadError when the
// film no longer loads, leaving the film that plays as it was; false when
// the music cannot be brought up.
[[nodiscard]] bool restartFilm(Player& player, const std::string& moviePath, MediaLoader& media);

// After the loop: the music is stopped.
void stopPlayer(Player& player);

}  // namespace xmo
