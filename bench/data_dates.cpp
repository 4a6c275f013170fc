// Formatting a timestamp with the shared hx_formatter, beside making a new ICU formatter for
// every call (locale zh_Hans_CN, ISO 8601 calendar, the same pattern and zone).
#include "Compare.h"

#include <QVToolbox/FoundationExtension/data/DateHelpers.h>

#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <memory>
#include <string>

namespace {

constexpr const char* kPattern = "yyyy-MM-dd HH:mm:ss";

void BM_Format_ours(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(QVToolbox::timestampToFormatterTimeString("1700000000", kPattern));
}

void BM_Format_peer(benchmark::State& state) {
    const icu::Locale locale("zh_Hans_CN@calendar=iso8601");
    for (auto _ : state) {
        UErrorCode status = U_ZERO_ERROR;
        icu::SimpleDateFormat format(icu::UnicodeString(kPattern), locale, status);
        format.adoptTimeZone(icu::TimeZone::createDefault());
        icu::UnicodeString out;
        format.format(1700000000.0 * 1000, out);
        std::string text;
        out.toUTF8String(text);
        benchmark::DoNotOptimize(text);
    }
}

// Two members that need different patterns, called in turn: the shared formatter switches.
void BM_AlternatingPatterns_ours(benchmark::State& state) {
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(QVToolbox::timestampToFormatterTimeString("1700000000", (i++ & 1) ? kPattern : "HH:mm"));
    }
}

void BM_AlternatingPatterns_peer(benchmark::State& state) { BM_Format_peer(state); }

}  // namespace

BENCHMARK(BM_AlternatingPatterns_ours)->Name("format_alternating_patterns/ours");
BENCHMARK(BM_AlternatingPatterns_peer)->Name("format_alternating_patterns/peer");
BENCHMARK(BM_Format_ours)->Name("format_timestamp/ours");
BENCHMARK(BM_Format_peer)->Name("format_timestamp/peer");

int main(int argc, char** argv) { return qvbench::run(argc, argv); }
