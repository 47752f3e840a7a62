#include "cindra/util/Png.hpp"

#include "cindra/Error.hpp"

#include "support/TempDir.hpp"

#include <gtest/gtest.h>
#include <png.h>

#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using cindra::Error;
using cindra::test::TempDir;
using cindra::util::Color;
using cindra::util::Image;
using cindra::util::readPng;
using cindra::util::writePng;

namespace {

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

Image testImage(int w, int h) {
    Image img(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            img.setPixel(x, y,
                         Color(static_cast<std::uint8_t>(x * 37 + y),
                               static_cast<std::uint8_t>(y * 91 + 5),
                               static_cast<std::uint8_t>(x ^ y)));
        }
    }
    return img;
}

// Writes a PNG of another colour type with libpng's simplified interface.
void writeWithLibpng(const std::string& path, int w, int h, png_uint_32 format,
                     const std::vector<std::uint8_t>& pixels,
                     const std::vector<std::uint8_t>& colormap = {}) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(w);
    image.height = static_cast<png_uint_32>(h);
    image.format = format;
    image.colormap_entries = static_cast<png_uint_32>(colormap.size() / 3);
    ASSERT_TRUE(png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0,
                                        colormap.empty() ? nullptr : colormap.data()))
        << image.message;
}

std::uint32_t crc32(const std::string& bytes) {
    std::uint32_t crc = 0xFFFFFFFF;
    for (unsigned char b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ (0xEDB88320 & (0 - (crc & 1)));
        }
    }
    return ~crc;
}

void putBigEndian(std::string& bytes, std::size_t at, std::uint32_t v) {
    for (int k = 0; k < 4; ++k) {
        bytes[at + static_cast<std::size_t>(k)] = static_cast<char>(v >> (24 - 8 * k));
    }
}

// A valid PNG whose header claims the given size (the header's checksum is kept valid).
std::string pngClaiming(const std::string& validPng, std::uint32_t w, std::uint32_t h) {
    std::string bytes = validPng;
    putBigEndian(bytes, 16, w); // signature 8, chunk length 4, "IHDR" 4
    putBigEndian(bytes, 20, h);
    putBigEndian(bytes, 29, crc32(bytes.substr(12, 17)));
    return bytes;
}

void expectReadError(const std::string& path, const std::string& reason) {
    try {
        readPng(path);
        FAIL() << "no error reading " << path;
    } catch (const Error& e) {
        std::string message = e.what();
        EXPECT_NE(message.find(path), std::string::npos) << message;
        EXPECT_NE(message.find(reason), std::string::npos) << message;
    }
}

} // namespace

TEST(Png, RoundTripsRgb) {
    TempDir dir("cindra-png");
    Image img = testImage(13, 7);
    writePng(dir.file("a.png"), img);
    Image back = readPng(dir.file("a.png"));
    EXPECT_EQ(back.width, 13);
    EXPECT_EQ(back.height, 7);
    EXPECT_EQ(back, img);
    EXPECT_EQ(back.pixel(12, 6), img.pixel(12, 6));
    // Overwriting an existing file replaces it and leaves no temporary file behind.
    writePng(dir.file("a.png"), testImage(2, 3));
    EXPECT_EQ(readPng(dir.file("a.png")), testImage(2, 3));
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"a.png"});
}

TEST(Png, ReadsGreyPalettedAndAlphaImagesAsRgb) {
    TempDir dir("cindra-png");
    writeWithLibpng(dir.file("grey.png"), 2, 1, PNG_FORMAT_GRAY, {0, 200});
    Image grey = readPng(dir.file("grey.png"));
    EXPECT_EQ(grey.pixel(0, 0), Color(0, 0, 0));
    EXPECT_EQ(grey.pixel(1, 0), Color(200, 200, 200));

    writeWithLibpng(dir.file("ga.png"), 1, 1, PNG_FORMAT_GA, {90, 0});
    EXPECT_EQ(readPng(dir.file("ga.png")).pixel(0, 0), Color(90, 90, 90));

    // Alpha is dropped, not composited: a transparent pixel keeps its colour.
    writeWithLibpng(dir.file("rgba.png"), 2, 1, PNG_FORMAT_RGBA, {10, 20, 30, 0, 1, 2, 3, 255});
    Image rgba = readPng(dir.file("rgba.png"));
    EXPECT_EQ(rgba.pixel(0, 0), Color(10, 20, 30));
    EXPECT_EQ(rgba.pixel(1, 0), Color(1, 2, 3));

    std::vector<std::uint8_t> colormap = {255, 0, 0, 0, 255, 0, 7, 8, 9};
    writeWithLibpng(dir.file("pal.png"), 3, 2, PNG_FORMAT_RGB_COLORMAP, {2, 1, 0, 0, 0, 2},
                    colormap);
    Image pal = readPng(dir.file("pal.png"));
    EXPECT_EQ(pal.pixel(0, 0), Color(7, 8, 9));
    EXPECT_EQ(pal.pixel(1, 0), Color(0, 255, 0));
    EXPECT_EQ(pal.pixel(2, 1), Color(7, 8, 9));
    EXPECT_EQ(pal.pixel(0, 1), Color(255, 0, 0));
}

