#include <QVPlatform/foundation/StringsTable.h>

#include <QVPlatform/base/Debug.h>
#include <QVPlatform/base/Text.h>
#include <QVPlatform/foundation/OldStylePropertyList.h>
#include <QVPlatform/foundation/PropertyList.h>
#include <QVPlatform/foundation/detail/ReadFile.h>

namespace platform {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// Characters of an unquoted old-style string.
bool isUnquoted(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$' ||
           c == '+' || c == '/' || c == ':' || c == '.' || c == '-';
}

// UTF-16 bytes (after their byte-order mark) as UTF-8; absent for an odd byte count.
std::optional<std::string> utf16BytesToUtf8(std::string_view bytes, bool bigEndian) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t k = 0; k < units.size(); ++k) {
        const auto first = static_cast<unsigned char>(bytes[2 * k]);
        const auto second = static_cast<unsigned char>(bytes[2 * k + 1]);
        units[k] = static_cast<char16_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
    }
    return utf16ToUtf8(units);
}

// Reads the old-style form: `key = value;` entries, optionally inside one `{ }`.
class OldStyleReader {
public:
    explicit OldStyleReader(std::string_view text) : text_(text) {}

    std::optional<StringsTable::Map> read(std::string* error) {
        StringsTable::Map entries;
        skipBlanksAndComments();
        const bool braced = at('{');
        if (braced) ++i_;
        for (;;) {
            if (!skipBlanksAndComments()) return fail(error, "unterminated comment");
            if (i_ >= text_.size()) {
                if (braced) return fail(error, "missing '}'");
                break;
            }
            if (braced && at('}')) {
                ++i_;
                skipBlanksAndComments();
                if (i_ < text_.size()) return fail(error, "text after '}'");
                break;
            }
            auto key = readString();
            if (!key) return fail(error, "expected a key");
            skipBlanksAndComments();
            if (at(';')) {  // the shorthand "key"; maps the key to itself
                ++i_;
                std::string value = *key;
                entries.insert_or_assign(std::move(*key), std::move(value));
                continue;
            }
            if (!at('=')) return fail(error, "expected '=' or ';' after a key");
            ++i_;
            skipBlanksAndComments();
            auto value = readString();
            if (!value) return fail(error, "expected a value");
            skipBlanksAndComments();
            if (!at(';')) return fail(error, "expected ';' after a value");
            ++i_;
            entries.insert_or_assign(std::move(*key), std::move(*value));
        }
        return entries;
    }

private:
    bool at(char c) const { return i_ < text_.size() && text_[i_] == c; }

    // False when a block comment never ends.
    bool skipBlanksAndComments() {
        while (i_ < text_.size()) {
            if (isBlank(text_[i_])) {
                ++i_;
            } else if (text_.substr(i_).starts_with("//")) {
                const std::size_t end = text_.find('\n', i_);
                i_ = end == std::string_view::npos ? text_.size() : end + 1;
            } else if (text_.substr(i_).starts_with("/*")) {
                const std::size_t end = text_.find("*/", i_ + 2);
                if (end == std::string_view::npos) return false;
                i_ = end + 2;
            } else {
                break;
            }
        }
        return true;
    }

    std::optional<std::string> readString() {
        if (at('"') || at('\'')) return readOldStyleQuotedString(text_, i_);
        const std::size_t start = i_;
        while (i_ < text_.size() && isUnquoted(text_[i_])) ++i_;
        if (i_ == start) return std::nullopt;
        return std::string(text_.substr(start, i_ - start));
    }

    std::optional<StringsTable::Map> fail(std::string* error, std::string_view what) const {
        if (error) *error = std::string(what) + " at line " + std::to_string(lineOf(i_));
        return std::nullopt;
    }

    std::size_t lineOf(std::size_t offset) const {
        std::size_t line = 1;
        for (std::size_t k = 0; k < offset && k < text_.size(); ++k) line += text_[k] == '\n';
        return line;
    }

    std::string_view text_;
    std::size_t i_ = 0;
};

std::optional<StringsTable::Map> readXML(std::string_view text, std::string* error) {
    const auto value = PropertyList::readXML(text);
    if (!value || !value->isDictionary()) {
        if (error) *error = "not an XML property list dictionary";
        return std::nullopt;
    }
    StringsTable::Map entries;
    for (const auto& [key, item] : *value->asDictionary()) {
        if (item.isString()) entries.emplace(key, item.string());
    }
    return entries;
}

}  // namespace

std::optional<StringsTable> StringsTable::parse(std::string_view bytes, std::string* error) {
    std::string converted;
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        auto utf8 = utf16BytesToUtf8(bytes.substr(2), bytes[0] == '\xFE');
        if (!utf8) {
            if (error) *error = "UTF-16 text with an odd number of bytes";
            return std::nullopt;
        }
        converted = std::move(*utf8);
        bytes = converted;
    } else if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    auto entries = PropertyList::looksLikeXML(bytes) ? readXML(bytes, error) : OldStyleReader(bytes).read(error);
    if (!entries) return std::nullopt;
    return StringsTable(std::move(*entries));
}

StringsTable StringsTable::readFile(const std::filesystem::path& path) {
    const auto bytes = detail::readFile(path);
    if (!bytes) return {};
    std::string error;
    auto table = parse(bytes->view(), &error);
    if (!table) {
        debugPrint("strings table " + path.string() + " does not parse: " + error);
        return {};
    }
    return std::move(*table);
}

}  // namespace platform
