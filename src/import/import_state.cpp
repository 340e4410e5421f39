#include "import/import_state.h"

#include "base/file.h"
#include "format/messages.h"

namespace krelby {

ImportState::ImportState(const std::string& programFolder, const std::string& folderName,
                         const Regional& regional, uint64_t recordingSize, std::function<void()> prepare)
    : programFolder_(programFolder),
      folderName_(folderName),
      prepare_(std::move(prepare)),
      namer_(programFolder + folderName + "/", regional),
      writer_(namer_, recordingSize) {}

void ImportState::OnFrame(FrameType type, const uint8_t* frame, size_t size) {
    ++validFrames_;
    if (type == FrameType::Flight) WriteFlightMessage(frame, size);
    else if (writeEnabled_) writer_.Append(frame, size);
}

void ImportState::WriteFlightMessage(const uint8_t* frame, size_t size) {
    // The Frame goes out as recorded; a Second above 59 is clamped only in the computed time.
    const MessageTime time = clock_.Of(FlightMessage(frame));
    if (time.status != DateStatus::Ok) {
        // Undated and undatable messages are neither timed nor written; the import goes on.
        if (time.status != DateStatus::NoDate && countInvalid_) ++skippedInvalid_;
        return;
    }
    // The Frame's place in the stream: a Frame cut by the end of the recording and completed
    // by the second pass begins before the pass's first byte.
    const int64_t offset = scanner_ ? pieceOffset_ + int64_t(scanner_->Consumed()) - int64_t(size) : -1;
    const bool opens = !writer_.IsOpen() && !secondPass_;
    FlightSplitter(time.value);
    if (opens) openerOffset_ = offset;
    if (!secondPass_ || writer_.IsOpen()) {
        if (secondPass_ && offset >= 0 && offset == openerOffset_) {
            // The message that opened the first flight now continues the last one, and the
            // rest of the first flight follows it there: its own file may go once the last
            // flight's file, holding these Frames, is in place.
            firstFlightJoined_ = true;
        }
        writeEnabled_ = true;
        writer_.Append(frame, size);
    }
}

void ImportState::FlightSplitter(double t) {
    previousSampleTime_ = currentSampleTime_;
    currentSampleTime_ = t;
    if (!(t > previousSampleTime_ + kOneMinute || t < previousSampleTime_ - kOneMinute)) return;
    const bool first = !writer_.IsOpen();
    if (!first) {
        CloseFlightFile();
        if (secondPass_) return;
    }
    if (first) {
        firstFlightTime_ = t;
        if (prepare_) prepare_();
        prepare_ = nullptr;
        RemoveStaleTemporaryFiles(programFolder_ + folderName_, IsFlightFileName);  // left by a killed import
        namer_.ReadFolder();
    }
    firstFlightOpen_ = first;
    writer_.Create(t);
    ++flightCount_;
}

void ImportState::CloseFlightFile() {
    const std::string name = writer_.Close();
    if (firstFlightOpen_ && !secondPass_) {
        firstFlightOpen_ = false;
        firstFlightName_ = name;  // empty when an earlier import has it: nothing of ours to remove
    }
    if (secondPass_ && firstFlightJoined_ && !firstFlightRemoved_ && !firstFlightName_.empty()) {
        firstFlightRemoved_ = true;
        RemoveFile(programFolder_ + folderName_ + "/" + firstFlightName_);
        namer_.Removed(firstFlightName_);
    }
}

void ImportState::Finish() {
    CloseFlightFile();
    if (flightCount_ > 0) namer_.RemoveEarlierCopies();
}

bool ImportState::WrapDetected() const {
    return flightCount_ >= 2 && firstFlightTime_ - kFiveSeconds > currentSampleTime_;
}

}  // namespace krelby
