// SVG path data lexing in bytes per second, beside the floor: a loop that only strtod's the
// same numbers out of a prepared list of number texts (what any lexer must at least do).
// Goal: at least half the floor's speed.
#include "Compare.h"

#include <QVToolbox/svg/PathDLexer.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

// A long path of the kind drawing programs write: moves, lines, curves, relative commands.
std::string longPathData(std::size_t commands) {
    std::mt19937 random(42);
    std::uniform_real_distribution<double> coordinate(-500, 500);
    std::string d;
    const auto number = [&] {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.3f", coordinate(random));
        return std::string(buffer);
    };
    for (std::size_t i = 0; i < commands; ++i) {
        switch (i % 5) {
        case 0: d += "M" + number() + "," + number(); break;
        case 1: d += " L" + number() + " " + number(); break;
        case 2: d += " c" + number() + "," + number() + " " + number() + "," + number() + " " + number() + "," + number(); break;
        case 3: d += " Q" + number() + " " + number() + " " + number() + " " + number(); break;
        case 4: d += " l" + number() + number() + "z "; break;
        }
    }
    return d;
}

const std::string& pathData() {
    static const std::string d = longPathData(50000);
    return d;
}

// The number texts of the path data, each terminated, for the floor loop.
const std::vector<std::string>& numberTexts() {
    static const std::vector<std::string> texts = [] {
        std::vector<std::string> out;
        std::string current;
        for (const char c : pathData()) {
            if ((c >= '0' && c <= '9') || c == '.' || (c == '-' && current.empty())) {
                current += c;
                continue;
            }
            if (!current.empty()) out.push_back(current);
            current = c == '-' ? "-" : "";
        }
        if (!current.empty()) out.push_back(current);
        return out;
    }();
    return texts;
}

void lexingOurs(benchmark::State& state) {
    const std::string& d = pathData();
    for (auto _ : state) {
        QVToolbox::PathDLexer lexer(d);
        double sum = 0;
        while (auto command = lexer.next()) {
            for (const double v : command->coordinateBuffer()) sum += v;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * d.size()));
}

void lexingPeer(benchmark::State& state) {
    const auto& texts = numberTexts();
    for (auto _ : state) {
        double sum = 0;
        for (const auto& text : texts) sum += std::strtod(text.c_str(), nullptr);
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * pathData().size()));
}

}  // namespace

BENCHMARK(lexingOurs)->Name("pathLexing/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(lexingPeer)->Name("pathLexing/peer")->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return qvbench::run(argc, argv); }
