#include "movie/movie_json.h"

#include <cmath>
#include <cstdio>
#include <unordered_map>

#include "base/json_string.h"

namespace xmo {

namespace {

// A streaming writer that keeps commas and indentation right. Records open
// one member per line; number lists stay on one line.
class JsonWriter {
public:
    explicit JsonWriter(std::ostream& out) : out_(out) {}

    void beginObject() { open('{'); }
    void endObject() { close('}'); }
    void beginArray() { open('['); }
    void endArray() { close(']'); }

    void key(const char* name) {
        separate();
        string(name);
        out_ << ": ";
        afterKey_ = true;
    }

    void value(int v) { scalar([&] { out_ << v; }); }
    void value(unsigned v) { scalar([&] { out_ << v; }); }
    void value(bool v) { scalar([&] { out_ << (v ? "true" : "false"); }); }
    void value(float v) { scalar([&] { number(v); }); }
    void value(const std::string& v) { scalar([&] { string(v.c_str(), v.size()); }); }
    void null() { scalar([&] { out_ << "null"; }); }

    template <int N>
    void value(const Vec<N>& v) {
        scalar([&] { inlineFloats(v.e, N); });
    }
    void value(const Quatf& q) {
        const float e[4] = {q.v.e[0], q.v.e[1], q.v.e[2], q.w};
        scalar([&] { inlineFloats(e, 4); });
    }
    void value(const std::vector<int>& list) {
        scalar([&] {
            out_ << '[';
            for (size_t i = 0; i < list.size(); ++i) out_ << (i ? ", " : "") << list[i];
            out_ << ']';
        });
    }
    void value(const std::vector<float>& list) { scalar([&] { inlineFloats(list.data(), list.size()); }); }

    template <typename T>
    void field(const char* name, const T& v) {
        key(name);
        value(v);
    }

private:
    void open(char c) {
        separate();
        out_ << c;
        afterKey_ = false;
        firstInLevel_.push_back(true);
    }
    void close(char c) {
        const bool empty = firstInLevel_.back();
        firstInLevel_.pop_back();
        if (!empty) newline();
        out_ << c;
        if (firstInLevel_.empty()) out_ << '\n';
    }
    // Before a member or element: a comma unless it is the first, then a new line.
    void separate() {
        if (afterKey_) return;
        if (firstInLevel_.empty()) return;
        if (!firstInLevel_.back()) out_ << ',';
        firstInLevel_.back() = false;
        newline();
    }
    void newline() {
        out_ << '\n';
        for (size_t i = 0; i < firstInLevel_.size(); ++i) out_ << "  ";
    }
    template <typename F>
    void scalar(F&& write) {
        separate();
        write();
        afterKey_ = false;
    }
    void number(float v) {
        if (!std::isfinite(v)) {
            out_ << "null";
            return;
        }
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(v));
        out_ << buffer;
    }
    void inlineFloats(const float* e, size_t n) {
        out_ << '[';
        for (size_t i = 0; i < n; ++i) {
            if (i) out_ << ", ";
            number(e[i]);
        }
        out_ << ']';
    }
    void string(const char* s) { string(s, std::char_traits<char>::length(s)); }
    void string(const char* s, size_t n) { writeJsonString(out_, std::string_view(s, n)); }

    std::ostream& out_;
    std::vector<bool> firstInLevel_;
    bool afterKey_ = false;
};

class MovieJson {
public:
    MovieJson(const Movie& movie, std::ostream& out) : movie_(movie), json_(out) {
        int index = 0;
        forEachModel(movie.models, [&](const BaseModel& m) { modelIndex_[&m] = index++; });
        for (size_t i = 0; i < movie.objects.size(); ++i) objectIndex_[movie.objects[i].get()] = static_cast<int>(i);
    }

    void write() {
        json_.beginObject();
        json_.field("type", std::string("Movie"));
        json_.field("fileName", movie_.fileName);
        list("objects", movie_.objects, [&](const BaseObject& o) { object(o); });
        list("models", movie_.models, [&](const BaseModel& m) { model(m); });
        list("joins", movie_.joins, [&](const Join& j) { join(j); });
        list("contacts", movie_.contacts, [&](const Contact& c) { contact(c); });
        list("sounds", movie_.sounds, [&](const Sound& s) { sound(s); });
        list("sequences", movie_.sequences, [&](const Sequence& s) { sequence(s); });
        json_.endObject();
    }

private:
    template <typename List, typename F>
    void list(const char* name, const List& entries, F&& writeEntry) {
        json_.key(name);
        json_.beginArray();
        for (const auto& entry : entries) writeEntry(*entry);
        json_.endArray();
    }

