#!/usr/bin/env bash
# Records more than 2 GiB (720x576 YUY2, no codec) from the non-live simulator and checks
# that ffprobe reads back every frame the log counts: the AVI must stay readable past
# 1 GiB and 2 GiB (OpenDML). Not run in CI; takes a few minutes and about 2.5 GB of disk.
#
#   tools/record-2gib.sh [BUILD_DIR [OUT_DIR [FRAMES]]]   (defaults: ./build, a new
#                                                          folder in /tmp, 3000 frames)
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
out=${2:-$(mktemp -d /tmp/vela-2gib.XXXXXX)}
frames=${3:-3000} # 829,440 bytes a frame: 2,589 frames make 2 GiB
record="$build/bin/vela-record"
mkdir -p "$out"
[[ -x $record ]] || { echo "record-2gib: build vela-record in $build first" >&2; exit 2; }
export QT_QPA_PLATFORM=offscreen

"$record" --non-live --frames "$frames" --format 720x576 --subtype YUY2 --out "$out" >"$out/record.out"
file=$(sed -n 's/^file: //p' "$out/record.out")
recorded=$(sed -n 's/^recorded: //p' "$out/record.out")
dropped=$(sed -n 's/^dropped: //p' "$out/record.out")
bytes=$(stat -c %s "$file")
# The OpenDML header list ("odml") sits in the first kilobytes of such a file.
opendml=$(head -c 65536 "$file" | grep -c -a odml || true)
read_frames=$(ffprobe -v error -select_streams v:0 -count_frames -show_entries stream=nb_read_frames \
    -of default=nw=1:nk=1 "$file")

echo "file: $file"
echo "size: $bytes bytes ($(awk -v b="$bytes" 'BEGIN { printf "%.2f", b / 2^30 }') GiB)"
echo "log: recorded $recorded, dropped $dropped"
echo "ffprobe: $read_frames frames read"
echo "OpenDML header: $([[ $opendml -gt 0 ]] && echo yes || echo no)"
if [[ $bytes -le $((2 << 30)) ]]; then
    echo "FAIL: the file is not past 2 GiB"
    exit 1
fi
if [[ $opendml -eq 0 ]]; then
    echo "FAIL: no OpenDML header"
    exit 1
fi
if [[ $read_frames != "$recorded" ]]; then
    echo "FAIL: ffprobe reads $read_frames frames, the log counts $recorded"
    exit 1
fi
echo "OK: every recorded frame reads back"
rm -f "$file"
