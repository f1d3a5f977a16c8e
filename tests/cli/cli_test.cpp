// The tovrin command end to end: PNG files in every colour type and bit
// depth, frame sequences, the gallery, and every kind of bad input.
#include <dirent.h>
#include <gtest/gtest.h>
#include <png.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "files.h"
#include "tovrin/host.hpp"

namespace {

struct Result {
    int status;
    std::string out, err;
};

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class Cli : public testing::Test {
protected:
    void SetUp() override {
        dir_ = std::string(TOVRIN_CLI_WORK) + "/" + testing::UnitTest::GetInstance()->current_test_info()->name();
        std::system(("rm -rf '" + dir_ + "' && mkdir -p '" + dir_ + "'").c_str());
    }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    Result Run(const std::string& args) const {
        const std::string cmd = std::string("cd '") + dir_ + "' && '" + TOVRIN_COMMAND + "' " + args + " >" +
                                dir_ + "/.stdout 2>" + dir_ + "/.stderr";
        const int raw = std::system(cmd.c_str());
        Result r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(dir_ + "/.stdout"), Slurp(dir_ + "/.stderr")};
        return r;
    }
    bool Exists(const std::string& name) const {
        struct stat st {};
        return stat(Path(name).c_str(), &st) == 0;
    }
    // Names in the work folder, hidden ones (stdout/stderr captures) apart
    // from temporary outputs left behind.
    std::vector<std::string> Files(const std::string& sub = "") const {
        std::vector<std::string> names;
        if (DIR* d = opendir((sub.empty() ? dir_ : Path(sub)).c_str())) {
            while (dirent* e = readdir(d)) {
                const std::string n = e->d_name;
                if (n != "." && n != ".." && n != ".stdout" && n != ".stderr") names.push_back(n);
            }
            closedir(d);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string dir_;
};

// Writes a PNG with libpng directly, in the colour type and bit depth given;
// `rows` holds the packed sample bytes as the format lays them out.
void WriteRawPng(const std::string& path, int w, int h, int colourType, int depth,
                 const std::vector<std::vector<uint8_t>>& rows, const std::vector<png_color>& palette = {},
                 const std::vector<uint8_t>& trns = {}, bool interlaced = false) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, f);
    png_set_IHDR(png, info, w, h, depth, colourType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), int(palette.size()));
    if (!trns.empty()) png_set_tRNS(png, info, trns.data(), int(trns.size()), nullptr);
    png_write_info(png, info);
    std::vector<png_bytep> pointers;
    for (const auto& r : rows) pointers.push_back(const_cast<png_bytep>(r.data()));
    png_write_image(png, pointers.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
}

int Channels(int colourType) {
    switch (colourType) {
        case PNG_COLOR_TYPE_GRAY: return 1;
        case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
        case PNG_COLOR_TYPE_RGB: return 3;
        default: return 4;
    }
}

// What an 8-bit channel becomes through RGB555 and back.
uint8_t Through555(uint8_t v) { return tovrin::Widen5(tovrin::Narrow8(v)); }

tool::Picture Gradient(int w, int h, bool alpha) {
    tool::Picture p;
    p.width = w;
    p.height = h;
    p.hasAlpha = alpha;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            p.rgba.push_back(uint8_t(x * 37 + y * 5));
            p.rgba.push_back(uint8_t(y * 41 + 3));
            p.rgba.push_back(uint8_t((x ^ y) * 29));
            p.rgba.push_back(alpha ? uint8_t(x * 50 + y * 13) : 255);
        }
    return p;
}

// Every output pixel is the input pixel at (x / n, y / n), channels through
// RGB555, alpha replicated as is.
void ExpectReplicated(const tool::Picture& in, const tool::Picture& out, int n) {
    ASSERT_EQ(out.width, in.width * n);
    ASSERT_EQ(out.height, in.height * n);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const uint8_t* o = &out.rgba[(size_t(y) * out.width + x) * 4];
            const uint8_t* i = &in.rgba[(size_t(y / n) * in.width + x / n) * 4];
            for (int c = 0; c < 3; ++c) ASSERT_EQ(o[c], Through555(i[c])) << x << "," << y << " channel " << c;
            ASSERT_EQ(o[3], in.hasAlpha ? i[3] : 255) << x << "," << y;
        }
}

