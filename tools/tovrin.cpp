// tovrin: command-line host of the scaler module, a thin layer over the
// host API (tovrin/host.hpp): lists the table, scales pictures and frame
// sequences, and writes a gallery of every scaler.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "files.h"
#include "picture.h"
#include "tovrin/host.hpp"

namespace {

using tool::Picture;

constexpr const char* kUsage =
    "usage: tovrin [--module PATH] COMMAND ...\n"
    "  list                                  the scalers and their scales\n"
    "  scale IN.png OUT.png --scaler NAME [--scale N]\n"
    "  scale FRAME.png... --out-dir DIR --scaler NAME [--scale N]\n"
    "                                        frames in order as one moving picture\n"
    "  gallery [IN.png] [--out-dir DIR]      every scaler applied to a picture\n"
    "                                        (the built-in one by default; DIR: gallery)\n";

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Options {
    std::string module;
    std::string command;
    std::vector<std::string> positional;
    std::string scaler;
    int scale = 0;
    std::optional<std::string> outDir;
};

Options Parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc) throw UsageError(arg + " needs a value");
            return argv[++i];
        };
        if (arg == "--module") {
            o.module = value();
        } else if (arg == "--scaler") {
            o.scaler = value();
        } else if (arg == "--scale") {
            const std::string v = value();
            char* end = nullptr;
            const long n = std::strtol(v.c_str(), &end, 10);
            if (v.empty() || *end || n < 1 || n > 99) throw UsageError("--scale takes a whole number, not \"" + v + "\"");
            o.scale = int(n);
        } else if (arg == "--out-dir") {
            o.outDir = value();
        } else if (arg == "-h" || arg == "--help") {
            o.command = "help";
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError("unknown option " + arg);
        } else if (o.command.empty()) {
            o.command = arg;
        } else {
            o.positional.push_back(arg);
        }
    }
    return o;
}

