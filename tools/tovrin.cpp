// tovrin: command-line host of the scaler module.
#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tovrin.h"

namespace {

std::string ModuleBesideExecutable() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return "libtovrin.so";
    path[n] = 0;
    std::string dir(path);
    dir.erase(dir.rfind('/') + 1);
    return dir + "libtovrin.so";
}

int Usage(FILE* out) {
    std::fputs("usage: tovrin [--module PATH] list\n", out);
    return out == stdout ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string modulePath = ModuleBesideExecutable();
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--module") {
            if (i + 1 >= argc) return Usage(stderr);
            modulePath = argv[++i];
        } else if (arg == "-h" || arg == "--help") {
            return Usage(stdout);
        } else {
            args.push_back(arg);
        }
    }
    if (args.size() != 1 || args[0] != "list") return Usage(stderr);

    void* module = dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        std::fprintf(stderr, "tovrin: cannot load module %s: %s\n", modulePath.c_str(), dlerror());
        return 1;
    }
    auto load = reinterpret_cast<const ScalerEntry* (*)()>(dlsym(module, "Tovrin_Load"));
    if (!load) {
        std::fprintf(stderr, "tovrin: %s has no Tovrin_Load\n", modulePath.c_str());
        return 1;
    }
    // The module prints its banner on standard output as it loads.
    const ScalerEntry* table = load();
    std::printf("%4s  %-18s %s\n", "row", "name", "scale");
    int rows = 0;
    for (const ScalerEntry* e = table; e->scale != 0; ++e, ++rows)
        std::printf("%4d  %-18.66s %d\n", rows, e->name, e->scale);
    std::printf("%d entries\n", rows);
    return 0;
}
