#pragma once

#include <string>
#include <string_view>

namespace rm {

// A shared library loaded at run time (the counterpart of a Windows module).
// The library stays loaded while the object lives; moving hands it over.
class SharedLibrary {
public:
    SharedLibrary() = default;
    ~SharedLibrary();
    SharedLibrary(SharedLibrary&& other) noexcept;
    SharedLibrary& operator=(SharedLibrary&& other) noexcept;
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // "X.dll" (any case) names the file "libx.so".
    static std::string moduleFileName(std::string_view dllName);

    // Loads the file at `path` with RTLD_NOW | RTLD_LOCAL; false when it
    // cannot be loaded (lastError() tells why). An open library is closed first.
    bool open(const std::string& path);
    // Loads "libx.so" for `dllName` from the program's folder.
    bool openModule(std::string_view dllName);
    void close();

    bool isOpen() const { return handle_ != nullptr; }
    void* symbol(const char* name) const;
    const std::string& lastError() const { return lastError_; }

private:
    void* handle_ = nullptr;
    std::string lastError_;
};

} // namespace rm
