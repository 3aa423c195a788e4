#!/usr/bin/env bash
# CPU cost of a 30 s live recording (720x576 YUY2, no codec, saturation threshold set)
# through our capture graph, beside the same simulator source, tee, preview and AVI
# recording as a plain gst-launch-1.0 pipeline, in the same run. Prints both figures,
# their ratio (target <= 1.3) and the dropped frames from the recording's log (target 0).
# ROUNDS=N runs N rounds (default 3) and reports the median ratio.
# The two are not quite alike: our preview paints every frame into the video window
# (offscreen here), where the reference's preview ends in a fakesink.
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

# Rounds alternate the two, so a busy moment of the machine falls on both; the median
# ratio is the figure.
rounds=${ROUNDS:-3}
ratios=()
for ((round = 1; round <= rounds; round++)); do
    rm -rf "$work/vela" "$work/gst.avi"
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
    ratios+=("$ratio")
    echo "round $round: vela-record $vela_cpu s ($recorded frames recorded, $dropped dropped)," \
        "gst-launch-1.0 $gst_cpu s ($frames frames), ratio $ratio"
done
median=$(printf '%s\n' "${ratios[@]}" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }')
echo "median ratio of $rounds rounds: $median (target <= 1.3)"
echo "dropped frames in the last round: $dropped (target 0)"
echo "marking element in the recording graph: $marking"
