// NSUserDefaults: set + synchronize (an atomic, fsynced rewrite of the property list) beside
// writing the same XML bytes with plain fopen/fwrite/fclose; and reading a key beside a
// mutex-guarded std::map lookup. A third write case, plain write plus fsync, shows how much
// of the difference is durability rather than our code.
#include "Compare.h"

#include <QVPlatform/base/Any.h>
#include <QVPlatform/foundation/PropertyList.h>
#include <QVPlatform/foundation/UserDefaults.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>

#include <unistd.h>

namespace {

using platform::Any;
using platform::NSUserDefaults;

// A typical application's settings: a score of small entries.
void fillDefaults(NSUserDefaults& defaults) {
    for (int i = 0; i < 20; ++i) {
        defaults.setObject(Any("value number " + std::to_string(i)), "QVSetting" + std::to_string(i));
    }
    defaults.setObject(Any("zh-Hans"), "QVSCurrentLanguageKey");
    defaults.setBool(false, "QVSFollowSystemLanguageKey");
    defaults.setInteger(2, "selectedTheme");
}

std::string currentXML(NSUserDefaults& defaults) {
    return *platform::PropertyList::writeXML(Any(defaults.dictionaryRepresentation()));
}

void BM_SetSynchronize_ours(benchmark::State& state) {
    auto& defaults = NSUserDefaults::standardUserDefaults();
    fillDefaults(defaults);
    std::int64_t i = 0;
    for (auto _ : state) {
        defaults.setInteger(++i, "counter");
        if (!defaults.synchronize()) state.SkipWithError("synchronize failed");
    }
}

void BM_SetSynchronize_peer(benchmark::State& state) {
    auto& defaults = NSUserDefaults::standardUserDefaults();
    fillDefaults(defaults);
    const std::string xml = currentXML(defaults);
    const std::string path = (defaults.filePath().parent_path() / "peer.plist").string();
    for (auto _ : state) {
        FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(xml.data(), 1, xml.size(), f);
        std::fclose(f);
    }
}

void BM_SetSynchronize_peerFsync(benchmark::State& state) {
    auto& defaults = NSUserDefaults::standardUserDefaults();
    fillDefaults(defaults);
    const std::string xml = currentXML(defaults);
    const std::string path = (defaults.filePath().parent_path() / "peer-fsync.plist").string();
    for (auto _ : state) {
        FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(xml.data(), 1, xml.size(), f);
        std::fflush(f);
        fsync(fileno(f));
        std::fclose(f);
    }
}

void BM_Read_ours(benchmark::State& state) {
    auto& defaults = NSUserDefaults::standardUserDefaults();
    fillDefaults(defaults);
    for (auto _ : state) benchmark::DoNotOptimize(defaults.objectForKey("QVSCurrentLanguageKey"));
}

void BM_Read_peer(benchmark::State& state) {
    std::mutex mutex;
    const Any::Dictionary all = NSUserDefaults::standardUserDefaults().dictionaryRepresentation();
    std::map<std::string, Any, std::less<>> values(all.begin(), all.end());
    for (auto _ : state) {
        std::lock_guard lock(mutex);
        const auto it = values.find(std::string_view("QVSCurrentLanguageKey"));
        Any copy = it == values.end() ? Any() : it->second;
        benchmark::DoNotOptimize(copy);
    }
}

}  // namespace

BENCHMARK(BM_SetSynchronize_ours)->Name("defaults_set_synchronize/ours");
BENCHMARK(BM_SetSynchronize_peer)->Name("defaults_set_synchronize/peer");
BENCHMARK(BM_SetSynchronize_peerFsync)->Name("defaults_set_synchronize/peer_with_fsync");
BENCHMARK(BM_Read_ours)->Name("defaults_read/ours");
BENCHMARK(BM_Read_peer)->Name("defaults_read/peer");

int main(int argc, char** argv) {
    // A private home folder, so the benchmark never touches real settings.
    char pattern[] = "/tmp/qv-bench-defaults-XXXXXX";
    const char* home = mkdtemp(pattern);
    if (!home) return 1;
    setenv("QV_HOME", home, 1);
    const int status = qvbench::run(argc, argv);
    NSUserDefaults::resetStandardUserDefaults();
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
    return status;
}
