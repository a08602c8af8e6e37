// Loading movies from text in tests, with media calls recorded.
#pragma once

#include <string>
#include <vector>

#include "movie/movie_loader.h"

namespace xmo::test {

class RecordingMediaLoader : public MediaLoader {
public:
    void loadFont(Text& text, const char*, Diagnostics&) override { fonts.push_back(text.loadfont); }
    void loadTile(Tiles& tiles, const char*, Diagnostics&) override { tileImages.push_back(tiles.loadimage); }

    std::vector<std::string> fonts;
    std::vector<std::string> tileImages;
};

struct TestLoad {
    RecordingMediaLoader media;
    QuietLoadServices quiet{&media};
    LoadServices& services = quiet.services;
    Diagnostics& diagnostics = quiet.diagnostics;
    LightCounter& lights = quiet.lights;

    std::unique_ptr<Movie> load(const std::string& text, const std::string& fileName = "test.xmo") {
        return loadMovieFromText(text, fileName, services);
    }
    // The messages of every diagnostic, formatted.
    std::vector<std::string> messages() const;
    std::vector<std::string> messages(DiagnosticKind kind) const;
};

// A playable movie: the given models and one sequence holding a camera and
// the given sequence body.
std::string movieText(const std::string& models, const std::string& sequenceBody = "");

// The tree position of a model in depth-first order, -1 when not in the tree.
int treeIndex(const Movie& movie, const BaseModel* model);

}  // namespace xmo::test
