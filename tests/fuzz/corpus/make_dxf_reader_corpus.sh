#!/bin/sh
# The corpus of the DXF reader harness: small drawings of the reader's test fixtures
# (tests/data/dxf/make_fixtures.py writes them).
set -e
here=$(cd "$(dirname "$0")" && pwd)
data="$here/../../data/dxf"
mkdir -p "$here/dxf_reader"
for f in minimal.dxf progress.dxf kinds_r12.dxf kinds_2000.dxf kinds_2000.dxfb; do
    cp "$data/$f" "$here/dxf_reader/$f"
done
