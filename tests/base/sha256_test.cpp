#include "base/sha256.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/process.h"

namespace xmo {
namespace {

namespace fs = std::filesystem;

// The examples of FIPS 180-2 and the NIST vectors for the empty message; the
// 56- and 112-byte messages need a second padding block.
TEST(Sha256, StandardTestVectors) {
    const struct {
        std::string message;
        const char* digest;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstn"
         "opqrstu",
         "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(sha256Hex(c.message.data(), c.message.size()), c.digest) << c.message.size() << " bytes";
}

// Every tail length around one and two blocks, against coreutils.
TEST(Sha256, AgreesWithSha256sumAcrossBlockBoundaries) {
    const fs::path folder = fs::temp_directory_path() / ("xmo-sha256-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    std::vector<std::string> argv = {"/usr/bin/sha256sum"};
    std::vector<std::string> messages;
    for (std::size_t size = 0; size <= 200; ++size) {
        std::string message(size, '\0');
        for (std::size_t i = 0; i < size; ++i) message[i] = static_cast<char>((i * 131 + size * 7) & 0xff);
        const std::string path = (folder / std::to_string(size)).string();
        std::ofstream(path, std::ios::binary) << message;
        argv.push_back(path);
        messages.push_back(message);
    }
    const test::ProcessResult r = test::runProcess(argv);
    fs::remove_all(folder);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::istringstream lines(r.out);
    for (const std::string& message : messages) {
        std::string expected, path;
        ASSERT_TRUE(lines >> expected >> path);
        EXPECT_EQ(sha256Hex(message.data(), message.size()), expected) << message.size() << " bytes";
    }
}

}  // namespace
}  // namespace xmo
