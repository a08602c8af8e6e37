// Attribute values of a movie file: the text of one attribute turned into a
// number, vector, rotation, flag or id list.
//
// Every reader skips leading blanks and stops at the first character that does
// not fit, so "3 cm" reads 3 and "1 2x 3" reads (1, 2, 0). A scalar that cannot
// be read leaves the caller's value untouched; a vector component that cannot
// be read (and every one after it) is 0. Numbers are converted straight from
// the attribute text, without copies. Depends on math/ only.
#pragma once

#include <string>
#include <vector>

#include "math/quat.h"
#include "math/vec.h"

namespace xmo {

// Each returns whether a number was read; on false `value` is unchanged.
bool readInt(const char* text, int& value);
bool readFloat(const char* text, float& value);

Vec2f readVec2(const char* text);
Vec3f readVec3(const char* text);
// An axis and an angle in degrees; the axis is used as written. An axis of
// zero length gives no rotation: there is nothing to turn about.
Quatf readRotation(const char* text);
// False for a rotation that names an angle but an axis of zero length, which
// readRotation reads as no rotation; the loader warns about it.
bool hasRotationAxis(const char* text);
// Exactly "true" is true; everything else, "True" and "1" too, is false.
bool readBool(const char* text);
// Every integer up to the first text that is not one.
std::vector<int> readIntList(const char* text);
// Text as the file's words joined by single blanks: a run of blanks inside
// the value is one blank (the parser has already made every blank a space).
void readString(const char* text, std::string& value);

}  // namespace xmo
