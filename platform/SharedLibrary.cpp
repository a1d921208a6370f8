#include "SharedLibrary.h"

#include "ProgramFolder.h"

#include <dlfcn.h>

#include <algorithm>
#include <cctype>
#include <utility>

namespace rm {

SharedLibrary::~SharedLibrary() { close(); }

SharedLibrary::SharedLibrary(SharedLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), lastError_(std::move(other.lastError_)) {}

SharedLibrary& SharedLibrary::operator=(SharedLibrary&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = std::exchange(other.handle_, nullptr);
        lastError_ = std::move(other.lastError_);
    }
    return *this;
}

std::string SharedLibrary::moduleFileName(std::string_view dllName) {
    std::string base(dllName);
    std::transform(base.begin(), base.end(), base.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (base.size() >= 4 && base.compare(base.size() - 4, 4, ".dll") == 0)
        base.resize(base.size() - 4);
    return "lib" + base + ".so";
}

bool SharedLibrary::open(const std::string& path) {
    close();
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char* err = dlerror();
        lastError_ = err ? err : "cannot load " + path;
        return false;
    }
    lastError_.clear();
    return true;
}

bool SharedLibrary::openModule(std::string_view dllName) {
    return open(programFolder() + "/" + moduleFileName(dllName));
}

void SharedLibrary::close() {
    if (handle_) {
        dlclose(handle_);
        handle_ = nullptr;
    }
}

void* SharedLibrary::symbol(const char* name) const {
    return handle_ ? dlsym(handle_, name) : nullptr;
}

} // namespace rm
