// SharedLibrary: a shared library opened at run time by soname, and its functions resolved
// into typed pointers, for dependencies loaded only when first needed (libcurl, FFmpeg).
//
//   LibraryHandle lib = openLibrary("libcurl.so.4", &why);
//   if (!lib || !bindFunction(lib.get(), "curl_easy_init", table.curl_easy_init, "libcurl", &why)) ...
//
// Libraries open with RTLD_NODELETE: work still running on another thread while the process
// exits must not find their code unmapped under it. Not API. Thread rule: callable from any
// thread.
#pragma once

#include <memory>
#include <string>

namespace platform::detail {

struct LibraryCloser {
    void operator()(void* handle) const;
};
using LibraryHandle = std::unique_ptr<void, LibraryCloser>;

// Opens `soname`; null, with "cannot load SONAME: reason" in `why` (when given), on failure.
LibraryHandle openLibrary(const std::string& soname, std::string* why);

// The address of `name` in `library`; null when it has none.
void* librarySymbol(void* library, const char* name);

// Resolves `name` in `library` into `slot`, typed as the function it names; false, with
// "OWNER has no function NAME" in `why` (when given), when it is missing.
template <class Function>
bool bindFunction(void* library, const char* name, Function& slot, const char* owner, std::string* why) {
    slot = reinterpret_cast<Function>(librarySymbol(library, name));
    if (!slot && why) *why = std::string(owner) + " has no function " + name;
    return slot != nullptr;
}

}  // namespace platform::detail
