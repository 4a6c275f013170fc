// Localized texts: QVLocalizedResource::localizedStr on a warm table beside a lookup in a
// std::unordered_map<std::string, std::string> of the same entries (both return a copy of the
// text, as a lookup that hands out a text must); and a cold load of a 10,000-entry strings
// table through a freshly opened bundle beside a minimal loader of the same file (read it,
// split `"key" = "value";` lines without escapes or comments, fill an unordered_map).
#include "Compare.h"

#include <QVPlatform/foundation/Bundle.h>
#include <QVPlatform/foundation/Host.h>
#include <QVResource/localization/QVLocalized.h>
#include <QVResource/localization/QVLocalizedResource.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kWarmEntries = 1000;
constexpr int kColdEntries = 10000;

fs::path gRoot;
std::vector<std::string> gKeys;

std::string key(int i) { return "screen.section.label_" + std::to_string(i); }
std::string value(int i) { return "Translated text number " + std::to_string(i); }

void writeTable(const fs::path& path, int entries) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path);
    out << "/* Generated table */\n";
    for (int i = 0; i < entries; ++i) out << '"' << key(i) << "\" = \"" << value(i) << "\";\n";
}

void BM_Warm_ours(benchmark::State& state) {
    const auto resource = QVResource::QVLocalized::resourceBundle("Home");
    (void)resource->localizedStr(gKeys[0]);  // warm: the table is read
    std::size_t i = 0;
    for (auto _ : state) {
        std::string text = resource->localizedStr(gKeys[i++ % gKeys.size()]);
        benchmark::DoNotOptimize(text);
    }
}

void BM_Warm_peer(benchmark::State& state) {
    std::unordered_map<std::string, std::string> table;
    for (int i = 0; i < kWarmEntries; ++i) table.emplace(key(i), value(i));
    std::size_t i = 0;
    for (auto _ : state) {
        const std::string& k = gKeys[i++ % gKeys.size()];
        const auto it = table.find(k);
        std::string text = it == table.end() ? k : it->second;
        benchmark::DoNotOptimize(text);
    }
}

void BM_Cold_ours(benchmark::State& state) {
    const fs::path lproj = gRoot / "Big.bundle/en.lproj";
    for (auto _ : state) {
        const auto bundle = platform::Bundle::atPath(lproj);
        std::string text = bundle->localizedStringForKey(key(kColdEntries - 1), "", "Big");
        benchmark::DoNotOptimize(text);
    }
}

// The least a loader of the same file must do.
void BM_Cold_peer(benchmark::State& state) {
    const fs::path file = gRoot / "Big.bundle/en.lproj/Big.strings";
    for (auto _ : state) {
        std::ifstream in(file);
        std::stringstream buffer;
        buffer << in.rdbuf();
        const std::string bytes = buffer.str();
        std::unordered_map<std::string, std::string> table;
        std::size_t at = 0;
        while ((at = bytes.find('"', at)) != std::string::npos) {
            const std::size_t keyEnd = bytes.find('"', at + 1);
            const std::size_t valueStart = bytes.find('"', keyEnd + 1);
            const std::size_t valueEnd = bytes.find('"', valueStart + 1);
            if (keyEnd == std::string::npos || valueStart == std::string::npos || valueEnd == std::string::npos) break;
            table.emplace(bytes.substr(at + 1, keyEnd - at - 1), bytes.substr(valueStart + 1, valueEnd - valueStart - 1));
            at = valueEnd + 1;
        }
        std::string text = table[key(kColdEntries - 1)];
        benchmark::DoNotOptimize(text);
    }
}

}  // namespace

BENCHMARK(BM_Warm_ours)->Name("localizedStr_warm/ours");
BENCHMARK(BM_Warm_peer)->Name("localizedStr_warm/peer");
BENCHMARK(BM_Cold_ours)->Name("table_load_10000/ours")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Cold_peer)->Name("table_load_10000/peer")->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    char pattern[] = "/tmp/qv-bench-resource-XXXXXX";
    const char* folder = mkdtemp(pattern);
    if (!folder) return 1;
    setenv("QV_HOME", (std::string(folder) + "/home").c_str(), 1);
    gRoot = fs::path(folder) / "App.app";
    fs::create_directories(gRoot / "en.lproj");
    writeTable(gRoot / "Home.bundle/en.lproj/Home.strings", kWarmEntries);
    writeTable(gRoot / "Big.bundle/en.lproj/Big.strings", kColdEntries);
    platform::Host::configure({.mainBundlePath = gRoot, .preferredLanguages = std::vector<std::string>{"en"}});
    for (int i = 0; i < kWarmEntries; ++i) gKeys.push_back(key((i * 7919) % kWarmEntries));
    const int status = qvbench::run(argc, argv);
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return status;
}
