// Where a command's output goes: standard output, a device or FIFO written as it is, or a
// file written beside its target and renamed into place.
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <random>
#include <vector>

#include "base/error.h"
#include "base/file.h"
#include "cli/cli.h"
#include "export/text_file.h"

namespace krelby::cli {
namespace {

void ToStandardOutputWhole(const void* data, size_t size) {
    if (std::fwrite(data, 1, size, stdout) != size) throw Error(UnableToWriteTo(kStandardOutput, SystemErrorText(errno)));
}

// A device or FIFO opened to be written as it is; throws as an export that cannot create it.
void OpenSpecial(SpecialOutput& device, const std::string& path) {
    if (const int err = device.Open(path))
        throw Error(CannotCreateFile(path, err == kNotSpecialFile ? "it is no longer a device or FIFO"
                                                                  : SystemErrorText(err)));
}

}  // namespace

void WriteExport(const std::string& out, const std::function<void(const std::string& path)>& write) {
    const bool standard = ToStandardOutput(out);
    if (!standard && !IsSpecialOutput(out)) return write(out);
    std::random_device random;
    const uint64_t tag = (uint64_t{random()} << 32) ^ random();
    char hex[17] = {};
    std::to_chars(hex, hex + 16, tag, 16);
    const std::string path = TextOf(std::filesystem::temp_directory_path() / ("krelby-cli-" + std::string(hex)));
    struct Remove {
        const std::string& path;
        ~Remove() { RemoveFile(path); }
    } remove{path};
    write(path);
    InputFile file(path);
    RemoveFile(path);  // gone at once, even if a closed pipe ends the program while copying
    SpecialOutput device;
    if (!standard) OpenSpecial(device, out);  // a FIFO waits here for its reader
    std::vector<uint8_t> buffer(1 << 20);
    while (const size_t got = file.Read(buffer.data(), buffer.size())) {
        if (standard) ToStandardOutputWhole(buffer.data(), got);
        else if (const int err = device.Write(buffer.data(), got)) throw Error(UnableToWriteTo(out, SystemErrorText(err)));
    }
    if (!standard)
        if (const int err = device.Close()) throw Error(UnableToWriteTo(out, SystemErrorText(err)));
}

struct TextOutput::Impl {
    std::string path;  // empty: standard output
    SpecialOutput device;
    bool special = false;
    std::optional<TextFile> file;
};

TextOutput::TextOutput(const std::optional<std::string>& out, const std::string& input)
    : impl_(std::make_unique<Impl>()) {
    if (!out || ToStandardOutput(*out)) return;
    impl_->path = *out;
    if (IsSpecialOutput(*out)) {
        OpenSpecial(impl_->device, *out);
        impl_->special = true;
    } else {
        RefuseInputAsOutput(*out, input);
        impl_->file.emplace(*out);
    }
}

TextOutput::~TextOutput() = default;

void TextOutput::Write(std::string_view text) {
    if (impl_->file) return impl_->file->Text(text);
    if (!impl_->special) return ToStandardOutputWhole(text.data(), text.size());
    if (const int err = impl_->device.Write(text.data(), text.size()))
        throw Error(UnableToWriteTo(impl_->path, SystemErrorText(err)));
}

void TextOutput::Close() {
    if (impl_->file) impl_->file->Close();
    if (impl_->special)
        if (const int err = impl_->device.Close()) throw Error(UnableToWriteTo(impl_->path, SystemErrorText(err)));
}

}  // namespace krelby::cli
