#!/usr/bin/env bash
# Puts the courier pictures and the empty address book beside the program in the given folder.
# The pictures are drawn again only when the drawing tool is newer than them; an existing
# address book is never overwritten.
set -euo pipefail
bin="$1"
mkdir -p "$bin/data"
if [ -x "$bin/make-courier-pictures" ] && [ ! "$bin/vornix.jpg" -nt "$bin/make-courier-pictures" ]; then
  (cd "$bin" && QT_QPA_PLATFORM=offscreen ./make-courier-pictures .)
fi
if [ -x "$bin/make-address-book" ] && [ ! -e "$bin/data/QuorvelDB.qdb" ]; then
  QT_QPA_PLATFORM=offscreen "$bin/make-address-book" "$bin/data/QuorvelDB.qdb"
fi
