#!/usr/bin/env bash
# Builds the first C++ block of README.md as a new user would: against the installed package,
# with pkg-config, then runs it. Keeps the README from drifting away from the code.
#   readme_example.sh BUILD_DIR README
set -euo pipefail
build=$1
readme=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build" --prefix "$work/prefix" >"$work/install.log" || { cat "$work/install.log"; exit 1; }
awk '/^```cpp/ { inside = 1; next } /^```/ { if (inside) exit } inside' "$readme" >"$work/example.cpp"
[ -s "$work/example.cpp" ] || { echo "no \`\`\`cpp block in $readme"; exit 1; }

pc=$(find "$work/prefix" -name qvtoolbox.pc -print -quit)
[ -n "$pc" ] || { echo "qvtoolbox.pc was not installed"; exit 1; }
export PKG_CONFIG_PATH
PKG_CONFIG_PATH=$(dirname "$pc")
# shellcheck disable=SC2046  # pkg-config's flags are meant to split
"${CXX:-c++}" -o "$work/example" "$work/example.cpp" $(pkg-config --cflags --libs qvtoolbox)
LD_LIBRARY_PATH=$(pkg-config --variable=libdir qvtoolbox) QV_HOME="$work/home" "$work/example"
echo "README example: built against the installed package and ran"
