#!/usr/bin/env bash
# The Debian package in dist/ holds every file the desktop needs, each at its place.
set -euo pipefail
dist=$1 id=$2 version=$3
shift 3
deb=$(ls "$dist"/tavelune_"$version"_"$(dpkg --print-architecture)".deb 2>/dev/null | head -n 1) ||
  true
[ -n "$deb" ] || { echo "SKIP: no package in $dist (make package builds one)"; exit 77; }
listing=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
want=(./usr/bin/tavelune ./usr/share/applications/$id.desktop ./usr/share/metainfo/$id.metainfo.xml
      ./usr/share/man/man1/tavelune.1.gz ./usr/share/icons/hicolor/scalable/apps/$id.svg
      ./usr/share/doc/tavelune/copyright ./usr/share/doc/tavelune/changelog.gz
      ./usr/share/xscreensaver/config/tavelune.xml)
for size in "$@"; do want+=(./usr/share/icons/hicolor/${size}x$size/apps/$id.png); done
missing=0
for file in "${want[@]}"; do
  grep -q -x -F "$file" <<<"$listing" || { echo "missing from $deb: $file"; missing=1; }
done
[ "$missing" -eq 0 ] || exit 1
# The screensaver is the program itself, not a copy.
full=$(dpkg-deb -c "$deb")
grep -q -F './usr/libexec/xscreensaver/tavelune -> ../../bin/tavelune' <<<"$full" ||
  { echo "no link ./usr/libexec/xscreensaver/tavelune to the program in $deb"; exit 1; }
dpkg-deb -f "$deb" Suggests | grep -q xscreensaver || { echo "the package does not suggest xscreensaver"; exit 1; }
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || { echo "the package does not depend on Qt's widgets"; exit 1; }
echo "$deb holds all ${#want[@]} files; depends on: $(dpkg-deb -f "$deb" Depends)"
