#include <QVPlatform/foundation/RegularExpression.h>

#include <QVPlatform/foundation/detail/IcuText.h>

#include <unicode/regex.h>
#include <unicode/unistr.h>

#include <mutex>
#include <unordered_map>

namespace platform {

struct NSRegularExpression::Compiled {
    std::unique_ptr<icu::RegexPattern> pattern;
};

namespace {

// Short names for the conversions used throughout this file.
icu::UnicodeString (&u)(std::string_view) = detail::toUnicode;
std::string (&utf8)(const icu::UnicodeString&) = detail::toUtf8;


uint32_t icuFlags(NSRegularExpressionOptions options) {
    const auto o = static_cast<std::uint32_t>(options);
    uint32_t f = 0;
    if (o & static_cast<std::uint32_t>(NSRegularExpressionOptions::caseInsensitive)) f |= UREGEX_CASE_INSENSITIVE;
    if (o & static_cast<std::uint32_t>(NSRegularExpressionOptions::allowCommentsAndWhitespace)) f |= UREGEX_COMMENTS;
    if (o & static_cast<std::uint32_t>(NSRegularExpressionOptions::ignoreMetacharacters)) f |= UREGEX_LITERAL;
    if (o & static_cast<std::uint32_t>(NSRegularExpressionOptions::dotMatchesLineSeparators)) f |= UREGEX_DOTALL;
    if (o & static_cast<std::uint32_t>(NSRegularExpressionOptions::anchorsMatchLines)) f |= UREGEX_MULTILINE;
    if (o & static_cast<std::uint32_t>(NSRegularExpressionOptions::useUnixLineSeparators)) f |= UREGEX_UNIX_LINES;
    if (o & static_cast<std::uint32_t>(NSRegularExpressionOptions::useUnicodeWordBoundaries)) f |= UREGEX_UWORD;
    return f;
}

// Compiled patterns by options and pattern text. Small: when full it starts afresh, which
// keeps the hot patterns (they come straight back) without bookkeeping per lookup.
class Cache {
public:
    std::shared_ptr<const NSRegularExpression> find(const std::string& key) {
        std::lock_guard lock(mutex_);
        auto it = entries_.find(key);
        return it == entries_.end() ? nullptr : it->second;
    }
    void insert(const std::string& key, std::shared_ptr<const NSRegularExpression> value) {
        std::lock_guard lock(mutex_);
        if (entries_.size() >= kCapacity) entries_.clear();
        entries_.emplace(key, std::move(value));
    }

private:
    static constexpr std::size_t kCapacity = 256;
    std::mutex mutex_;
    std::unordered_map<std::string, std::shared_ptr<const NSRegularExpression>> entries_;  // guarded by mutex_
};

Cache& cache() {
    static Cache* instance = new Cache;  // lives to the end of the process, past static destructors
    return *instance;
}

NSRange rangeOf(icu::RegexMatcher& m, int32_t group) {
    UErrorCode status = U_ZERO_ERROR;
    const int32_t start = m.start(group, status);
    if (U_FAILURE(status) || start < 0) return {NSNotFound, 0};
    const int32_t end = m.end(group, status);
    return {static_cast<NSUInteger>(start), static_cast<NSUInteger>(end - start)};
}

}  // namespace

std::shared_ptr<const NSRegularExpression> NSRegularExpression::make(std::string_view pattern,
                                                                     NSRegularExpressionOptions options, std::string* error) {
    std::string key;
    key.reserve(pattern.size() + 4);
    key.push_back(static_cast<char>('A' + static_cast<std::uint32_t>(options) % 64));
    key.push_back(static_cast<char>('A' + static_cast<std::uint32_t>(options) / 64));
    key.append(pattern);
    if (auto hit = cache().find(key)) return hit;

    UErrorCode status = U_ZERO_ERROR;
    UParseError parseError;
    auto compiled = std::make_shared<Compiled>();
    compiled->pattern.reset(icu::RegexPattern::compile(u(pattern), icuFlags(options), parseError, status));
    if (U_FAILURE(status) || !compiled->pattern) {
        if (error) {
            *error = "The value \"" + std::string(pattern) + "\" is invalid. (" + u_errorName(status) + " at offset " +
                     std::to_string(parseError.offset) + ")";
        }
        return nullptr;
    }
    auto expression = std::make_shared<const NSRegularExpression>(std::string(pattern), options, std::move(compiled));
    cache().insert(key, expression);
    return expression;
}

std::vector<NSTextCheckingResult> NSRegularExpression::matches(std::string_view text) const {
    std::vector<NSTextCheckingResult> out;
    const icu::UnicodeString input = u(text);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> m(compiled_->pattern->matcher(input, status));
    if (U_FAILURE(status)) return out;
    const int32_t groups = m->groupCount();
    while (m->find(status) && U_SUCCESS(status)) {
        NSTextCheckingResult r;
        r.range = rangeOf(*m, 0);
        for (int32_t g = 1; g <= groups; ++g) r.groups.push_back(rangeOf(*m, g));
        out.push_back(std::move(r));
    }
    return out;
}

std::size_t NSRegularExpression::numberOfMatches(std::string_view text) const {
    const icu::UnicodeString input = u(text);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> m(compiled_->pattern->matcher(input, status));
    if (U_FAILURE(status)) return 0;
    std::size_t n = 0;
    while (m->find(status) && U_SUCCESS(status)) ++n;
    return n;
}

std::optional<NSTextCheckingResult> NSRegularExpression::firstMatch(std::string_view text) const {
    const icu::UnicodeString input = u(text);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> m(compiled_->pattern->matcher(input, status));
    if (U_FAILURE(status) || !m->find(status) || U_FAILURE(status)) return std::nullopt;
    NSTextCheckingResult r;
    r.range = rangeOf(*m, 0);
    for (int32_t g = 1; g <= m->groupCount(); ++g) r.groups.push_back(rangeOf(*m, g));
    return r;
}

std::vector<std::string> NSRegularExpression::matchedTexts(std::string_view text) const {
    std::vector<std::string> out;
    const icu::UnicodeString input = u(text);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> m(compiled_->pattern->matcher(input, status));
    if (U_FAILURE(status)) return out;
    while (m->find(status) && U_SUCCESS(status)) out.push_back(utf8(m->group(status)));
    return out;
}

std::string NSRegularExpression::stringByReplacingMatches(std::string_view text, std::string_view replacementTemplate) const {
    const icu::UnicodeString input = u(text);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> m(compiled_->pattern->matcher(input, status));
    if (U_FAILURE(status)) return std::string(text);
    const icu::UnicodeString result = m->replaceAll(u(replacementTemplate), status);
    // A template naming a group the pattern lacks fails in ICU; the text then stays as it was.
    if (U_FAILURE(status)) return std::string(text);
    return utf8(result);
}

bool NSRegularExpression::matchesEntireText(std::string_view text) const {
    const icu::UnicodeString input = u(text);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexMatcher> m(compiled_->pattern->matcher(input, status));
    if (U_FAILURE(status)) return false;
    const bool whole = m->matches(status);
    return U_SUCCESS(status) && whole;
}

bool predicateMatches(std::string_view text, std::string_view pattern) {
    const auto re = NSRegularExpression::make(pattern);
    return re && re->matchesEntireText(text);
}

std::string escapedPatternForString(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (std::string_view("\\^$.|?*+()[]{}").find(c) != std::string_view::npos) out.push_back('\\');
        out.push_back(c);
    }
    return out;
}

}  // namespace platform
