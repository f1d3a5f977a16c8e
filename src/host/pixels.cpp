// Pixel format conversions, written once for every host path. Each format
// has its own loop so the per-pixel work is a few shifts and a table look-up.
#include <array>
#include <cstring>

#include "tovrin/host.hpp"

namespace tovrin {
namespace {

constexpr std::array<uint8_t, 256> kNarrow8 = [] {
    std::array<uint8_t, 256> t{};
    for (unsigned v = 0; v < 256; ++v) t[v] = static_cast<uint8_t>(Narrow8(v));
    return t;
}();

uint16_t Pack555(unsigned r8, unsigned g8, unsigned b8) {
    return static_cast<uint16_t>((kNarrow8[r8] << 10) | (kNarrow8[g8] << 5) | kNarrow8[b8]);
}

// Six-bit green: rounded to five bits, widened by replication.
unsigned Narrow6(unsigned g6) { return (g6 * 31 + 31) / 63; }
unsigned Widen5To6(unsigned g5) { return (g5 << 1) | (g5 >> 4); }

template <typename T>
T Load(const uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <typename T>
void Store(uint8_t* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

}  // namespace

int BytesPerPixel(PixelFormat format) {
    switch (format) {
        case PixelFormat::Rgb555:
        case PixelFormat::Rgb565: return 2;
        case PixelFormat::Xrgb8888:
        case PixelFormat::Rgba8888: return 4;
    }
    throw Error("unknown pixel format");
}

bool HasAlpha(PixelFormat format) { return format == PixelFormat::Rgba8888; }

void ToRgb555(PixelFormat format, const void* row, int count, uint16_t* out, uint8_t* alpha) {
    const auto* in = static_cast<const uint8_t*>(row);
    switch (format) {
        case PixelFormat::Rgb555:
            std::memcpy(out, in, size_t(count) * 2);
            for (int i = 0; i < count; ++i) out[i] &= 0x7FFF;
            break;
        case PixelFormat::Rgb565:
            for (int i = 0; i < count; ++i) {
                const uint16_t p = Load<uint16_t>(in + 2 * i);
                out[i] = static_cast<uint16_t>(((p >> 11) << 10) | (Narrow6((p >> 5) & 0x3F) << 5) | (p & 0x1F));
            }
            break;
        case PixelFormat::Xrgb8888:
            for (int i = 0; i < count; ++i) {
                const uint32_t p = Load<uint32_t>(in + 4 * i);
                out[i] = Pack555((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
            }
            break;
        case PixelFormat::Rgba8888:
            for (int i = 0; i < count; ++i) {
                const uint8_t* q = in + 4 * i;
                out[i] = Pack555(q[0], q[1], q[2]);
                if (alpha) alpha[i] = q[3];
            }
            return;
    }
    if (alpha) std::memset(alpha, 255, size_t(count));
}

void FromRgb555(PixelFormat format, const uint16_t* in, const uint8_t* alpha, int count, void* row) {
    auto* out = static_cast<uint8_t*>(row);
    const auto r5 = [](uint16_t p) { return unsigned(p >> 10) & 0x1F; };
    const auto g5 = [](uint16_t p) { return unsigned(p >> 5) & 0x1F; };
    const auto b5 = [](uint16_t p) { return unsigned(p) & 0x1F; };
    switch (format) {
        case PixelFormat::Rgb555:
            for (int i = 0; i < count; ++i) Store<uint16_t>(out + 2 * i, in[i] & 0x7FFF);
            break;
        case PixelFormat::Rgb565:
            for (int i = 0; i < count; ++i)
                Store(out + 2 * i, static_cast<uint16_t>((r5(in[i]) << 11) | (Widen5To6(g5(in[i])) << 5) | b5(in[i])));
            break;
        case PixelFormat::Xrgb8888:
            for (int i = 0; i < count; ++i)
                Store(out + 4 * i, 0xFF000000u | (uint32_t(Widen5(r5(in[i]))) << 16) |
                                       (uint32_t(Widen5(g5(in[i]))) << 8) | Widen5(b5(in[i])));
            break;
        case PixelFormat::Rgba8888:
            for (int i = 0; i < count; ++i) {
                uint8_t* q = out + 4 * i;
                q[0] = Widen5(r5(in[i]));
                q[1] = Widen5(g5(in[i]));
                q[2] = Widen5(b5(in[i]));
                q[3] = alpha ? alpha[i] : 255;
            }
            break;
    }
}

}  // namespace tovrin