TEST_F(Cli, ScalesWithSeveralScalersAndPlainReplicates) {
    const tool::Picture in = Gradient(16, 10, false);
    tool::WritePng(Path("in.png"), in);
    const tovrin::Library lib(TOVRIN_MODULE_PATH);
    for (const tovrin::Entry& e : lib.entries()) {
        const std::string out = "out-" + std::to_string(e.row) + ".png";
        const Result r = Run("scale in.png " + out + " --scaler '" + e.name + "' --scale " + std::to_string(e.scale));
        ASSERT_EQ(r.status, 0) << e.name << " " << e.scale << ": " << r.err;
        const tool::Picture p = tool::ReadPng(Path(out));
        EXPECT_EQ(p.width, 16 * e.scale) << e.name;
        EXPECT_EQ(p.height, 10 * e.scale) << e.name;
        EXPECT_FALSE(p.hasAlpha);
        if (e.name == "Plain") ExpectReplicated(in, p, e.scale);
    }
    // Names in any case; without --scale the smallest above 1.
    ASSERT_EQ(Run("scale in.png default.png --scaler PLAIN").status, 0);
    EXPECT_EQ(tool::ReadPng(Path("default.png")).width, 32);
}

TEST_F(Cli, KeepsAlphaAndOddSizes) {
    const tool::Picture in = Gradient(7, 5, true);
    tool::WritePng(Path("sprite.png"), in);
    const Result r = Run("scale sprite.png big.png --scaler plain --scale 3");
    ASSERT_EQ(r.status, 0) << r.err;
    const tool::Picture out = tool::ReadPng(Path("big.png"));
    EXPECT_TRUE(out.hasAlpha);
    ExpectReplicated(in, out, 3);
}

TEST_F(Cli, ReadsEveryColourTypeAndBitDepth) {
    struct Case {
        const char* name;
        int colourType, depth;
        bool interlaced;
    };
    // Grey levels at every depth; the expected 8-bit value is the level
    // scaled to 0..255.
    const Case cases[] = {
        {"grey1", PNG_COLOR_TYPE_GRAY, 1, false},       {"grey2", PNG_COLOR_TYPE_GRAY, 2, false},
        {"grey4", PNG_COLOR_TYPE_GRAY, 4, true},        {"grey8", PNG_COLOR_TYPE_GRAY, 8, false},
        {"grey16", PNG_COLOR_TYPE_GRAY, 16, false},     {"greyalpha8", PNG_COLOR_TYPE_GRAY_ALPHA, 8, false},
        {"greyalpha16", PNG_COLOR_TYPE_GRAY_ALPHA, 16, true}, {"rgb8", PNG_COLOR_TYPE_RGB, 8, true},
        {"rgb16", PNG_COLOR_TYPE_RGB, 16, false},       {"rgba8", PNG_COLOR_TYPE_RGBA, 8, false},
        {"rgba16", PNG_COLOR_TYPE_RGBA, 16, false},     {"palette1", PNG_COLOR_TYPE_PALETTE, 1, false},
        {"palette2", PNG_COLOR_TYPE_PALETTE, 2, false}, {"palette4", PNG_COLOR_TYPE_PALETTE, 4, false},
        {"palette8", PNG_COLOR_TYPE_PALETTE, 8, true},
    };
    constexpr int w = 9, h = 3;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool palette = c.colourType == PNG_COLOR_TYPE_PALETTE;
        const int channels = palette ? 1 : Channels(c.colourType);
        const int levels = palette ? (1 << c.depth) : (c.depth >= 8 ? 256 : (1 << c.depth));
        // Expected 8-bit RGBA of every pixel, and the file's samples.
        tool::Picture expected;
        expected.width = w;
        expected.height = h;
        expected.hasAlpha = (c.colourType & PNG_COLOR_MASK_ALPHA) || palette;
        std::vector<png_color> pal;
        std::vector<uint8_t> trns;
        for (int i = 0; i < (palette ? levels : 0); ++i) {
            pal.push_back({uint8_t(i * 47 + 9), uint8_t(i * 91), uint8_t(255 - i * 13)});
            trns.push_back(uint8_t(255 - i * 3));
        }
        std::vector<std::vector<uint8_t>> rows;
        for (int y = 0; y < h; ++y) {
            std::vector<uint32_t> samples;  // one per channel per pixel, in file depth
            for (int x = 0; x < w; ++x) {
                const int index = (x * 7 + y * 3) % levels;
                uint8_t rgba[4];
                if (palette) {
                    samples.push_back(uint32_t(index));
                    rgba[0] = pal[size_t(index)].red;
                    rgba[1] = pal[size_t(index)].green;
                    rgba[2] = pal[size_t(index)].blue;
                    rgba[3] = trns[size_t(index)];
                } else {
                    // 8-bit values; 16-bit samples repeat the byte so that
                    // narrowing to 8 bits is exact; low depths use levels.
                    const uint8_t v[4] = {uint8_t(index * 255 / (levels - 1)), uint8_t(x * 28), uint8_t(y * 90),
                                          uint8_t(200 - x * 20)};
                    const bool grey = !(c.colourType & PNG_COLOR_MASK_COLOR);
                    for (int ch = 0; ch < channels; ++ch) {
                        const uint8_t s = (grey && ch == 1) ? v[3] : v[ch];
                        if (c.depth == 16) samples.push_back(uint32_t(s) * 257);
                        else if (c.depth == 8) samples.push_back(s);
                        else samples.push_back(uint32_t(index));
                    }
                    rgba[0] = v[0];
                    rgba[1] = grey ? v[0] : v[1];
                    rgba[2] = grey ? v[0] : v[2];
                    rgba[3] = (c.colourType & PNG_COLOR_MASK_ALPHA) ? v[3] : 255;
                }
                for (uint8_t b : rgba) expected.rgba.push_back(b);
            }
            // Pack the samples at the file's depth, most significant first.
            std::vector<uint8_t> row;
            int bits = 0;
            uint32_t acc = 0;
            for (uint32_t s : samples) {
                if (c.depth == 16) {
                    row.push_back(uint8_t(s >> 8));
                    row.push_back(uint8_t(s));
                    continue;
                }
                acc = (acc << c.depth) | s;
                bits += c.depth;
                if (bits == 8) {
                    row.push_back(uint8_t(acc));
                    acc = 0;
                    bits = 0;
                }
            }
            if (bits) row.push_back(uint8_t(acc << (8 - bits)));
            rows.push_back(row);
        }
        const std::string file = std::string(c.name) + ".png";
        WriteRawPng(Path(file), w, h, c.colourType, c.depth, rows, pal, palette ? trns : std::vector<uint8_t>{},
                    c.interlaced);
        const Result r = Run("scale " + file + " out-" + file + " --scaler plain --scale 2");
        ASSERT_EQ(r.status, 0) << r.err;
        ExpectReplicated(expected, tool::ReadPng(Path("out-" + file)), 2);
    }
}

