// Strings-table reader: any bytes either fail with a description or give a table whose
// entries are valid UTF-8 (so lookups and formatting of them are safe).
#include <QVPlatform/base/Text.h>
#include <QVPlatform/foundation/StringsTable.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto table = platform::StringsTable::parse(bytes, &error);
    if (!table) {
        if (error.empty()) __builtin_trap();
        return 0;
    }
    for (const auto& [key, value] : table->entries()) {
        if (table->find(key) != &value) __builtin_trap();
        if (!platform::isValidUtf8(key) || !platform::isValidUtf8(value)) __builtin_trap();
    }
    return 0;
}
