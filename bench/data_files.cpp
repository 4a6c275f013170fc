// fileOrDirectorySize on a tree of 10,000 files, beside `du -sb` of the same tree.
#include "Compare.h"

#include <QVToolbox/FoundationExtension/data/FileHelpers.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// 100 folders of 100 files each (sizes 0-999 bytes), made once and removed at exit.
struct Tree {
    std::string root;
    Tree() {
        char pattern[] = "/tmp/qv-bench-tree-XXXXXX";
        root = mkdtemp(pattern);
        for (int d = 0; d < 100; ++d) {
            const std::string folder = root + "/d" + std::to_string(d);
            std::filesystem::create_directory(folder);
            for (int f = 0; f < 100; ++f) {
                std::ofstream(folder + "/f" + std::to_string(f)) << std::string(static_cast<std::size_t>((d * 100 + f) % 1000), 'x');
            }
        }
    }
    ~Tree() {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
};

const Tree& tree() {
    static const Tree t;
    return t;
}

void BM_TreeSize_ours(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(QVToolbox::fileOrDirectorySize(tree().root));
}

void BM_TreeSize_peer(benchmark::State& state) {
    const std::string command = "du -sb " + tree().root;
    for (auto _ : state) {
        FILE* pipe = ::popen(command.c_str(), "r");
        char line[512];
        while (pipe && std::fgets(line, sizeof line, pipe)) benchmark::DoNotOptimize(line);
        if (pipe) ::pclose(pipe);
    }
}

}  // namespace

BENCHMARK(BM_TreeSize_ours)->Name("size_of_10000_files/ours")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TreeSize_peer)->Name("size_of_10000_files/peer")->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return qvbench::run(argc, argv); }
