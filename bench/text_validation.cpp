// isValidEmail, isValidMobile and isValidIDCardNumStrict per call, beside compiling the ICU
// pattern on every call as the platform predicate does.
#include "Compare.h"

#include <QVToolbox/QVToolbox.h>

#include <unicode/regex.h>
#include <unicode/unistr.h>

#include <memory>
#include <string>

namespace {

bool compileAndMatch(const char* pattern, const std::string& text, bool whole, uint32_t flags = 0) {
    UErrorCode status = U_ZERO_ERROR;
    UParseError error;
    std::unique_ptr<icu::RegexPattern> p(icu::RegexPattern::compile(icu::UnicodeString::fromUTF8(pattern), flags, error, status));
    if (U_FAILURE(status)) return false;
    const icu::UnicodeString input = icu::UnicodeString::fromUTF8(text);
    std::unique_ptr<icu::RegexMatcher> m(p->matcher(input, status));
    return whole ? m->matches(status) : m->find(status);
}

const std::string kEmail = "qv.tool+x@mail-1.example.cn";
const std::string kMobile = "13912345678";
const std::string kCard = "11010519900101103X";

void emailOurs(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(QVToolbox::hx(kEmail).isValidEmail());
}
void emailPeer(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(compileAndMatch("[A-Z0-9a-z._%+-]+@[A-Za-z0-9.-]+\\.[A-Za-z]{2,4}", kEmail, true));
}
void mobileOurs(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(QVToolbox::hx(kMobile).isValidMobile());
}
void mobilePeer(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(compileAndMatch(
            "^((13[0-9])|(14[5,7])|(15[0-3,5-9])|(17[0,3,5-8])|(18[0-9])|166|198|199)\\d{8}$", kMobile, true));
    }
}
void cardOurs(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(QVToolbox::hx(kCard).isValidIDCardNumStrict());
}
// The same two pattern steps with a compile each time (the checksum is negligible).
void cardPeer(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(compileAndMatch("^(\\d{15})|((\\d{17})(\\d|[X]))$", kCard, true));
        benchmark::DoNotOptimize(compileAndMatch(
            "^[1-9][0-9]{5}(19|20)[0-9]{2}((01|03|05|07|08|10|12)(0[1-9]|[1-2][0-9]|3[0-1])|(04|06|09|11)(0[1-9]|[1-2][0-9]|30)|"
            "02(0[1-9]|1[0-9]|2[0-8]))[0-9]{3}[0-9Xx]$",
            kCard, false, UREGEX_CASE_INSENSITIVE));
    }
}

}  // namespace

BENCHMARK(emailOurs)->Name("isValidEmail/ours");
BENCHMARK(emailPeer)->Name("isValidEmail/peer");
BENCHMARK(mobileOurs)->Name("isValidMobile/ours");
BENCHMARK(mobilePeer)->Name("isValidMobile/peer");
BENCHMARK(cardOurs)->Name("isValidIDCardNumStrict/ours");
BENCHMARK(cardPeer)->Name("isValidIDCardNumStrict/peer");

int main(int argc, char** argv) { return qvbench::run(argc, argv); }
