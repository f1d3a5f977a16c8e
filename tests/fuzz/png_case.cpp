#include "fuzz/png_case.h"

#include <sys/mman.h>
#include <unistd.h>

#include <exception>
#include <stdexcept>

#include "files.h"
#include "tovrin/host.hpp"

namespace tovrin::test {

std::string CheckPngInput(const uint8_t* data, size_t size) {
    // The reader takes a path: the bytes go to an in-memory file.
    static const int fd = memfd_create("png-input", 0);
    if (fd < 0 || ftruncate(fd, 0) != 0 ||
        (size && pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)))
        return "cannot make the in-memory file";
    const std::string path = "/proc/self/fd/" + std::to_string(fd);
    try {
        const tool::Picture picture = tool::ReadPng(path);
        if (picture.width <= 0 || picture.height <= 0) return "a picture with no pixels";
        if (picture.width > kMaxSide || picture.height > kMaxSide ||
            static_cast<uint64_t>(picture.width) * picture.height > kMaxSourcePixels)
            return "a picture over the size limits";
        if (picture.rgba.size() != static_cast<size_t>(picture.width) * picture.height * 4)
            return "pixel data of the wrong size";
    } catch (const Error& e) {
        const std::string message = e.what();
        if (message.empty() || message.find('\n') != std::string::npos)
            return "the error is not one line: \"" + message + "\"";
    } catch (const std::exception& e) {
        return std::string("an exception that is not a reader error: ") + e.what();
    }
    return {};
}

}  // namespace tovrin::test
