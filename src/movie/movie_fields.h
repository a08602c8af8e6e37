// The names of the movie format: every element, the record it needs to be
// current when it starts, and the attributes it reads, with the reader of
// each attribute's value. This one table is what the loader reads by and
// what the checker calls known; anything outside it is skipped by the player
// and reported by the checker.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "movie/attribute_reader.h"
#include "movie/movie.h"

namespace xmo {

enum class Element {
    Animation, Animations, BrikObject, Camera, CameraElement, Contact, Contacts, Eye,
    Join, Joins, KeyFrameForce, KeyFramePosition, KeyFrameRotation, LookAt, Model,
    ModelTransform, Models, Movie, Object, Objects, Particle, Particles, Point, Sequence,
    Sequences, Sound, Sounds, SpecialEffect, SpecialEffects, Text, TextChunk, Tiles, XFunction,
    XFunctions, Other,
};

// What must be current when an element starts.
enum class Need { Nothing, Root, Sequence, Camera, CameraElement, EyeOrLookAt, TextChunk, Animation };

struct ElementInfo {
    Element element;
    Need need;
    std::uint64_t attributes;  // the attributes it reads, one bit each
};

// The element of a name; Element::Other for a name the format does not know.
ElementInfo findElement(const char* name);

// Each reads the attributes of one element in document order into its
// record; names the element does not read go to the reader's report.
void readAttributes(Object& o, const char** attributes, AttributeReader& reader);
void readAttributes(BrikObject& o, const char** attributes, AttributeReader& reader);
void readAttributes(Model& m, const char** attributes, AttributeReader& reader);
void readAttributes(ModelTransform& t, const char** attributes, AttributeReader& reader);
void readAttributes(Join& j, const char** attributes, AttributeReader& reader);
void readAttributes(Contact& c, const char** attributes, AttributeReader& reader);
void readAttributes(Sound& s, const char** attributes, AttributeReader& reader);
void readAttributes(Sequence& s, const char** attributes, AttributeReader& reader);
void readAttributes(CameraElement& e, const char** attributes, AttributeReader& reader);
void readAttributes(Animation& an, const char** attributes, AttributeReader& reader);
void readAttributes(KeyFramePosition& k, const char** attributes, AttributeReader& reader);
void readAttributes(KeyFrameRotation& k, const char** attributes, AttributeReader& reader);
void readAttributes(KeyFrameForce& k, const char** attributes, AttributeReader& reader);
void readAttributes(XFunction& x, const char** attributes, AttributeReader& reader);
void readAttributes(SpecialEffect& e, const char** attributes, AttributeReader& reader);
void readAttributes(Particle& p, const char** attributes, AttributeReader& reader);
void readAttributes(TextChunk& c, const char** attributes, AttributeReader& reader);
void readAttributes(Text& t, const char** attributes, AttributeReader& reader);
void readAttributes(Tiles& t, const char** attributes, AttributeReader& reader);
// A Point reads "position" only, and only when it is given.
std::optional<Vec3f> readPoint(const char** attributes, AttributeReader& reader);
// Elements that read no attribute at all report every one they carry.
void readNoAttributes(const char** attributes, AttributeReader& reader);

// Reports an element name the format does not know, with the nearest known one.
void reportUnknownElement(const char* name, AttributeReader& reader);

// Every element name of the format with the attribute names it reads.
struct ElementNames {
    std::string_view element;
    std::vector<std::string_view> attributes;
};
std::vector<ElementNames> movieFormatNames();

}  // namespace xmo
