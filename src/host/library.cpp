// Loading the module and finding entries in its table.
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "tovrin/host.hpp"

#ifndef TOVRIN_INSTALL_LIBDIR
#define TOVRIN_INSTALL_LIBDIR ""
#endif

namespace tovrin {
namespace detail {

// The loaded module; unloaded when the last Library, Entry or Scaler that
// refers to it goes.
struct Module {
    std::string path;
    void* handle = nullptr;
    const ScalerEntry* table = nullptr;
    bool vectorUnit = false;
    ~Module() {
        if (!handle) return;
        if (auto unload = reinterpret_cast<void (*)()>(dlsym(handle, "Tovrin_Unload"))) unload();
        dlclose(handle);
    }
};

}  // namespace detail

namespace {

bool Readable(const std::string& path) { return access(path.c_str(), R_OK) == 0; }

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string Join(const std::vector<std::string>& items) {
    std::string out;
    for (const auto& item : items) {
        if (!out.empty()) out += ", ";
        out += item;
    }
    return out;
}

// The same question the module asks at load, answered by the platform
// library it imports (reachable through the module's handle).
bool QueryVectorUnit(void* handle) {
    using Query = int16_t (*)(uint32_t, int32_t*);
    auto gestalt = reinterpret_cast<Query>(dlsym(handle, "Gestalt"));
    int32_t response = 0;
    return gestalt && gestalt(0x70706366, &response) == 0 && (response & 0x10);
}

}  // namespace

std::string Library::DefaultModulePath() {
    const char* const name = "libtovrin.so";
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&Library::DefaultModulePath), &info) && info.dli_fname) {
        std::string dir = info.dli_fname;
        const auto slash = dir.rfind('/');
        dir = slash == std::string::npos ? std::string("./") : dir.substr(0, slash + 1);
        if (Readable(dir + name)) return dir + name;
        if (Readable(dir + "../lib/" + name)) return dir + "../lib/" + name;
    }
    const std::string installed = std::string(TOVRIN_INSTALL_LIBDIR) + "/" + name;
    if (*TOVRIN_INSTALL_LIBDIR && Readable(installed)) return installed;
    return name;
}

Library::Library() : Library(DefaultModulePath()) {}

Library::Library(const std::string& modulePath) {
    auto module = std::make_shared<detail::Module>();
    module->path = modulePath;
    module->handle = dlopen(modulePath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module->handle) {
        const char* why = dlerror();
        throw Error("cannot load the scaler module " + modulePath + ": " + (why ? why : "unknown error"));
    }
    auto load = reinterpret_cast<const ScalerEntry* (*)()>(dlsym(module->handle, "Tovrin_Load"));
    if (!load) throw Error(modulePath + " is not a scaler module: it has no Tovrin_Load");
    module->table = load();
    if (!module->table) throw Error(modulePath + ": Tovrin_Load returned no table");
    module->vectorUnit = QueryVectorUnit(module->handle);
    module_ = module;
    for (const ScalerEntry* e = module->table; e->scale != 0; ++e) {
        Entry entry;
        entry.name.assign(e->name, strnlen(e->name, sizeof e->name));
        entry.scale = e->scale;
        entry.row = static_cast<int>(e - module->table);
        entry.routine = e->routine;
        entry.module = module_;
        entries_.push_back(std::move(entry));
    }
}

const std::string& Library::path() const { return module_->path; }

const std::vector<Entry>& Library::entries() const { return entries_; }

bool Library::vectorUnit() const { return module_->vectorUnit; }

std::vector<std::string> Library::names() const {
    std::vector<std::string> out;
    for (const auto& e : entries_)
        if (std::find(out.begin(), out.end(), e.name) == out.end()) out.push_back(e.name);
    return out;
}

std::vector<int> Library::scales(std::string_view name) const {
    std::vector<int> out;
    const std::string wanted = Lower(name);
    for (const auto& e : entries_)
        if (Lower(e.name) == wanted) out.push_back(e.scale);
    return out;
}

const Entry& Library::find(std::string_view name, int scale) const {
    const std::vector<int> offered = scales(name);
    if (offered.empty())
        throw Error("unknown scaler \"" + std::string(name) + "\"; the scalers are: " + Join(names()));
    if (scale == 0) {
        scale = offered.front();
        for (int s : offered)
            if (s > 1) { scale = s; break; }
    }
    const std::string wanted = Lower(name);
    for (const auto& e : entries_)
        if (e.scale == scale && Lower(e.name) == wanted) return e;
    std::vector<std::string> list;
    for (int s : offered) list.push_back(std::to_string(s));
    std::string display;
    for (const auto& e : entries_)
        if (Lower(e.name) == wanted) { display = e.name; break; }
    throw Error("\"" + display + "\" has no scale " + std::to_string(scale) + "; it offers " + Join(list));
}

}  // namespace tovrin
