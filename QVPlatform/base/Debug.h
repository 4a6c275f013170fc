// The debug channel and the standard-output debug print.
//
//   debugPrint("获取缩略图失败");          // debug builds: "[QVDebug] File.cpp: 获取缩略图失败" on stderr
//   setDebugSink([](auto msg, auto file) { seen.push_back(std::string(msg)); });  // tests
//   printQuoted("a\"b");                // stdout: "a\"b" (the quoted, escaped form)
//
// The channel writes only in debug builds (NDEBUG not defined); in release builds a message
// costs only its composition. A sink, when set, receives every message in any build, so that
// tests and hosts can observe diagnostics. Thread rule: callable from any thread; the sink
// is called on the sending thread.
#pragma once

#include <functional>
#include <source_location>
#include <string>
#include <string_view>

namespace platform {

using DebugSink = std::function<void(std::string_view message, std::string_view sourceFile)>;

void debugPrint(std::string_view message, std::string_view sourceFile);
#if defined(__cpp_lib_source_location)
inline void debugPrint(std::string_view message, std::source_location where = std::source_location::current()) {
    debugPrint(message, std::string_view(where.file_name()));
}
#else
// Compilers whose library lacks std::source_location (clang 14 with libstdc++ 12, used for
// the fuzzers): the caller's file through the builtin that source_location wraps.
inline void debugPrint(std::string_view message, const char* sourceFile = __builtin_FILE()) {
    debugPrint(message, std::string_view(sourceFile));
}
#endif
// Replaces the sink (null restores the default); returns the previous one.
DebugSink setDebugSink(DebugSink sink);

// The quoted form of a text: surrounded by double quotes, with \" \\ \n \r \t and \0 escaped
// and other control characters as \u{X}.
std::string quoted(std::string_view text);
// Writes quoted(text) and a line break to standard output.
void printQuoted(std::string_view text);

}  // namespace platform
