// PNG reading and writing with libpng, and outputs written atomically.
#include "files.h"

#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstring>

#include "tovrin/host.hpp"

namespace tool {
namespace {

// libpng reports errors through a callback that must not return; it jumps
// back to the reading or writing function, which turns the message into an
// Error once libpng's state is freed.
struct PngFailure {
    jmp_buf jump;
    char message[256] = "";
};

[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
    auto* failure = static_cast<PngFailure*>(png_get_error_ptr(png));
    std::snprintf(failure->message, sizeof failure->message, "%s", message);
    std::longjmp(failure->jump, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

std::string Describe(const std::string& path) { return path.empty() ? "-" : path; }

struct FileCloser {
    FILE* f;
    ~FileCloser() {
        if (f) std::fclose(f);
    }
};

}  // namespace

Picture ReadPng(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) throw tovrin::Error("cannot open " + Describe(path) + ": " + std::strerror(errno));
    FileCloser closer{f};
    png_byte signature[8];
    if (std::fread(signature, 1, 8, f) != 8 || png_sig_cmp(signature, 0, 8) != 0) {
        if (std::ferror(f)) throw tovrin::Error("cannot read " + path + ": " + std::strerror(errno));
        throw tovrin::Error(path + " is not a PNG file");
    }

    PngFailure failure;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &failure, OnPngError, OnPngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        throw tovrin::Error("out of memory reading " + path);
    }
    Picture picture;
    std::vector<png_bytep> rows;
    volatile bool tooLarge = false;
    if (setjmp(failure.jump)) {
        png_destroy_read_struct(&png, &info, nullptr);
        throw tovrin::Error(path + " is a corrupt or truncated PNG (" + failure.message + ")");
    }
    png_init_io(png, f);
    png_set_sig_bytes(png, 8);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
    if (width > png_uint_32(tovrin::kMaxSide) || height > png_uint_32(tovrin::kMaxSide) ||
        uint64_t(width) * height > tovrin::kMaxSourcePixels) {
        tooLarge = true;
    } else {
        const int colourType = png_get_color_type(png, info);
        // Palette to RGB, grey below 8 bits to 8, transparency to alpha,
        // 16-bit channels rounded to 8, grey to RGB, and an opaque alpha
        // channel where there is none: every PNG arrives as 8-bit RGBA.
        png_set_expand(png);
        png_set_scale_16(png);
        png_set_gray_to_rgb(png);
        picture.hasAlpha = (colourType & PNG_COLOR_MASK_ALPHA) || png_get_valid(png, info, PNG_INFO_tRNS);
        if (!picture.hasAlpha) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
        png_set_interlace_handling(png);
        png_read_update_info(png, info);
        if (png_get_rowbytes(png, info) != size_t(width) * 4) png_error(png, "unexpected row layout");
        picture.width = int(width);
        picture.height = int(height);
        picture.rgba.resize(size_t(width) * height * 4);
        rows.resize(height);
        for (png_uint_32 y = 0; y < height; ++y) rows[y] = &picture.rgba[size_t(y) * width * 4];
        png_read_image(png, rows.data());
        png_read_end(png, nullptr);
    }
    png_destroy_read_struct(&png, &info, nullptr);
    if (tooLarge)
        throw tovrin::Error(path + " is " + std::to_string(width) + "x" + std::to_string(height) +
                            " pixels; the limit is " + std::to_string(tovrin::kMaxSide) + " on a side and " +
                            std::to_string(tovrin::kMaxSourcePixels) + " pixels");
    return picture;
}

AtomicFile::AtomicFile(const std::string& path) : path_(path) {
    const auto slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    temp_ = dir + "." + base + ".tmp-XXXXXX";
    const int fd = mkstemp(temp_.data());
    if (fd < 0) throw tovrin::Error("cannot write " + path + ": " + std::strerror(errno));
    // mkstemp makes the file private; give it the mode a new file gets.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    file_ = fdopen(fd, "wb");
    if (!file_) {
        const int err = errno;
        close(fd);
        unlink(temp_.c_str());
        throw tovrin::Error("cannot write " + path + ": " + std::strerror(err));
    }
}

AtomicFile::~AtomicFile() {
    if (!file_) return;
    std::fclose(file_);
    unlink(temp_.c_str());
}

void AtomicFile::Commit() {
    const bool failed = std::fflush(file_) != 0 || std::ferror(file_);
    const int err = errno;
    const bool closeFailed = std::fclose(file_) != 0;
    file_ = nullptr;
    if (failed || closeFailed || std::rename(temp_.c_str(), path_.c_str()) != 0) {
        const int why = failed ? err : errno;
        unlink(temp_.c_str());
        throw tovrin::Error("cannot write " + path_ + ": " + std::strerror(why));
    }
}

void WritePng(const std::string& path, const Picture& picture) {
    AtomicFile out(path);
    PngFailure failure;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &failure, OnPngError, OnPngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        throw tovrin::Error("out of memory writing " + path);
    }
    std::vector<png_bytep> rows(size_t(picture.height));
    if (setjmp(failure.jump)) {
        png_destroy_write_struct(&png, &info);
        throw tovrin::Error("cannot write " + path + ": " + failure.message);
    }
    png_init_io(png, out.file());
    png_set_IHDR(png, info, png_uint_32(picture.width), png_uint_32(picture.height), 8,
                 picture.hasAlpha ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    if (!picture.hasAlpha) png_set_filler(png, 0, PNG_FILLER_AFTER);  // drop the opaque alpha bytes
    for (int y = 0; y < picture.height; ++y)
        rows[size_t(y)] = const_cast<png_bytep>(&picture.rgba[size_t(y) * picture.width * 4]);
    png_write_image(png, rows.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    out.Commit();
}

void WriteText(const std::string& path, const std::string& text) {
    AtomicFile out(path);
    std::fwrite(text.data(), 1, text.size(), out.file());
    out.Commit();
}

}  // namespace tool
