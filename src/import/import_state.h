// The state of one import: the Frame writers (the scanner's completion actions), the
// FlightSplitter and the open flight file. Internal and SD card imports share it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "format/datetime.h"
#include "format/frame_scanner.h"
#include "format/messages.h"
#include "import/flight_file_writer.h"
#include "import/flight_file_namer.h"

namespace krelby {

class ImportState : public FrameHandler {
public:
    // `folderName` is "Flights_INT" or "Flights_SD"; `programFolder` ends in '/'.
    // `prepare` runs once, before the first flight file is made, to make the folder the
    // import's alone (its lock); then what the folder holds is noted.
    ImportState(const std::string& programFolder, const std::string& folderName,
                const Regional& regional, uint64_t recordingSize, std::function<void()> prepare);

    // The scanner that feeds this state, and where in the pass's stream (its bytes counted
    // from the recording's start, block headers left out) the piece it is fed next begins:
    // together they give each Frame's place.
    void Watch(const FrameScanner& scanner) { scanner_ = &scanner; }
    void SetPieceOffset(int64_t offset) { pieceOffset_ = offset; }

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
    // Closes the flight file, writing out what it holds; then removes the earlier copies of
    // the flights written.
    void Finish();

    bool FlightFileOpen() const { return writer_.IsOpen(); }
    int32_t FlightCount() const { return flightCount_; }
    int32_t SkippedInvalidDates() const { return skippedInvalid_; }
    int32_t AlreadyImported() const { return writer_.AlreadyImported(); }
    int64_t ValidFrames() const { return validFrames_; }

private:
    void WriteFlightMessage(const uint8_t* frame, size_t size);
    void FlightSplitter(double t);
    // Renames the flight file into place; after a wrap, then removes the first flight's file.
    void CloseFlightFile();

    std::string programFolder_, folderName_;
    std::function<void()> prepare_;
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
    std::string firstFlightName_;  // in the flight folder; empty while there is none of ours
    bool writeEnabled_ = false;
    bool secondPass_ = false;
    bool countInvalid_ = true;
    // Where the FlightMessage that opened the first flight begins in the stream: only that
    // very Frame, taken into the last flight by the second pass, joins the first flight to it.
    int64_t openerOffset_ = -1;
    MessageClock clock_;
    const FrameScanner* scanner_ = nullptr;
    int64_t pieceOffset_ = 0;
    bool firstFlightJoined_ = false;
    bool firstFlightRemoved_ = false;
};

}  // namespace krelby
