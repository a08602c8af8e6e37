// Captions: which texts of a sequence print at a local time, and where.
//
// The caption pen (font, position and point size) carries from one text to
// the next, across chunks and across frames (point size 10 until a text sets
// one): a text without a position goes on where the last one ended, even in
// an earlier frame. A colour lasts to the end of its chunk, whose saved state
// brings the frame's colour back. walkTextChunks moves the pen over every
// chunk whose open time window holds t, without drawing: a frame that is
// only advanced moves it so, and a drawn frame walks again from where its
// captions began with a CaptionTarget that prints (PLIB's fnt in captions.h,
// a recorder in tests). A text prints only while the pen has a loaded font,
// so a text before any font, or after a font that failed to load, never
// reaches the font library.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "math/vec.h"
#include "movie/movie.h"

namespace xmo {

struct CaptionPen {
    const CaptionFont* font = nullptr;  // null: no loaded font
    Vec2f position;
    float pointSize = 10.0f;
};

class CaptionTarget {
public:
    virtual ~CaptionTarget() = default;
    // Saves the GL state and sets the caption view (-60..60 both ways).
    virtual void beginChunk() = 0;
    // Restores the view and the state beginChunk saved.
    virtual void endChunk() = 0;
    virtual void setColour(Vec3f rgb) = 0;
    // Prints latin1 in font from the pen position at pointSize.
    virtual void print(const CaptionFont& font, float pointSize, Vec2f pen, const std::string& latin1) = 0;
};

// starttime < t < endtime: neither bound is shown.
bool isTextChunkActive(const TextChunk& chunk, float t);

// Where the pen ends after printing latin1 (up to its first NUL) from
// `pen`: each character the font has moves it by its advance times the point
// size; a missing letter is looked up in the other case, a missing space
// moves half the point size and any other missing character nothing; a line
// end goes back to the starting x one point size down.
Vec2f advancePen(const CaptionFont& font, float pointSize, Vec2f pen, const std::string& latin1);

// Moves the pen over the active chunks at t; `latin1` is scratch for the
// texts in the fonts' encoding. With a target, also prints.
void walkTextChunks(const std::vector<std::unique_ptr<TextChunk>>& chunks, float t, CaptionPen& pen,
                    std::string& latin1, CaptionTarget* target = nullptr);

}  // namespace xmo
