// The JPEG writer: a progressive, three-component, quality 90 file of the picture's size,
// and errors that leave nothing behind.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>


#include "export/jpeg_writer.h"
#include "base/error.h"
#include "support/jpeg_decode.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;
using krelby::WriteJpeg;

namespace {

using krelby::testing::TempFolder;

std::vector<fs::path> FilesIn(const TempFolder& folder) {
    std::vector<fs::path> out;
    for (const auto& e : fs::directory_iterator(folder.path())) out.push_back(e.path());
    return out;
}

std::vector<uint8_t> Bytes(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Left third red, middle green, right blue.
std::vector<uint8_t> Stripes(int w, int h) {
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
            p[x * 3 / w] = 255;
        }
    return rgb;
}

using Decoded = krelby::testing::DecodedJpeg;
Decoded Decode(const std::vector<uint8_t>& file) { return krelby::testing::DecodeJpeg(file); }

bool HasMarker(const std::vector<uint8_t>& f, uint8_t marker) {
    for (size_t i = 0; i + 1 < f.size(); ++i)
        if (f[i] == 0xFF && f[i + 1] == marker) return true;
    return false;
}

}  // namespace

TEST(JpegWriter, PictureSizesGiveProgressiveThreeComponentFiles) {
    struct Case {
        int w, h;
    };
    for (Case c : {Case{764, 530}, Case{1, 1}, Case{17, 9}, Case{1, 300}}) {
        TempFolder dir;
        const fs::path file = fs::path(dir.path()) / "chart.JPG";
        WriteJpeg(file.string(), c.w, c.h, Stripes(c.w, c.h));
        const auto bytes = Bytes(file);
        ASSERT_GT(bytes.size(), 4u);
        EXPECT_EQ(bytes[0], 0xFF);
        EXPECT_EQ(bytes[1], 0xD8);
        EXPECT_TRUE(HasMarker(bytes, 0xC2)) << "no progressive frame for " << c.w << "x" << c.h;
        EXPECT_FALSE(HasMarker(bytes, 0xC0));
        const Decoded d = Decode(bytes);
        EXPECT_EQ(d.width, c.w);
        EXPECT_EQ(d.height, c.h);
        EXPECT_EQ(d.components, 3);
        EXPECT_TRUE(d.progressive);
        EXPECT_EQ(FilesIn(dir).size(), 1u) << "a temporary file was left";
    }
}

TEST(JpegWriter, QuantizationIsTheStandardTableScaledForQuality90) {
    // The standard luminance table, natural order; quality 90 scales it by 20 %.
    static const unsigned standard[64] = {
        16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,
        14, 13, 16, 24, 40,  57,  69,  56,  14, 17, 22, 29, 51,  87,  80,  62,
        18, 22, 37, 56, 68,  109, 103, 77,  24, 35, 55, 64, 81,  104, 113, 92,
        49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99};
    TempFolder dir;
    const fs::path file = fs::path(dir.path()) / "q.jpg";
    WriteJpeg(file.string(), 16, 16, Stripes(16, 16));
    const Decoded d = Decode(Bytes(file));
    for (int i = 0; i < 64; ++i) {
        const unsigned expected = std::max(1u, (standard[i] * 20 + 50) / 100);
        EXPECT_EQ(d.luminanceTable[i], expected) << "entry " << i;
    }
}

TEST(JpegWriter, ColoursKeepTheirChannels) {
    TempFolder dir;
    const fs::path file = fs::path(dir.path()) / "c.jpg";
    const int w = 96, h = 32;
    WriteJpeg(file.string(), w, h, Stripes(w, h));
    const Decoded d = Decode(Bytes(file));
    // The middle of each stripe: red, green, blue in that order.
    for (int stripe = 0; stripe < 3; ++stripe) {
        const uint8_t* p = &d.rgb[(static_cast<size_t>(h / 2) * w + stripe * 32 + 16) * 3];
        for (int ch = 0; ch < 3; ++ch) {
            if (ch == stripe) EXPECT_GT(p[ch], 200) << stripe;
            else EXPECT_LT(p[ch], 60) << stripe;
        }
    }
}

// Thin coloured lines stay sharp: colour is kept at every pixel (4:4:4), and the header says
// 96 dots per inch, a screen's.
TEST(JpegWriter, FullColourResolutionAnd96Dpi) {
    TempFolder dir;
    const fs::path file = fs::path(dir.path()) / "line.jpg";
    const int w = 32, h = 16;
    std::vector<uint8_t> rgb(static_cast<size_t>(w) * h * 3, 255);
    for (int y = 0; y < h; ++y) {  // a one-pixel red line down column 9 on white
        uint8_t* p = &rgb[(static_cast<size_t>(y) * w + 9) * 3];
        p[1] = p[2] = 0;
    }
    WriteJpeg(file.string(), w, h, rgb);
    const Decoded d = Decode(Bytes(file));
    EXPECT_EQ(d.sampling, (std::vector<int>{1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(d.densityUnit, 1);
    EXPECT_EQ(d.xDensity, 96);
    EXPECT_EQ(d.yDensity, 96);
    const uint8_t* line = &d.rgb[(static_cast<size_t>(h / 2) * w + 9) * 3];
    EXPECT_GT(line[0], 200);
    EXPECT_LT(line[1], 90) << "the red line lost its colour";
}

TEST(JpegWriter, ReplacesAnExistingFile) {
    TempFolder dir;
    const fs::path file = fs::path(dir.path()) / "old.JPG";
    std::ofstream(file) << "not a picture";
    WriteJpeg(file.string(), 8, 8, Stripes(8, 8));
    EXPECT_EQ(Decode(Bytes(file)).width, 8);
    EXPECT_EQ(FilesIn(dir).size(), 1u);
}

TEST(JpegWriter, FailuresNameTheFileAndLeaveNothing) {
    TempFolder dir;
    const std::string missing = (fs::path(dir.path()) / "no such folder" / "x.JPG").string();
    try {
        WriteJpeg(missing, 4, 4, Stripes(4, 4));
        FAIL() << "no error";
    } catch (const krelby::Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + missing);
    }
    // A folder in the way: nothing replaces it and no temporary file stays beside it.
    const fs::path folder = fs::path(dir.path()) / "taken.JPG";
    fs::create_directory(folder);
    try {
        WriteJpeg(folder.string(), 4, 4, Stripes(4, 4));
        FAIL() << "no error";
    } catch (const krelby::Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file " + folder.string());
    }
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_EQ(FilesIn(dir).size(), 1u);
}

TEST(JpegWriter, PicturesWithoutPixelsOrWithTooFewBytesAreRefused) {
    TempFolder dir;
    const std::string path = (fs::path(dir.path()) / "bad.JPG").string();
    EXPECT_THROW(WriteJpeg(path, 0, 10, {}), krelby::Error);
    EXPECT_THROW(WriteJpeg(path, 10, 0, {}), krelby::Error);
    EXPECT_THROW(WriteJpeg(path, 4, 4, Stripes(4, 3)), krelby::Error);
    EXPECT_TRUE(FilesIn(dir).empty());
}
