# The two commands:
#   make demo   set up, build, and run the main job (qvtool demo; files under demo-out/)
#   make test   set up, build, and run every test (release, ASan+UBSan, TSan, installed package)
.PHONY: demo test deps build bench fuzz fuzz-run clean

JOBS ?= 2
# ccache keys on paths relative to the checkout, so clones elsewhere reuse the cache.
export CCACHE_BASEDIR := $(CURDIR)
export CCACHE_NOHASHDIR := 1

demo: build
	./build/release/tools/qvtool/qvtool demo demo-out

test: deps
	bash scripts/test.sh

deps:
	bash scripts/install-deps.sh

build: deps
	cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQV_BUILD_TESTS=OFF -DQV_BUILD_BENCHMARKS=OFF >/dev/null
	cmake --build build/release -j $(JOBS) --target qvtool

bench: deps
	cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQV_BUILD_BENCHMARKS=ON >/dev/null
	cmake --build build/release -j $(JOBS)
	for b in build/release/bench/bench_*; do echo "== $$b"; $$b; done

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQV_BUILD_FUZZERS=ON \
	  -DQV_BUILD_TESTS=OFF -DQV_BUILD_BENCHMARKS=OFF -DQV_BUILD_TOOLS=OFF >/dev/null
	cmake --build build/fuzz -j $(JOBS)

# Every fuzz target from its seed corpus for SECONDS seconds each; fails on any finding.
SECONDS ?= 60
fuzz-run: fuzz
	bash fuzz/run.sh $(SECONDS)

clean:
	rm -rf build demo-out
