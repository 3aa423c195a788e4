#!/usr/bin/env bash
# An unattended night on the simulator camera, compressed into an hour: the real program,
# offscreen, in a scratch station folder, records EVENTS scheduled Events (default 40) of
# 5 to 30 s, 35 to 120 s apart. During one Event the camera is pulled out (its unplug
# file), and it is plugged in again for the next; before another the video disk (a small
# tmpfs behind VideoFiles) is filled so far that the recording fills it within a couple
# of seconds, and it is freed after that Event; and a daylight-saving
# change (Europe/Berlin, spring, 01:00 UTC) falls in the middle of the night: the
# program's wall clock is faked with libfaketime, its monotonic clock runs true.
#
# Prints one row per Event: the offset of the first frame's VTI time from the recording
# start S (Event time - duration / 2) and whether that is on time (S - 0.5 s to S + 1 s),
# the frames the recording log counts beside those ffprobe reads and the AVI header's
# count, and the program's memory (RSS), open descriptors and threads after the Event;
# then the same three after the first Event and at the end, and a verdict line.
# Targets: every Event whose camera and disk were there recorded on time; every file
# readable with counts that agree; RSS, descriptors and threads flat from the first Event
# to the end (within 10 %, and within one for the counts); and the two faults seen by the
# program. Exit status 0 when all are met, 1 when one is
# missed, 2 when the night could not be run.
#
#   bench/night.sh [BUILD_DIR]        (default ./build; needs vela-video and vti-first-frame)
#
#   EVENTS=5   the short night of ctest: 5 Events of 5 to 6 s, 31 to 32 s apart, about
#              3 minutes. Any other number: Events of 5 to 30 s, 35 to 120 s apart.
#   SEED=N     another night plan (default 1); the same seed gives the same plan.
#   KEEP=1     keep the scratch folder with every recording (else only the logs are kept
#              while it runs, and the folder is removed at the end).
#
# Needs ffprobe, libfaketime (Debian package faketime) and root for the tmpfs; without
# root the disk is never filled and the verdict says so. Not a benchmark of speed: it
# asserts no time except the Events' starts, which are the point.
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
program="$build/bin/vela-video"
reader="$build/bin/vti-first-frame"
events=${EVENTS:-40}
seed=${SEED:-1}
keep=${KEEP:-0}
for tool in "$program" "$reader"; do
    [[ -x $tool ]] || { echo "night: build $(basename "$tool") in $build first" >&2; exit 2; }
done
command -v ffprobe >/dev/null || { echo "night: ffprobe is missing (scripts/install-deps.sh)" >&2; exit 2; }
faketime_lib=$(find /usr/lib /usr/local/lib -path '*faketime/libfaketime.so.1' 2>/dev/null | head -n 1 || true)
[[ -n $faketime_lib ]] || { echo "night: libfaketime is missing (scripts/install-deps.sh)" >&2; exit 2; }
((events >= 4)) || { echo "night: EVENTS must be at least 4" >&2; exit 2; }

work=$(mktemp -d -t vela-night.XXXXXX)
station="$work/station"
disk="$work/disk"     # where recordings go all night
small="$work/small"   # the tmpfs that is filled for one Event
unplug="$work/camera-unplugged"
messages="$work/messages.txt"
mkdir -p "$station/Events" "$disk" "$small" "$work/tmp" "$work/runtime"
chmod 700 "$work/runtime"
ln -s "$disk" "$station/VideoFiles"
pid=""
mounted=0

