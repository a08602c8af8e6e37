// Writing a file so that it is either written whole or left as it was: the
// contents go to a temporary file in the target's folder, are flushed to the
// disk, and the temporary file is renamed over the target. Readers never see
// a half-written file, and a failure leaves no temporary file behind, also
// when the file-size limit is reached (the write then fails instead of the
// signal ending the process).
//
// An existing target is treated as its owner would expect: a symbolic link is
// followed and the file it names is replaced (the link stays a link); the
// file's permission bits, and its owner where that is allowed, are kept; a
// read-only file is refused instead of replaced, and so is anything that is
// not a regular file. A file with more than one hard link is written in place
// so that every name keeps showing the one file: the text is made in memory
// first and the file's space reserved before a byte of it changes, so a full
// disk or the size limit leave it as it was.
// TemporaryFile does the same for a file that another program writes (which
// replaces the target whole, hard links or not).
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <utility>

namespace xmo {

// Writes the contents into the open file; false when that failed (errno, if
// set, tells why).
using WriteContents = std::function<bool(std::FILE*)>;

// Returns false and sets error to "cannot write PATH: <reason>" when anything
// fails ("read-only file" for a file that may not be written). A new file
// gets the mode a plainly created file would get.
bool writeFileAtomically(const std::string& path, const WriteContents& write, std::string& error);

// Whether a file may be written at path as writeFileAtomically would: it does
// not exist, or it is a writable regular file (after symbolic links). False
// with "cannot write PATH: <reason>" otherwise; for a check before long work.
bool checkWritableTarget(const std::string& path, std::string& error);

// An empty file made beside a target, under a name of its own, for a writer
// that needs a path (another program). It is removed when the object goes,
// unless commit renamed it over the target.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string target) : target_(std::move(target)) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile();

    // Makes the file beside the file the target names (after symbolic
    // links), with the mode of the file it will replace; false with "cannot
    // write TARGET: <reason>", also when the target may not be replaced (as
    // checkWritableTarget).
    bool create(std::string& error);
    const std::string& path() const { return path_; }
    // Flushes the written file to the disk and renames it over the target.
    bool commit(std::string& error);

private:
    std::string target_;
    std::string resolved_;  // the file the target names
    std::string path_;  // empty until created, and again once committed
};

}  // namespace xmo
