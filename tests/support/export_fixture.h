// Flight files made of Frames in a program folder of their own, for the export tests.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/messages.h"
#include "support/shown_flight.h"
#include "support/temp_folder.h"

namespace krelby::exporttest {

using testing::Frame;
using testing::GpsAt;
using testing::ReadFile;
using testing::TempFolder;
using testing::WriteFile;
using testing::WriteFrames;

// A FlightMessage of 14 March 2024 at 10:mm:ss with its pressure altitude.
inline testing::FlightFrame FlightAt(int minute, int second, int32_t pAltitude = 0) {
    return testing::FlightAt(minute, second).PAltitude(pAltitude);
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
        session.CurrentFlightFile = WriteFrames(folder / name, frames);
        return session.CurrentFlightFile;
    }
};

}  // namespace krelby::exporttest
