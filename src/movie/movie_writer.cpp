#include "movie/movie_writer.h"

#include <cstdio>
#include <unordered_set>

#include "base/atomic_file.h"
#include "movie/value_text.h"

namespace xmo {

namespace {

// One element written on its own line: the indent, the name, then the
// attributes in the order they are added.
class Tag {
public:
    Tag(std::string& out, const char* indent, const char* name) : out_(out) {
        out_ += indent;
        out_ += '<';
        out_ += name;
    }

    Tag& attribute(const char* name, const std::string& text) {
        out_ += ' ';
        out_ += name;
        out_ += "=\"";
        out_ += text;
        out_ += '"';
        return *this;
    }
    Tag& text(const char* name, const std::string& value) { return attribute(name, escapeXml(value)); }
    Tag& number(const char* name, int value) { return attribute(name, std::to_string(value)); }
    Tag& number(const char* name, float value) { return attribute(name, floatText(value)); }
    template <int N>
    Tag& vector(const char* name, const Vec<N>& value) {
        return attribute(name, vectorText(value));
    }
    Tag& rotation(const char* name, const Quatf& value) { return attribute(name, rotationText(value)); }
    Tag& flag(const char* name, bool value) { return attribute(name, value ? "true" : "false"); }

    // The same, only when the value is not the one a reader starts from.
    Tag& textIfSet(const char* name, const std::string& value) { return value.empty() ? *this : text(name, value); }
    Tag& numberIfNot(const char* name, int value, int unset) { return value == unset ? *this : number(name, value); }
    Tag& numberIfNot(const char* name, float value, float unset) {
        return sameBits(value, unset) ? *this : number(name, value);
    }
    template <int N>
    Tag& vectorIfNot(const char* name, const Vec<N>& value, const Vec<N>& unset) {
        return sameBits(value, unset) ? *this : vector(name, value);
    }
    Tag& flagIfSet(const char* name, bool value) { return value ? flag(name, true) : *this; }

