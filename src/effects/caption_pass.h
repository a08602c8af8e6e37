// Captions: which texts of a sequence print at a local time, and how.
//
// The caption renderer keeps its font, pen position and point size from one
// text to the next, across chunks and across frames (point size 10 until a
// text sets one); a colour lasts to the end of its chunk, whose saved state
// brings the frame's colour back. walkTextChunks decides, for each chunk
// whose open time window holds t, the renderer calls in order; a
// CaptionTarget carries them out: PLIB's fntRenderer in captions.h, a
// recorder in tests. A text prints only while the renderer has a loaded
// font, so a text before any font, or after a font that failed to load,
// never reaches the font library.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "math/vec.h"
#include "movie/movie.h"

namespace xmo {

class CaptionTarget {
public:
    virtual ~CaptionTarget() = default;
    // Saves the GL state and sets the caption view (-60..60 both ways).
    virtual void beginChunk() = 0;
    // Restores the view and the state beginChunk saved.
    virtual void endChunk() = 0;
    // Makes font (null: the text names a font that did not load) the
    // renderer's font for this and later texts.
    virtual void setFont(const CaptionFont* font) = 0;
    // The renderer's font is a loaded one.
    virtual bool hasFont() const = 0;
    virtual void beginFont() = 0;
    virtual void endFont() = 0;
    virtual void setColour(Vec3f rgb) = 0;
    virtual void startAt(Vec2f position) = 0;
    virtual void setPointSize(float size) = 0;
    // Prints the text (UTF-8, as the movie file has it) at the pen.
    virtual void print(const std::string& text) = 0;
};

// starttime < t < endtime: neither bound is shown.
bool isTextChunkActive(const TextChunk& chunk, float t);

void walkTextChunks(const std::vector<std::unique_ptr<TextChunk>>& chunks, float t, CaptionTarget& target);

}  // namespace xmo
