// StringsTable: a localized strings table (`NAME.strings`), key to translated text.
//
//   auto table = StringsTable::parse("/* greeting */\n\"hello\" = \"Bonjour\";\nok;");
//   table->find("hello");        // "Bonjour"
//   table->find("ok");           // "ok" (the shorthand `"key";` maps a key to itself)
//
// Formats read:
// - old-style property-list tables: `"key" = "value";` entries, optionally inside `{ }`;
//   keys and values quoted ('"' or '\'') or unquoted (letters, digits and _$+/:.-); `/* */`
//   and `//` comments; the quoted-string escapes (\n, \", \\, \U hex, octal...); the
//   shorthand `"key";`; a later duplicate key replaces the earlier one;
// - XML property-list tables (a dictionary whose text values are kept; other values skipped);
// - in UTF-8 (with or without a byte-order mark) or UTF-16 with a byte-order mark, either
//   byte order.
// `readFile` never fails: a table that is missing or does not parse is empty, and a table
// that does not parse also writes one line to the debug channel.
// Thread rule: a table is an immutable value once read; share it freely.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace platform {

class StringsTable {
public:
    // Hashes std::string and std::string_view alike, so lookups need no temporary text.
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
    };
    using Map = std::unordered_map<std::string, std::string, Hash, std::equal_to<>>;

    StringsTable() = default;
    explicit StringsTable(Map entries) : entries_(std::move(entries)) {}

    // The table the bytes hold; absent, with a description in `error`, when they do not parse.
    static std::optional<StringsTable> parse(std::string_view bytes, std::string* error = nullptr);
    // The table in the file; empty when it is missing or does not parse (see above).
    static StringsTable readFile(const std::filesystem::path& path);

    // The text for `key`, or null when the table has no such key.
    const std::string* find(std::string_view key) const {
        const auto it = entries_.find(key);
        return it == entries_.end() ? nullptr : &it->second;
    }
    std::size_t count() const { return entries_.size(); }
    const Map& entries() const { return entries_; }

private:
    Map entries_;
};

}  // namespace platform
