// The state of one import: the Frame writers (the scanner's completion actions), the
// FlightSplitter and the open flight file. Internal and SD card imports share it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "format/datetime.h"
#include "format/frame_scanner.h"
#include "import/flight_file_writer.h"
#include "import/flight_file_name.h"

namespace krelby {

class ImportState : public FrameHandler {
public:
    // `folderName` is "Flights_INT" or "Flights_SD"; `programFolder` ends in '/'.
    ImportState(const std::string& programFolder, const std::string& folderName,
                const Regional& regional, uint64_t recordingSize);

    void OnFrame(FrameType type, const uint8_t* frame, size_t size) override;
    // The second pass ends when its first clock jump has closed the last flight file.
    bool StopScanning() const override { return secondPass_ && !writer_.IsOpen(); }

    // The recording's start is more than 5 seconds later than its end, and there is a
    // separate last flight to join it to.
    bool WrapDetected() const;
    void BeginSecondPass() { secondPass_ = true; countInvalid_ = false; }
    // While the Frame cut by the end of the recording is being completed in the second pass:
    // the first pass never saw it, so an invalid date in it is still to be counted.
    void SetCompletingCutFrame(bool on) { countInvalid_ = on; }
    // Closes the flight file, writing out what it holds.
    void Finish() { CloseFlightFile(); }

    bool FlightFileOpen() const { return writer_.IsOpen(); }
    int32_t FlightCount() const { return flightCount_; }
    int32_t SkippedInvalidDates() const { return skippedInvalid_; }
    int64_t ValidFrames() const { return validFrames_; }

private:
    void WriteFlightMessage(const uint8_t* frame, size_t size);
    void FlightSplitter(double t);
    // Renames the flight file into place; after a wrap, then removes the first flight's file.
    void CloseFlightFile();

    std::string programFolder_, folderName_;
    FlightFileNamer namer_;
    bool firstFlightOpen_ = false;  // the flight being written is the recording's first
    FlightFileWriter writer_;
    int32_t flightCount_ = 0;
    int32_t skippedInvalid_ = 0;
    int64_t validFrames_ = 0;
    // The sample clock: the time of the last FlightMessage taken, and of the one before.
    double currentSampleTime_ = 0.0;
    double previousSampleTime_ = 0.0;
    double firstFlightTime_ = 0.0;
    std::string firstFlightName_;  // relative to the program folder
    bool writeEnabled_ = false;
    bool secondPass_ = false;
    bool countInvalid_ = true;
    bool firstFlightJoined_ = false;
    bool firstFlightRemoved_ = false;
};

}  // namespace krelby
