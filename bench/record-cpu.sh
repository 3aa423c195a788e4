#!/usr/bin/env bash
# CPU cost of a 30 s live recording (720x576 YUY2, no codec, saturation threshold set)
# through our capture graph, beside the same simulator source, tee, preview and AVI
# recording as a plain gst-launch-1.0 pipeline, in the same run. Prints both figures,
# their ratio (target <= 1.3) and the dropped frames from the recording's log (target 0).
# A benchmark, not a test: it reports, it asserts nothing.
#
#   bench/record-cpu.sh [BUILD_DIR]      (default ./build)
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
seconds=30
frames=$((seconds * 25))
record="$build/bin/vela-record"
export GST_PLUGIN_PATH="$build/lib/gstreamer-1.0"
export QT_QPA_PLATFORM=offscreen
[[ -x $record && -f $GST_PLUGIN_PATH/libgstvela.so ]] || {
    echo "record-cpu: build vela-record and gstvela in $build first" >&2
    exit 2
}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# User + system CPU seconds of a command (children included), into the named variable.
cpu_seconds() {
    local -n result=$1
    shift
    if [[ -x /usr/bin/time ]]; then
        /usr/bin/time -f '%U %S' -o "$work/time" "$@"
        result=$(awk '{ printf "%.2f", $1 + $2 }' "$work/time")
    else
        # bash's own accounting of its waited-for children
        local TIMEFORMAT='%U %S'
        { time "$@" 2>"$work/cmd.err"; } 2>"$work/time"
        result=$(awk '{ printf "%.2f", $1 + $2 }' "$work/time")
    fi
}

mkdir -p "$work/vela"
cpu_seconds vela_cpu "$record" --seconds "$seconds" --format 720x576 --subtype YUY2 --threshold 200 \
    --out "$work/vela" >"$work/vela.out"
recorded=$(awk -F': ' '$1 == "recorded" { print $2 }' "$work/vela.out")
dropped=$(awk -F': ' '$1 == "dropped" { print $2 }' "$work/vela.out")
marking=$(awk -F': ' '$1 == "marking element" { print $2 }' "$work/vela.out")

cpu_seconds gst_cpu gst-launch-1.0 -q \
    velavtisim is-live=true num-buffers=$frames \
    ! video/x-raw,format=YUY2,width=720,height=576,framerate=25/1 ! tee name=t \
    t. ! queue leaky=downstream max-size-buffers=2 ! videoconvert ! video/x-raw,format=BGRx ! fakesink sync=false \
    t. ! queue max-size-time=4000000000 max-size-buffers=0 max-size-bytes=0 ! avimux \
    ! filesink location="$work/gst.avi" >/dev/null

ratio=$(awk -v a="$vela_cpu" -v b="$gst_cpu" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
echo "vela-record CPU (user+sys, s):   $vela_cpu  ($recorded frames recorded)"
echo "gst-launch-1.0 CPU (user+sys, s): $gst_cpu  ($frames frames)"
echo "ratio: $ratio (target <= 1.3)"
echo "dropped frames: $dropped (target 0)"
echo "marking element in the recording graph: $marking"
