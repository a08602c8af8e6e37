// The generated movie the load benchmarks share: at scale 1, 10,000 models,
// 1,000 sequences and 10,000 animations (about 6.4 MB); scale n has n times
// as many of each.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace xmo::bench {

inline constexpr int kModels = 10000;
inline constexpr int kSequences = 1000;
inline constexpr int kAnimationsPerSequence = 10;
inline constexpr int kObjects = 100;

inline std::string generateMovie(int scale) {
    std::ostringstream out;
    out << "<?xml version=\"1.0\"?>\n<Movie>\n <Objects>\n";
    for (int i = 1; i <= kObjects; ++i)
        out << "  <BrikObject id=\"" << i << "\" size=\"" << 1 + i % 4 << " 1 2\" color=\"" << i % 16 << "\"/>\n";
    out << " </Objects>\n <Models>\n";
    const int models = kModels * scale;
    for (int i = 1; i <= models; ++i) {
        out << "  <Model id=\"" << i << "\" objectid=\"" << 1 + i % kObjects << "\" position=\"" << i % 97 << " 0.5 "
            << -(i % 89) << "\" rotation=\"0 1 0 " << i % 360 << "\" castshadow=\"" << (i % 3 ? "false" : "true")
            << "\" mass=\"1.5\"/>\n";
    }
    out << " </Models>\n <Sequences>\n";
    for (int s = 0; s < kSequences * scale; ++s) {
        out << "  <Sequence duration=\"4\">\n   <Camera>\n    <CameraElement duration=\"4\" "
               "interpolationfunction=\"hermite\">\n     <LookAt><Point position=\"0 0 0\"/><Point position=\"1 0 "
               "0\"/></LookAt>\n     <Eye><Point position=\"0 5 -10\"/><Point position=\"3 5 -10\"/></Eye>\n"
               "    </CameraElement>\n   </Camera>\n   <Animations>\n";
        for (int a = 0; a < kAnimationsPerSequence; ++a) {
            const int model = 1 + (s * kAnimationsPerSequence + a) % models;
            out << "    <Animation modelid=\"" << model << "\" interpolationfunction=\"bspline\">\n"
                << "     <KeyFramePosition keytime=\"0\" position=\"0 0 0\"/>\n"
                << "     <KeyFramePosition keytime=\"1.5\" position=\"1 2 3\" interpolationfunction=\"hermite\"/>\n"
                << "     <KeyFramePosition keytime=\"2.5\" position=\"" << a << " 2.25 -3\"/>\n"
                << "     <KeyFramePosition keytime=\"4\" position=\"-1 0.5 " << model % 13 << "\"/>\n"
                << "     <KeyFrameRotation keytime=\"0\" rotation=\"0 1 0 0\"/>\n"
                << "     <KeyFrameRotation keytime=\"4\" rotation=\"0 1 0 90\" interpolationfunction=\"hermite\"/>\n"
                << "    </Animation>\n";
        }
        out << "   </Animations>\n   <SpecialEffects><SpecialEffect type=\"blackfadein\" starttime=\"0\" "
               "endtime=\"0.5\"/></SpecialEffects>\n   <XFunctions><XFunction xfunctiontype=\"enablemodels\" timer1=\"1\" "
               "frommodelid=\"" << 1 + s % models << "\" tomodelid=\"" << 1 + s % models << "\"/></XFunctions>\n"
            << "  </Sequence>\n";
    }
    out << " </Sequences>\n</Movie>\n";
    return out.str();
}

// Writes the movie of one scale to a file in the temporary folder and
// removes it again when the object goes.
class GeneratedMovieFile {
public:
    explicit GeneratedMovieFile(int scale)
        : path_((std::filesystem::temp_directory_path() /
                 ("xmo-bench-" + std::to_string(scale) + "x-" + std::to_string(::getpid()) + ".xmo"))
                    .string()) {
        std::ofstream(path_, std::ios::binary) << generateMovie(scale);
    }
    ~GeneratedMovieFile() { std::filesystem::remove(path_); }
    GeneratedMovieFile(const GeneratedMovieFile&) = delete;
    GeneratedMovieFile& operator=(const GeneratedMovieFile&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace xmo::bench