    void close() { out_ += "/>\n"; }
    void open() { out_ += ">\n"; }

private:
    std::string& out_;
};

void endTag(std::string& out, const char* indent, const char* name) {
    out += indent;
    out += "</";
    out += name;
    out += ">\n";
}

// A section of grouped records: nothing at all when the list is empty, so a
// film without such records is written as before.
template <typename List, typename Write>
void section(std::string& out, const char* name, const List& list, Write&& write) {
    if (list.empty()) return;
    out += ' ';
    Tag(out, "", name).open();
    for (const auto& entry : list) write(out, *entry);
    endTag(out, " ", name);
}

template <typename List>
void writeAll(std::string& out, const List& list) {
    for (const auto& entry : list) out += entry->writeXml();
}

// What a model's text may leave out because loading derives it again.
struct Derived {
    // Ids that a timed command names by modelid: each such model's function
    // is the command's name once loaded, whatever the file said.
    const std::unordered_set<int>* commandedIds = nullptr;
    // A top-level model gets its boxsize from its object's extent.
    bool topLevel = true;
};

void writeModel(std::string& out, const BaseModel& model, const Derived& derived);

void writeModelElement(std::string& out, const Model& m, const Derived& derived) {
    const bool boxsizeFromObject = derived.topLevel && m.object != nullptr;
    const bool functionFromCommand = derived.commandedIds && derived.commandedIds->count(m.id) > 0;
    Tag tag(out, "  ", "Model");
    tag.number("id", m.id).number("objectid", m.objectid).vector("position", m.position);
    tag.rotation("rotation", m.rotation);
    tag.flagIfSet("physicalbased", m.physicalbased)
        .flagIfSet("animatephysics", m.animatephysics)
        .flagIfSet("castshadow", m.castshadow)
        .numberIfNot("collisiontype", m.collisiontype, 0);
    if (!boxsizeFromObject) tag.vectorIfNot("boxsize", m.boxsize, Vec3f());
    tag.numberIfNot("mass", m.mass, 0.0f)
        .vectorIfNot("relative", m.relative, Vec3f{-1.0f, -1.0f, -1.0f})
        .numberIfNot("relativemodelid", m.relativemodelid, -1);
    if (!functionFromCommand) tag.textIfSet("function", m.function);
    tag.close();
}

void writeTransform(std::string& out, const ModelTransform& t, const Derived& derived) {
    Tag tag(out, "", "ModelTransform");
    tag.number("id", t.id).vector("position", t.position).rotation("rotation", t.rotation);
    if (t.children.empty()) {
        tag.close();
        return;
    }
    tag.open();
    Derived nested = derived;
    nested.topLevel = false;
    for (const auto& child : t.children) writeModel(out, *child, nested);
    endTag(out, "", "ModelTransform");
}

void writeModel(std::string& out, const BaseModel& model, const Derived& derived) {
    if (const auto* m = dynamic_cast<const Model*>(&model)) writeModelElement(out, *m, derived);
    else if (const auto* t = dynamic_cast<const ModelTransform*>(&model)) writeTransform(out, *t, derived);
}

void writeJoin(std::string& out, const Join& j) {
    Tag(out, "  ", "Join")
        .number("id", j.id)
        .numberIfNot("modelid0", j.modelid0, -1)
        .numberIfNot("modelid1", j.modelid1, -1)
        .vectorIfNot("position", j.position, Vec3f())
        .close();
}

void writeContact(std::string& out, const Contact& c) {
    Tag(out, "  ", "Contact")
        .number("id", c.id)
        .numberIfNot("modelid0", c.modelid0, -1)
        .numberIfNot("modelid1", c.modelid1, -1)
        .close();
}

void writeSound(std::string& out, const Sound& s) {
    Tag(out, "  ", "Sound")
        .textIfSet("filename", nameAsWritten(s.filename, s.filenameAsWritten))
        .number("starttime", s.starttime)
        .close();
}

void writeXFunction(std::string& out, const XFunction& x) {
    Tag tag(out, "  ", "XFunction");
    tag.number("modelid", x.modelid).textIfSet("xfunctiontype", x.xfunctiontype).number("timer1", x.timer1);
    if (!x.modelids.empty()) tag.attribute("modelids", intListText(x.modelids));
    tag.numberIfNot("frommodelid", x.frommodelid, 0).numberIfNot("tomodelid", x.tomodelid, 0).close();
}

void writeSpecialEffect(std::string& out, const SpecialEffect& e) {
    Tag(out, "  ", "SpecialEffect")
        .textIfSet("type", e.type)
        .number("starttime", e.starttime)
        .number("endtime", e.endtime)
        .close();
}

void writeParticle(std::string& out, const Particle& p) {
    Tag(out, "  ", "Particle")
        .textIfSet("type", p.type)
        .vectorIfNot("position", p.position, Vec3f())
        .vectorIfNot("velocity", p.velocity, Vec3f())
        .number("fadetime", p.fadetime)
        .close();
}

void writeText(std::string& out, const Text& t) {
    Tag(out, "  ", "Text")
        .textIfSet("loadfont", nameAsWritten(t.loadfont, t.loadfontAsWritten))
        .textIfSet("writetext", t.writetext)
        .vectorIfNot("position", t.position, Vec2f{-1000.0f, -1000.0f})
        .vectorIfNot("color", t.color, Vec3f{-1.0f, -1.0f, -1.0f})
        .numberIfNot("size", t.size, 0.0f)
        .close();
}

void writeTextChunk(std::string& out, const TextChunk& c) {
    Tag tag(out, " ", "TextChunk");
    tag.numberIfNot("starttime", c.starttime, 0.0f).numberIfNot("endtime", c.endtime, 0.0f);
    if (c.texts.empty()) {
        tag.close();
        return;
    }
    tag.open();
    for (const auto& text : c.texts) writeText(out, *text);
    endTag(out, " ", "TextChunk");
}

void writeTiles(std::string& out, const Tiles& t) {
    Tag(out, " ", "Tiles")
        .textIfSet("loadimage", nameAsWritten(t.loadimage, t.loadimageAsWritten))
        .numberIfNot("starttime", t.starttime, 0.0f)
        .numberIfNot("endtime", t.endtime, 0.0f)
        .close();
}

}  // namespace

std::string Object::writeXml() const {
    std::string out;
    Tag(out, "  ", "Object")
        .number("id", id)
        .text("filename", nameAsWritten(filename, filenameAsWritten))
        .text("objectname", objectname)
        .numberIfNot("scale", scale, 1.0f)
        .flagIfSet("standard", standard)
        .close();
    return out;
}

std::string BrikObject::writeXml() const {
    std::string out;
    Tag(out, "  ", "BrikObject").number("id", id).vector("size", size).number("color", color).close();
    return out;
}

// On its own a model cannot tell which commands name it: its function is
// written as it stands.
std::string Model::writeXml() const {
    std::string out;
    writeModel(out, *this, Derived{});
    return out;
}

std::string ModelTransform::writeXml() const {
    std::string out;
    writeModel(out, *this, Derived{});
    return out;
}

std::string CameraElement::writeXml() const {
    std::string out;
    Tag(out, "  ", "CameraElement")
        .number("duration", duration)
        .text("eyetype", eyetype)
        .text("lookattype", lookattype)
        .text("interpolationfunction", interpolationfunction)
        .open();
    out += "   <LookAt>\n";
    for (const Vec3f& p : lookAtPoints) Tag(out, "    ", "Point").vector("position", p).close();
    out += "   </LookAt>\n   <Eye>\n";
    for (const Vec3f& p : eyePoints) Tag(out, "    ", "Point").vector("position", p).close();
    out += "   </Eye>\n  </CameraElement>\n";
    return out;
}

std::string Camera::writeXml() const {
    std::string out = " <Camera>\n";
    writeAll(out, elements);
    out += " </Camera>\n\n";
    return out;
}

std::string KeyFramePosition::writeXml() const {
    std::string out;
    Tag(out, "   ", "KeyFramePosition")
        .number("keytime", keytime)
        .vector("position", position)
        .text("interpolationfunction", interpolationfunction)
        .close();
    return out;
}

std::string KeyFrameRotation::writeXml() const {
    std::string out;
    Tag(out, "   ", "KeyFrameRotation")
        .number("keytime", keytime)
        .rotation("rotation", rotation)
        .text("interpolationfunction", interpolationfunction)
        .close();
    return out;
}

std::string KeyFrameForce::writeXml() const {
    std::string out;
    Tag(out, "   ", "KeyFrameForce")
        .number("keytime", keytime)
        .vector("linearvelocity", linearvelocity)
        .vector("position", position)
        .rotation("rotation", rotation)
        .vector("angularvelocity", angularvelocity)
        .flag("activated", activated)
        .close();
    return out;
}

std::string Animation::writeXml() const {
    std::string out;
    Tag(out, "  ", "Animation")
        .number("modelid", modelid)
        .text("interpolationfunction", interpolationfunction)
        .flag("loop", loop)
        .open();
    writeAll(out, positionKeys);
    writeAll(out, rotationKeys);
    writeAll(out, forceKeys);
    out += "  </Animation>\n";
    return out;
}

std::string Sequence::writeXml() const {
    std::string out;
    Tag(out, "", "Sequence").number("duration", duration).open();
    if (camera) out += camera->writeXml();
    out += " <Animations>\n";
    writeAll(out, animations);
    out += " </Animations>\n";
    section(out, "XFunctions", xfunctions, writeXFunction);
    section(out, "SpecialEffects", specialEffects, writeSpecialEffect);
    section(out, "Particles", particles, writeParticle);
    for (const auto& chunk : textChunks) writeTextChunk(out, *chunk);
    for (const auto& tile : tiles) writeTiles(out, *tile);
    out += "</Sequence>\n\n";
    return out;
}

std::string Movie::writeXml() const {
    std::unordered_set<int> commandedIds;
    for (const auto& sequence : sequences)
        for (const auto& command : sequence->xfunctions) commandedIds.insert(command->modelid);
    const Derived derived{&commandedIds, true};

    std::string out = "<Movie>\n <Objects>\n";
    writeAll(out, objects);
    out += " </Objects>\n <Models>\n";
    for (const auto& model : models) writeModel(out, *model, derived);
    out += " </Models>\n";
    section(out, "Joins", joins, writeJoin);
    section(out, "Contacts", contacts, writeContact);
    section(out, "Sounds", sounds, writeSound);
    out += " <Sequences>\n";
    writeAll(out, sequences);
    out += " </Sequences>\n</Movie>\n\n";
    return out;
}

void saveMovie(const Movie& movie, const std::string& path) {
    const std::string text = "<?xml version=\"1.0\"?>\n<!DOCTYPE x3d SYSTEM \"???.dtd\">\n" + movie.writeXml();
    std::string error;
    const bool written = writeFileAtomically(
        path, [&text](std::FILE* file) { return std::fwrite(text.data(), 1, text.size(), file) == text.size(); },
        error);
    if (!written) throw SaveError(error);
}

}  // namespace xmo
