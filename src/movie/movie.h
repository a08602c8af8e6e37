// The movie document: one tree of records rooted in a Movie.
//
// The loader (movie_loader.h) builds it from a movie file and resolves the ids
// between records into plain non-owning pointers; the player keeps it for the
// whole run and every frame reads it. Owning lists keep document order.
// Record and field names are the file's element and attribute names.
//
// BaseObject and BaseModel are the only classes with virtual operations.
// Their operations belong to higher subsystems and are defined there: load of
// an Object in scene/ (scene files), draw in the drawing library, extents and
// enabling in motion/, writeXml in movie/movie_writer.cpp.
#pragma once

#include <array>
#include <bitset>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "base/diagnostics.h"
#include "math/mat4.h"
#include "math/quat.h"
#include "math/vec.h"
#include "movie/behaviour_names.h"
#include "scene/nodes.h"

namespace xmo {

class ImageDecoder;
class PhysicsWorld;
struct LightCounter;
struct ModelTextures;
struct RendererState;

// The marker of a key-frame vector that is not given.
inline constexpr Vec3f kUnsetVector{-100.0f, -100.0f, -100.0f};

// File names (Object filename, Text loadfont, Tiles loadimage, Sound
// filename) hold the path the file is read at. That is the film's own text,
// unless the loader found the file beside the film only (base/film_files.h):
// then the name holds that path, and the field NAMEAsWritten beside it the
// film's text, which the writer gives back.
inline const std::string& nameAsWritten(const std::string& name, const std::string& asWritten) {
    return asWritten.empty() ? name : asWritten;
}

// What loading an object may need besides the object itself.
struct ObjectLoadContext {
    std::ostream& progress;      // "." per loaded object, error lines
    Diagnostics& diagnostics;    // problems an author should fix
    std::ostream& errors;        // parse-error lines of scene files
    LightCounter& lights;        // numbers each scene's default light
    const ImageDecoder& images;  // decodes (or only checks) imported models' textures
    ModelTextures& textures;     // receives the decoded pictures until start-up uploads them
    MeshUse meshUse = MeshUse::Drawing;  // what the scenes' meshes are completed for
    bool castsShadow = true;             // some model of the object casts: an imported file gets its hull
};

class BaseObject {
public:
    virtual ~BaseObject() = default;
    virtual void draw(RendererState& renderer) = 0;
    virtual void load(ObjectLoadContext& context) = 0;
    virtual std::string writeXml() const = 0;

    Vec3f min, max;
    bool loaded = false;
    int id = 0;
    int sourceLine = 0;
};

class Object : public BaseObject {
public:
    void draw(RendererState& renderer) override;
    void load(ObjectLoadContext& context) override;
    std::string writeXml() const override;

    std::unique_ptr<Scene> scene;  // the whole loaded scene or model file, owned
    Group* root = nullptr;         // the group named objectname inside it
    std::string filename;
    std::string filenameAsWritten;  // see nameAsWritten above
    std::string objectname;
    float scale = 1.0f;  // multiplies the file's coordinates as they are read
    // Read by X3D's own rules (scene/x3d_standard.h) rather than as the
    // player's subset.
    bool standard = false;
    // Files the object's file names and that were read with it (a glTF
    // file's buffers and images, an OBJ file's material libraries and
    // pictures, an X3D file's Inline files and textures), as opened:
    // relative to the working directory.
    std::vector<std::string> companionFiles;
};

class BrikObject : public BaseObject {
public:
    BrikObject();
    ~BrikObject() override;
    void draw(RendererState& renderer) override;
    void load(ObjectLoadContext& context) override;
    std::string writeXml() const override;

    unsigned displayList = 0;
    bool built = false;
    std::unique_ptr<IndexedFaceSet> mesh;  // the box, a shadow caster only
    Vec3f size;
    int color = 0;