# shellcheck disable=SC2317 # called by the trap
finish() {
    if [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null; then
        kill -TERM "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    fi
    if ((mounted)); then umount "$small" 2>/dev/null || true; fi
    if ((keep)); then echo "night: kept $work"; else rm -rf "$work"; fi
}
trap finish EXIT

# --- the plan, in milliseconds from the fake clock's start -------------------------------
RANDOM=$seed
if ((events == 5)); then
    min_dur=5 max_dur=6 min_gap=31 max_gap=32 lead=30
else
    min_dur=5 max_dur=30 min_gap=35 max_gap=120 lead=45
fi
# between NAME LOW HIGH: a whole number in [LOW, HIGH] into NAME, from this shell's own
# sequence (a command substitution would draw from a subshell's).
between() { printf -v "$1" %d $(($2 + RANDOM % ($3 - $2 + 1))); }
camera_event=$(((events + 2) / 4)) # pulled out during this one, plugged in for the next
((camera_event < 2)) && camera_event=2
disk_event=$((events - camera_event + 1)) # the disk is full for this one
declare -a dur at start end kind
previous_end=$((lead * 1000))
for ((k = 1; k <= events; k++)); do
    between "dur[k]" $min_dur $max_dur
    gap=0
    ((k == 1)) || between gap $min_gap $max_gap
    # Event times are whole seconds; the recording runs half the duration on each side.
    at[k]=$(((previous_end + gap * 1000 + dur[k] * 500 + 999) / 1000 * 1000))
    start[k]=$((at[k] - dur[k] * 500))
    end[k]=$((at[k] + dur[k] * 500))
    previous_end=${end[k]}
    kind[k]=normal
done
kind[camera_event]=camera
kind[disk_event]=disk
# The change at 01:00:00 UTC falls in the middle of the gap nearest the night's middle.
middle=$((end[events] / 2)) change_at=0 best=-1
for ((k = 1; k < events; k++)); do
    mid=$(((end[k] + start[k + 1]) / 2))
    distance=$((mid > middle ? mid - middle : middle - mid))
    if ((best < 0 || distance < best)); then best=$distance change_at=$mid; fi
done
change_utc=$(date -u -d "2026-03-29 01:00:00" +%s)
fake_start=$((change_utc - change_at / 1000)) # seconds since the epoch, UTC

utc_of() { date -u -d "@$((fake_start + $1 / 1000))" "+$2"; } # utc_of MS FORMAT
write_event() {                                                # write_event K
    local k=$1 file
    file="$station/Events/$(utc_of "${at[k]}" %m_%d_%Y_%H_%M_%S).ief"
    {
        printf '<?xml version="1.0"?>\r\n<!--VELA Event File Version 1.1-->\r\n<Root>\r\n'
        printf '\t<%s Value="%s"/>\r\n' EventYear "$(utc_of "${at[k]}" %Y)" EventMonth "$(utc_of "${at[k]}" %_m)" \
            EventDay "$(utc_of "${at[k]}" %_d)" EventHour "$(utc_of "${at[k]}" %_H)" \
            EventMinute "$(utc_of "${at[k]}" %_M)" EventSecond "$(utc_of "${at[k]}" %_S)" \
            DurationHour " 0" DurationMinute " 0" DurationSecond "$(printf %2d "${dur[k]}")" \
            Hibernate FALSE Shutdown FALSE Comment "night $k"
        printf '</Root>\r\n'
    } >"$file"
}
for ((k = 1; k <= events; k++)); do write_event "$k"; done

# --- the program ------------------------------------------------------------------------
if mount -t tmpfs -o size=96m tmpfs "$small" 2>/dev/null; then
    mounted=1
else
    echo "night: cannot mount a tmpfs (needs root): the disk is never filled"
    kind[disk_event]=normal
fi
real_ms() { date +%s%3N; }
offset=$((fake_start - $(date +%s))) # fake minus real, seconds
(
    cd "$station"
    exec env LD_PRELOAD="$faketime_lib" FAKETIME="$( ((offset < 0)) || printf +)${offset}s" \
        FAKETIME_DONT_FAKE_MONOTONIC=1 TZ=Europe/Berlin QT_QPA_PLATFORM=offscreen TMPDIR="$work/tmp" \
        XDG_RUNTIME_DIR="$work/runtime" "$program" --simulated-camera="unplug-file=$unplug" >/dev/null 2>"$messages"
) &
pid=$!
fake_now_ms() { echo $(($(real_ms) + offset * 1000 - fake_start * 1000)); } # on the plan's scale
wait_until() {                                                             # wait_until PLAN_MS
    local left=$(($1 - $(fake_now_ms)))
    ((left > 0)) && sleep "$(awk -v ms="$left" 'BEGIN { printf "%.3f", ms / 1000 }')"
    return 0
}
alive() { kill -0 "$pid" 2>/dev/null; }
# RSS in kB, open descriptors, threads: the least of five readings over a second, so a
# thread or descriptor that comes and goes with a moment's work does not count.
sample() {
    local i rss fds thr min_rss="" min_fds="" min_thr=""
    for ((i = 0; i < 5; i++)); do
        alive || { echo "- - -"; return; }
        rss=$(awk '$1 == "VmRSS:" { print $2 }' "/proc/$pid/status")
        fds=$(find "/proc/$pid/fd" -mindepth 1 -maxdepth 1 | wc -l)
        thr=$(find "/proc/$pid/task" -mindepth 1 -maxdepth 1 | wc -l)
        [[ -z $min_rss ]] || ((rss >= min_rss)) || min_rss=$rss
        [[ -z $min_fds ]] || ((fds >= min_fds)) || min_fds=$fds
        [[ -z $min_thr ]] || ((thr >= min_thr)) || min_thr=$thr
        min_rss=${min_rss:-$rss} min_fds=${min_fds:-$fds} min_thr=${min_thr:-$thr}
        sleep 0.2
    done
    echo "$min_rss $min_fds $min_thr"
}
mb() { if [[ $1 == - ]]; then echo -; else awk -v kb="$1" 'BEGIN { printf "%.1f", kb / 1024 }'; fi; }

echo "night: $events Events, seed $seed, $(utc_of 0 '%Y-%m-%d %H:%M:%S') to $(utc_of $((end[events] + 5000)) %H:%M:%S) UTC" \
    "(TZ=Europe/Berlin, summer time from 01:00:00 UTC), camera lost during Event $camera_event," \
    "disk full for Event $disk_event; scratch folder $work"
printf '%3s %-8s %4s %-6s %-13s %-12s %8s %-7s %6s %6s %6s %-6s %7s %4s %4s\n' \
    '#' 'event' 'dur' 'fault' 'start S' 'first frame' 'offset' 'on time' 'log' 'read' 'header' 'counts' 'RSS MB' 'fds' 'thr'

# The recording file the program named for the Event at this time: the armed Event's lines
# ("Event time:" then "Video file:") in its messages.
file_of() { # file_of K
    local line
    line="Event time:  $(utc_of "${at[$1]}" %b | tr '[:lower:]' '[:upper:]') $(utc_of "${at[$1]}" %-d), $(utc_of "${at[$1]}" '%Y  %H:%M:%S')"
    tr -d '\r' <"$messages" | awk -v want="$line" '
        $0 == want { armed = 1; next }
        /^Event time:  / { armed = 0 }
        armed && /^Video file:  / { file = substr($0, 14); armed = 0 }
        END { print file }'
}
# Where that file is now: an Event recorded at the wrong time may have gone to the other
# disk than the one VideoFiles leads to when it is checked.
find_recording() { # find_recording PATH
    local name=${1##*/} where
    for where in "$1" "$disk/$name" "$small/$name"; do
        [[ -f $where ]] && { echo "$where"; return 0; }
    done
    return 0
}
ms_of_day() { awk -F'[:.]' '{ print (($1 * 60 + $2) * 60 + $3) * 1000 + $4 }' <<<"$1"; }

late=0 unreadable=0 camera_seen=no disk_seen=no
declare -a result_on_time
check_event() { # check_event K: one table row
    local k=$1 file log="" vti="" offset_ms="" on_time=no logged=- read=- header=- counts=- s
    file=$(file_of "$k")
    [[ -z $file ]] || file=$(find_recording "$file")
    if [[ -n $file ]]; then
        log=$(tr -d '\r' <"${file%.*}.log" 2>/dev/null || true)
        logged=$(sed -n 's/^Number of recorded frames:  //p' <<<"$log")
        logged=${logged:--}
        read=$(ffprobe -v error -select_streams v:0 -count_frames -show_entries stream=nb_read_frames \
            -of default=nw=1:nk=1 "$file" 2>/dev/null || true)
        header=$(ffprobe -v error -select_streams v:0 -show_entries stream=nb_frames -of default=nw=1:nk=1 \
            "$file" 2>/dev/null || true)
        read=${read:--} header=${header:--}
        if [[ $logged != - && $logged == "$read" && $read == "$header" ]]; then counts=agree; else counts=DIFFER; fi
        vti=$("$reader" "$file" 2>/dev/null || true)
        if [[ $vti =~ ^[0-9]{2}:[0-9]{2}:[0-9]{2}\.[0-9]{3}$ ]]; then
            local s_day=$(((start[k] + fake_start * 1000) % 86400000))
            offset_ms=$((($(ms_of_day "$vti") - s_day + 86400000 + 43200000) % 86400000 - 43200000))
            ((offset_ms >= -500 && offset_ms <= 1000)) && on_time=yes
        else
            vti=${vti:-unreadable}
        fi
        [[ $counts == agree && -n $offset_ms ]] || unreadable=$((unreadable + 1))
        ((keep)) || rm -f "$file"
    else
        vti="no file"
    fi
    [[ ${kind[k]} == normal && $on_time == no ]] && late=$((late + 1))
    result_on_time[k]=$on_time
    read -r -a s <<<"$(sample)"
    printf '%3d %-8s %3ds %-6s %-13s %-12s %8s %-7s %6s %6s %6s %-6s %7s %4s %4s\n' "$k" \
        "$(utc_of "${at[k]}" %H:%M:%S)" "${dur[k]}" "${kind[k]/normal/-}" \
        "$(utc_of "${start[k]}" %H:%M:%S).$(printf %03d $((start[k] % 1000)))" "$vti" "${offset_ms:--}" "$on_time" \
        "$logged" "$read" "$header" "$counts" \
        "$(mb "${s[0]}")" "${s[1]}" "${s[2]}"
}

# Before the first Event: the program has started and shows its preview.
wait_until $((start[1] - 10000))
startup_sample=$(sample)
first_sample=""
for ((k = 1; k <= events; k++)); do
    if [[ ${kind[k]} == camera ]]; then
        wait_until $(((start[k] + end[k]) / 2))
        : >"$unplug"
        wait_until $((end[k] + 2000))
        rm -f "$unplug"
    fi
    wait_until $((end[k] + 3000))
    if [[ ${kind[k]} == camera ]]; then
        grep -q "Could not read from resource" "$messages" && camera_seen=yes
    fi
    if [[ ${kind[k]} == disk ]]; then
        grep -q "is full" "$messages" && disk_seen=yes
    fi
    check_event "$k"
    ((k == 1)) && first_sample=$(sample)
    if [[ ${kind[k + 1]:-} == disk ]]; then
        # Filled before the next Event: 48 MiB stay free, enough to start a recording
        # (a second of video and a reserve) and gone within a couple of seconds of it.
        ln -s "$small" "$work/VideoFiles.next" && mv -T "$work/VideoFiles.next" "$station/VideoFiles"
        fill_kb=$(($(df -k --output=avail "$small" | tail -n 1) - 48 * 1024))
        ((fill_kb > 0)) && dd if=/dev/zero of="$small/fill" bs=1k count="$fill_kb" status=none
    elif [[ ${kind[k]} == disk ]]; then
        rm -f "$small"/*
        ln -s "$disk" "$work/VideoFiles.next" && mv -T "$work/VideoFiles.next" "$station/VideoFiles"
    fi
    alive || break
done
end_sample=$(sample)

# --- the verdict ------------------------------------------------------------------------
flat() { # flat START END [LEAST]: within 10 %, or within LEAST when that is more
    [[ $1 != - && $2 != - ]] &&
        awk -v a="$1" -v b="$2" -v least="${3:-0}" 'BEGIN { d = b - a; if (d < 0) d = -d; t = a * 0.1; exit !(d <= (t > least ? t : least)) }'
}
read -r rss0 fds0 thr0 <<<"$first_sample"
read -r rss1 fds1 thr1 <<<"$end_sample"
read -r rss_up fds_up thr_up <<<"$startup_sample"
echo "program at start-up: RSS $(mb "$rss_up") MB, $fds_up descriptors, $thr_up threads;" \
    "after Event 1: RSS $(mb "$rss0") MB, $fds0 descriptors, $thr0 threads;" \
    "at the end: RSS $(mb "$rss1") MB, $fds1 descriptors, $thr1 threads"
running=yes
alive || running=no
kill -TERM "$pid" 2>/dev/null || true
status=0
wait "$pid" || status=$?
pid=""

missed=()
((late == 0)) || missed+=("$late Events with camera and disk not recorded on time")
((unreadable == 0)) || missed+=("$unreadable files unreadable or with counts that differ")
flat "${rss0:--}" "${rss1:--}" || missed+=("RSS not flat")
# A handful of threads: one more or less is noise, not a trend.
flat "${fds0:--}" "${fds1:--}" 1 || missed+=("descriptors not flat")
flat "${thr0:--}" "${thr1:--}" 1 || missed+=("threads not flat")
[[ $camera_seen == yes ]] || missed+=("the camera loss was not reported")
[[ ${result_on_time[camera_event + 1]:-no} == yes ]] || missed+=("the Event after the camera loss was not recorded on time")
((mounted == 0)) || [[ $disk_seen == yes ]] || missed+=("the full disk was not reported")
[[ $running == yes ]] || missed+=("the program ended during the night")
((status == 0)) || missed+=("the program exited with status $status")
disk_note=""
((mounted)) || disk_note=" (the disk-full fault was not run: no root)"
if ((${#missed[@]} == 0)); then
    echo "night: PASS: every Event on time, every file readable with counts that agree, RSS, descriptors and threads flat$disk_note"
    exit 0
fi
joined=$(printf '%s; ' "${missed[@]}")
echo "night: FAIL: ${joined%; }$disk_note"
exit 1
