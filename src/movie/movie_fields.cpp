#include "movie/movie_fields.h"

#include <algorithm>
#include <iterator>

#include "base/name_suggestion.h"
#include "base/name_table.h"
#include "movie/behaviour_names.h"

namespace xmo {

namespace {

// Every attribute name of the format; each element reads those of its table.
enum class Attribute {
    activated, angularvelocity, animatephysics, boxsize, castshadow, collisiontype, color, duration,
    endtime, eyetype, fadetime, filename, frommodelid, function, id, interpolationfunction, keytime,
    linearvelocity, loadfont, loadimage, lookattype, loop, mass, modelid, modelid0, modelid1,
    modelids, objectid, objectname, physicalbased, position, relative, relativemodelid, rotation,
    scale, size, standard, starttime, timer1, tomodelid, type, velocity, writetext, xfunctiontype, Other,
};
static_assert(static_cast<int>(Attribute::Other) <= 64, "an element's attributes are one bit each of 64");

constexpr NameEntry<Attribute> kAttributeNames[] = {
    {"activated", Attribute::activated},
    {"angularvelocity", Attribute::angularvelocity}, {"animatephysics", Attribute::animatephysics},
    {"boxsize", Attribute::boxsize}, {"castshadow", Attribute::castshadow},
    {"collisiontype", Attribute::collisiontype}, {"color", Attribute::color},
    {"duration", Attribute::duration}, {"endtime", Attribute::endtime},
    {"eyetype", Attribute::eyetype}, {"fadetime", Attribute::fadetime},
    {"filename", Attribute::filename}, {"frommodelid", Attribute::frommodelid},
    {"function", Attribute::function}, {"id", Attribute::id},
    {"interpolationfunction", Attribute::interpolationfunction}, {"keytime", Attribute::keytime},
    {"linearvelocity", Attribute::linearvelocity}, {"loadfont", Attribute::loadfont},
    {"loadimage", Attribute::loadimage}, {"lookattype", Attribute::lookattype},
    {"loop", Attribute::loop}, {"mass", Attribute::mass},
    {"modelid", Attribute::modelid}, {"modelid0", Attribute::modelid0},
    {"modelid1", Attribute::modelid1}, {"modelids", Attribute::modelids},
    {"objectid", Attribute::objectid}, {"objectname", Attribute::objectname},
    {"physicalbased", Attribute::physicalbased}, {"position", Attribute::position},
    {"relative", Attribute::relative}, {"relativemodelid", Attribute::relativemodelid},
    {"rotation", Attribute::rotation}, {"scale", Attribute::scale}, {"size", Attribute::size},
    {"standard", Attribute::standard},
    {"starttime", Attribute::starttime}, {"timer1", Attribute::timer1},
    {"tomodelid", Attribute::tomodelid}, {"type", Attribute::type},
    {"velocity", Attribute::velocity}, {"writetext", Attribute::writetext},
    {"xfunctiontype", Attribute::xfunctiontype},
};
constexpr NameTable kAttributes(kAttributeNames, Attribute::Other);

using A = Attribute;
using R = AttributeReader;

// One attribute an element reads, and how its value goes into the record.
template <typename Record>
struct Field {
    Attribute name;
    void (*read)(Record&, const char*, R&);
};

constexpr std::uint64_t bitOf(Attribute a) { return std::uint64_t{1} << static_cast<int>(a); }

template <typename Record, std::size_t N>
constexpr std::uint64_t maskOf(const Field<Record> (&fields)[N]) {
    std::uint64_t mask = 0;
    for (const Field<Record>& f : fields) mask |= bitOf(f.name);
    return mask;
}

std::vector<std::string_view> attributeNames(std::uint64_t mask) {
    std::vector<std::string_view> names;
    for (const auto& entry : kAttributeNames)
        if (mask & bitOf(entry.value)) names.push_back(entry.name);
    return names;
}

template <typename Record, std::size_t N>
void readFields(Record& record, const Field<Record> (&fields)[N], const char** a, R& reader) {
    for (; *a; a += 2) {
        reader.startAttribute(a[0]);
        const Attribute name = kAttributes.find(a[0]);
        const Field<Record>* field = std::find_if(std::begin(fields), std::end(fields),
                                                  [name](const Field<Record>& f) { return f.name == name; });
        if (field != std::end(fields)) field->read(record, a[1], reader);
        else reader.reportUnknownAttribute(closestName(a[0], attributeNames(maskOf(fields))));
    }
}

template <typename Key>
void readKeytime(Key& k, const char* v, R& r) { r.readFloat(v, k.keytime); }

template <typename Key>
void readKeyEasing(Key& k, const char* v, R&) {
    readString(v, k.interpolationfunction);
    k.easing = easingOf(k.interpolationfunction.c_str());
}

constexpr Field<Object> kObjectFields[] = {
    {A::id, [](Object& o, const char* v, R& r) { r.readInt(v, o.id); }},
    {A::filename, [](Object& o, const char* v, R&) { readString(v, o.filename); }},
    {A::objectname, [](Object& o, const char* v, R&) { readString(v, o.objectname); }},
    {A::standard, [](Object& o, const char* v, R& r) { r.readBool(v, o.standard); }},
    {A::scale, [](Object& o, const char* v, R& r) { r.readFloat(v, o.scale); }},
};

constexpr Field<BrikObject> kBrikObjectFields[] = {
    {A::id, [](BrikObject& o, const char* v, R& r) { r.readInt(v, o.id); }},
    {A::size, [](BrikObject& o, const char* v, R& r) { r.readVec3(v, o.size); }},
    {A::color, [](BrikObject& o, const char* v, R& r) { r.readInt(v, o.color); }},
};

constexpr Field<Model> kModelFields[] = {
    {A::id, [](Model& m, const char* v, R& r) { r.readInt(v, m.id); }},
    {A::objectid, [](Model& m, const char* v, R& r) { r.readInt(v, m.objectid); }},
    {A::position, [](Model& m, const char* v, R& r) { r.readVec3(v, m.position); }},
    {A::rotation, [](Model& m, const char* v, R& r) { r.readRotation(v, m.rotation); }},
    {A::physicalbased, [](Model& m, const char* v, R& r) { r.readBool(v, m.physicalbased); }},
    {A::animatephysics, [](Model& m, const char* v, R& r) { r.readBool(v, m.animatephysics); }},
    {A::castshadow, [](Model& m, const char* v, R& r) { r.readBool(v, m.castshadow); }},
    {A::collisiontype, [](Model& m, const char* v, R& r) { r.readInt(v, m.collisiontype); }},
    {A::boxsize, [](Model& m, const char* v, R& r) { r.readVec3(v, m.boxsize); }},
    {A::mass, [](Model& m, const char* v, R& r) { r.readFloat(v, m.mass); }},
    {A::relative, [](Model& m, const char* v, R& r) { r.readVec3(v, m.relative); }},
    {A::relativemodelid, [](Model& m, const char* v, R& r) { r.readInt(v, m.relativemodelid); }},
    {A::function, [](Model& m, const char* v, R&) { readString(v, m.function); }},
};

constexpr Field<ModelTransform> kModelTransformFields[] = {
    {A::id, [](ModelTransform& t, const char* v, R& r) { r.readInt(v, t.id); }},
    {A::position, [](ModelTransform& t, const char* v, R& r) { r.readVec3(v, t.position); }},
    {A::rotation, [](ModelTransform& t, const char* v, R& r) { r.readRotation(v, t.rotation); }},
};

constexpr Field<Join> kJoinFields[] = {
    {A::id, [](Join& j, const char* v, R& r) { r.readInt(v, j.id); }},
    {A::modelid0, [](Join& j, const char* v, R& r) { r.readInt(v, j.modelid0); }},
    {A::modelid1, [](Join& j, const char* v, R& r) { r.readInt(v, j.modelid1); }},
    {A::position, [](Join& j, const char* v, R& r) { r.readVec3(v, j.position); }},
};

constexpr Field<Contact> kContactFields[] = {
    {A::id, [](Contact& c, const char* v, R& r) { r.readInt(v, c.id); }},
    {A::modelid0, [](Contact& c, const char* v, R& r) { r.readInt(v, c.modelid0); }},
    {A::modelid1, [](Contact& c, const char* v, R& r) { r.readInt(v, c.modelid1); }},
};

constexpr Field<Sound> kSoundFields[] = {
    {A::filename, [](Sound& s, const char* v, R&) { readString(v, s.filename); }},
    {A::starttime, [](Sound& s, const char* v, R& r) { r.readFloat(v, s.starttime); }},
};

constexpr Field<Sequence> kSequenceFields[] = {
    {A::duration, [](Sequence& s, const char* v, R& r) { r.readFloat(v, s.duration); }},
};

constexpr Field<CameraElement> kCameraElementFields[] = {
    {A::duration, [](CameraElement& e, const char* v, R& r) { r.readFloat(v, e.duration); }},
    {A::eyetype, [](CameraElement& e, const char* v, R&) { readString(v, e.eyetype); }},
    {A::lookattype, [](CameraElement& e, const char* v, R&) { readString(v, e.lookattype); }},
    {A::interpolationfunction, readKeyEasing<CameraElement>},
};

constexpr Field<Animation> kAnimationFields[] = {
    {A::modelid, [](Animation& an, const char* v, R& r) { r.readInt(v, an.modelid); }},
    {A::interpolationfunction,
     [](Animation& an, const char* v, R&) {
         readString(v, an.interpolationfunction);
         an.mode = animationModeOf(an.interpolationfunction.c_str());
     }},
    {A::loop, [](Animation& an, const char* v, R& r) { r.readBool(v, an.loop); }},
};

constexpr Field<KeyFramePosition> kKeyFramePositionFields[] = {
    {A::keytime, readKeytime<KeyFramePosition>},
    {A::position, [](KeyFramePosition& k, const char* v, R& r) { r.readVec3(v, k.position); }},
    {A::interpolationfunction, readKeyEasing<KeyFramePosition>},
};

constexpr Field<KeyFrameRotation> kKeyFrameRotationFields[] = {
    {A::keytime, readKeytime<KeyFrameRotation>},
    {A::rotation, [](KeyFrameRotation& k, const char* v, R& r) { r.readRotation(v, k.rotation); }},
    {A::interpolationfunction, readKeyEasing<KeyFrameRotation>},
};

constexpr Field<KeyFrameForce> kKeyFrameForceFields[] = {
    {A::keytime, readKeytime<KeyFrameForce>},
    {A::linearvelocity, [](KeyFrameForce& k, const char* v, R& r) { r.readVec3(v, k.linearvelocity); }},
    {A::position, [](KeyFrameForce& k, const char* v, R& r) { r.readVec3(v, k.position); }},
    {A::rotation, [](KeyFrameForce& k, const char* v, R& r) { r.readRotation(v, k.rotation); }},
    {A::angularvelocity, [](KeyFrameForce& k, const char* v, R& r) { r.readVec3(v, k.angularvelocity); }},
    // Written by xmotool save and read back as not yet applied.
    {A::activated, [](KeyFrameForce&, const char*, R&) {}},
};

constexpr Field<XFunction> kXFunctionFields[] = {
    {A::modelid, [](XFunction& x, const char* v, R& r) { r.readInt(v, x.modelid); }},
    {A::xfunctiontype,
     [](XFunction& x, const char* v, R&) {
         readString(v, x.xfunctiontype);
         x.commandType = commandTypeOf(x.xfunctiontype.c_str());
     }},
    {A::timer1, [](XFunction& x, const char* v, R& r) { r.readFloat(v, x.timer1); }},
    {A::modelids, [](XFunction& x, const char* v, R& r) { r.readIntList(v, x.modelids); }},
    {A::frommodelid, [](XFunction& x, const char* v, R& r) { r.readInt(v, x.frommodelid); }},
    {A::tomodelid, [](XFunction& x, const char* v, R& r) { r.readInt(v, x.tomodelid); }},
};

constexpr Field<SpecialEffect> kSpecialEffectFields[] = {
    {A::type,
     [](SpecialEffect& e, const char* v, R&) {
         readString(v, e.type);
         e.fadeType = fadeTypeOf(e.type.c_str());
     }},
    {A::starttime, [](SpecialEffect& e, const char* v, R& r) { r.readFloat(v, e.starttime); }},
    {A::endtime, [](SpecialEffect& e, const char* v, R& r) { r.readFloat(v, e.endtime); }},
};

constexpr Field<Particle> kParticleFields[] = {
    {A::type,
     [](Particle& p, const char* v, R&) {
         readString(v, p.type);
         p.particleType = particleTypeOf(p.type.c_str());
     }},
    {A::position, [](Particle& p, const char* v, R& r) { r.readVec3(v, p.position); }},
    {A::velocity, [](Particle& p, const char* v, R& r) { r.readVec3(v, p.velocity); }},
    {A::fadetime, [](Particle& p, const char* v, R& r) { r.readFloat(v, p.fadetime); }},
};

constexpr Field<TextChunk> kTextChunkFields[] = {
    {A::starttime, [](TextChunk& c, const char* v, R& r) { r.readFloat(v, c.starttime); }},
    {A::endtime, [](TextChunk& c, const char* v, R& r) { r.readFloat(v, c.endtime); }},
};

constexpr Field<Text> kTextFields[] = {
    {A::loadfont, [](Text& t, const char* v, R&) { readString(v, t.loadfont); }},
    {A::writetext, [](Text& t, const char* v, R&) { readString(v, t.writetext); }},
    {A::position, [](Text& t, const char* v, R& r) { r.readVec2(v, t.position); }},
    {A::color, [](Text& t, const char* v, R& r) { r.readVec3(v, t.color); }},
    {A::size, [](Text& t, const char* v, R& r) { r.readFloat(v, t.size); }},
};

constexpr Field<Tiles> kTilesFields[] = {
    {A::loadimage, [](Tiles& t, const char* v, R&) { readString(v, t.loadimage); }},
    {A::starttime, [](Tiles& t, const char* v, R& r) { r.readFloat(v, t.starttime); }},
    {A::endtime, [](Tiles& t, const char* v, R& r) { r.readFloat(v, t.endtime); }},
};

using Point = std::optional<Vec3f>;
constexpr Field<Point> kPointFields[] = {
    {A::position, [](Point& p, const char* v, R& r) { r.readVec3(v, p.emplace()); }},
};

constexpr NameEntry<ElementInfo> kElementNames[] = {
    {"Animation", {Element::Animation, Need::Sequence, maskOf(kAnimationFields)}},
    {"Animations", {Element::Animations, Need::Sequence, 0}},
    {"BrikObject", {Element::BrikObject, Need::Root, maskOf(kBrikObjectFields)}},
    {"Camera", {Element::Camera, Need::Sequence, 0}},
    {"CameraElement", {Element::CameraElement, Need::Camera, maskOf(kCameraElementFields)}},
    {"Contact", {Element::Contact, Need::Root, maskOf(kContactFields)}},
    {"Contacts", {Element::Contacts, Need::Root, 0}},
    {"Eye", {Element::Eye, Need::CameraElement, 0}},
    {"Join", {Element::Join, Need::Root, maskOf(kJoinFields)}},
    {"Joins", {Element::Joins, Need::Root, 0}},
    {"KeyFrameForce", {Element::KeyFrameForce, Need::Animation, maskOf(kKeyFrameForceFields)}},
    {"KeyFramePosition", {Element::KeyFramePosition, Need::Animation, maskOf(kKeyFramePositionFields)}},
    {"KeyFrameRotation", {Element::KeyFrameRotation, Need::Animation, maskOf(kKeyFrameRotationFields)}},
    {"LookAt", {Element::LookAt, Need::CameraElement, 0}},
    {"Model", {Element::Model, Need::Root, maskOf(kModelFields)}},
    {"ModelTransform", {Element::ModelTransform, Need::Root, maskOf(kModelTransformFields)}},
    {"Models", {Element::Models, Need::Root, 0}},
    {"Movie", {Element::Movie, Need::Nothing, 0}},
    {"Object", {Element::Object, Need::Root, maskOf(kObjectFields)}},
    {"Objects", {Element::Objects, Need::Root, 0}},
    {"Particle", {Element::Particle, Need::Sequence, maskOf(kParticleFields)}},
    {"Particles", {Element::Particles, Need::Sequence, 0}},
    {"Point", {Element::Point, Need::EyeOrLookAt, maskOf(kPointFields)}},
    {"Sequence", {Element::Sequence, Need::Root, maskOf(kSequenceFields)}},
    // The container xmotool save writes around the sequences; it reads as if absent.
    {"Sequences", {Element::Sequences, Need::Nothing, 0}},
    {"Sound", {Element::Sound, Need::Root, maskOf(kSoundFields)}},
    {"Sounds", {Element::Sounds, Need::Root, 0}},
    {"SpecialEffect", {Element::SpecialEffect, Need::Sequence, maskOf(kSpecialEffectFields)}},
    {"SpecialEffects", {Element::SpecialEffects, Need::Sequence, 0}},
    {"Text", {Element::Text, Need::TextChunk, maskOf(kTextFields)}},
    {"TextChunk", {Element::TextChunk, Need::Sequence, maskOf(kTextChunkFields)}},
    {"Tiles", {Element::Tiles, Need::Sequence, maskOf(kTilesFields)}},
    {"XFunction", {Element::XFunction, Need::Sequence, maskOf(kXFunctionFields)}},
    {"XFunctions", {Element::XFunctions, Need::Sequence, 0}},
};
constexpr NameTable kElements(kElementNames, ElementInfo{Element::Other, Need::Nothing, 0});

}  // namespace

ElementInfo findElement(const char* name) { return kElements.find(name); }

void readAttributes(Object& o, const char** a, R& r) { readFields(o, kObjectFields, a, r); }
void readAttributes(BrikObject& o, const char** a, R& r) { readFields(o, kBrikObjectFields, a, r); }
void readAttributes(Model& m, const char** a, R& r) { readFields(m, kModelFields, a, r); }
void readAttributes(ModelTransform& t, const char** a, R& r) { readFields(t, kModelTransformFields, a, r); }
void readAttributes(Join& j, const char** a, R& r) { readFields(j, kJoinFields, a, r); }
void readAttributes(Contact& c, const char** a, R& r) { readFields(c, kContactFields, a, r); }
void readAttributes(Sound& s, const char** a, R& r) { readFields(s, kSoundFields, a, r); }
void readAttributes(Sequence& s, const char** a, R& r) { readFields(s, kSequenceFields, a, r); }
void readAttributes(CameraElement& e, const char** a, R& r) { readFields(e, kCameraElementFields, a, r); }
void readAttributes(Animation& an, const char** a, R& r) { readFields(an, kAnimationFields, a, r); }
void readAttributes(KeyFramePosition& k, const char** a, R& r) { readFields(k, kKeyFramePositionFields, a, r); }
void readAttributes(KeyFrameRotation& k, const char** a, R& r) { readFields(k, kKeyFrameRotationFields, a, r); }
void readAttributes(KeyFrameForce& k, const char** a, R& r) { readFields(k, kKeyFrameForceFields, a, r); }
void readAttributes(XFunction& x, const char** a, R& r) { readFields(x, kXFunctionFields, a, r); }
void readAttributes(SpecialEffect& e, const char** a, R& r) { readFields(e, kSpecialEffectFields, a, r); }
void readAttributes(Particle& p, const char** a, R& r) { readFields(p, kParticleFields, a, r); }
void readAttributes(TextChunk& c, const char** a, R& r) { readFields(c, kTextChunkFields, a, r); }
void readAttributes(Text& t, const char** a, R& r) { readFields(t, kTextFields, a, r); }
void readAttributes(Tiles& t, const char** a, R& r) { readFields(t, kTilesFields, a, r); }

Point readPoint(const char** a, R& r) {
    Point position;
    readFields(position, kPointFields, a, r);
    return position;
}

void readNoAttributes(const char** a, R& r) {
    for (; *a; a += 2) {
        r.startAttribute(a[0]);
        r.reportUnknownAttribute({});
    }
}

void reportUnknownElement(const char* name, R& r) {
    std::vector<std::string_view> known;
    for (const auto& entry : kElementNames) known.push_back(entry.name);
    r.reportUnknownElement(name, closestName(name, known));
}

std::vector<ElementNames> movieFormatNames() {
    std::vector<ElementNames> names;
    for (const auto& entry : kElementNames) names.push_back({entry.name, attributeNames(entry.value.attributes)});
    return names;
}

}  // namespace xmo
