#include "export/jpeg_writer.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <jpeglib.h>

#include "format/error.h"

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
bool Compress(std::FILE* file, int width, int height, const uint8_t* rgb, char* message) {
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
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
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

// New files get the usual permissions, as a plain create would give them.
mode_t CreationMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

}  // namespace

void WriteJpeg(const std::string& path, int width, int height, std::span<const uint8_t> rgb) {
    if (width <= 0 || height <= 0 || rgb.size() != static_cast<size_t>(width) * height * 3)
        throw Error("No picture to write to " + path);
    // Written beside the target and renamed over it, so a failure leaves no half file.
    std::string temp = path + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) throw Error("Cannot create file " + path);
    fchmod(fd, CreationMode());
    std::FILE* file = fdopen(fd, "wb");
    if (!file) {
        close(fd);
        unlink(temp.c_str());
        throw Error("Cannot create file " + path);
    }
    char message[JMSG_LENGTH_MAX] = {};
    const bool ok = Compress(file, width, height, rgb.data(), message);
    const bool flushed = std::fflush(file) == 0 && fsync(fileno(file)) == 0;
    const bool closed = std::fclose(file) == 0;
    if (!ok || !flushed || !closed) {
        unlink(temp.c_str());
        throw Error(ok ? "Cannot write file " + path : std::string(message) + ": " + path);
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        unlink(temp.c_str());
        throw Error("Cannot create file " + path);
    }
}

}  // namespace krelby
