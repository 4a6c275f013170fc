#!/usr/bin/env bash
# Installs every Debian package that the build, the tests, the benchmarks and the fuzzers
# need. Idempotent: packages already present are skipped, and apt is not touched at all
# when nothing is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache clang
  libgtest-dev libgmock-dev libbenchmark-dev
  libicu-dev libssl-dev libxml2-dev rapidjson-dev libcurl4-openssl-dev
  libsqlite3-dev libpng-dev libjpeg62-turbo-dev libcli11-dev liburiparser-dev
  libavformat-dev libavcodec-dev libswscale-dev libavutil-dev
  libcairo2-dev libpango1.0-dev libgif-dev fonts-noto-cjk
  librsvg2-dev librsvg2-bin
  chromium
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all ${#packages[@]} packages present"
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
