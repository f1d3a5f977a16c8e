// Pictures and files of the tovrin command.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace tool {

// An RGBA picture, four bytes per pixel in the order R, G, B, A.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
    bool hasAlpha = false;  // the file had an alpha channel or transparency
};

// Reads any PNG (every colour type and bit depth). Throws tovrin::Error with
// a one-line message naming the file.
Picture ReadPng(const std::string& path);

// A file written under a temporary name in its directory and renamed into
// place by Commit(); dropped unless committed, so a failure leaves nothing.
class AtomicFile {
public:
    explicit AtomicFile(const std::string& path);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    FILE* file() { return file_; }
    void Commit();

private:
    std::string path_, temp_;
    FILE* file_ = nullptr;
};

// Writes `picture` as 8-bit RGB, or RGBA when it has alpha.
void WritePng(const std::string& path, const Picture& picture);
void WriteText(const std::string& path, const std::string& text);

}  // namespace tool
