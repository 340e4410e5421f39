// Flight files made of Frames in a program folder of their own, for the export tests.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "export_test_folder.h"
#include "format/frame_builder.h"
#include "shown_flight.h"

namespace krelby::exporttest {

using Frame = std::vector<uint8_t>;

// A FlightMessage of 14 March 2024 at 10:mm:ss with its pressure altitude.
inline FrameBuilder FlightAt(int minute, int second, int32_t pAltitude = 0) {
    FrameBuilder b(FrameType::Flight);
    b.i32(8, pAltitude).u8(32, 10).u8(33, static_cast<uint8_t>(minute)).u8(34, static_cast<uint8_t>(second));
    b.u8(35, 14).u8(36, 3).u8(37, 24);
    return b;
}

inline FrameBuilder GpsAt(int32_t latitude, int32_t longitude, int32_t altitude, uint8_t satellites = 0) {
    FrameBuilder b(FrameType::Gps);
    b.i32(8, latitude).i32(12, longitude).i32(16, altitude).u8(43, satellites);
    return b;
}

struct ExportTest : ::testing::Test {
    TempFolder folder;
    krelby::testing::ShownFlight session;

    void SetUp() override {
        session.ProgramFolder = folder.path();
        std::filesystem::create_directory(folder / "Exports");
    }
    void Tick(const std::vector<int>& boxes, bool on = true) {
        for (int b : boxes) session.settings.selection.Set(b, on);
    }
    // Writes the flight file and makes it the current flight.
    std::string Flight(const std::vector<Frame>& frames, const std::string& name = "240314.FLT") {
        std::string bytes;
        for (const auto& f : frames) bytes.append(f.begin(), f.end());
        WriteFile(folder / name, bytes);
        session.CurrentFlightFile = folder / name;
        return session.CurrentFlightFile;
    }
};

}  // namespace krelby::exporttest