std::string BaseName(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Creates the output folder when missing; a folder that exists must be
// writable.
void PrepareDir(const std::string& dir) {
    struct stat st {};
    if (stat(dir.c_str(), &st) == 0) {
        if (!S_ISDIR(st.st_mode)) throw tovrin::Error("cannot write to " + dir + ": not a directory");
    } else if (mkdir(dir.c_str(), 0755) != 0) {
        throw tovrin::Error("cannot create " + dir + ": " + std::strerror(errno));
    }
    if (access(dir.c_str(), W_OK | X_OK) != 0) throw tovrin::Error("cannot write to " + dir + ": " + std::strerror(errno));
}

// A bar on standard error, only when it is a terminal.
class Progress {
public:
    Progress(std::string what, int total) : what_(std::move(what)), total_(total), on_(isatty(STDERR_FILENO)) {}
    ~Progress() { Clear(); }
    void Show(int done) {
        if (!on_) return;
        constexpr int kWidth = 30;
        const int filled = total_ ? done * kWidth / total_ : kWidth;
        std::fprintf(stderr, "\r\033[K%s [%.*s%*s] %d/%d", what_.c_str(), filled, "##############################",
                     kWidth - filled, "", done, total_);
        std::fflush(stderr);
        shown_ = true;
    }
    // Clears the bar so a line can go to standard output under it.
    void Clear() {
        if (on_ && shown_) std::fputs("\r\033[K", stderr);
        shown_ = false;
    }

private:
    std::string what_;
    int total_;
    bool on_, shown_ = false;
};

Picture Run(tovrin::Scaler& scaler, const Picture& in, tovrin::FrameReport* report) {
    scaler.resize(in.width, in.height);
    const tovrin::FrameReport r = scaler.draw(in.rgba.data(), std::ptrdiff_t(in.width) * 4, tovrin::PixelFormat::Rgba8888);
    if (report) *report = r;
    Picture out;
    out.width = scaler.outputWidth();
    out.height = scaler.outputHeight();
    out.hasAlpha = in.hasAlpha;
    out.rgba.resize(size_t(out.width) * out.height * 4);
    scaler.read(out.rgba.data(), std::ptrdiff_t(out.width) * 4, tovrin::PixelFormat::Rgba8888);
    return out;
}

tovrin::Library Load(const Options& o) { return o.module.empty() ? tovrin::Library() : tovrin::Library(o.module); }

int List(const Options& o) {
    if (!o.positional.empty()) throw UsageError("list takes no arguments");
    const tovrin::Library lib = Load(o);
    std::printf("%zu entries in %s; vector routines %s\n", lib.entries().size(), lib.path().c_str(),
                lib.vectorUnit() ? "in use where the table has them (the processor has the vector unit)"
                                 : "not in use (no vector unit)");
    std::printf("%4s  %-18s %s\n", "row", "name", "scales");
    for (const std::string& name : lib.names()) {
        std::string scales;
        for (int s : lib.scales(name)) {
            if (!scales.empty()) scales += ' ';
            scales += std::to_string(s) + "x";
        }
        std::printf("%4d  %-18s %s\n", lib.find(name, lib.scales(name).front()).row, name.c_str(), scales.c_str());
    }
    return 0;
}

int Scale(const Options& o) {
    if (o.scaler.empty()) throw UsageError("scale needs --scaler NAME");
    std::vector<std::string> outputs;
    if (o.outDir) {
        if (o.positional.empty()) throw UsageError("scale needs at least one input frame");
        std::set<std::string> seen;
        for (const auto& in : o.positional) {
            if (!seen.insert(BaseName(in)).second)
                throw tovrin::Error("two input frames are named " + BaseName(in) + "; their outputs would collide");
            outputs.push_back(*o.outDir + "/" + BaseName(in));
        }
    } else {
        if (o.positional.size() != 2) throw UsageError("scale takes IN.png OUT.png, or frames with --out-dir DIR");
        outputs.push_back(o.positional[1]);
    }
    const std::vector<std::string> inputs(o.positional.begin(), o.positional.begin() + long(outputs.size()));

    const tovrin::Library lib = Load(o);
    const tovrin::Entry& entry = lib.find(o.scaler, o.scale);
    // Every input is read before anything is written, so a bad frame leaves
    // no outputs behind.
    std::vector<Picture> frames;
    for (const auto& in : inputs) frames.push_back(tool::ReadPng(in));
    if (o.outDir) PrepareDir(*o.outDir);

    // One Scaler for the whole sequence: its cache carries over from frame
    // to frame as in a real host, so each frame redraws what changed.
    tovrin::Scaler scaler(entry, frames[0].width, frames[0].height);
    const bool sequence = o.outDir.has_value();
    Progress progress("scaling", int(frames.size()));
    uint64_t written = 0, total = 0;
    for (size_t i = 0; i < frames.size(); ++i) {
        progress.Show(int(i));
        tovrin::FrameReport report;
        const Picture out = Run(scaler, frames[i], &report);
        tool::WritePng(outputs[i], out);
        written += report.pixelsWritten;
        total += report.pixelsTotal;
        if (sequence) {
            progress.Clear();
            std::printf("frame %zu %s: %llu of %llu pixels rewritten (%.1f%%)", i + 1, inputs[i].c_str(),
                        (unsigned long long)report.pixelsWritten, (unsigned long long)report.pixelsTotal,
                        100.0 * report.share());
            if (report.firstRow >= 0) std::printf(", rows %d-%d", report.firstRow, report.lastRow);
            std::printf("\n");
            std::fflush(stdout);
        }
    }
    progress.Show(int(frames.size()));
    progress.Clear();
    if (sequence)
        std::printf("%zu frames: %llu of %llu pixels rewritten (%.1f%%)\n", frames.size(), (unsigned long long)written,
                    (unsigned long long)total, total ? 100.0 * double(written) / double(total) : 0.0);
    std::printf("%s %dx: wrote %s\n", entry.name.c_str(), entry.scale,
                sequence ? (std::to_string(frames.size()) + " frames to " + *o.outDir).c_str() : outputs[0].c_str());
    return 0;
}

std::string Anchor(const std::string& name) {
    std::string slug;
    for (char c : name) {
        if (std::isalnum(static_cast<unsigned char>(c)))
            slug += char(std::tolower(static_cast<unsigned char>(c)));
        else if (c == '%')
            slug += "pct";
        else if (!slug.empty() && slug.back() != '-')
            slug += '-';
    }
    return slug;
}

std::string FileName(const tovrin::Entry& e) {
    const std::string slug = Anchor(e.name);
    char buf[128];
    std::snprintf(buf, sizeof buf, "%03d-%s-%dx.png", e.row, slug.c_str(), e.scale);
    return buf;
}

std::string Html(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

// All scaled pictures of one display name, for the page and the sheet.
struct Group {
    std::string name;
    std::vector<const tovrin::Entry*> entries;
    std::vector<Picture> pictures;
};

Picture ContactSheet(const std::vector<Group>& groups) {
    constexpr int kPad = 8, kLabel = 20, kCaption = 12;
    int width = 0, height = kPad;
    for (const auto& g : groups) {
        int w = kPad, h = 0;
        for (const auto& p : g.pictures) {
            w += p.width + kPad;
            h = std::max(h, p.height);
        }
        width = std::max(width, w);
        height += kLabel + kCaption + h + kPad;
    }
    Picture sheet = tool::Canvas(width, height, 0x202428);
    int y = kPad;
    for (const auto& g : groups) {
        tool::DrawText(sheet, kPad, y + 2, g.name, 0xF0F0F0, 2);
        y += kLabel;
        int x = kPad, h = 0;
        for (size_t i = 0; i < g.pictures.size(); ++i) {
            tool::DrawText(sheet, x, y + 2, std::to_string(g.entries[i]->scale) + "X", 0xA0A8B0);
            tool::Blit(sheet, g.pictures[i], x, y + kCaption);
            x += g.pictures[i].width + kPad;
            h = std::max(h, g.pictures[i].height);
        }
        y += kCaption + h + kPad;
    }
    return sheet;
}

std::string IndexPage(const std::vector<Group>& groups, const Picture& original, const std::string& source) {
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<title>Tovrin gallery</title>\n<style>\n"
        "body { background: #202428; color: #e8e8e8; font: 14px/1.4 sans-serif; margin: 16px; }\n"
        "h1 { font-size: 20px; margin: 0 0 4px; } h2 { font-size: 16px; margin: 20px 0 6px; }\n"
        "img { image-rendering: pixelated; display: block;\n"
        "      background: repeating-conic-gradient(#3a3f44 0 25%, #2c3034 0 50%) 0 0 / 16px 16px; }\n"
        ".row { display: flex; flex-wrap: wrap; gap: 16px; align-items: flex-start; }\n"
        "figure { margin: 0; } figcaption { color: #a8b0b8; margin-top: 4px; }\n"
        "a { color: #8cc8ff; } nav a { margin-right: 10px; white-space: nowrap; }\n"
        "</style>\n</head>\n<body>\n<h1>Tovrin gallery</h1>\n<p>Every scaler of the table applied to " +
        Html(source) +
        ". Pictures are shown at 1:1 pixel size; only the enlarged view of the original is scaled for "
        "viewing. <a href=\"contact-sheet.png\">Contact sheet</a>.</p>\n";
    html += "<nav>";
    for (const auto& g : groups) html += "<a href=\"#" + Anchor(g.name) + "\">" + Html(g.name) + "</a> ";
    html += "</nav>\n";
    const std::string w = std::to_string(original.width), h = std::to_string(original.height);
    html += "<h2>Original</h2>\n<div class=\"row\">\n<figure><img src=\"original.png\" width=\"" + w + "\" height=\"" +
            h + "\" alt=\"original\"><figcaption>" + w + "&times;" + h + ", 1:1</figcaption></figure>\n" +
            "<figure><img src=\"original.png\" width=\"" + std::to_string(original.width * 4) + "\" height=\"" +
            std::to_string(original.height * 4) +
            "\" alt=\"original enlarged\"><figcaption>enlarged 4&times; for viewing</figcaption></figure>\n</div>\n";
    for (const auto& g : groups) {
        html += "<h2 id=\"" + Anchor(g.name) + "\">" + Html(g.name) + "</h2>\n<div class=\"row\">\n";
        for (size_t i = 0; i < g.entries.size(); ++i) {
            const auto& e = *g.entries[i];
            const auto& p = g.pictures[i];
            html += "<figure><img src=\"" + FileName(e) + "\" width=\"" + std::to_string(p.width) + "\" height=\"" +
                    std::to_string(p.height) + "\" alt=\"" + Html(e.name) + " " + std::to_string(e.scale) +
                    "x\"><figcaption>" + Html(e.name) + " " + std::to_string(e.scale) + "&times;</figcaption></figure>\n";
        }
        html += "</div>\n";
    }
    return html + "</body>\n</html>\n";
}

// The gallery keeps every scaled picture for its contact sheet, which holds
// them all side by side: it is for small pixel art.
constexpr int kGalleryMaxSide = 128;

int Gallery(const Options& o) {
    if (o.positional.size() > 1) throw UsageError("gallery takes at most one input picture");
    const std::string dir = o.outDir.value_or("gallery");
    const tovrin::Library lib = Load(o);
    const Picture original = o.positional.empty() ? tool::BuiltinPicture() : tool::ReadPng(o.positional[0]);
    if (original.width > kGalleryMaxSide || original.height > kGalleryMaxSide)
        throw tovrin::Error(o.positional[0] + " is " + std::to_string(original.width) + "x" +
                            std::to_string(original.height) + " pixels; the gallery takes pictures up to " +
                            std::to_string(kGalleryMaxSide) + " on a side (use scale for larger ones)");
    PrepareDir(dir);

    std::vector<Group> groups;
    std::optional<tovrin::Scaler> scaler;
    Progress progress("gallery", int(lib.entries().size()));
    int done = 0;
    for (const tovrin::Entry& e : lib.entries()) {
        progress.Show(done++);
        if (groups.empty() || groups.back().name != e.name) groups.push_back({e.name, {}, {}});
        if (scaler)
            scaler->setEntry(e);
        else
            scaler.emplace(e, original.width, original.height);
        Picture out = Run(*scaler, original, nullptr);
        tool::WritePng(dir + "/" + FileName(e), out);
        groups.back().entries.push_back(&e);
        groups.back().pictures.push_back(std::move(out));
    }
    progress.Clear();
    tool::WritePng(dir + "/original.png", original);
    tool::WritePng(dir + "/contact-sheet.png", ContactSheet(groups));
    tool::WriteText(dir + "/index.html",
                    IndexPage(groups, original, o.positional.empty() ? "the built-in picture" : BaseName(o.positional[0])));
    std::printf("gallery of %zu scalers written to %s/index.html\n", lib.entries().size(), dir.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const Options o = Parse(argc, argv);
        if (o.command == "list") return List(o);
        if (o.command == "scale") return Scale(o);
        if (o.command == "gallery") return Gallery(o);
        if (o.command == "help" || o.command.empty()) {
            std::fputs(kUsage, o.command.empty() ? stderr : stdout);
            return o.command.empty() ? 2 : 0;
        }
        throw UsageError("unknown command \"" + o.command + "\"");
    } catch (const UsageError& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "tovrin: %s\n%s", e.what(), kUsage);
        return 2;
    } catch (const std::bad_alloc&) {
        std::fflush(stdout);
        std::fprintf(stderr, "tovrin: out of memory\n");
        return 1;
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "tovrin: %s\n", e.what());
        return 1;
    }
}
