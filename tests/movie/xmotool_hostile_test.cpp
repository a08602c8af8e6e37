// xmotool on files that are not films: devices, FIFOs, huge sparse files, as
// the movie and as a scene file it names; films saved as UTF-16; saving over
// a file that may not be written.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/process.h"

namespace {

namespace fs = std::filesystem;
using xmo::test::ProcessOptions;
using xmo::test::ProcessResult;
using xmo::test::runProcess;

class XmotoolHostile : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "xmo-hostile-XXXXXX").string();
        dir_ = mkdtemp(pattern.data());
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string& name) const { return (fs::path(dir_) / name).string(); }
    ProcessResult xmotool(const std::vector<std::string>& args, const std::string& workingDir = "") const {
        std::vector<std::string> argv{XMOTOOL_BIN};
        argv.insert(argv.end(), args.begin(), args.end());
        ProcessOptions options;
        options.workingDir = workingDir;
        options.timeoutSeconds = 20;  // a FIFO that blocks the open would hang for good
        return runProcess(argv, options);
    }

    std::string dir_;
};

TEST_F(XmotoolHostile, FilesThatAreNotFilmsAreRefusedAtOnce) {
    const std::string fifo = path("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string sparse = path("sparse");
    ASSERT_EQ(runProcess({"/usr/bin/truncate", "-s", "2G", sparse}).exitCode, 0);
    const struct {
        std::string file, message, modelMessage;
    } files[] = {
        {"/dev/zero", "not a regular file", "not a regular file"},
        {fifo, "not a regular file", "not a regular file"},
        {sparse, "too large to be a movie (2147483648 bytes)", "too large to be a model file (2147483648 bytes)"},
    };
    // A model file is named by its extension: a link named so leads there.
    const std::string model = path("model.glb");
    for (const auto& f : files) {
        fs::remove(model);
        fs::create_symlink(f.file, model);
        for (const std::string& named : {f.file, model}) {
            std::ofstream(path("film.xmo")) << "<Movie><Objects>\n<Object id='1' filename='" << named
                                            << "' objectname='A'/></Objects><Sequence duration='1'><Camera/></Sequence></Movie>";
            for (const bool asObject : {false, true}) {
                if (named == model && !asObject) continue;
                SCOPED_TRACE(named + (asObject ? " as an object's file" : " as the movie"));
                const ProcessResult r = xmotool({"check", asObject ? path("film.xmo") : named});
                EXPECT_EQ(r.exitCode, 3);
                const std::string expected = (asObject ? path("film.xmo") + ":2: Object 1: " : "") + named + ": " +
                                             (named == model ? f.modelMessage : f.message);
                // The refusal is the last problem, before the summary.
                const size_t summary = r.out.rfind('\n', r.out.size() - 2);
                const size_t refusal = r.out.rfind('\n', summary - 1);
                EXPECT_EQ(r.out.substr(refusal + 1, summary - refusal - 1), expected) << r.out;
                EXPECT_LT(r.cpuSeconds, 1.0);
                EXPECT_LT(r.maxResidentKb, 100 * 1024);
            }
        }
    }
}

// The demo and its scene file in UTF-16 check and dump exactly as written
// in UTF-8, lines and all.
TEST_F(XmotoolHostile, AFilmInUtf16ReadsAsInUtf8) {
    const std::string demo = std::string(XMO_SOURCE_DIR) + "/assets/demo";
    const ProcessResult check = xmotool({"check", "BrikBasics.xmo"}, demo);
    const ProcessResult dump = xmotool({"dump", "BrikBasics.xmo"}, demo);
    ASSERT_EQ(check.exitCode, 0) << check.out;
    ASSERT_EQ(dump.exitCode, 0) << dump.err;
    // The film's other files (font, images) go along as they are.
    for (const auto& entry : fs::directory_iterator(demo))
        fs::copy_file(entry.path(), path(entry.path().filename().string()), fs::copy_options::overwrite_existing);
    for (const char* encoding : {"UTF-16LE", "UTF-16BE", "UTF-16"}) {
        SCOPED_TRACE(encoding);
        for (const char* file : {"BrikBasics.xmo", "rocket.x3d"}) {
            const ProcessResult converted =
                runProcess({"/usr/bin/iconv", "-f", "UTF-8", "-t", encoding, demo + "/" + file});
            ASSERT_EQ(converted.exitCode, 0) << converted.err;
            std::ofstream(path(file), std::ios::binary) << converted.out;
        }
        const ProcessResult check16 = xmotool({"check", "BrikBasics.xmo"}, dir_);
        const ProcessResult dump16 = xmotool({"dump", "BrikBasics.xmo"}, dir_);
        EXPECT_EQ(check16.exitCode, 0);
        EXPECT_EQ(check16.out, check.out);
        EXPECT_EQ(dump16.out, dump.out);
        EXPECT_EQ(dump16.err, dump.err);
    }
}

TEST_F(XmotoolHostile, SaveRefusesAReadOnlyFileAndLeavesIt) {
    const std::string target = path("out.xmo");
    std::ofstream(target) << "keep me";
    chmod(target.c_str(), 0444);
    const ProcessResult r = xmotool({"save", "movie/basic.xmo", target});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "xmotool: cannot write " + target + ": read-only file\n");
    EXPECT_EQ(xmo::test::readFile(target), "keep me");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

}  // namespace
