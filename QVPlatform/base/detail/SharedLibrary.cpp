#include <QVPlatform/base/detail/SharedLibrary.h>

#include <dlfcn.h>

namespace platform::detail {

void LibraryCloser::operator()(void* handle) const {
    ::dlclose(handle);
}

LibraryHandle openLibrary(const std::string& soname, std::string* why) {
    LibraryHandle handle(::dlopen(soname.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE));
    if (!handle && why) {
        const char* reason = ::dlerror();
        *why = "cannot load " + soname + (reason ? std::string(": ") + reason : std::string());
    }
    return handle;
}

void* librarySymbol(void* library, const char* name) {
    return ::dlsym(library, name);
}

}  // namespace platform::detail
