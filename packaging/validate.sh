#!/usr/bin/env bash
# The desktop entry and the AppStream metainfo pass their validators.
set -euo pipefail
dir=$1 id=$2
for tool in desktop-file-validate appstreamcli; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (apt-get install desktop-file-utils appstream)"; exit 77; }
done
desktop-file-validate "$dir/$id.desktop"
echo "$id.desktop is valid"
appstreamcli validate --no-net --pedantic "$dir/$id.metainfo.xml"