TEST_F(Cli, FrameSequenceReportsASmallRewriteForASmallChange) {
    tool::Picture a = Gradient(32, 16, false);
    tool::WritePng(Path("f1.png"), a);
    a.rgba[(5 * 32 + 9) * 4] ^= 0x80;  // one pixel of the second frame
    tool::WritePng(Path("f2.png"), a);
    tool::WritePng(Path("f3.png"), a);
    const Result r = Run("scale f1.png f2.png f3.png --out-dir out --scaler plain --scale 2");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("frame 1 f1.png: 2048 of 2048 pixels rewritten (100.0%)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("frame 2 f2.png: 8 of 2048 pixels rewritten (0.4%), rows 10-11"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("frame 3 f3.png: 0 of 2048 pixels rewritten (0.0%)"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("3 frames: 2056 of 6144 pixels rewritten"), std::string::npos) << r.out;
    EXPECT_EQ(Files("out"), (std::vector<std::string>{"f1.png", "f2.png", "f3.png"}));
    ExpectReplicated(a, tool::ReadPng(Path("out/f3.png")), 2);
    // Not a terminal: no progress bar.
    EXPECT_EQ(r.err, "");
}

TEST_F(Cli, GalleryOfTheBuiltInPictureCoversEveryEntry) {
    const Result r = Run("gallery");
    ASSERT_EQ(r.status, 0) << r.err;
    const tovrin::Library lib(TOVRIN_MODULE_PATH);
    const std::string html = Slurp(Path("gallery/index.html"));
    const tool::Picture original = tool::ReadPng(Path("gallery/original.png"));
    size_t pictures = 0;
    for (const std::string& f : Files("gallery")) {
        if (f == "index.html" || f == "original.png" || f == "contact-sheet.png") continue;
        EXPECT_NE(html.find("src=\"" + f + "\""), std::string::npos) << f;
        ++pictures;
    }
    EXPECT_EQ(pictures, lib.entries().size());
    for (const tovrin::Entry& e : lib.entries()) {
        EXPECT_NE(html.find(">" + e.name + " " + std::to_string(e.scale) + "&times;<"), std::string::npos) << e.name;
        char prefix[8];
        std::snprintf(prefix, sizeof prefix, "%03d-", e.row);
        for (const std::string& f : Files("gallery"))
            if (f.rfind(prefix, 0) == 0) {
                const tool::Picture p = tool::ReadPng(Path("gallery/" + f));
                EXPECT_EQ(p.width, original.width * e.scale) << f;
                EXPECT_EQ(p.height, original.height * e.scale) << f;
            }
    }
    EXPECT_TRUE(Exists("gallery/contact-sheet.png"));
}

TEST_F(Cli, BadInputFailsWithOneLineAndWritesNothing) {
    tool::WritePng(Path("good.png"), Gradient(8, 4, false));
    {
        std::ofstream(Path("text.png")) << "this is not a picture\n";
        const std::string png = Slurp(Path("good.png"));
        std::ofstream(Path("truncated.png"), std::ios::binary) << png.substr(0, png.size() / 2);
        std::string corrupt = png;
        corrupt[corrupt.size() - 20] ^= 0x55;  // inside the image data: its CRC fails
        std::ofstream(Path("corrupt.png"), std::ios::binary) << corrupt;
        std::ofstream(Path("afile")) << "x";
    }
    tool::WritePng(Path("wide.png"), Gradient(200, 2, false));
    WriteRawPng(Path("huge.png"), 20000, 1, PNG_COLOR_TYPE_GRAY, 1, {std::vector<uint8_t>(2500, 0)});
    struct Case {
        std::string args, message, output;
    };
    const std::vector<Case> cases = {
        {"scale missing.png out.png --scaler plain", "cannot open missing.png: No such file or directory", "out.png"},
        {"scale text.png out.png --scaler plain", "text.png is not a PNG file", "out.png"},
        {"scale truncated.png out.png --scaler plain", "truncated.png is a corrupt or truncated PNG", "out.png"},
        {"scale corrupt.png out.png --scaler plain", "corrupt.png is a corrupt or truncated PNG", "out.png"},
        {"scale huge.png out.png --scaler plain", "huge.png is 20000x1 pixels; the limit is 16384", "out.png"},
        {"scale good.png out.png --scaler 'No Such'", "unknown scaler \"No Such\"; the scalers are: Plain", "out.png"},
        {"scale good.png out.png --scaler plain --scale 9", "\"Plain\" has no scale 9; it offers 1, 2, 3, 4, 5",
         "out.png"},
        {"scale good.png nodir/out.png --scaler plain", "cannot write nodir/out.png: No such file or directory",
         "nodir"},
        {"scale good.png --out-dir afile --scaler plain", "cannot write to afile: not a directory", "afile/good.png"},
        {"scale good.png good.png --out-dir frames --scaler plain",
         "two input frames are named good.png; their outputs would collide", "frames"},
        {"scale good.png text.png --out-dir frames --scaler plain", "text.png is not a PNG file", "frames"},
        {"gallery wide.png --out-dir g", "wide.png is 200x2 pixels; the gallery takes pictures up to 128 on a side",
         "g"},
        {"gallery missing.png --out-dir g", "cannot open missing.png: No such file or directory", "g"},
        {"gallery --out-dir afile", "cannot write to afile: not a directory", "afile/index.html"},
        {"--module /nonexistent/libtovrin.so list", "cannot load the scaler module /nonexistent/libtovrin.so", ""},
    };
    const std::vector<std::string> before = Files();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        const Result r = Run(c.args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err.rfind("tovrin: " + c.message, 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        if (!c.output.empty()) {
            EXPECT_FALSE(Exists(c.output));
        }
        EXPECT_EQ(Files(), before);  // no output, no temporary file left
    }
    const Result help = Run("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out.rfind("usage: tovrin", 0), 0u);
    // Usage errors exit 2 and say what is wrong before the usage text.
    for (const std::string args : {"", "scale good.png", "frobnicate", "scale a.png b.png --scale x --scaler plain"}) {
        const Result r = Run(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find("usage: tovrin"), std::string::npos) << args;
    }
}

// Puts a 32-bit big-endian value at `at`, then recomputes the header chunk's
// CRC, so that a patched header reads as sound.
void PatchHeader(std::string& png, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) png[at + i] = char(value >> (24 - 8 * i));
    const uint32_t crc = static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(png.data() + 12), 17));
    for (int i = 0; i < 4; ++i) png[29 + i] = char(crc >> (24 - 8 * i));
}

