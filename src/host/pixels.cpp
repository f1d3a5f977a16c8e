// Pixel format conversions, written once for every host path.
#include <cstring>

#include "tovrin/host.hpp"

namespace tovrin {
namespace {

uint16_t Pack555(unsigned r8, unsigned g8, unsigned b8) {
    return static_cast<uint16_t>((Narrow8(r8) << 10) | (Narrow8(g8) << 5) | Narrow8(b8));
}

// Six-bit green: rounded to five bits, widened by replication.
unsigned Narrow6(unsigned g6) { return (g6 * 31 + 31) / 63; }
unsigned Widen5To6(unsigned g5) { return (g5 << 1) | (g5 >> 4); }

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
    const auto* bytes = static_cast<const uint8_t*>(row);
    for (int i = 0; i < count; ++i) {
        uint8_t a = 255;
        switch (format) {
            case PixelFormat::Rgb555: {
                uint16_t p;
                std::memcpy(&p, bytes + 2 * i, 2);
                out[i] = p & 0x7FFF;
                break;
            }
            case PixelFormat::Rgb565: {
                uint16_t p;
                std::memcpy(&p, bytes + 2 * i, 2);
                out[i] = static_cast<uint16_t>(((p >> 11) << 10) | (Narrow6((p >> 5) & 0x3F) << 5) | (p & 0x1F));
                break;
            }
            case PixelFormat::Xrgb8888: {
                uint32_t p;
                std::memcpy(&p, bytes + 4 * i, 4);
                out[i] = Pack555((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
                break;
            }
            case PixelFormat::Rgba8888: {
                const uint8_t* q = bytes + 4 * i;
                out[i] = Pack555(q[0], q[1], q[2]);
                a = q[3];
                break;
            }
        }
        if (alpha) alpha[i] = a;
    }
}

void FromRgb555(PixelFormat format, const uint16_t* in, const uint8_t* alpha, int count, void* row) {
    auto* bytes = static_cast<uint8_t*>(row);
    for (int i = 0; i < count; ++i) {
        const unsigned r5 = (in[i] >> 10) & 0x1F, g5 = (in[i] >> 5) & 0x1F, b5 = in[i] & 0x1F;
        switch (format) {
            case PixelFormat::Rgb555: {
                const uint16_t p = in[i] & 0x7FFF;
                std::memcpy(bytes + 2 * i, &p, 2);
                break;
            }
            case PixelFormat::Rgb565: {
                const auto p = static_cast<uint16_t>((r5 << 11) | (Widen5To6(g5) << 5) | b5);
                std::memcpy(bytes + 2 * i, &p, 2);
                break;
            }
            case PixelFormat::Xrgb8888: {
                const uint32_t p = 0xFF000000u | (uint32_t(Widen5(r5)) << 16) | (uint32_t(Widen5(g5)) << 8) | Widen5(b5);
                std::memcpy(bytes + 4 * i, &p, 4);
                break;
            }
            case PixelFormat::Rgba8888: {
                uint8_t* q = bytes + 4 * i;
                q[0] = Widen5(r5);
                q[1] = Widen5(g5);
                q[2] = Widen5(b5);
                q[3] = alpha ? alpha[i] : 255;
                break;
            }
        }
    }
}

}  // namespace tovrin
