#include "import/import_test_support.h"

#include "scene/scene_loader.h"

namespace xmo::test {

namespace {

ImportedModel run(ModelFormat format, const std::vector<std::uint8_t>& bytes, const std::string& fileName,
                  const std::string& objectName, float scale, ImportServices services) {
    const ImportRequest request{fileName, objectName, scale};
    return format == ModelFormat::Gltf ? importGltf(bytes, request, services) : importObj(bytes, request, services);
}

}  // namespace

Import::Import(ModelFormat format, const Text& text, const std::string& fileName, const std::string& objectName,
               float scale, const ImageDecoder* images)
    : model(run(format, std::vector<std::uint8_t>(text.bytes.begin(), text.bytes.end()), fileName, objectName, scale,
                ImportServices{diagnostics, images ? *images : decoder, textures})) {}

Import::Import(ModelFormat format, const std::string& fileName, const std::string& objectName, float scale,
               const ImageDecoder* images, MeshUse use) {
    ImportServices services{diagnostics, images ? *images : decoder, textures, use};
    model = importModelFile(format, ImportRequest{fileName, objectName, scale}, services);
}

std::vector<std::string> Import::reports() const {
    std::vector<std::string> out;
    for (const Diagnostic& d : diagnostics.items())
        out.push_back(std::string(diagnosticKindName(d.kind)) + ": " + formatDiagnostic(d));
    return out;
}

std::vector<Shape*> Import::shapes() const {
    std::vector<Shape*> out;
    if (!model.root) return out;
    for (const auto& child : model.root->children)
        if (auto* shape = dynamic_cast<Shape*>(child.get())) out.push_back(shape);
    return out;
}

Shape* Import::shape(const std::string& name) const {
    for (Shape* s : shapes())
        if (s->DEF == name && !dynamic_cast<ShadowOnlyMesh*>(s->geometry.get())) return s;
    return nullptr;
}

IndexedFaceSet& Import::mesh(const std::string& name) const {
    Shape* s = shape(name);
    if (!s) throw std::runtime_error("no shape " + name);
    return dynamic_cast<IndexedFaceSet&>(*s->geometry);
}

IndexedFaceSet* Import::hull() const {
    for (Shape* s : shapes())
        if (auto* hull = dynamic_cast<ShadowOnlyMesh*>(s->geometry.get())) return hull;
    return nullptr;
}

std::pair<Vec3f, Vec3f> Import::bounds() const {
    Vec3f min, max;
    if (model.root) computeBounds(*model.root, min, max);
    return {min, max};
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

std::vector<std::array<Vec3f, 3>> trianglesOf(const IndexedFaceSet& mesh) {
    std::vector<std::array<Vec3f, 3>> out;
    std::array<Vec3f, 3> corners;
    int filled = 0;
    for (int i : mesh.coordIndex) {
        if (i < 0) {
            if (filled == 3) out.push_back(corners);
            filled = 0;
        } else if (filled < 3) {
            corners[static_cast<std::size_t>(filled++)] = mesh.coord->point.at(static_cast<std::size_t>(i));
        }
    }
    return out;
}

Vec3f normalAt(const IndexedFaceSet& mesh, std::size_t r) {
    return mesh.normal->vector.at(static_cast<std::size_t>(mesh.normalIndex.at(r)));
}

}  // namespace xmo::test
