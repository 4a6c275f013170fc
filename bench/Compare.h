// Side-by-side benchmark reporting: benchmarks named "<case>/ours" and "<case>/peer" are
// paired, and after the run each pair's time ratio (ours / peer) is printed. Use
// QV_BENCHMARK_MAIN() ... in a benchmark file: `int main(int argc, char** argv) { return qvbench::run(argc, argv); }`.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace qvbench {

class PairReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs) {
            if (run.run_type != Run::RT_Iteration && run.aggregate_name != "mean") continue;
            const std::string name = run.run_name.function_name;
            const auto slash = name.rfind('/');
            if (slash == std::string::npos) continue;
            const std::string side = name.substr(slash + 1);
            const std::string key = name.substr(0, slash);
            if (side == "ours") ours_[key] = run.GetAdjustedRealTime();
            if (side == "peer") peer_[key] = run.GetAdjustedRealTime();
        }
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\n%-48s %14s %14s %8s\n", "case", "ours", "peer", "ratio");
        for (const auto& [key, ours] : ours_) {
            const auto peer = peer_.find(key);
            if (peer == peer_.end() || peer->second <= 0) continue;
            std::printf("%-48s %14.1f %14.1f %8.2f\n", key.c_str(), ours, peer->second, ours / peer->second);
        }
    }

private:
    std::map<std::string, double> ours_, peer_;
};

inline int run(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    PairReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace qvbench
