// Transliteration of text by ICU transforms: script to Latin, diacritics removed.
//
//   applyingTransform("中文", kStringTransformToLatin);           // "zhōng wén"
//   applyingTransform("zhōng wén", kStringTransformStripDiacritics);  // "zhong wen"
//
// Transforms are ICU transform identifiers or compound rules. Each thread keeps the
// transliterators it has built (building "Any-Latin" costs milliseconds; using it, microseconds).
// Thread rule: callable from any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

inline constexpr std::string_view kStringTransformToLatin = "Any-Latin";
inline constexpr std::string_view kStringTransformStripDiacritics = "NFD; [:Nonspacing Mark:] Remove; NFC";

// The transformed text; absent when the transform is unknown.
std::optional<std::string> applyingTransform(std::string_view text, std::string_view transform, bool reverse = false);

}  // namespace platform
