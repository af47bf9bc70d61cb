#!/usr/bin/env bash
# The main job on an example shipped with the project: installs what is
# missing, builds, then loads examples/households.tbl and prints a summary of
# what was loaded (its styles and formats, and each table's name, title,
# size, and the styles and formats it uses); then prints the example table
# files to PDF and renders them to PNG under out/, and says where.
#
#   scripts/demo.sh [FILE.tbl]
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
jobs="${KAVOTBL_JOBS:-2}"
input="${1:-examples/households.tbl}"

bash scripts/setup.sh

# The same tree and options as scripts/test.sh, so that either reuses the
# other's build.
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKAVOTBL_BUILD_TESTS=ON -DKAVOTBL_BUILD_EXAMPLES=ON \
    -DKAVOTBL_BUILD_CAIRO=ON -DKAVOTBL_BUILD_BENCHMARKS=ON -DKAVOTBL_SANITIZE=OFF >/dev/null
cmake --build build --parallel "$jobs" --target kavotbl_summary kavotbl_tool

echo
build/examples/summary/kavotbl_summary "$input"

# Print every example table file (or the one given) to a PDF and render its
# first table as a window would show it.
echo
mkdir -p out
if [ $# -gt 0 ]; then files=("$input"); else files=(examples/*.tbl); fi
for tbl in "${files[@]}"; do
    [ -e "$tbl" ] || continue
    name="$(basename "${tbl%.*}")"
    build/tools/kavotbl print "$tbl" -o "out/$name.pdf"
    build/tools/kavotbl render "$tbl" -o "out/$name.png" --width 900 --height 600
    echo "printed $tbl to $root/out/$name.pdf"
    echo "rendered $tbl to $root/out/$name.png"
done
