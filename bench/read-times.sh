#!/usr/bin/env bash
# Speed of the timing record: `vela-video --read-times` on a 720x576 YUY2 recording of the
# non-live simulator, beside decoding the same file alone (ffmpeg to rawvideo into
# /dev/null), both on one core, in the same run. Each is timed twice: with the file in
# the page cache, and with its pages dropped first (as a long recording is on a small
# computer), which is what the disk allows. Prints seconds, frames per second and the
# multiple of real time (target: at least 10).
# A benchmark, not a test: it reports, it asserts nothing.
#
#   bench/read-times.sh [BUILD_DIR [FRAMES]]     (defaults: ./build, 3000 frames = 2 minutes)
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
frames=${2:-3000}
fps=25
record="$build/bin/vela-record"
program="$build/bin/vela-video"
for tool in "$record" "$program"; do
    [[ -x $tool ]] || { echo "read-times: build $(basename "$tool") in $build first" >&2; exit 2; }
done
command -v ffmpeg >/dev/null || { echo "read-times: ffmpeg is missing (scripts/install-deps.sh)" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

QT_QPA_PLATFORM=offscreen GST_PLUGIN_PATH="$build/lib/gstreamer-1.0" \
    "$record" --non-live --frames "$frames" --format 720x576 --subtype YUY2 --out "$work" >"$work/record.out" 2>"$work/record.err"
file=$(sed -n 's/^file: //p' "$work/record.out")
echo "file: $(basename "$file"), $frames frames ($((frames / fps)) s at $fps fps), $(($(stat -c %s "$file") / 1048576)) MiB"

# Drops the file's pages from the page cache, and only its.
drop_cache() {
    python3 -c 'import os, sys; fd = os.open(sys.argv[1], os.O_RDONLY); os.fsync(fd); os.posix_fadvise(fd, 0, 0, os.POSIX_FADV_DONTNEED)' "$1"
}

# label, cache (warm|cold), command...
run() {
    local label=$1 cache=$2
    shift 2
    [[ $cache == cold ]] && drop_cache "$file"
    local start end
    start=$(date +%s.%N)
    taskset -c 0 "$@" >/dev/null 2>"$work/err" || { echo "read-times: $label failed:" >&2; cat "$work/err" >&2; exit 1; }
    end=$(date +%s.%N)
    awk -v l="$label" -v c="$cache" -v s="$start" -v e="$end" -v n="$frames" -v f="$fps" \
        'BEGIN { t = e - s; printf "%-26s %-5s %7.2f s %9.0f frames/s %7.1f x real time\n", l, c, t, n / t, n / f / t }'
}

for cache in warm cold; do
    [[ $cache == warm ]] && cat "$file" >/dev/null
    run "ffmpeg decode to rawvideo" "$cache" ffmpeg -v error -threads 1 -i "$file" -f rawvideo -y /dev/null
    run "vela-video --read-times" "$cache" env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --read-times "$file"
done
echo "summary: $(env -u DISPLAY "$program" --read-times "$file")"
