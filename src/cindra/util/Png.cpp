#include "cindra/util/Png.hpp"

#include "cindra/Error.hpp"
#include "cindra/util/FileContents.hpp"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <string>

namespace cindra::util {

namespace {

// libpng reports errors with longjmp. The functions that call into it (readHeader, readRows,
// writeImage) keep only plain locals, so the jump skips no destructor; they return false and
// the C++ callers raise the Error afterwards with the message stored here.
struct PngContext {
    png_structp png = nullptr;
    png_infop info = nullptr;
    char message[200] = "unknown libpng error";
};

void onPngError(png_structp png, png_const_charp message) {
    auto* context = static_cast<PngContext*>(png_get_error_ptr(png));
    std::snprintf(context->message, sizeof context->message, "%s", message);
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

[[noreturn]] void failRead(const std::string& path, const std::string& reason) {
    throw Error("Cannot read PNG file " + path + ": " + reason);
}

[[noreturn]] void failWrite(const std::string& path, const std::string& reason) {
    throw Error("Cannot write PNG file " + path + ": " + reason);
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Reads the header and sets up the conversion of any colour type to 8-bit RGB.
bool readHeader(PngContext* c, std::FILE* file, png_uint_32* width, png_uint_32* height,
                std::size_t* rowBytes) {
    if (setjmp(png_jmpbuf(c->png))) {
        return false;
    }
    png_init_io(c->png, file);
    png_set_sig_bytes(c->png, 8);
    png_set_user_limits(c->png, kMaxImageSide, kMaxImageSide);
    png_read_info(c->png, c->info);
    png_set_strip_16(c->png);
    png_set_palette_to_rgb(c->png);
    png_set_expand_gray_1_2_4_to_8(c->png);
    png_set_gray_to_rgb(c->png);
    png_set_strip_alpha(c->png);
    png_set_interlace_handling(c->png);
    png_read_update_info(c->png, c->info);
    *width = png_get_image_width(c->png, c->info);
    *height = png_get_image_height(c->png, c->info);
    *rowBytes = png_get_rowbytes(c->png, c->info);
    return true;
}

bool readRows(PngContext* c, png_bytepp rows) {
    if (setjmp(png_jmpbuf(c->png))) {
        return false;
    }
    png_read_image(c->png, rows);
    png_read_end(c->png, nullptr);
    return true;
}

// Appends libpng's output to the std::string behind its io pointer.
void appendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::string*>(png_get_io_ptr(png));
    try {
        out->append(reinterpret_cast<const char*>(data), length);
    } catch (const std::exception&) {
        png_error(png, "out of memory"); // no C++ exception may cross libpng's C frames
    }
}

void flushNothing(png_structp) {}

bool writeImage(PngContext* c, std::string* out, int width, int height, png_bytepp rows) {
    if (setjmp(png_jmpbuf(c->png))) {
        return false;
    }
    png_set_write_fn(c->png, out, appendBytes, flushNothing);
    png_set_IHDR(c->png, c->info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height),
                 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(c->png, c->info);
    png_write_image(c->png, rows);
    png_write_end(c->png, nullptr);
    return true;
}

class PngReader {
public:
    PngReader() {
        c_.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &c_, onPngError, onPngWarning);
        c_.info = c_.png ? png_create_info_struct(c_.png) : nullptr;
    }
    ~PngReader() { png_destroy_read_struct(&c_.png, &c_.info, nullptr); }
    PngReader(const PngReader&) = delete;
    PngReader& operator=(const PngReader&) = delete;
    PngContext* context() { return c_.info ? &c_ : nullptr; }

private:
    PngContext c_;
};

class PngWriter {
public:
    PngWriter() {
        c_.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &c_, onPngError, onPngWarning);
        c_.info = c_.png ? png_create_info_struct(c_.png) : nullptr;
    }
    ~PngWriter() { png_destroy_write_struct(&c_.png, &c_.info); }
    PngWriter(const PngWriter&) = delete;
    PngWriter& operator=(const PngWriter&) = delete;
    PngContext* context() { return c_.info ? &c_ : nullptr; }

private:
    PngContext c_;
};

// Row pointers into an image's pixels, in the form libpng takes them.
std::vector<png_bytep> rowPointers(const Image& img) {
    std::vector<png_bytep> rows(static_cast<std::size_t>(img.height));
    for (int y = 0; y < img.height; ++y) {
        rows[static_cast<std::size_t>(y)] =
            const_cast<png_bytep>(img.rgb.data() + img.offset(0, y));
    }
    return rows;
}

void checkSize(long long width, long long height, const std::string& what) {
    if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide ||
        width * height > kMaxImagePixels) {
        throw Error(what + ": image size " + std::to_string(width) + " x " +
                    std::to_string(height) + " is out of range");
    }
}

} // namespace

Image::Image(int w, int h) : width(w), height(h) {
    checkSize(w, h, "Cannot create image");
    rgb.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h) * 3, 0);
}

Image readPng(const std::string& path) {
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        failRead(path, std::strerror(errno));
    }
    png_byte signature[8] = {};
    if (std::fread(signature, 1, sizeof signature, file.get()) != sizeof signature ||
        png_sig_cmp(signature, 0, sizeof signature) != 0) {
        failRead(path, "not a PNG file");
    }
    PngReader reader;
    PngContext* c = reader.context();
    if (!c) {
        failRead(path, "out of memory");
    }
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    std::size_t rowBytes = 0;
    if (!readHeader(c, file.get(), &width, &height, &rowBytes)) {
        failRead(path, c->message);
    }
    checkSize(width, height, "Cannot read PNG file " + path);
    if (rowBytes != static_cast<std::size_t>(width) * 3) {
        failRead(path, "unsupported pixel format");
    }
    Image img(static_cast<int>(width), static_cast<int>(height));
    std::vector<png_bytep> rows = rowPointers(img);
    if (!readRows(c, rows.data())) {
        failRead(path, c->message);
    }
    return img;
}

void writePng(const std::string& path, const Image& img) {
    checkSize(img.width, img.height, "Cannot write PNG file " + path);
    if (img.rgb.size() != static_cast<std::size_t>(img.width) * img.height * 3) {
        failWrite(path, "pixel data do not match the image size");
    }
    PngWriter writer;
    PngContext* c = writer.context();
    if (!c) {
        failWrite(path, "out of memory");
    }
    std::vector<png_bytep> rows = rowPointers(img);
    std::string encoded;
    if (!writeImage(c, &encoded, img.width, img.height, rows.data())) {
        failWrite(path, c->message);
    }
    replaceFile(path, encoded);
}

} // namespace cindra::util
