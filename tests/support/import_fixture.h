// Recordings built from Frames, a scratch program folder, and reading back the flight files.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif
#include <vector>

#include "base/error.h"
#include "import/import.h"
#include "support/messages.h"
#include "support/temp_folder.h"

namespace krelby::test {

using testing::Bytes;
using testing::Cat;
using testing::WriteFile;
namespace fs = std::filesystem;

// A FlightMessage `offset` seconds after 10:00:00 on 5 March 2014; `mark` identifies it.
inline Bytes Fm(int offset, int32_t mark = 0) {
    return testing::FlightFrame().PAltitude(mark).ClockAt(36000 + offset).Date(5, 3, 14).Sealed();
}
inline Bytes Raw(int hour, int minute, int second, int day, int month) {
    return testing::FlightFrame().Clock(hour, minute, second).Date(day, month, 14).Sealed();
}
inline Bytes Gps(int32_t mark) { return testing::GpsFrame().Latitude(mark).Sealed(); }
inline Bytes Fuel(uint8_t L, int32_t mark) { return testing::FuelFrame(L).Count(mark).Sealed(); }

// A flight: FlightMessages at `start`..`start + seconds - 1`, each followed by a GpsMessage.
inline Bytes Flight(int start, int seconds) {
    Bytes out;
    for (int i = 0; i < seconds; ++i) out = Cat({out, Fm(start + i, i), Gps(start + i)});
    return out;
}

// Packs a Frame stream into 512-byte blocks; the headers look like the start of a Frame,
// so a header fed to the scanner by mistake would show.
inline Bytes Blocks(const Bytes& stream, size_t zeroBlock = SIZE_MAX) {
    Bytes out;
    for (size_t at = 0, block = 0; at < stream.size(); at += 508, ++block) {
        const Bytes header = block == zeroBlock ? Bytes{0, 0, 0, 0} : Bytes{0x05, 0x02, 0x18, 0xE7};
        out = Cat({out, header, Bytes(stream.begin() + long(at), stream.begin() + long(std::min(at + 508, stream.size())))});
    }
    return out;
}

class ImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(root + "Flights_INT");
        fs::create_directory(root + "Flights_SD");
    }

    ImportResult Import(const Bytes& recording, RecordingKind kind = RecordingKind::Internal, Regional r = {}) {
        WriteFile(root + "rec.dat", recording);
        return ImportRecording(root + "rec.dat", kind, root, r, checks);
    }
    // Flight file name -> content.
    std::map<std::string, Bytes> Flights(const char* folder = "Flights_INT") {
        std::map<std::string, Bytes> out;
        for (const auto& e : fs::directory_iterator(root + folder)) out[e.path().filename().string()] = testing::ReadBytes(e.path().string());
        return out;
    }
#ifndef _WIN32
    // Runs `fn` in a child process (as an unprivileged user when asked) and returns its text.
    std::string InChild(std::function<std::string()> fn, bool unprivileged = false) {
        int fds[2];
        if (pipe(fds) != 0) return "pipe failed";
        const pid_t pid = fork();
        if (pid == 0) {
            close(fds[0]);
            if (unprivileged && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(3);
            std::string text;
            try { text = fn(); } catch (const std::exception& e) { text = e.what(); }
            if (write(fds[1], text.data(), text.size()) < 0) _exit(2);
            _exit(0);
        }
        close(fds[1]);
        std::string text;
        char buf[512];
        for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) text.append(buf, size_t(n));
        close(fds[0]);
        waitpid(pid, nullptr, 0);
        return text;
    }

#endif
    testing::TempFolder folder;
    std::string root = folder.path();
    ChecksumOptions checks;
};

}  // namespace krelby::test
