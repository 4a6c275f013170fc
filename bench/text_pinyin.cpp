// toPinyin on a 1,000-character Chinese text, beside creating the ICU transliterators on
// every call.
#include "Compare.h"

#include <QVToolbox/QVToolbox.h>

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <memory>
#include <string>

namespace {

std::string chineseText() {
    const std::string sample = "中华人民共和国北京上海广州深圳天津重庆南京杭州";  // 24 characters
    std::string out;
    for (int i = 0; i < 1000; ++i) {
        const std::size_t at = static_cast<std::size_t>(i % 24) * 3;
        out += sample.substr(at, 3);
    }
    return out;
}

std::string freshTransliterators(const std::string& text) {
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Transliterator> latin(icu::Transliterator::createInstance("Any-Latin", UTRANS_FORWARD, status));
    std::unique_ptr<icu::Transliterator> strip(
        icu::Transliterator::createInstance("NFD; [:Nonspacing Mark:] Remove; NFC", UTRANS_FORWARD, status));
    icu::UnicodeString s = icu::UnicodeString::fromUTF8(text);
    latin->transliterate(s);
    strip->transliterate(s);
    std::string out;
    s.toUTF8String(out);
    return out;
}

void pinyinOurs(benchmark::State& state) {
    const std::string text = chineseText();
    for (auto _ : state) benchmark::DoNotOptimize(QVToolbox::hx(text).toPinyin(false));
}
void pinyinPeer(benchmark::State& state) {
    const std::string text = chineseText();
    for (auto _ : state) benchmark::DoNotOptimize(freshTransliterators(text));
}

}  // namespace

BENCHMARK(pinyinOurs)->Name("toPinyin_1000chars/ours")->Unit(benchmark::kMicrosecond);
BENCHMARK(pinyinPeer)->Name("toPinyin_1000chars/peer")->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) { return qvbench::run(argc, argv); }