    // {"id": N, "index": I}, or null for a reference that resolved to nothing.
    template <typename Record>
    void referenceValue(const Record* target, const std::unordered_map<const Record*, int>& indexes) {
        if (!target) {
            json_.null();
            return;
        }
        json_.beginObject();
        json_.field("id", target->id);
        json_.field("index", indexes.at(target));
        json_.endObject();
    }
    template <typename Record>
    void reference(const char* name, const Record* target, const std::unordered_map<const Record*, int>& indexes) {
        json_.key(name);
        referenceValue(target, indexes);
    }
    void modelReference(const char* name, const BaseModel* m) { reference<BaseModel>(name, m, modelIndex_); }

    // A physics index, or null for the -1 of a record that got none.
    void physicsIndex(const char* name, int index) {
        json_.key(name);
        if (index < 0) json_.null();
        else json_.value(index);
    }

    void begin(const char* type) {
        json_.beginObject();
        json_.field("type", std::string(type));
    }

    void object(const BaseObject& o) {
        const auto* scene = dynamic_cast<const Object*>(&o);
        begin(scene ? "Object" : "BrikObject");
        json_.field("id", o.id);
        json_.field("sourceLine", o.sourceLine);
        json_.field("loaded", o.loaded);
        json_.field("min", o.min);
        json_.field("max", o.max);
        if (scene) {
            json_.field("filename", scene->filename);
            json_.field("objectname", scene->objectname);
            json_.field("scale", scene->scale);
            json_.field("standard", scene->standard);
            json_.key("root");
            if (scene->root) json_.value(scene->root->DEF);
            else json_.null();
        } else if (const auto* brik = dynamic_cast<const BrikObject*>(&o)) {
            json_.field("size", brik->size);
            json_.field("color", brik->color);
        }
        json_.endObject();
    }

    void model(const BaseModel& m) {
        const auto* placed = dynamic_cast<const Model*>(&m);
        begin(placed ? "Model" : "ModelTransform");
        json_.field("id", m.id);
        json_.field("sourceLine", m.sourceLine);
        json_.field("position", m.position);
        json_.field("rotation", m.rotation);
        json_.field("min", m.min);
        json_.field("max", m.max);
        json_.field("function", m.function);
        json_.field("enabled", m.enabled);
        if (placed) {
            json_.field("centreOffset", placed->centreOffset);
            physicsIndex("bodyIndex", placed->bodyIndex);
            json_.field("objectid", placed->objectid);
            reference<BaseObject>("object", placed->object, objectIndex_);
            json_.field("physicalbased", placed->physicalbased);
            json_.field("animatephysics", placed->animatephysics);
            json_.field("collisiontype", placed->collisiontype);
            json_.field("boxsize", placed->boxsize);
            json_.field("diameter", placed->diameter);
            json_.field("mass", placed->mass);
            json_.field("relative", placed->relative);
            json_.field("relativemodelid", placed->relativemodelid);
            modelReference("relativeModel", placed->relativeModel);
            json_.field("castshadow", placed->castshadow);
        } else if (const auto* group = dynamic_cast<const ModelTransform*>(&m)) {
            modelReference("parent", group->parent);
            list("children", group->children, [&](const BaseModel& child) { model(child); });
        }
        json_.endObject();
    }

    void join(const Join& j) {
        begin("Join");
        json_.field("id", j.id);
        json_.field("sourceLine", j.sourceLine);
        physicsIndex("joint", j.joint);
        json_.field("modelid0", j.modelid0);
        json_.field("modelid1", j.modelid1);
        modelReference("model0", j.model0);
        modelReference("model1", j.model1);
        json_.field("position", j.position);
        json_.endObject();
    }

    void contact(const Contact& c) {
        begin("Contact");
        json_.field("id", c.id);
        json_.field("sourceLine", c.sourceLine);
        json_.field("modelid0", c.modelid0);
        json_.field("modelid1", c.modelid1);
        modelReference("model0", c.model0);
        modelReference("model1", c.model1);
        json_.endObject();
    }

    void sound(const Sound& s) {
        begin("Sound");
        json_.field("sourceLine", s.sourceLine);
        json_.field("sample", s.sample != nullptr);
        json_.field("started", s.started);
        json_.field("starttime", s.starttime);
        json_.field("filename", s.filename);
        json_.endObject();
    }

    void sequence(const Sequence& s) {
        begin("Sequence");
        json_.field("sourceLine", s.sourceLine);
        json_.field("duration", s.duration);
        json_.key("camera");
        if (s.camera) camera(*s.camera);
        else json_.null();
        list("animations", s.animations, [&](const Animation& a) { animation(a); });
        list("specialEffects", s.specialEffects, [&](const SpecialEffect& e) { specialEffect(e); });
        list("xfunctions", s.xfunctions, [&](const XFunction& x) { xfunction(x); });
        list("textChunks", s.textChunks, [&](const TextChunk& c) { textChunk(c); });
        list("particles", s.particles, [&](const Particle& p) { particle(p); });
        list("tiles", s.tiles, [&](const Tiles& t) { tiles(t); });
        json_.endObject();
    }

    void camera(const Camera& c) {
        begin("Camera");
        json_.field("sourceLine", c.sourceLine);
        list("elements", c.elements, [&](const CameraElement& e) { cameraElement(e); });
        json_.endObject();
    }

