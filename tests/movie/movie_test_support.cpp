#include "movie/movie_test_support.h"

namespace xmo::test {

std::vector<std::string> TestLoad::messages() const {
    std::vector<std::string> lines;
    for (const Diagnostic& d : diagnostics.items()) lines.push_back(formatDiagnostic(d));
    return lines;
}

std::vector<std::string> TestLoad::messages(DiagnosticKind kind) const {
    std::vector<std::string> lines;
    for (const Diagnostic& d : diagnostics.items())
        if (d.kind == kind) lines.push_back(formatDiagnostic(d));
    return lines;
}

std::string movieText(const std::string& models, const std::string& sequenceBody) {
    return "<Movie><Models>" + models + "</Models><Sequence duration=\"1\"><Camera/>" + sequenceBody +
           "</Sequence></Movie>";
}

int treeIndex(const Movie& movie, const BaseModel* model) {
    int index = 0;
    int found = -1;
    forEachModel(movie.models, [&](const BaseModel& m) {
        if (&m == model) found = index;
        ++index;
    });
    return found;
}

}  // namespace xmo::test