    // Compiles the display list and the shadow mesh, once (start-up builds
    // every brick before the first frame).
    void build(RendererState& renderer);
};

// Fields common to all models.
struct Base {
    int id = 0;
    Vec3f position;
    Quatf rotation;
    Vec3f min, max;
    std::string function;
    float lastModelView[16] = {};
    bool drawnWithFunction = false;  // lastModelView holds a real matrix
    bool enabled = false;
    int sourceLine = 0;
};

class BaseModel : public Base {
public:
    virtual ~BaseModel() = default;
    virtual void draw(RendererState& renderer) = 0;
    virtual void computeExtents() = 0;
    virtual std::string writeXml() const = 0;
    virtual void setEnabled(bool value) = 0;
};

class Model : public BaseModel {
public:
    void draw(RendererState& renderer) override;
    void computeExtents() override;
    std::string writeXml() const override;
    void setEnabled(bool value) override;
    // The shadow volumes of the meshes its last draw recorded (drawing
    // library, scene/model_pass_gl.cpp); nothing unless castshadow is set.
    void drawShadow(const Mat4x4f& inverseView, RendererState& renderer) const;

    Vec3f centreOffset;
    int bodyIndex = -1;
    PhysicsWorld* physics = nullptr;  // set when the model got a body or part
    int objectid = 0;
    BaseObject* object = nullptr;
    bool physicalbased = false;
    bool animatephysics = false;
    int collisiontype = 0;
    Vec3f boxsize;
    float diameter = 0.0f;
    float mass = 0.0f;
    Vec3f relative{-1.0f, -1.0f, -1.0f};
    int relativemodelid = -1;
    Model* relativeModel = nullptr;
    Mat4x4f partOffset;
    Mat4x4f partWorld;
    // What the model is drawn with this frame, as placeModels left it.
    Mat4x4f placement;
    std::vector<ShadowCaster> casters;
    bool castshadow = false;
};

class ModelTransform : public BaseModel {
public:
    ModelTransform() { enabled = true; }
    void draw(RendererState& renderer) override;
    void computeExtents() override {}
    std::string writeXml() const override;
    void setEnabled(bool value) override { enabled = value; }

    ModelTransform* parent = nullptr;
    std::vector<std::unique_ptr<BaseModel>> children;
};

struct CameraElement {
    float duration = 0.0f;
    std::string eyetype;
    std::string lookattype;
    std::string interpolationfunction;
    Easing easing = Easing::Linear;  // of interpolationfunction
    std::vector<Vec3f> lookAtPoints;
    std::vector<Vec3f> eyePoints;
    int sourceLine = 0;

    std::string writeXml() const;
};

struct Camera {
    std::vector<std::unique_ptr<CameraElement>> elements;
    int sourceLine = 0;

    std::string writeXml() const;
};

struct KeyFramePosition {
    float keytime = 0.0f;
    Vec3f position;
    std::string interpolationfunction;
    Easing easing = Easing::Linear;  // of interpolationfunction
    int sourceLine = 0;

    std::string writeXml() const;
};

struct KeyFrameRotation {
    float keytime = 0.0f;
    Quatf rotation;
    std::string interpolationfunction;
    Easing easing = Easing::Linear;  // of interpolationfunction
    int sourceLine = 0;

    std::string writeXml() const;
};

struct KeyFrameForce {
    float keytime = 0.0f;
    Vec3f linearvelocity = kUnsetVector;
    Vec3f position = kUnsetVector;
    Quatf rotation;
    Vec3f angularvelocity = kUnsetVector;
    bool activated = false;
    int sourceLine = 0;

    std::string writeXml() const;
};

struct Animation {
    int modelid = 0;
    BaseModel* model = nullptr;
    std::string interpolationfunction;
    AnimationMode mode = AnimationMode::KeyPairs;  // of interpolationfunction
    // The B-spline path, derived on first use and kept.
    std::vector<Vec3f> controlPoints;
    std::vector<float> knots;
    bool loop = false;
    std::vector<std::unique_ptr<KeyFramePosition>> positionKeys;
    std::vector<std::unique_ptr<KeyFrameRotation>> rotationKeys;
    std::vector<std::unique_ptr<KeyFrameForce>> forceKeys;
    int sourceLine = 0;

