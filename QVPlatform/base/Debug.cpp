#include <QVPlatform/base/Debug.h>

#include <cstdio>
#include <mutex>

namespace platform {

namespace {

std::mutex sinkMutex;  // guards sink
DebugSink sink;

std::string_view baseName(std::string_view path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

void debugPrint(std::string_view message, std::string_view sourceFile) {
    DebugSink current;
    {
        std::lock_guard lock(sinkMutex);
        current = sink;
    }
    if (current) {
        current(message, baseName(sourceFile));
        return;
    }
#ifndef NDEBUG
    const auto file = baseName(sourceFile);
    std::fprintf(stderr, "[QVDebug] %.*s: %.*s\n", static_cast<int>(file.size()), file.data(),
                 static_cast<int>(message.size()), message.data());
#endif
}

DebugSink setDebugSink(DebugSink newSink) {
    std::lock_guard lock(sinkMutex);
    std::swap(sink, newSink);
    return newSink;
}

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            case '\0': out += "\\0"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) {
                    char buffer[12];
                    std::snprintf(buffer, sizeof buffer, "\\u{%x}", static_cast<unsigned>(static_cast<unsigned char>(c)));
                    out += buffer;
                } else {
                    out += c;
                }
        }
    }
    out += '"';
    return out;
}

void printQuoted(std::string_view text) {
    const auto line = quoted(text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fflush(stdout);
}

}  // namespace platform
