#include <QVPlatform/foundation/detail/CurlLibrary.h>

#include <QVPlatform/base/Debug.h>

namespace platform::detail {

namespace {

// Resolves `name` in `lib` into `slot`, typed as the function it names.
template <class Function>
bool bind(void* lib, const char* name, Function& slot, std::string* why) {
    return bindFunction(lib, name, slot, "libcurl", why);
}

bool bindEasy(void* lib, CurlFunctions& f, std::string* why) {
    return bind(lib, "curl_global_init", f.curl_global_init, why) &&
           bind(lib, "curl_version_info", f.curl_version_info, why) &&
           bind(lib, "curl_easy_init", f.curl_easy_init, why) &&
           bind(lib, "curl_easy_cleanup", f.curl_easy_cleanup, why) &&
           bind(lib, "curl_easy_setopt", f.curl_easy_setopt, why) &&
           bind(lib, "curl_easy_perform", f.curl_easy_perform, why) &&
           bind(lib, "curl_easy_getinfo", f.curl_easy_getinfo, why);
}

bool bindMulti(void* lib, CurlFunctions& f, std::string* why) {
    return bind(lib, "curl_multi_init", f.curl_multi_init, why) &&
           bind(lib, "curl_multi_add_handle", f.curl_multi_add_handle, why) &&
           bind(lib, "curl_multi_remove_handle", f.curl_multi_remove_handle, why) &&
           bind(lib, "curl_multi_perform", f.curl_multi_perform, why) &&
           bind(lib, "curl_multi_poll", f.curl_multi_poll, why) &&
           bind(lib, "curl_multi_wakeup", f.curl_multi_wakeup, why) &&
           bind(lib, "curl_multi_info_read", f.curl_multi_info_read, why);
}

bool recentEnough(const CurlFunctions& f, std::string* why) {
    const curl_version_info_data* info = f.curl_version_info(CURLVERSION_NOW);
    if (info && info->version_num >= CurlLibrary::minimumVersion) return true;
    if (why) *why = "libcurl " + std::string(info && info->version ? info->version : "of unknown version") +
                    " is older than 7.85.0";
    return false;
}

}  // namespace

std::unique_ptr<CurlLibrary> CurlLibrary::open(const std::string& soname, std::string* why) {
    std::unique_ptr<CurlLibrary> library(new CurlLibrary());
    CurlFunctions& f = library->functions_;
    library->handle_ = openLibrary(soname, why);
    if (!library->handle_ || !bindEasy(library->handle_.get(), f, why) || !bindMulti(library->handle_.get(), f, why) ||
        !recentEnough(f, why)) {
        return nullptr;
    }
    return library;
}

const CurlFunctions* curl() {
    static const std::unique_ptr<CurlLibrary> library = [] {
        std::string why;
        auto opened = CurlLibrary::open(CurlLibrary::soname, &why);
        if (opened) {
            const CURLcode code = opened->functions().curl_global_init(CURL_GLOBAL_DEFAULT);
            if (code != CURLE_OK) {
                why = "curl_global_init failed with code " + std::to_string(code);
                opened.reset();
            }
        }
        if (!opened) debugPrint("HTTP loading is unavailable: " + why);
        return opened;
    }();
    return library ? &library->functions() : nullptr;
}

}  // namespace platform::detail
