#include "Input.h"

#include "Cli.h"

#include <QVPlatform/base/Text.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace qvtool {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// Every byte of the stream; false (with errno set) on a read error.
bool readAll(std::FILE* file, std::string& out) {
    char buffer[1 << 16];
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, file);
        out.append(buffer, n);
        if (n < sizeof buffer) return !std::ferror(file);
    }
}

std::string standardInput(std::string_view name) {
    static bool taken = false;
    if (taken) throw BadInput(std::string(name) + ": standard input (-) was already read for another argument");
    taken = true;
    std::string out;
    if (!readAll(stdin, out)) throw BadInput(std::string(name) + ": cannot read standard input: " + std::strerror(errno));
    return out;
}

std::string fileBytes(const std::string& path, std::string_view name) {
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    std::string out;
    if (!file || !readAll(file.get(), out)) {
        throw BadInput(std::string(name) + ": cannot read " + path + ": " + std::strerror(errno));
    }
    return out;
}

// ASCII digits from `i`; their count.
std::size_t skipDigits(std::string_view text, std::size_t& i) {
    const std::size_t start = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    return i - start;
}

}  // namespace

std::string readInput(std::string_view argument, std::string_view name) {
    if (argument == "-") return standardInput(name);
    if (argument.starts_with("@@")) return std::string(argument.substr(1));
    if (argument.starts_with('@')) return fileBytes(std::string(argument.substr(1)), name);
    return std::string(argument);
}

const std::string& requireUtf8(const std::string& text, std::string_view name) {
    if (!platform::isValidUtf8(text)) throw BadInput(std::string(name) + " is not valid UTF-8 text");
    return text;
}

std::string shown(std::string_view text) {
    if (!platform::isValidUtf8(text)) return "(not UTF-8)";
    constexpr std::size_t kMaxCharacters = 40;
    std::string out = "'";
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if ((c & 0xC0) != 0x80 && ++characters > kMaxCharacters) {
            out += "…";
            break;
        }
        if (c < 0x20 || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "'";
}

std::int64_t wholeNumber(std::string_view text, std::string_view name) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) {
        throw BadInput(std::string(name) + " " + shown(text) + " is beyond the 64-bit range");
    }
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        throw BadInput(std::string(name) + " " + shown(text) + " is not a whole number");
    }
    return value;
}

double realNumber(std::string_view text, std::string_view name) {
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    std::size_t digits = skipDigits(text, i);
    if (i < text.size() && text[i] == '.') digits += skipDigits(text, ++i);
    bool exponentOk = true;
    if (digits > 0 && i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        exponentOk = skipDigits(text, i) > 0;
    }
    if (digits == 0 || !exponentOk || i != text.size()) {
        throw BadInput(std::string(name) + " " + shown(text) + " is not a number");
    }
    // from_chars takes no "+"; out of range it reports an error instead of infinity.
    const std::string_view unsigned_ = text.substr(text[0] == '+' ? 1 : 0);
    double value = 0;
    const auto [end, error] = std::from_chars(unsigned_.data(), unsigned_.data() + unsigned_.size(), value);
    if (error == std::errc::result_out_of_range) {
        // Too small to hold is zero; strtod says which (the tool runs in the "C" locale, so
        // it reads the same plain decimal text).
        if (std::isfinite(std::strtod(std::string(text).c_str(), nullptr))) return 0.0;
        throw BadInput(std::string(name) + " " + shown(text) + " is beyond the range of a double");
    }
    if (error != std::errc() || end != unsigned_.data() + unsigned_.size() || !std::isfinite(value)) {
        throw BadInput(std::string(name) + " " + shown(text) + " is not a number");
    }
    return value;
}

namespace {
constexpr double kLatestInstant = 3600;  // seconds
constexpr std::size_t kMostInstants = 1000;
}  // namespace

std::vector<double> clockInstants(const std::string& text, std::string_view name) {
    std::vector<double> list;
    std::size_t from = 0;
    while (from <= text.size()) {
        const std::size_t comma = std::min(text.find(',', from), text.size());
        const double t = realNumber(std::string_view(text).substr(from, comma - from), name);
        if (t < 0 || t > kLatestInstant) throw BadInput(std::string(name) + " " + shown(text) + ": each instant is 0 to 3600 seconds");
        if (!list.empty() && t < list.back()) throw BadInput(std::string(name) + " " + shown(text) + " must not decrease");
        if (list.size() == kMostInstants) throw BadInput(std::string(name) + " takes at most 1000 instants");
        list.push_back(t);
        from = comma + 1;
    }
    return list;
}

}  // namespace qvtool
