// Scales a 3×3 picture with "Plain" at 2× through the installed host API.
#include <tovrin/host.hpp>

#include <cstdio>

int main() {
    try {
#ifdef MODULE
        tovrin::Library lib(MODULE);
#else
        tovrin::Library lib;
#endif
        tovrin::Scaler scaler(lib.find("plain", 2), 3, 3);
        const uint16_t picture[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
        scaler.draw(picture, 6, tovrin::PixelFormat::Rgb555);
        uint16_t out[36];
        scaler.read(out, 12, tovrin::PixelFormat::Rgb555);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 6; ++x)
                if (out[y * 6 + x] != picture[(y / 2) * 3 + x / 2]) {
                    std::fprintf(stderr, "wrong pixel at %d,%d\n", x, y);
                    return 1;
                }
        std::printf("consumer: %zu entries, Plain 2x ok\n", lib.entries().size());
        return 0;
    } catch (const tovrin::Error& e) {
        std::fprintf(stderr, "consumer: %s\n", e.what());
        return 1;
    }
}
