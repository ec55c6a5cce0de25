#!/usr/bin/env bash
# Configures and builds into build/: everything, or only the targets named as arguments.
# Then lays out build/bin as the program expects its folder: the courier pictures (generated)
# and data/ with an empty address book (made only if none is there yet).
# The build is incremental: what did not change since the last build is not built again.
set -euo pipefail
cd "$(dirname "$0")/.."
werror=OFF
if [ "${CI:-}" = "true" ]; then werror=ON; fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVEL_WERROR=$werror >/dev/null
targets=()
if [ $# -gt 0 ]; then targets=(--target "$@"); fi
cmake --build build -j "$(nproc)" "${targets[@]}"
bash scripts/prepare-program-folder.sh build/bin
