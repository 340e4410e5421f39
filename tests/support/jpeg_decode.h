// A JPEG file decoded with libjpeg-turbo, to check what the writers made of a picture.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace krelby::testing {

struct DecodedJpeg {
    int width = 0, height = 0, components = 0;
    bool progressive = false;
    std::vector<unsigned> luminanceTable;  // natural order
    std::vector<int> sampling;             // each component's horizontal and vertical factor
    int densityUnit = 0, xDensity = 0, yDensity = 0;  // of the JFIF header (1: dots per inch)
    std::vector<uint8_t> rgb;
};

inline DecodedJpeg DecodeJpeg(const uint8_t* data, size_t size) {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, size);
    jpeg_read_header(&cinfo, TRUE);
    DecodedJpeg d;
    d.width = static_cast<int>(cinfo.image_width);
    d.height = static_cast<int>(cinfo.image_height);
    d.components = cinfo.num_components;
    d.progressive = cinfo.progressive_mode;
    for (int c = 0; c < cinfo.num_components; ++c) {
        d.sampling.push_back(cinfo.comp_info[c].h_samp_factor);
        d.sampling.push_back(cinfo.comp_info[c].v_samp_factor);
    }
    d.densityUnit = cinfo.density_unit;
    d.xDensity = cinfo.X_density;
    d.yDensity = cinfo.Y_density;
    for (int i = 0; i < DCTSIZE2; ++i) d.luminanceTable.push_back(cinfo.quant_tbl_ptrs[0]->quantval[i]);
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    d.rgb.resize(static_cast<size_t>(d.width) * d.height * 3);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = &d.rgb[cinfo.output_scanline * static_cast<size_t>(d.width) * 3];
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return d;
}
inline DecodedJpeg DecodeJpeg(const std::vector<uint8_t>& file) { return DecodeJpeg(file.data(), file.size()); }
inline DecodedJpeg DecodeJpeg(const std::string& file) {
    return DecodeJpeg(reinterpret_cast<const uint8_t*>(file.data()), file.size());
}

}  // namespace krelby::testing
