#include "export/jpeg_writer.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <memory>

#include <jpeglib.h>

#include "base/file.h"
#include "base/error.h"
#include "format/output_guard.h"

namespace krelby {
namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return; it jumps
// back to Compress with the message kept for the exception.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void ExitOnError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// No C++ objects with destructors live here, so the long jump skips nothing.
// The picture goes to memory first, so the file is written in one piece or not at all.
bool Compress(unsigned char** out, unsigned long* outSize, int width, int height, const uint8_t* rgb,
              char* message) {
    jpeg_compress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.base);
    err.base.error_exit = ExitOnError;
    err.message[0] = '\0';
    if (setjmp(err.jump)) {
        std::memcpy(message, err.message, JMSG_LENGTH_MAX);
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, out, outSize);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    // Colour at every pixel (4:4:4): the chart's one-pixel coloured lines stay sharp, where
    // libjpeg's default halves the colour's resolution and smears them.
    for (int c = 0; c < cinfo.num_components; ++c) {
        cinfo.comp_info[c].h_samp_factor = 1;
        cinfo.comp_info[c].v_samp_factor = 1;
    }
    // A screen's 96 dots per inch, so that a picture placed in a document has the chart's size.
    cinfo.density_unit = 1;
    cinfo.X_density = 96;
    cinfo.Y_density = 96;
    jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    const size_t stride = static_cast<size_t>(width) * 3;
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb + cinfo.next_scanline * stride);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

}  // namespace

void WriteJpeg(const std::string& path, int width, int height, std::span<const uint8_t> rgb,
               const std::string& source) {
    if (!source.empty()) RefuseInputAsOutput(path, source);
    RefuseFlightDataAsOutput(path);
    if (width <= 0 || height <= 0 || rgb.size() != static_cast<size_t>(width) * height * 3)
        throw Error("No picture to write to " + path);
    unsigned char* data = nullptr;
    unsigned long size = 0;
    char message[JMSG_LENGTH_MAX] = {};
    const bool ok = Compress(&data, &size, width, height, rgb.data(), message);
    std::unique_ptr<unsigned char, decltype(&std::free)> owned(data, &std::free);
    if (!ok) throw Error(std::string(message) + ": " + path);

    // Written beside the target and renamed over it, so a failure leaves no half file.
    AtomicFile file;
    RemoveStaleTemporariesOf(path);  // left by an earlier save of this file that was killed
    if (file.Create(path) != 0) throw Error(CannotCreateFile(path));
    if (file.Write(data, size) != 0) throw Error("Cannot write file " + path);
    if (file.Commit() != 0) throw Error(CannotCreateFile(path));
}

}  // namespace krelby