    void points(const char* name, const std::vector<Vec3f>& list) {
        json_.key(name);
        json_.beginArray();
        for (const Vec3f& p : list) json_.value(p);
        json_.endArray();
    }

    void cameraElement(const CameraElement& e) {
        begin("CameraElement");
        json_.field("sourceLine", e.sourceLine);
        json_.field("duration", e.duration);
        json_.field("eyetype", e.eyetype);
        json_.field("lookattype", e.lookattype);
        json_.field("interpolationfunction", e.interpolationfunction);
        points("lookAtPoints", e.lookAtPoints);
        points("eyePoints", e.eyePoints);
        json_.endObject();
    }

    void animation(const Animation& a) {
        begin("Animation");
        json_.field("sourceLine", a.sourceLine);
        json_.field("modelid", a.modelid);
        modelReference("model", a.model);
        json_.field("interpolationfunction", a.interpolationfunction);
        json_.field("loop", a.loop);
        points("controlPoints", a.controlPoints);
        json_.field("knots", a.knots);
        list("positionKeys", a.positionKeys, [&](const KeyFramePosition& k) {
            begin("KeyFramePosition");
            json_.field("keytime", k.keytime);
            json_.field("position", k.position);
            json_.field("interpolationfunction", k.interpolationfunction);
            json_.endObject();
        });
        list("rotationKeys", a.rotationKeys, [&](const KeyFrameRotation& k) {
            begin("KeyFrameRotation");
            json_.field("keytime", k.keytime);
            json_.field("rotation", k.rotation);
            json_.field("interpolationfunction", k.interpolationfunction);
            json_.endObject();
        });
        list("forceKeys", a.forceKeys, [&](const KeyFrameForce& k) {
            begin("KeyFrameForce");
            json_.field("keytime", k.keytime);
            json_.field("linearvelocity", k.linearvelocity);
            json_.field("position", k.position);
            json_.field("rotation", k.rotation);
            json_.field("angularvelocity", k.angularvelocity);
            json_.field("activated", k.activated);
            json_.endObject();
        });
        json_.endObject();
    }

    void specialEffect(const SpecialEffect& e) {
        begin("SpecialEffect");
        json_.field("sourceLine", e.sourceLine);
        json_.field("typeField", e.type);
        json_.field("starttime", e.starttime);
        json_.field("endtime", e.endtime);
        json_.endObject();
    }

    void xfunction(const XFunction& x) {
        begin("XFunction");
        json_.field("sourceLine", x.sourceLine);
        json_.field("modelid", x.modelid);
        modelReference("model", x.model);
        json_.field("lastTime", x.lastTime);
        json_.field("frommodelid", x.frommodelid);
        json_.field("tomodelid", x.tomodelid);
        json_.field("xfunctiontype", x.xfunctiontype);
        json_.field("timer1", x.timer1);
        json_.field("done", x.done);
        json_.field("modelids", x.modelids);
        json_.key("targets");
        json_.beginArray();
        for (const Model* target : x.targets) referenceValue<BaseModel>(target, modelIndex_);
        json_.endArray();
        json_.endObject();
    }

    void textChunk(const TextChunk& c) {
        begin("TextChunk");
        json_.field("starttime", c.starttime);
        json_.field("endtime", c.endtime);
        list("texts", c.texts, [&](const Text& t) {
            begin("Text");
            json_.field("sourceLine", t.sourceLine);
            json_.field("font", t.font != nullptr);
            json_.field("loadfont", t.loadfont);
            json_.field("writetext", t.writetext);
            json_.field("position", t.position);
            json_.field("size", t.size);
            json_.field("color", t.color);
            json_.endObject();
        });
        json_.endObject();
    }

    void particle(const Particle& p) {
        begin("Particle");
        json_.field("typeField", p.type);
        json_.field("position", p.position);
        json_.field("velocity", p.velocity);
        json_.field("fadetime", p.fadetime);
        json_.field("birthTime", p.birthTime);
        json_.field("depth", p.depth);
        json_.endObject();
    }

    void tiles(const Tiles& t) {
        begin("Tiles");
        json_.field("sourceLine", t.sourceLine);
        json_.field("texture", t.texture);
        json_.field("loadimage", t.loadimage);
        json_.field("textureHeight", t.textureHeight);
        json_.field("textureWidth", t.textureWidth);
        json_.field("imageHeight", t.imageHeight);
        json_.field("imageWidth", t.imageWidth);
        json_.field("starttime", t.starttime);
        json_.field("endtime", t.endtime);
        json_.endObject();
    }

    const Movie& movie_;
    JsonWriter json_;
    std::unordered_map<const BaseModel*, int> modelIndex_;
    std::unordered_map<const BaseObject*, int> objectIndex_;
};

}  // namespace

void writeMovieJson(const Movie& movie, std::ostream& out) { MovieJson(movie, out).write(); }

}  // namespace xmo
