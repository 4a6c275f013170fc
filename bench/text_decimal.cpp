// Decimal arithmetic on texts and digit grouping, in ns per call. The peers are the
// nearest everyday alternatives: binary doubles printed back to text (inexact: 0.1 + 0.2
// prints 0.30000000000000004) and a decimal-style ICU formatter built on every call.
#include "Compare.h"

#include <QVToolbox/QVToolbox.h>

#include <unicode/locid.h>
#include <unicode/numfmt.h>
#include <unicode/unistr.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

std::string doubleText(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.17g", v);
    return buffer;
}

void addingOurs(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(QVToolbox::hx("12345.6789").adding("0.0211"));
}
void addingPeer(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(doubleText(std::strtod("12345.6789", nullptr) + std::strtod("0.0211", nullptr)));
}
void dividingOurs(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(QVToolbox::hx("12345.6789").dividing("7"));
}
void dividingPeer(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(doubleText(std::strtod("12345.6789", nullptr) / std::strtod("7", nullptr)));
}
void thousandsOurs(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(QVToolbox::hx("1234567.891").toThousands());
}
void thousandsPeer(benchmark::State& state) {
    for (auto _ : state) {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::NumberFormat> f(icu::NumberFormat::createInstance(icu::Locale("en_US"), UNUM_DECIMAL, status));
        f->setMaximumFractionDigits(2);
        f->setMinimumFractionDigits(2);
        icu::UnicodeString out;
        f->format(icu::Formattable(icu::StringPiece("1234567.891"), status), out, status);
        std::string text;
        benchmark::DoNotOptimize(out.toUTF8String(text));
    }
}

}  // namespace

BENCHMARK(addingOurs)->Name("adding/ours");
BENCHMARK(addingPeer)->Name("adding/peer");
BENCHMARK(dividingOurs)->Name("dividing/ours");
BENCHMARK(dividingPeer)->Name("dividing/peer");
BENCHMARK(thousandsOurs)->Name("toThousands/ours");
BENCHMARK(thousandsPeer)->Name("toThousands/peer");

int main(int argc, char** argv) { return qvbench::run(argc, argv); }
