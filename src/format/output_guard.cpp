#include "format/output_guard.h"

#include <array>
#include <filesystem>

#include "base/error.h"
#include "base/file.h"
#include "base/program_folder.h"
#include "format/frame_scanner.h"

namespace krelby {
namespace {

namespace fs = std::filesystem;

bool SameFolderName(const std::string& a, const char* b) {
    const std::string other = b;
    if (a.size() != other.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(other[i])) return false;  // as Windows and macOS match names
    }
    return true;
}

}  // namespace

bool StartsWithFrame(const std::string& path) {
    InputFile file;
    if (file.Open(path) != 0) return false;  // a folder or special file is refused elsewhere
    std::array<uint8_t, 2 * kMaxFrameCapacity> head{};
    size_t got = 0;
    if (file.ReadSome(head.data(), head.size(), got) != 0) return false;
    struct First : FrameHandler {
        const uint8_t* start;
        bool found = false;
        explicit First(const uint8_t* s) : start(s) {}
        void OnFrame(FrameType, const uint8_t* frame, size_t) override { found = found || frame == start; }
        bool StopScanning() const override { return found; }
    } first(head.data());
    const ChecksumOptions tested;
    FrameScanner scanner(tested);
    scanner.Feed(head.data(), got, first);
    return first.found;
}

void RefuseFlightDataAsOutput(const std::string& output) {
    const auto refuse = [&](const std::string& why) { throw Error(CannotCreateFile(output, why)); };
    const std::string destination = FollowLinks(output);
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(PathOf(destination), ec)))
        refuse("its symbolic links lead round in a loop");
    // The folder it lands in, whatever links and ".." lead there.
    const fs::path real = fs::weakly_canonical(fs::absolute(PathOf(destination), ec), ec);
    if (!ec) {
        const std::string folder = TextOf(real.parent_path().filename());
        for (const char* flights : kFlightFolders)
            if (SameFolderName(folder, flights)) refuse("it lies among the flight files of " + std::string(flights));
    }
    if (StartsWithFrame(destination)) refuse("it holds flight data");
}

}  // namespace krelby
