#!/usr/bin/env bash
# Builds the Debian package build-deb/quorvel_<version>_<architecture>.deb, in a build folder of
# its own without tests and benchmarks (the package holds neither). Install it with
#   sudo apt-get install ./build-deb/quorvel_*.deb
# and start it from the menu or as `quorvel`.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEL_TESTS=OFF \
  -DQUORVEL_BENCH=OFF >/dev/null
cmake --build build-deb -j "$(nproc)"
cd build-deb
cpack
