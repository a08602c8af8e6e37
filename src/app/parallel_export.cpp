#include "app/parallel_export.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <thread>

#include "app/child_process.h"
#include "app/render_progress.h"
#include "app/video_join.h"
#include "base/atomic_file.h"

namespace xmo {

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(100);

// The parts' folder beside OUT, removed with everything in it.
class PartsFolder {
public:
    ~PartsFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    bool create(const std::string& out, std::string& error) {
        std::string name = out + ".parts-XXXXXX";
        if (!mkdtemp(name.data())) {
            error = "cannot write " + out + ": cannot make a folder for its parts: " + std::strerror(errno);
            return false;
        }
        path_ = name;
        return true;
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

std::string ownProgram() {
    std::error_code ignored;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ignored);
    return self.empty() ? "/proc/self/exe" : self.string();
}

std::string extensionOf(VideoFormat format) { return format == VideoFormat::WebM ? ".webm" : ".mp4"; }

struct Part {
    std::string path;
    ChildProcess process;
    bool done = false;
};

void stopAll(std::vector<std::unique_ptr<Part>>& parts) {
    for (auto& p : parts) p->process.stop();
    std::string ignored;
    for (auto& p : parts) p->process.wait(ignored);
}

}  // namespace

int exportInParallel(const RenderOptions& options, const std::vector<std::string>& args,
                     const volatile std::sig_atomic_t& stop, std::ostream& messages, bool messagesIsTerminal) {
    const auto fail = [&](const std::string& message, int code) {
        if (messagesIsTerminal) messages << "\r\033[K";
        messages << "xmotool render: " << message << "\n";
        return code;
    };
    const auto started = std::chrono::steady_clock::now();
    std::string error;
    PartsFolder folder;
    if (!checkWritableTarget(options.videoPath, error) || !folder.create(options.videoPath, error))
        return fail(error, 1);

    const std::string program = ownProgram();
    std::vector<std::unique_ptr<Part>> parts;
    std::vector<std::string> paths;
    for (int k = 1; k <= options.jobs; ++k) {
        auto part = std::make_unique<Part>();
        part->path = folder.path() + "/part-" + std::to_string(k) + extensionOf(options.videoFormat);
        std::vector<std::string> argv = {program};
        const std::vector<std::string> partArgs = partArguments(args, {k, options.jobs}, part->path);
        argv.insert(argv.end(), partArgs.begin(), partArgs.end());
        if (!part->process.start(argv, -1, false, error)) {
            stopAll(parts);
            return fail(error, 1);
        }
        paths.push_back(part->path);
        parts.push_back(std::move(part));
    }

    for (int finished = 0; finished < options.jobs;) {
        if (stop) {
            stopAll(parts);
            return fail("stopped; nothing more was written", 130);
        }
        std::this_thread::sleep_for(kPollInterval);
        for (std::size_t k = 0; k < parts.size(); ++k) {
            Part& part = *parts[k];
            if (part.done || !part.process.hasEnded()) continue;
            part.done = true;
            ++finished;
            if (part.process.succeeded()) continue;
            stopAll(parts);
            const int code = part.process.exitCode();
            std::string said = part.process.errors();
            if (said.empty()) said = part.process.describeEnd() + "\n";
            if (messagesIsTerminal) messages << "\r\033[K";
            messages << "xmotool render: part " << k + 1 << "/" << options.jobs << " failed:\n" << said;
            return code > 0 ? code : 1;
        }
        if (messagesIsTerminal) {
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
            messages << "\rrendering " << options.jobs << " parts at once: " << finished << " done, "
                     << durationText(seconds) << "\033[K" << std::flush;
        }
    }
    if (messagesIsTerminal) messages << "\rjoining the parts\033[K" << std::flush;
    std::string summary;
    if (!joinVideoParts(options.videoPath, paths, summary, error)) return fail(error, 1);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (messagesIsTerminal) messages << "\r\033[K";
    messages << "xmotool render: " << summary << ", rendered in " << options.jobs << " processes in "
             << durationText(seconds) << "\n";
    return 0;
}

}  // namespace xmo
