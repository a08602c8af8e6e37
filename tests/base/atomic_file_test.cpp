#include "base/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "support/process.h"

namespace xmo {
namespace {

namespace fs = std::filesystem;

// Public: the table's set-ups and checks get the fixture.
class AtomicFile : public ::testing::Test {
public:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "xmo-atomic-XXXXXX").string();
        dir_ = mkdtemp(pattern.data());
    }
    void TearDown() override {
        if (mounted_) umount2(dir_.c_str(), MNT_DETACH);
        fs::remove_all(dir_);
    }

    std::string path(const char* name) const { return (fs::path(dir_) / name).string(); }
    static void put(const std::string& path, const std::string& text) { std::ofstream(path) << text; }
    static bool save(const std::string& path, const std::string& text, std::string& error) {
        return writeFileAtomically(
            path, [&](std::FILE* f) { return std::fwrite(text.data(), 1, text.size(), f) == text.size(); }, error);
    }
    std::size_t entries() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
    }
    static struct stat statOf(const std::string& path) {
        struct stat s {};
        stat(path.c_str(), &s);
        return s;
    }
    bool mountSmallFileSystem() {
        mounted_ = mount("tmpfs", dir_.c_str(), "tmpfs", 0, "size=64k") == 0;
        return mounted_;
    }

    std::string dir_;
    bool mounted_ = false;
};

TEST_F(AtomicFile, AnExistingTargetKeepsWhatItsOwnerSetUp) {
    const struct {
        const char* name;
        std::function<std::string(AtomicFile&)> setUp;  // returns the path written to
        std::function<void(AtomicFile&)> check;
    } cases[] = {
        {"a symbolic link stays one, its file is replaced",
         [](AtomicFile& t) {
             put(t.path("film.xmo"), "old");
             fs::create_symlink("film.xmo", t.path("link.xmo"));
             return t.path("link.xmo");
         },
         [](AtomicFile& t) {
             EXPECT_TRUE(fs::is_symlink(t.path("link.xmo")));
             EXPECT_EQ(test::readFile(t.path("film.xmo")), "new");
         }},
        {"a link to a file not there yet creates it",
         [](AtomicFile& t) {
             fs::create_symlink(t.path("later.xmo"), t.path("link.xmo"));
             return t.path("link.xmo");
         },
         [](AtomicFile& t) { EXPECT_EQ(test::readFile(t.path("later.xmo")), "new"); }},
        {"permission bits are kept",
         [](AtomicFile& t) {
             put(t.path("film.xmo"), "old");
             chmod(t.path("film.xmo").c_str(), 0600);
             return t.path("film.xmo");
         },
         [](AtomicFile& t) { EXPECT_EQ(statOf(t.path("film.xmo")).st_mode & 07777, 0600u); }},
        {"a file with two names stays one file",
         [](AtomicFile& t) {
             put(t.path("film.xmo"), "old, and longer than the new text");
             fs::create_hard_link(t.path("film.xmo"), t.path("other.xmo"));
             return t.path("film.xmo");
         },
         [](AtomicFile& t) {
             EXPECT_EQ(statOf(t.path("film.xmo")).st_ino, statOf(t.path("other.xmo")).st_ino);
             EXPECT_EQ(test::readFile(t.path("other.xmo")), "new");
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(dir_);
        fs::create_directory(dir_);
        const std::string target = c.setUp(*this);
        const std::size_t before = entries() + (fs::exists(target) ? 0 : 1);
        std::string error;
        EXPECT_TRUE(save(target, "new", error)) << error;
        c.check(*this);
        EXPECT_EQ(entries(), before);  // no temporary file left
    }
}

TEST_F(AtomicFile, RefusedTargetsStayAsTheyWere) {
    const std::string film = path("film.xmo");
    put(film, "old");
    chmod(film.c_str(), 0444);
    std::string error;
    EXPECT_FALSE(save(film, "new", error));
    EXPECT_EQ(error, "cannot write " + film + ": read-only file");
    EXPECT_EQ(test::readFile(film), "old");

    EXPECT_FALSE(save(dir_, "new", error));
    EXPECT_EQ(error, "cannot write " + dir_ + ": not a regular file");

    const std::string missing = path("missing/out.xmo");
    EXPECT_FALSE(save(missing, "new", error));
    EXPECT_EQ(error, "cannot write " + missing + ": No such file or directory");
    EXPECT_EQ(entries(), 1u);
}

// A write that runs out of room or into the file-size limit fails cleanly,
// whether the file is replaced or written in place.
TEST_F(AtomicFile, AFullDiskOrTheSizeLimitLeavesTheOriginal) {
    const std::string big(256 * 1024, 'x');
    const auto attempt = [&](bool hardLinked) {
        fs::remove(path("film.xmo"));
        fs::remove(path("other.xmo"));
        put(path("film.xmo"), "old");
        if (hardLinked) fs::create_hard_link(path("film.xmo"), path("other.xmo"));
        std::string error;
        const bool saved = save(path("film.xmo"), big, error);
        return !saved && test::readFile(path("film.xmo")) == "old" && entries() == (hardLinked ? 2u : 1u);
    };
    for (const bool hardLinked : {false, true}) {
        // The size limit, in a child: ending it by SIGXFSZ is the fault.
        const pid_t child = fork();
        if (child == 0) {
            const rlimit limit{4096, 4096};
            setrlimit(RLIMIT_FSIZE, &limit);
            _exit(attempt(hardLinked) ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "size limit, hard link " << hardLinked;
    }
    if (!mountSmallFileSystem()) GTEST_SKIP() << "cannot mount a small tmpfs here; the full disk goes untried";
    for (const bool hardLinked : {false, true})
        EXPECT_TRUE(attempt(hardLinked)) << "full disk, hard link " << hardLinked;
}

}  // namespace
}  // namespace xmo
