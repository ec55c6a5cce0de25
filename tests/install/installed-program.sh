#!/usr/bin/env bash
# Installs the build into a private prefix, makes the prefix read-only and starts the installed
# program the way its menu entry does, from an unrelated folder, with a private HOME and nothing
# else in the environment but the offscreen display and the probe.
# Usage: installed-program.sh <build folder> <probe library>
set -euo pipefail
build=$1
probe=$2
tmp=$(mktemp -d)
trap 'chmod -R u+w "$tmp"; rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
home=$tmp/home
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect() {  # expect <report> <key=value>
  grep -qxF "$2" "$1" || fail "expected '$2' in $(basename "$1"): $(tr '\n' ' ' <"$1")"
}

cmake --install "$build" --prefix "$prefix" >/dev/null

# What the installation holds.
[ "$(ls "$prefix/bin")" = quorvel ] || fail "bin holds more than the program: $(ls "$prefix/bin")"
for picture in 元智捷诚 龙邦快递 顺丰快递 vornix; do
  [ -s "$prefix/share/quorvel/$picture.jpg" ] || fail "no installed picture $picture.jpg"
done
desktop=$prefix/share/applications/quorvel.desktop
[ -f "$prefix/share/icons/hicolor/scalable/apps/quorvel.svg" ] || fail "no icon"
[ -f "$desktop" ] || { fail "no desktop entry"; exit 1; }
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop entry does not validate"
fi
grep -qx 'Categories=Office;' "$desktop" || fail "desktop entry is not in Office"
grep -q '^Name\[zh_CN\]=.*快递单' "$desktop" || fail "desktop entry has no Chinese name"
command=$(sed -n 's/^Exec=//p' "$desktop")

chmod -R a-w "$prefix"
touch "$tmp/installed.stamp"
mkdir -p "$home" "$tmp/elsewhere"
cd "$tmp/elsewhere"

start() {  # start <report> [VAR=value ...]: the menu entry's command, with the probe
  local out=$1
  shift
  timeout 120 env -i HOME="$home" PATH="$prefix/bin:/usr/bin:/bin" QT_QPA_PLATFORM=offscreen \
    LD_PRELOAD="$probe" QUORVEL_PROBE_REPORT="$out" \
    QUORVEL_PROBE_PICTURES="$prefix/share/quorvel" "$@" $command ||
    fail "the program ended with status $?"
  [ -f "$out" ] || { fail "the probe reported nothing"; exit 1; }
}

start "$tmp/first" QUORVEL_PROBE_FONT_SIZE=14 QUORVEL_PROBE_SAVE=1
expect "$tmp/first" "courier=龙邦快递"
expect "$tmp/first" "picture=courier"
expect "$tmp/first" "hidden_fields=0"
expect "$tmp/first" "font_size=10"
expect "$tmp/first" "font_size_chosen=14"
expect "$tmp/first" "saved=1"
grep -q '^message=' "$tmp/first" && fail "message boxes at the first start: $(grep '^message=' "$tmp/first")"
settings=$home/.config/quorvel/Quorvel.ini
[ -f "$settings" ] || fail "no settings file in the user's configuration folder"
grep -q '^Textfontsize=14' "$settings" || fail "the font change is not in $settings"
[ -s "$home/.local/share/quorvel/data/QuorvelDB.qdb" ] || fail "no address book was made"
[ "$(find "$prefix" -newer "$tmp/installed.stamp" | wc -l)" = 0 ] || fail "the program wrote into its prefix"

start "$tmp/second"
expect "$tmp/second" "picture=courier"
expect "$tmp/second" "hidden_fields=0"
expect "$tmp/second" "font_size=14"  # the saved template came back
grep -q '^message=' "$tmp/second" && fail "message boxes at the second start: $(grep '^message=' "$tmp/second")"

[ "$failures" = 0 ] || exit 1
echo "the installed program starts from elsewhere with its pictures and the user's folders"
