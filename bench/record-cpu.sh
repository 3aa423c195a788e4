#!/usr/bin/env bash
# CPU cost of a 30 s live recording (720x576 YUY2, no codec, saturation threshold set)
# through our capture graph, beside the same simulator source, tee, preview and AVI
# recording as a plain gst-launch-1.0 pipeline, in the same run. Prints both figures,
# their ratio (target <= 1.3) and the dropped frames from the recording's log (target 0).
# ROUNDS=N runs N rounds (default 3) and reports the median ratio.
# Two comparisons: without a display, where our preview paints every frame into the video
# window offscreen while the reference's preview ends in a fakesink; and, when Xvfb is
# installed, with a virtual display, where both show every frame (the Qt window, and
# ximagesink). The reference converts its preview to BGRx with videoconvert; our window
# takes YUY2 and converts it while painting, so the figures compare the two ways of
# showing the same frames, not two copies of one.
# A benchmark, not a test: it reports, it asserts nothing.
#
#   bench/record-cpu.sh [BUILD_DIR]      (default ./build)
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
seconds=30
frames=$((seconds * 25))
record="$build/bin/vela-record"
export GST_PLUGIN_PATH="$build/lib/gstreamer-1.0"
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

# One comparison: ROUNDS rounds that alternate the two, so a busy moment of the machine
# falls on both; the median ratio is the figure.
#   compare LABEL PREVIEW_SINK...   (the reference's preview sink and its caps)
compare() {
    local label=$1
    shift
    local ratios=() round vela_cpu gst_cpu ratio recorded dropped marking
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
            t. ! queue leaky=downstream max-size-buffers=2 ! videoconvert ! "$@" \
            t. ! queue max-size-time=4000000000 max-size-buffers=0 max-size-bytes=0 ! avimux \
            ! filesink location="$work/gst.avi" >/dev/null

        ratio=$(awk -v a="$vela_cpu" -v b="$gst_cpu" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')
        ratios+=("$ratio")
        echo "$label round $round: vela-record $vela_cpu s ($recorded frames recorded, $dropped dropped)," \
            "gst-launch-1.0 $gst_cpu s ($frames frames), ratio $ratio"
    done
    local median
    median=$(printf '%s\n' "${ratios[@]}" | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }')
    echo "$label: median ratio of $rounds rounds: $median (target <= 1.3); dropped frames in the last round: $dropped (target 0)"
    echo "$label: marking element in the recording graph: $marking"
}

rounds=${ROUNDS:-3}
only=${ONLY:-}   # ONLY=offscreen or ONLY=displayed runs that comparison alone

# Without a display: our window paints offscreen; the reference's preview is thrown away.
if [[ -z $only || $only == offscreen ]]; then
    QT_QPA_PLATFORM=offscreen compare offscreen video/x-raw,format=BGRx ! fakesink sync=false
fi

# With a display (a virtual X server): both show every preview frame. A desktop session
# has a session bus; without one, Qt on X would start a bus launcher of its own in every
# run, so one is started for the comparison.
[[ -z $only || $only == displayed ]] || exit 0
if command -v Xvfb >/dev/null; then
    Xvfb -displayfd 3 -screen 0 1280x1024x24 3>"$work/display" >/dev/null 2>&1 &
    xvfb=$!
    for _ in $(seq 50); do [[ -s $work/display ]] && break; sleep 0.1; done
    bus_pid=
    if [[ -z ${DBUS_SESSION_BUS_ADDRESS:-} ]] && command -v dbus-daemon >/dev/null; then
        { read -r DBUS_SESSION_BUS_ADDRESS && read -r bus_pid; } < <(dbus-daemon --session --fork --print-address=1 --print-pid=1)
        export DBUS_SESSION_BUS_ADDRESS
    fi
    if [[ -s $work/display ]]; then
        DISPLAY=:$(cat "$work/display") QT_QPA_PLATFORM=xcb compare displayed ximagesink sync=false
    else
        echo "displayed: Xvfb did not start; skipped"
    fi
    [[ -n $bus_pid ]] && kill "$bus_pid" 2>/dev/null
    kill "$xvfb" 2>/dev/null || true
else
    echo "displayed: Xvfb not installed; skipped"
fi
