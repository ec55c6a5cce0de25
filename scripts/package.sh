#!/usr/bin/env bash
# Builds the Debian package build/quorvel_<version>_<architecture>.deb. Install it with
#   sudo apt-get install ./build/quorvel_*.deb
# and start it from the menu or as `quorvel`.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh Quorvel courier-pictures
cd build
cpack
