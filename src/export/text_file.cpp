#include "export/text_file.h"

#include "base/error.h"
#include "format/output_guard.h"

namespace krelby {

TextFile::TextFile(std::string path, const InputFile* source) : path_(std::move(path)) {
    if (source) {
        const FileId id = source->Id();
        RefuseInputAsOutput(path_, source->Path(), &id);
    }
    RefuseFlightDataAsOutput(path_);
    RemoveStaleTemporariesOf(path_);  // left by an earlier export of this file that was killed
    if (const int err = file_.Create(path_)) throw Error(CannotCreateFile(path_, SystemErrorText(err)));
    buffer_.reserve(kFlushSize + 4096);
}

void TextFile::Flush() {
    if (buffer_.empty()) return;
    if (const int err = file_.Write(buffer_.data(), buffer_.size())) Fail(err);
    buffer_.clear();
}

void TextFile::Close() {
    if (!file_.IsOpen()) return;
    Flush();
    // Not forced to the disk: a CSV of a long flight is hundreds of megabytes, and an export
    // lost to a power cut is made again from its flight in seconds.
    if (const int err = file_.Commit(false)) Fail(err);
}

void TextFile::Fail(int err) {
    file_.Discard();
    buffer_.clear();
    throw Error(UnableToWriteTo(path_, SystemErrorText(err)));
}

}  // namespace krelby
