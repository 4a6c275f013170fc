// Untrusted formats: any format with a fixed set of arguments of every kind is written
// without reading past the arguments, and the output stays bounded by the format's size.
#include <QVPlatform/foundation/StringFormat.h>

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view format(reinterpret_cast<const char*>(data), size);
    static const std::vector<platform::Any> arguments = {
        platform::Any("text"), platform::Any(42), platform::Any(-1.5), platform::Any(true), platform::Any(),
        platform::Any(platform::Any::List{1, "two"}), platform::Any(std::int64_t{1} << 62), platform::Any("中文")};
    for (std::size_t count : {std::size_t{0}, std::size_t{2}, arguments.size()}) {
        const std::vector<platform::Any> some(arguments.begin(), arguments.begin() + static_cast<std::ptrdiff_t>(count));
        const std::string out = platform::stringWithFormat(format, some);
        // Each specifier writes at most a width or precision of 4096 plus its argument.
        if (out.size() > format.size() * (2 * 4096 + 256) + 64) __builtin_trap();
    }
    return 0;
}
