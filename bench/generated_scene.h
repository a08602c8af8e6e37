// The generated scene the scene load benchmarks share: a grid of quads in
// shapes of 50 x 50 quads each, optionally marked as shadow casters, and a
// film that names its group as one model.
#pragma once

#include <cmath>
#include <cstdio>
#include <string>

namespace xmo::bench {

inline constexpr int kGridQuads = 50;  // quads per side of one shape

inline std::string generateScene(int shapes, bool castshadow) {
    std::string text = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<X3D profile=\"Interchange\" version=\"3.2\">\n"
                       "<Scene>\n<Group DEF=\"Object\">\n";
    char number[64];
    for (int s = 0; s < shapes; ++s) {
        text += "<Shape>\n<Appearance><Material diffuseColor=\"0.8 0.2 0.1\"/></Appearance>\n";
        text += castshadow ? "<IndexedFaceSet castshadow=\"true\" coordIndex=\"" : "<IndexedFaceSet coordIndex=\"";
        for (int i = 0; i < kGridQuads; ++i) {
            for (int j = 0; j < kGridQuads; ++j) {
                const int a = i * (kGridQuads + 1) + j;
                std::snprintf(number, sizeof number, "%d %d %d %d -1 ", a, a + 1, a + kGridQuads + 2,
                              a + kGridQuads + 1);
                text += number;
            }
            text += "\n";
        }
        text += "\">\n<Coordinate point=\"";
        for (int i = 0; i <= kGridQuads; ++i) {
            for (int j = 0; j <= kGridQuads; ++j) {
                const float x = static_cast<float>(s % 20) * 5.1f + static_cast<float>(j) * 0.1f;
                const float y = std::sin(static_cast<float>(i + j) * 0.05f);
                const float z = static_cast<float>(s / 20) * 5.1f + static_cast<float>(i) * 0.1f;
                std::snprintf(number, sizeof number, "%.4f %.4f %.4f, ", x, y, z);
                text += number;
            }
            text += "\n";
        }
        text += "\"/>\n</IndexedFaceSet>\n</Shape>\n";
    }
    text += "</Group>\n</Scene>\n</X3D>\n";
    return text;
}

// A film of one sequence whose one casting model is the scene's group.
inline std::string generateSceneFilm(const std::string& sceneFile) {
    return "<Movie><Objects><Object id=\"1\" filename=\"" + sceneFile +
           "\" objectname=\"Object\"/></Objects><Models><Model id=\"1\" objectid=\"1\" castshadow=\"true\"/></Models>"
           "<Sequence duration=\"1\"><Camera><CameraElement duration=\"1\"><LookAt><Point position=\"0 0 0\"/>"
           "</LookAt><Eye><Point position=\"0 3 6\"/></Eye></CameraElement></Camera></Sequence></Movie>";
}

}  // namespace xmo::bench
