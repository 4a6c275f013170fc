#!/usr/bin/env bash
# The whole test run: release tests, the same tests under ASan+UBSan, the concurrency tests
# under TSan, then a consumer project built against the installed package. Prints the time
# of each stage.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
JOBS=${JOBS:-2}
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
export GTEST_COLOR=no

stage_start=0
stage() { stage_start=$(date +%s); echo; echo "=== stage: $1 ==="; }
stage_end() { echo "=== $1 took $(( $(date +%s) - stage_start )) s ==="; }

configure() {  # DIR ARGS...
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DQV_WERROR=ON "$@" >"$dir.configure.log" 2>&1 || { cat "$dir.configure.log"; exit 1; }
}
mkdir -p build

stage "release build and tests"
configure build/release -DCMAKE_BUILD_TYPE=Release -DQV_BUILD_BENCHMARKS=ON
cmake --build build/release -j "$JOBS"
(cd build/release && ctest -LE long -j "$JOBS" --output-on-failure --timeout 300)
stage_end "release"

stage "AddressSanitizer + UndefinedBehaviorSanitizer build and tests"
configure build/asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 -DQV_SANITIZE=address \
  -DQV_BUILD_BENCHMARKS=OFF -DQV_BUILD_TOOLS=OFF
cmake --build build/asan -j "$JOBS"
(cd build/asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS="suppressions=$root/tests/lsan.supp" ctest -LE long -j "$JOBS" --output-on-failure --timeout 600)
stage_end "asan"

stage "ThreadSanitizer concurrency tests"
configure build/tsan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O1 -DQV_SANITIZE=thread \
  -DQV_BUILD_BENCHMARKS=OFF -DQV_BUILD_TOOLS=OFF
cmake --build build/tsan -j "$JOBS" --target concurrency_tests
# TSan needs a fixed address-space layout on kernels with high mmap randomisation.
(cd build/tsan && TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$root/tests/tsan.supp" \
  setarch "$(uname -m)" -R ctest -L concurrency -j "$JOBS" --output-on-failure --timeout 600)
stage_end "tsan"

stage "consumer of the installed package"
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install build/release --prefix "$prefix" >/dev/null
cmake -S examples/consumer -B build/consumer -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >build/consumer.configure.log 2>&1 \
  || { cat build/consumer.configure.log; exit 1; }
cmake --build build/consumer -j "$JOBS"
LD_LIBRARY_PATH="$prefix/lib" ./build/consumer/consumer
PKG_CONFIG_PATH="$prefix/lib/pkgconfig" c++ -o build/consumer/consumer-pc examples/consumer/main.cpp \
  $(PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --cflags --libs qvtoolbox)
LD_LIBRARY_PATH="$prefix/lib" ./build/consumer/consumer-pc
# QVResource alone: its package and its .pc file, without the toolbox.
cmake -S examples/resource_consumer -B build/resource_consumer -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
  >build/resource_consumer.configure.log 2>&1 || { cat build/resource_consumer.configure.log; exit 1; }
cmake --build build/resource_consumer -j "$JOBS"
LD_LIBRARY_PATH="$prefix/lib" ./build/resource_consumer/resource_consumer
c++ -o build/resource_consumer/resource_consumer-pc examples/resource_consumer/main.cpp \
  $(PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --cflags --libs qvresource)
LD_LIBRARY_PATH="$prefix/lib" ./build/resource_consumer/resource_consumer-pc
if ldd build/resource_consumer/resource_consumer | grep -q QVToolbox; then
  echo "resource_consumer links QVToolbox"; exit 1
fi
stage_end "consumer"

echo
echo "all stages passed"
