// The scene graph: the nodes a scene file is read into.
//
// A scene file (X3D subset) becomes a tree rooted in a Scene. Groups own their
// children, shapes their appearance and geometry, face sets their coordinate,
// normal and texture-coordinate lists and shadow faces. Every node has one
// virtual operation, draw, which emits fixed-function OpenGL (defined in the
// drawing library, scene/nodes_gl.cpp); everything else here is plain data
// that the loader fills and the unit tests read without a GL context.
//
// draw takes the renderer's state (scene/renderer_state.h): the caster list
// that mesh draws append to. Loading a scene never calls OpenGL: prepare only
// numbers the scene's light and records it for the drawing layer to switch on.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "math/quat.h"
#include "math/vec.h"

namespace xmo {

struct LightCounter;
struct RendererState;
class NeighbourScratch;

class Drawable {
public:
    virtual ~Drawable() = default;
    virtual void draw(RendererState& renderer) = 0;

    std::string DEF;
};

class Geometry : public Drawable {
public:
    void draw(RendererState&) override {}
};

class Coordinate : public Drawable {
public:
    void draw(RendererState&) override {}
    std::vector<Vec3f> point;
};

class Normal : public Drawable {
public:
    void draw(RendererState&) override {}
    std::vector<Vec3f> vector;
};

class TextureCoordinate : public Drawable {
public:
    void draw(RendererState&) override {}
    std::vector<Vec2f> point;
};

// Colours that replace the material's diffuse colour corner by corner; only
// the standard reading of X3D gives a mesh one.
class Color : public Drawable {
public:
    void draw(RendererState&) override {}
    std::vector<Vec3f> color;
};

// One polygon of a shadow-casting mesh: up to four point indices, its plane
// a.x + b.y + c.z + d = 0 (normal not normalised) and the faces that share
// its edges. Edge e starts at slot e and ends at slot edgeEnd(e).
struct ShadowFace {
    int vertex[4] = {-1, -1, -1, -1};
    Vec3f plane;
    float d = 0.0f;
    int neighbour[4] = {-1, -1, -1, -1};
    bool lit = false;

    // (e + 1) mod 4, except that a triangle (slot 3 empty) closes its third
    // edge back to slot 0: without that edge the volume of a triangle mesh
    // would have open sides and the stencil count would leak through them.
    int edgeEnd(int e) const { return e == 2 && vertex[3] < 0 ? 0 : (e + 1) % 4; }
};

// What a loaded mesh is completed for. Drawing needs flat normals where the
// file gives none, and shadow faces with their neighbours when it casts; a
// film that is only checked, dumped or saved needs none of them (its indices
// are checked against the normals' layout), and on a large scene they cost
// more than the rest of loading together.
enum class MeshUse { Drawing, Checking };

class IndexedFaceSet : public Geometry {
public:
    // Gives back its display list (drawing library): a film read again in
    // the same process leaves no lists of its first reading behind.
    ~IndexedFaceSet() override;
    void draw(RendererState& renderer) override;
    // Completes the mesh when its element ends; for drawing, with generated
    // flat normals when the file gave none and shadow faces when castshadow
    // is set. A loader of many meshes passes the scratch they share.
    void finish(MeshUse use = MeshUse::Drawing, NeighbourScratch* scratch = nullptr);

    unsigned displayList = 0;
    bool compilePending = true;
    // False until the element's end tag was seen and finish ran; a face set
    // left open by a parse error is never drawn.
    bool finished = false;
    std::vector<ShadowFace> shadowFaces;
    std::unique_ptr<Coordinate> coord;
    std::vector<int> coordIndex;
    std::unique_ptr<TextureCoordinate> texCoord;
    std::vector<int> texCoordIndex;
    std::unique_ptr<Normal> normal;
    std::vector<int> normalIndex;
    std::unique_ptr<Color> color;
    std::vector<int> colorIndex;  // in step with coordIndex
    bool normalsGenerated = false;  // flat normals made by finish, the file giving none
    bool castshadow = false;
};

// A mesh that is never drawn and only casts: its draw records it as a
// shadow caster. An imported model is drawn one mesh per material, and each
// of those is open where it meets another material; this hull holds all of
// the model's polygons with their points welded by position, so a closed
// model casts a closed volume.
class ShadowOnlyMesh : public IndexedFaceSet {
public:
    void draw(RendererState& renderer) override;
};

class Group : public Drawable {
public:
    void draw(RendererState& renderer) override;
    void addChild(std::unique_ptr<Drawable> child) { children.push_back(std::move(child)); }