TEST(Png, BadFilesRaiseErrorsNamingTheFile) {
    TempDir dir("cindra-png");
    expectReadError(dir.file("missing.png"), "No such file");

    writeBytes(dir.file("text.png"), "this is not a picture at all");
    expectReadError(dir.file("text.png"), "not a PNG");
    writeBytes(dir.file("empty.png"), "");
    expectReadError(dir.file("empty.png"), "not a PNG");

    writePng(dir.file("good.png"), testImage(64, 64));
    std::string good = readBytes(dir.file("good.png"));
    for (std::size_t size : {std::size_t{8}, std::size_t{20}, good.size() / 2, good.size() - 1}) {
        writeBytes(dir.file("cut.png"), good.substr(0, size));
        expectReadError(dir.file("cut.png"), "");
    }
    std::string damaged = good;
    damaged[good.size() / 2] = static_cast<char>(damaged[good.size() / 2] ^ 0x55);
    writeBytes(dir.file("damaged.png"), damaged);
    expectReadError(dir.file("damaged.png"), "");

    // Absurd sizes are refused from the header, before any pixel memory is taken.
    writeBytes(dir.file("wide.png"), pngClaiming(good, 1000000, 1));
    expectReadError(dir.file("wide.png"), "");
    writeBytes(dir.file("huge.png"), pngClaiming(good, 16000, 16000));
    expectReadError(dir.file("huge.png"), "16000 x 16000");

    expectReadError(dir.file(""), ""); // a folder
}

TEST(Png, FailedWritesLeaveNoTraceAndKeepTheOldFile) {
    TempDir dir("cindra-png");
    std::string inMissingFolder = dir.file("nowhere/a.png");
    EXPECT_THROW(writePng(inMissingFolder, testImage(4, 4)), Error);
    EXPECT_TRUE(dir.entries().empty());

    writePng(dir.file("keep.png"), testImage(4, 4));
    std::string before = readBytes(dir.file("keep.png"));

    Image inconsistent = testImage(4, 4);
    inconsistent.rgb.pop_back();
    EXPECT_THROW(writePng(dir.file("keep.png"), inconsistent), Error);
    EXPECT_THROW(writePng(dir.file("keep.png"), Image{}), Error);

    // A write that fails half-way (the file size limit is hit): the old file stays intact.
    Image noise(512, 512);
    std::srand(7);
    for (auto& b : noise.rgb) {
        b = static_cast<std::uint8_t>(std::rand());
    }
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit oldLimit{};
    getrlimit(RLIMIT_FSIZE, &oldLimit);
    rlimit small = oldLimit;
    small.rlim_cur = 65536;
    setrlimit(RLIMIT_FSIZE, &small);
    bool threw = false;
    try {
        writePng(dir.file("keep.png"), noise);
    } catch (const Error& e) {
        threw = std::string(e.what()).find("keep.png") != std::string::npos;
    }
    setrlimit(RLIMIT_FSIZE, &oldLimit);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(threw);
    EXPECT_EQ(readBytes(dir.file("keep.png")), before);
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"keep.png"});
}

TEST(Png, ImageSizeIsChecked) {
    EXPECT_THROW(Image(0, 5), Error);
    EXPECT_THROW(Image(5, -1), Error);
    EXPECT_THROW(Image(cindra::util::kMaxImageSide + 1, 1), Error);
    Image img(3, 2);
    EXPECT_EQ(img.rgb.size(), 18u);
    EXPECT_EQ(img.pixel(2, 1), Color(0, 0, 0));
}
