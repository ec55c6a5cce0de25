#!/usr/bin/env bash
# Builds the Debian package from the build folder into a private folder and checks what it
# holds and what it depends on: the program and its data, no test, benchmark or tool.
# Usage: package-contents.sh <build folder>
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cpack --config "$build/CPackConfig.cmake" -B "$tmp" >"$tmp/cpack.log" 2>&1 ||
  { cat "$tmp/cpack.log"; exit 1; }
debs=("$tmp"/quorvel_*.deb)
[ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || { fail "no single quorvel_*.deb"; exit 1; }
deb=${debs[0]}

files=$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '/$')
echo "$files"
for wanted in ./usr/bin/quorvel ./usr/share/applications/quorvel.desktop \
  ./usr/share/icons/hicolor/scalable/apps/quorvel.svg ./usr/share/quorvel/vornix.jpg \
  ./usr/share/quorvel/元智捷诚.jpg ./usr/share/quorvel/龙邦快递.jpg ./usr/share/quorvel/顺丰快递.jpg; do
  grep -qxF "$wanted" <<<"$files" || fail "the package lacks $wanted"
done
unexpected=$(grep -vxF -e ./usr/bin/quorvel -e ./usr/share/applications/quorvel.desktop \
  -e ./usr/share/icons/hicolor/scalable/apps/quorvel.svg <<<"$files" |
  grep -v '^\./usr/share/quorvel/[^/]*\.jpg$' || true)
[ -z "$unexpected" ] || fail "the package holds more than the program: $unexpected"
grep -Eiq 'tst_|bench|test|make-' <<<"$files" && fail "a test, benchmark or tool is packaged"

[ "$(dpkg-deb -f "$deb" Package)" = quorvel ] || fail "package name is not quorvel"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for dep in libqt6sql6-sqlite fonts-wqy-microhei fonts-arphic-uming fonts-arphic-ukai libqt6widgets6 libqt6printsupport6 libqt6sql6 libc6; do
  grep -Eq "(^|, )$dep( |,|$)" <<<"$depends" || fail "Depends lacks $dep"
done
dpkg-deb -x "$deb" "$tmp/root"
file "$tmp/root/usr/bin/quorvel" | grep -q 'ELF.*, stripped' || fail "the packaged program is not stripped"

[ "$failures" = 0 ] || exit 1
echo "$(basename "$deb") holds the program and its data only"
