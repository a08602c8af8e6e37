// Attribute values of a movie file: the text of one attribute turned into a
// number, vector, rotation, flag or id list.
//
// Every reader skips leading blanks and stops at the first character that does
// not fit, so "3 cm" reads 3 and "1 2x 3" reads (1, 2, 0). A scalar that cannot
// be read leaves the caller's value untouched; a vector component that cannot
// be read (and every one after it) is 0. Numbers are converted straight from
// the attribute text, without copies. Depends on math/ only.
//
// Each reader can also say what it passed over (a ValueFault), for the
// checker; the value read is the same either way.
#pragma once

#include <string>
#include <vector>

#include "math/quat.h"
#include "math/vec.h"

namespace xmo {

// The first thing a reader passed over in the text; None when the text held
// exactly what its kind needs, blanks aside. A reader given a fault pointer
// sets it only when it finds a fault and the fault is still None.
enum class ValueFault : unsigned char {
    None,
    NotANumber,     // no number where one was needed ("nan", "inf", "", "x")
    ExtraText,      // text after what was read ("1,5" reads 1, "0x10" reads 0)
    TooFewNumbers,  // a vector or rotation that ends early
    Saturated,      // a number beyond its type's range, read as the nearest it holds
    NotABool,       // neither "true" nor "false"
    ZeroAxis,       // an angle about an axis of zero length, read as no rotation
};

// Each returns whether a number was read; on false `value` is unchanged.
bool readInt(const char* text, int& value, ValueFault* fault = nullptr);
bool readFloat(const char* text, float& value, ValueFault* fault = nullptr);

Vec2f readVec2(const char* text, ValueFault* fault = nullptr);
Vec3f readVec3(const char* text, ValueFault* fault = nullptr);
// An axis and an angle in degrees; the axis is used as written. An axis of
// zero length gives no rotation: there is nothing to turn about.
Quatf readRotation(const char* text, ValueFault* fault = nullptr);
// Exactly "true" is true; everything else, "True" and "1" too, is false.
bool readBool(const char* text, ValueFault* fault = nullptr);
// Every integer up to the first text that is not one.
std::vector<int> readIntList(const char* text, ValueFault* fault = nullptr);
// Text as the file's words joined by single blanks: a run of blanks inside
// the value is one blank (the parser has already made every blank a space).
void readString(const char* text, std::string& value);

}  // namespace xmo