// A grey 8-bit PNG of width × height black pixels, written a row at a time so
// that a picture far larger than memory costs only its compressed size, with
// `extraRows` further rows of zeros compressed into the image data after
// the declared ones.
void WriteBlackPng(const std::string& path, int width, int height, int extraRows = 0) {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, f);
    png_set_compression_level(png, 9);
    png_set_filter(png, 0, PNG_FILTER_NONE);
    // libpng refuses to write more rows than declared: declare them all, then
    // patch the height in IHDR (and its CRC) afterwards.
    png_set_user_limits(png, 0x7FFFFFFF, 0x7FFFFFFF);
    png_set_IHDR(png, info, width, height + extraRows, 8, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const std::vector<uint8_t> row(width, 0);
    for (int y = 0; y < height + extraRows; ++y) png_write_row(png, row.data());
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    if (extraRows == 0) return;
    std::string bytes = Slurp(path);
    PatchHeader(bytes, 20, static_cast<uint32_t>(height));
    std::ofstream(path, std::ios::binary) << bytes;
}

// One run of the command: its status, the largest resident size it reached,
// and what it wrote on standard error.
struct Measured {
    int status;
    long maxResidentKiB;
    std::string err;
};

// Hostile files: each is refused with one line and status 1 (or, for image
// data beyond the declared picture, read as the declared picture), within a
// bounded amount of memory, and leaves no output behind.
TEST_F(Cli, HostileInputsFailCleanlyInBoundedMemory) {
    tool::WritePng(Path("good.png"), Gradient(64, 32, false));
    const std::string good = Slurp(Path("good.png"));
    {
        // Cut inside the image data, and inside the next chunk's length.
        const size_t idat = good.find("IDAT");
        ASSERT_NE(idat, std::string::npos);
        std::ofstream(Path("cut-in-idat.png"), std::ios::binary) << good.substr(0, idat + 4 + 10);
        std::ofstream(Path("cut-in-length.png"), std::ios::binary) << good.substr(0, 8 + 25 + 2);
        // The header claims 16384 × 16384 RGBA; the image data that follows
        // is the 64 × 32 picture's, or nothing at all.
        std::string claim = good;
        claim[25] = 6;  // RGBA
        PatchHeader(claim, 16, 16384);
        PatchHeader(claim, 20, 16384);
        std::ofstream(Path("huge-claim.png"), std::ios::binary) << claim;
        std::ofstream(Path("header-only.png"), std::ios::binary) << claim.substr(0, 33);
    }
    // A true decompression bomb: a quarter of a megabyte that inflates to a
    // 16384 × 16384 picture (256 MiB of samples, 1 GiB as RGBA).
    WriteBlackPng(Path("bomb.png"), 16384, 16384);
    // Image data that goes on far past the 16 × 16 picture it declares.
    WriteBlackPng(Path("overflowing.png"), 16, 16, 1 << 20);
    ASSERT_EQ(mkdir(Path("adir.png").c_str(), 0755), 0);

    struct Case {
        std::string input, message;
    };
    const std::vector<Case> cases = {
        {"cut-in-idat.png", "cut-in-idat.png is a corrupt or truncated PNG"},
        {"cut-in-length.png", "cut-in-length.png is a corrupt or truncated PNG"},
        {"huge-claim.png", "huge-claim.png is 16384x16384 pixels; the limit is"},
        {"header-only.png", "header-only.png is a corrupt or truncated PNG"},
        {"bomb.png", "bomb.png is 16384x16384 pixels; the limit is"},
        {"adir.png", "cannot read adir.png: Is a directory"},
        {"overflowing.png", ""},
    };
    const std::vector<std::string> before = Files();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            const std::string cmd = "cd '" + dir_ + "' && exec '" + TOVRIN_COMMAND + "' scale " + c.input +
                                    " out.png --scaler plain --scale 2 >/dev/null 2>.stderr";
            execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        int raw = 0;
        rusage usage{};
        ASSERT_EQ(wait4(pid, &raw, 0, &usage), pid);
        const Measured r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, usage.ru_maxrss, Slurp(Path(".stderr"))};
        // Far below what decoding any of them would take; the sanitizer
        // build's own bookkeeping included.
        EXPECT_LT(r.maxResidentKiB, 256 * 1024) << r.err;
        if (c.message.empty()) {
            // Read as the picture it declares, or refused: either way cleanly.
            EXPECT_TRUE(r.status == 0 || (r.status == 1 && r.err.rfind("tovrin: ", 0) == 0)) << r.status << r.err;
            std::remove(Path("out.png").c_str());
            EXPECT_EQ(Files(), before);
            continue;
        }
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err.rfind("tovrin: " + c.message, 0), 0u) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_EQ(Files(), before);  // no output, no temporary file left
    }
}

}  // namespace
