// xmotool check [--json] MOVIE: every problem an author should fix. As text,
// one per line as "FILE:LINE: message", then a summary line; with --json, one
// JSON array of {"file", "line", "kind", "message"} objects and nothing else,
// the refusal (if any) last with the kind "refused". Exit 0 when the player
// would play the film, 3 when it would refuse it, either way.
#include <cstring>
#include <iostream>
#include <optional>

#include "app/film_check.h"
#include "app/xmotool_commands.h"
#include "app/xmotool_load.h"
#include "base/json_string.h"

namespace xmo {

namespace {

void writeJsonProblem(std::ostream& out, const std::string& file, int line, const char* kind,
                      const std::string& message, bool first) {
    out << (first ? "\n  {" : ",\n  {") << "\"file\": ";
    writeJsonString(out, file);
    out << ", \"line\": " << line << ", \"kind\": ";
    writeJsonString(out, kind);
    out << ", \"message\": ";
    writeJsonString(out, message);
    out << '}';
}

void writeJson(std::ostream& out, const std::vector<Diagnostic>& problems, const std::optional<LoadError>& refusal) {
    out << '[';
    bool first = true;
    for (const Diagnostic& d : problems) {
        writeJsonProblem(out, d.file, d.line, diagnosticKindName(d.kind), d.message, first);
        first = false;
    }
    if (refusal) writeJsonProblem(out, refusal->file(), refusal->line(), "refused", refusal->what(), first);
    out << (problems.empty() && !refusal ? "]\n" : "\n]\n");
}

void writeText(std::ostream& out, const std::string& path, const std::vector<Diagnostic>& problems,
               const std::optional<LoadError>& refusal) {
    for (const Diagnostic& d : problems) out << formatDiagnostic(d) << '\n';
    if (refusal) out << formatLoadError(*refusal) << '\n';
    const size_t count = problems.size() + (refusal ? 1 : 0);
    out << path << ": " << count << (count == 1 ? " problem" : " problems") << ", "
        << (refusal ? "the player would refuse this film" : "playable") << '\n';
}

}  // namespace

int runCheck(int argc, char** argv) {
    const bool json = argc == 3 && std::strcmp(argv[1], "--json") == 0;
    if ((argc != 2 && !json) || std::strncmp(argv[argc - 1], "--", 2) == 0) return usageError("check [--json] MOVIE");
    const std::string path = argv[argc - 1];
    const FilmProblems found = checkFilm(path, std::cerr);
    if (json) writeJson(std::cout, found.problems, found.refusal);
    else writeText(std::cout, path, found.problems, found.refusal);
    return found.refusal ? 3 : 0;
}

}  // namespace xmo
