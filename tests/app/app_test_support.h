// What the window tests share: a program of their own and flight files built from Frames.
#pragma once
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "app/application.h"
#include "app/scripted_prompter.h"
#include "support/messages.h"

namespace krelby::testing {

// A FlightMessage of 14 March 2024 at 10:mm:ss, at 90 kt and the given pressure altitude.
inline Frame Airborne(int minute, int second, int32_t altitude = 1000) {
    return FlightAt(minute, second).PAltitude(altitude).ASI(900).Sealed();
}

// A minute of flight from 10:`minute`:00: one FlightMessage (the altitude 1000 ft and 10 ft
// more each second) and one GpsMessage a second.
inline std::vector<Frame> OneMinuteFlight(int minute = 1) {
    std::vector<Frame> frames;
    for (int s = 0; s < 60; ++s) {
        frames.push_back(Airborne(minute, s, 1000 + 10 * s));
        frames.push_back(GpsAt(-4860000, 27000000 + s, 1000).Sealed());
    }
    return frames;
}

inline void WriteFrames(const QString& path, const std::vector<Frame>& frames) {
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    for (const Frame& f : frames) file.write(reinterpret_cast<const char*>(f.data()), qint64(f.size()));
}

// An internal recording: the Frames in 512-byte blocks with a 4-byte header each.
inline void WriteRecording(const QString& path, const std::vector<Frame>& frames, uint32_t header = 1) {
    std::vector<uint8_t> stream;
    for (const Frame& f : frames) stream.insert(stream.end(), f.begin(), f.end());
    QByteArray bytes;
    for (size_t i = 0; i < stream.size(); i += 508) {
        uint8_t h[4];
        put32le(h, 0, header);
        bytes.append(reinterpret_cast<const char*>(h), 4);
        bytes.append(reinterpret_cast<const char*>(stream.data() + i), qsizetype(std::min<size_t>(508, stream.size() - i)));
    }
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
}

// One run of the program in its own folder, answering dialogs from `prompter`.
struct Run {
    explicit Run(const QString& folder) : app((folder + "/").toStdString(), &prompter) {}
    ScriptedPrompter prompter;
    Application app;
    MainWindow& window() { return app.window(); }
    Session& session() { return app.session(); }
};

}  // namespace krelby::testing
