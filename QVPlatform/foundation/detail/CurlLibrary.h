// CurlLibrary: libcurl opened at run time, with the functions the URL loaders call resolved
// into one typed table, and curl's process-wide set-up done once.
//
//   const CurlFunctions* c = curl();              // loads on the first call, once
//   if (!c) return httpUnavailable(url);
//   CURL* handle = c->curl_easy_init();
//
// QVPlatform does not link libcurl: its ~20 dependent libraries (TLS, Kerberos, LDAP, SSH,
// HTTP/2...) would otherwise be loaded and relocated in every process that links us, before
// main, though only http(s) loads use them; file URLs never open it. The library is opened by
// its ABI soname, "libcurl.so.4", and stays loaded for the life of the process. When it, a
// function, or a recent enough version (see `minimumVersion`) is missing, `curl()` answers
// null and says why once on the debug channel. Thread rule: `curl()` is callable from any
// thread; the table never changes.
#pragma once

#include <QVPlatform/base/detail/SharedLibrary.h>

#include <curl/curl.h>

#include <memory>
#include <string>

namespace platform::detail {

// One pointer per libcurl function in use, each named and typed as the function itself. The
// variadic setters keep their C variadic type, so calls through them pass arguments unchanged.
struct CurlFunctions {
    decltype(&::curl_global_init) curl_global_init = nullptr;
    decltype(&::curl_version_info) curl_version_info = nullptr;
    decltype(&::curl_easy_init) curl_easy_init = nullptr;
    decltype(&::curl_easy_cleanup) curl_easy_cleanup = nullptr;
    decltype(&::curl_easy_setopt) curl_easy_setopt = nullptr;
    decltype(&::curl_easy_perform) curl_easy_perform = nullptr;
    decltype(&::curl_easy_getinfo) curl_easy_getinfo = nullptr;
    decltype(&::curl_multi_init) curl_multi_init = nullptr;
    decltype(&::curl_multi_add_handle) curl_multi_add_handle = nullptr;
    decltype(&::curl_multi_remove_handle) curl_multi_remove_handle = nullptr;
    decltype(&::curl_multi_perform) curl_multi_perform = nullptr;
    decltype(&::curl_multi_poll) curl_multi_poll = nullptr;
    decltype(&::curl_multi_wakeup) curl_multi_wakeup = nullptr;
    decltype(&::curl_multi_info_read) curl_multi_info_read = nullptr;
};

class CurlLibrary {
public:
    // libcurl's ABI soname. Not derived from LIBCURL_VERSION_MAJOR: that is the release number
    // (8 today), while the binary interface, and so the soname, has stayed "libcurl.so.4"
    // since 7.16 and across the 8.x releases.
    static constexpr const char* soname = "libcurl.so.4";
    // The oldest release that has every option we set: CURLOPT_PROTOCOLS_STR, which keeps
    // loads and redirects on http(s), came in 7.85.0. An older library would ignore it.
    static constexpr unsigned minimumVersion = 0x075500;

    // Opens `soname`, resolves every function and checks the version; null, with the reason
    // in `why` (the library, function or version that is missing), when any step fails.
    static std::unique_ptr<CurlLibrary> open(const std::string& soname, std::string* why);

    const CurlFunctions& functions() const { return functions_; }

private:
    CurlLibrary() = default;

    LibraryHandle handle_;
    CurlFunctions functions_;
};

// The process's table: `CurlLibrary::soname` opened and curl_global_init run on the first call
// (thread-safe, once); null when unavailable (reported once on the debug channel).
const CurlFunctions* curl();

}  // namespace platform::detail
