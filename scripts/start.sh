#!/usr/bin/env bash
# Installs what is missing, builds the program when its sources changed, and starts it from its
# build folder, where the courier pictures and the address book lie beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
# Only what the program's folder needs; scripts/test.sh builds the tests and benchmarks.
bash scripts/build.sh Quorvel make-courier-pictures make-address-book
exec build/bin/Quorvel
