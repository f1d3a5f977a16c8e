// The built-in picture and the drawing helpers behind it and the contact
// sheet.
#include "picture.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

namespace tool {
namespace {

// Rows of a 5×7 glyph, bit 4 the leftmost column.
struct Glyph {
    char c;
    uint8_t rows[7];
};

constexpr Glyph kFont[] = {
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}}, {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}}, {'D', {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}}, {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}}, {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}}, {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}}, {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}}, {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}}, {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}}, {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}}, {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x0A, 0x04, 0x04, 0x04, 0x04}}, {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'%', {0x18, 0x19, 0x02, 0x04, 0x08, 0x13, 0x03}}, {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}}, {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}},
    {'!', {0x04, 0x04, 0x04, 0x04, 0x04, 0x00, 0x04}}, {' ', {0, 0, 0, 0, 0, 0, 0}},
};

const Glyph* Find(char c) {
    const char upper = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    for (const Glyph& g : kFont)
        if (g.c == upper) return &g;
    return nullptr;
}

void Plot(Picture& p, int x, int y, uint32_t rgb, uint8_t alpha = 255) {
    if (x < 0 || y < 0 || x >= p.width || y >= p.height) return;
    uint8_t* q = &p.rgba[(size_t(y) * p.width + x) * 4];
    q[0] = uint8_t(rgb >> 16);
    q[1] = uint8_t(rgb >> 8);
    q[2] = uint8_t(rgb);
    q[3] = alpha;
}

// Draws a sprite given as rows of characters; '.' is left alone.
void Sprite(Picture& p, int x, int y, const char* const* rows, int count, const char* keys, const uint32_t* colours) {
    for (int r = 0; r < count; ++r)
        for (int c = 0; rows[r][c]; ++c)
            if (const char* k = std::strchr(keys, rows[r][c])) Plot(p, x + c, y + r, colours[k - keys]);
}

}  // namespace

Picture Canvas(int width, int height, uint32_t rgb) {
    Picture p;
    p.width = width;
    p.height = height;
    p.rgba.resize(size_t(width) * height * 4);
    FillRect(p, 0, 0, width, height, rgb);
    return p;
}

void FillRect(Picture& p, int x, int y, int w, int h, uint32_t rgb, uint8_t alpha) {
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i) Plot(p, i, j, rgb, alpha);
}

int TextWidth(const std::string& text, int size) { return int(text.size()) * 6 * size - (text.empty() ? 0 : size); }

int DrawText(Picture& p, int x, int y, const std::string& text, uint32_t rgb, int size) {
    int cx = x;
    for (char c : text) {
        if (const Glyph* g = Find(c))
            for (int r = 0; r < 7; ++r)
                for (int col = 0; col < 5; ++col)
                    if (g->rows[r] & (0x10 >> col)) FillRect(p, cx + col * size, y + r * size, size, size, rgb);
        cx += 6 * size;
    }
    return cx - x;
}

void Blit(Picture& dst, const Picture& src, int x, int y) {
    for (int j = 0; j < src.height; ++j) {
        if (y + j < 0 || y + j >= dst.height) continue;
        for (int i = 0; i < src.width; ++i) {
            if (x + i < 0 || x + i >= dst.width) continue;
            uint8_t* d = &dst.rgba[(size_t(y + j) * dst.width + x + i) * 4];
            const uint8_t* s = &src.rgba[(size_t(j) * src.width + i) * 4];
            if (!src.hasAlpha) {
                std::memcpy(d, s, 4);
                continue;
            }
            // Over a checkerboard, so transparency shows on an opaque sheet.
            const int grey = (((i >> 3) + (j >> 3)) & 1) ? 0x5A : 0x3A;
            for (int c = 0; c < 3; ++c) d[c] = uint8_t((s[c] * s[3] + grey * (255 - s[3]) + 127) / 255);
            d[3] = 255;
        }
    }
}

Picture BuiltinPicture() {
    constexpr int kW = 96, kH = 64;
    Picture p = Canvas(kW, kH, 0x183048);

    // A gradient band along the bottom: hue sweep over a brightness ramp.
    for (int y = 52; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const double t = x / double(kW - 1), v = 0.35 + 0.65 * (y - 52) / 11.0;
            const auto ch = [&](double phase) { return uint32_t(255 * v * (0.5 + 0.5 * std::cos(6.2832 * (t + phase)))); };
            Plot(p, x, y, (ch(0.0) << 16) | (ch(0.33) << 8) | ch(0.67));
        }

    // A checkerboard of single pixels and one of 2×2 squares.
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 12; ++x) {
            Plot(p, 84 + x, y, ((x + y) & 1) ? 0xFFFFFF : 0x000000);
            Plot(p, 84 + x, 12 + y, (((x >> 1) + (y >> 1)) & 1) ? 0xF0D020 : 0x2040A0);
        }

    // Diagonals at 45, about 27 and about 63 degrees, and a circle.
    for (int i = 0; i < 24; ++i) {
        Plot(p, 56 + i, 1 + i, 0xFFFFFF);
        Plot(p, 56 + i, 24 - i / 2, 0xFF6040);
        Plot(p, 57 + i / 2, 1 + i, 0x60FF60);
    }
    for (int a = 0; a < 360; a += 3) {
        const double r = a * 3.14159265 / 180;
        Plot(p, int(std::lround(70 + 9 * std::cos(r))), int(std::lround(38 + 9 * std::sin(r))), 0xF8F8F8);
    }
    FillRect(p, 68, 36, 5, 5, 0xE03030);

    // Sprites: a little walker and a heart.
    static const char* const kWalker[] = {
        "....kkkk....", "...krrrrk...", "..krrrrrrk..", "..ksseksek..", "..kssssssk..", "...kssssk...",
        "..kbbbbbbk..", ".kbbbbbbbbk.", ".ksbbbbbbsk.", "..kbbkkbbk..", "..kkk..kkk..", ".kkkk..kkkk.",
    };
    static const uint32_t kWalkerColours[] = {0x101010, 0xD02020, 0xF0B080, 0xFFFFFF, 0x2050D0};
    Sprite(p, 2, 22, kWalker, 12, "krseb", kWalkerColours);
    static const char* const kHeart[] = {
        ".kk...kk.", "krrk.krrk", "krwrkrrrk", "krrrrrrrk", ".krrrrrk.", "..krrrk..", "...krk...", "....k....",
    };
    static const uint32_t kHeartColours[] = {0x200808, 0xF03050, 0xFFD0E0};
    Sprite(p, 18, 24, kHeart, 8, "krw", kHeartColours);

    // Text, in two sizes.
    DrawText(p, 2, 2, "TOVRIN", 0xFFE060);
    DrawText(p, 2, 11, "HQ 2XSAI", 0x80FFFF);
    DrawText(p, 30, 22, "A1", 0xFFFFFF, 2);

    // Stripes one and two pixels wide.
    for (int y = 40; y < 50; ++y)
        for (int x = 2; x < 26; ++x) Plot(p, x, y, (x & 1) ? 0x40C040 : ((x >> 1) & 1) ? 0x204020 : 0xC0C0C0);

    // A transparent corner with a soft edge, so the alpha path shows.
    p.hasAlpha = true;
    for (int y = 40; y < 50; ++y)
        for (int x = 30; x < 54; ++x) {
            uint8_t* q = &p.rgba[(size_t(y) * kW + x) * 4];
            q[0] = 0x90;
            q[1] = 0x60;
            q[2] = 0xF0;
            q[3] = uint8_t(std::min(255, (x - 30) * 11));
        }
    return p;
}

}  // namespace tool
