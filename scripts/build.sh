#!/usr/bin/env bash
# Configures and builds the program, its tools, tests and benchmarks into build/.
# Then lays out build/bin as the program expects its folder: the courier pictures (generated)
# and data/ with an empty address book (made only if none is there yet).
set -euo pipefail
cd "$(dirname "$0")/.."
werror=OFF
if [ "${CI:-}" = "true" ]; then werror=ON; fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEL_WERROR=$werror >/dev/null
cmake --build build -j "$(nproc)"
bash scripts/prepare-program-folder.sh build/bin
