// jsonToDictionary + toJSON on a 1 MiB document, beside RapidJSON parsing the same bytes into
// its own DOM and writing them back.
#include "Compare.h"

#include <QVToolbox/FoundationExtension/data/JSONHelpers.h>

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <string>

namespace {

const std::string& document() {
    static const std::string doc = [] {
        std::string s = "{\"items\":[";
        for (int i = 0; s.size() < (1u << 20); ++i) {
            if (i) s += ',';
            s += "{\"id\":" + std::to_string(i) + ",\"name\":\"用户" + std::to_string(i) +
                 "\",\"score\":" + std::to_string(i) + ".25,\"active\":true,\"tags\":[\"a\",\"b/c\"],"
                 "\"nested\":{\"x\":" + std::to_string(i * 7) + ",\"note\":null}}";
        }
        return s + "]}";
    }();
    return doc;
}

void BM_ParseAndWrite_ours(benchmark::State& state) {
    for (auto _ : state) {
        auto dictionary = QVToolbox::jsonToDictionary(document());
        auto text = QVToolbox::toJSON(*dictionary);
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * document().size()));
}

void BM_ParseAndWrite_peer(benchmark::State& state) {
    for (auto _ : state) {
        rapidjson::Document d;
        // The same reading rules as ours: UTF-8 validated, numbers at full precision.
        d.Parse<rapidjson::kParseValidateEncodingFlag | rapidjson::kParseFullPrecisionFlag>(document().data(),
                                                                                           document().size());
        rapidjson::StringBuffer buffer;
        rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
        d.Accept(writer);
        benchmark::DoNotOptimize(buffer.GetString());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * document().size()));
}

}  // namespace

void BM_ParseOnly_ours(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(QVToolbox::jsonToDictionary(document()));
}

void BM_ParseOnly_peer(benchmark::State& state) {
    for (auto _ : state) {
        rapidjson::Document d;
        d.Parse<rapidjson::kParseValidateEncodingFlag | rapidjson::kParseFullPrecisionFlag>(document().data(),
                                                                                           document().size());
        benchmark::DoNotOptimize(d.IsObject());
    }
}

BENCHMARK(BM_ParseOnly_ours)->Name("json_1MiB_parse/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseOnly_peer)->Name("json_1MiB_parse/peer")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseAndWrite_ours)->Name("json_1MiB_parse_write/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ParseAndWrite_peer)->Name("json_1MiB_parse_write/peer")->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return qvbench::run(argc, argv); }
