#!/usr/bin/env bash
# Installs what the program needs, builds it and starts it in its own folder, where the
# courier pictures and the address book lie.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
cd build/bin
exec ./Quorvel