    std::string writeXml() const;
};

struct XFunction {
    int modelid = 0;
    Model* model = nullptr;
    float lastTime = 0.0f;
    int frommodelid = 0;
    int tomodelid = 0;
    std::string xfunctiontype;
    CommandType commandType = CommandType::Unknown;  // of xfunctiontype
    float timer1 = 0.0f;
    bool done = false;
    std::vector<int> modelids;
    std::vector<Model*> targets;
    int sourceLine = 0;
};

struct SpecialEffect {
    std::string type;
    FadeType fadeType = FadeType::Unknown;  // of type
    float starttime = 0.0f;
    float endtime = 0.0f;
    int sourceLine = 0;
};

struct Particle {
    std::string type;
    ParticleType particleType = ParticleType::Unseen;  // of type
    Vec3f position;
    Vec3f velocity;
    float fadetime = 0.0f;
    float birthTime = -1.0f;
    float depth = 0.0f;
    int sourceLine = 0;  // 0 for one spawned by a command
};

// A caption font as printing sees it: whether it loaded and how far each of
// its Latin-1 characters moves the pen, in units of the point size (the
// glyph's width plus the font's gap). The player's media loader supplies the
// real one, which also holds the glyphs to draw.
class CaptionFont {
public:
    virtual ~CaptionFont() = default;

    bool loaded = false;
    std::bitset<256> hasGlyph;
    std::array<float, 256> advance{};
};

struct Text {
    std::unique_ptr<CaptionFont> font;
    std::string loadfont;
    std::string loadfontAsWritten;
    std::string writetext;
    Vec2f position{-1000.0f, -1000.0f};
    float size = 0.0f;
    Vec3f color{-1.0f, -1.0f, -1.0f};
    int sourceLine = 0;
};

struct TextChunk {
    float starttime = 0.0f;
    float endtime = 0.0f;
    std::vector<std::unique_ptr<Text>> texts;
    int sourceLine = 0;
};

struct Tiles {
    unsigned texture = 0;
    std::string loadimage;
    std::string loadimageAsWritten;
    int textureHeight = 1024;
    int textureWidth = 1024;
    int imageHeight = 0;
    int imageWidth = 0;
    float starttime = 0.0f;
    float endtime = 0.0f;
    int sourceLine = 0;
};

// A loaded music sample; the sound subsystem supplies the real one.
class SoundSample {
public:
    virtual ~SoundSample() = default;
};

struct Sound {
    std::unique_ptr<SoundSample> sample;
    bool started = false;
    float starttime = 0.0f;
    std::string filename;
    std::string filenameAsWritten;
    int sourceLine = 0;
};

struct Join {
    int joint = -1;
    int id = 0;
    int modelid0 = -1;
    int modelid1 = -1;
    Model* model0 = nullptr;
    Model* model1 = nullptr;
    Vec3f position;
    int sourceLine = 0;
};

struct Contact {
    int id = 0;
    int modelid0 = -1;
    int modelid1 = -1;
    Model* model0 = nullptr;
    Model* model1 = nullptr;
    int sourceLine = 0;
};

struct Sequence {
    float duration = 0.0f;
    std::unique_ptr<Camera> camera;
    std::vector<std::unique_ptr<Animation>> animations;
    std::vector<std::unique_ptr<SpecialEffect>> specialEffects;
    std::vector<std::unique_ptr<XFunction>> xfunctions;
    std::vector<std::unique_ptr<TextChunk>> textChunks;
    std::vector<std::unique_ptr<Particle>> particles;
    // Particles faded out and removed, kept for the ones spawned later.
    std::vector<std::unique_ptr<Particle>> spentParticles;
    std::vector<std::unique_ptr<Tiles>> tiles;
    int sourceLine = 0;

    std::string writeXml() const;
};

struct Movie {
    std::vector<std::unique_ptr<BaseObject>> objects;
    std::vector<std::unique_ptr<BaseModel>> models;
    std::vector<std::unique_ptr<Join>> joins;
    std::vector<std::unique_ptr<Contact>> contacts;
    std::vector<std::unique_ptr<Sound>> sounds;
    std::vector<std::unique_ptr<Sequence>> sequences;
    std::string fileName;

    std::string writeXml() const;
};

// Calls f on every model of the tree, depth first in document order, a
// transform before its children.
template <typename F>
void forEachModel(const std::vector<std::unique_ptr<BaseModel>>& models, F&& f) {
    for (const auto& m : models) {
        f(*m);
        if (auto* t = dynamic_cast<ModelTransform*>(m.get())) forEachModel(t->children, f);
    }
}

}  // namespace xmo
