#include <QVPlatform/foundation/Transliterator.h>

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <map>
#include <memory>

namespace platform {

namespace {

// Per-thread transliterators by direction and identifier: ICU's are not for concurrent use.
icu::Transliterator* transliterator(std::string_view transform, bool reverse) {
    thread_local std::map<std::string, std::unique_ptr<icu::Transliterator>, std::less<>> built;
    std::string key(1, reverse ? 'R' : 'F');
    key.append(transform);
    auto it = built.find(key);
    if (it != built.end()) return it->second.get();
    UErrorCode status = U_ZERO_ERROR;
    const icu::UnicodeString id =
        icu::UnicodeString::fromUTF8(icu::StringPiece(transform.data(), static_cast<int32_t>(transform.size())));
    std::unique_ptr<icu::Transliterator> t(
        icu::Transliterator::createInstance(id, reverse ? UTRANS_REVERSE : UTRANS_FORWARD, status));
    if (U_FAILURE(status) || !t) {
        // Not an identifier: try it as compound rules ("NFD; [:Mn:] Remove; NFC").
        status = U_ZERO_ERROR;
        UParseError parseError;
        t.reset(icu::Transliterator::createFromRules(u"rules", id, reverse ? UTRANS_REVERSE : UTRANS_FORWARD, parseError,
                                                     status));
        if (U_FAILURE(status)) t.reset();
    }
    return built.emplace(std::move(key), std::move(t)).first->second.get();
}

}  // namespace

std::optional<std::string> applyingTransform(std::string_view text, std::string_view transform, bool reverse) {
    icu::Transliterator* t = transliterator(transform, reverse);
    if (!t) return std::nullopt;
    icu::UnicodeString s = icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    t->transliterate(s);
    std::string out;
    s.toUTF8String(out);
    return out;
}

}  // namespace platform