    std::vector<std::unique_ptr<Drawable>> children;
    Group* parent = nullptr;  // set for Group and Transform, for the loader's walk back up
};

class Transform : public Group {
public:
    void draw(RendererState& renderer) override;

    Vec3f translation;
    Quatf rotation;
    Vec3f scale{1.0f, 1.0f, 1.0f};
};

class Material : public Drawable {
public:
    void draw(RendererState& renderer) override;
    // Fills the colour blocks from the fields (alpha = 1 - transparency).
    void computeColours();

    // Colour blocks rewritten by every draw (a cache, not input).
    float ambient[4] = {}, diffuse[4] = {}, specular[4] = {}, emissive[4] = {};
    float alpha = 1.0f;

    Vec3f diffuseColor{0.8f, 0.8f, 0.8f};
    float ambientIntensity = 0.2f;
    Vec3f specularColor;
    Vec3f emissiveColor;
    float shininess = 0.2f;
    float transparency = 0.0f;
};

// A picture on a shape's meshes. Texture coordinate t = 0 is the picture's
// top row. A scene file's ImageTexture is read but never loaded: its name
// stays 0, which binds the default texture and leaves texturing off. An
// imported model's picture is decoded while it loads and made a texture at
// start-up (scene/model_textures.h); from then on the shape draws it,
// modulated by the lit material colour.
struct ImageTexture {
    std::string DEF;
    unsigned textureName = 0;
    std::string url;
    bool repeatS = false;
    bool repeatT = false;
};

class Appearance : public Drawable {
public:
    void draw(RendererState& renderer) override;

    std::unique_ptr<Material> material;
    std::unique_ptr<ImageTexture> texture;
};

class Shape : public Drawable {
public:
    void draw(RendererState& renderer) override;

    std::unique_ptr<Appearance> appearance;
    std::unique_ptr<Geometry> geometry;
};

// A scene's light. It takes its place in the eye's space once, from the
// model-view matrix of the first frame that draws its scene (placeModels),
// and sets its parameters in that frame alone (RendererState). draw sets
// them, the position taken as the eye-space one.
class PointLight : public Drawable {
public:
    void draw(RendererState& renderer) override;
    // Takes the next light enumerant, records it to be switched on and marks
    // the light dirty: not yet placed.
    void enable(LightCounter& lights);

    unsigned lightId = 0;
    bool dirty = false;
    Vec3f eyePosition;  // once placed
    float ambientIntensity = 0.0f;
    Vec3f color{1.0f, 1.0f, 1.0f};
    Vec3f location{13.0f, 10.0f, 8.0f};
    Vec3f attenuation{1.0f, 0.0f, 0.0f};
};

class Sphere : public Drawable {
public:
    void draw(RendererState&) override {}  // spheres are read and kept, never drawn
    float radius = 0.0f;
};

struct Viewpoint {
    std::string DEF;
    Vec3f position;
    Quatf orientation;  // identity when the file gives none
    float fieldOfView = 0.0f;
    int sourceLine = 0;  // the scene file's line, for messages
};

struct SceneLights {
    std::unique_ptr<PointLight> light;
    int useDefault = 1;
};

class Scene : public Group {
public:
    void draw(RendererState& renderer) override;
    void addViewpoint(std::unique_ptr<Viewpoint> v) { viewpoints.push_back(std::move(v)); }
    // Makes the scene drawable after loading: its default light (numbered and
    // recorded in counter) and its default material.
    void prepare(LightCounter& counter);

    std::unique_ptr<Material> defaultMaterial;
    std::vector<std::unique_ptr<Viewpoint>> viewpoints;
    std::unique_ptr<SceneLights> lights;
};

// A mesh drawn during one model's draw, with the model-view matrix it was
// drawn under; the shadow pass replays these.
struct ShadowCaster {
    IndexedFaceSet* mesh = nullptr;
    float matrix[16] = {};
};

}  // namespace xmo
