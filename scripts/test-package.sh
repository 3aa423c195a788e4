#!/usr/bin/env bash
# Makes the Debian package from a built tree, installs it with apt as a user would, runs the
# installed program from an empty folder, then removes the package and checks that none of
# its files is left. Needs root or sudo; CI runs it after the tests.
# Usage: scripts/test-package.sh [BUILD_DIR]    (default: build, already built)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
fail() { echo "test-package: $*" >&2; exit 1; }

# Removing the package at the end must never take away an installation of the user's own.
if dpkg-query -W -f='${Status}' vela-video 2>/dev/null | grep -q "ok installed"; then
  fail "vela-video is installed on this machine; remove it first (apt-get remove vela-video)"
fi

rm -f "$build"/vela-video_*.deb
(cd "$build" && cpack -G DEB) > "$build/cpack.log" 2>&1 || { cat "$build/cpack.log" >&2; fail "cpack failed"; }
debs=("$build"/vela-video_*_amd64.deb)
[ -f "${debs[0]}" ] || fail "cpack made no vela-video_<version>_amd64.deb (see $build/cpack.log)"
deb=${debs[0]}
echo "test-package: $(basename "$deb"), $(dpkg-deb -f "$deb" Installed-Size) KiB installed"
echo "test-package: Depends: $(dpkg-deb -f "$deb" Depends)"
mapfile -t files < <(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed -n 's|^\./|/|; /[^/]$/p')

work=$(mktemp -d)
cleanup() {
  if dpkg-query -W -f='${Status}' vela-video 2>/dev/null | grep -q "ok installed"; then
    $SUDO apt-get remove -y -q vela-video > /dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get install -y -qq --no-install-recommends "$deb"

# The program as a user meets it: from the PATH, in a folder of its own with nothing in it.
mkdir -m 700 "$work/station" "$work/runtime"
cd "$work/station"
[ "$(command -v vela-video)" = /usr/bin/vela-video ] || fail "vela-video is not /usr/bin/vela-video"
version=$(vela-video --version)
[[ $version == "VELA Video Application Version "* ]] || fail "--version printed '$version'"
echo "test-package: $version"
icon=$(sed -n 's/^Icon=//p' /usr/share/applications/vela-video.desktop)
compgen -G "/usr/share/icons/hicolor/*/apps/$icon.png" > /dev/null \
  || fail "the menu entry's icon '$icon' is not in the installed icon theme"
devices=$(vela-video --list-devices --simulated-camera) || fail "--list-devices failed"
grep -q "VTI Simulator" <<< "$devices" || fail "--list-devices does not list the simulator: $devices"
# The station's user service: valid, and the program it starts is found.
unit=/usr/lib/systemd/user/vela-video-station.service
[ -f "$unit" ] || fail "the station service is not installed"
if command -v systemd-analyze > /dev/null; then
  problems=$(XDG_RUNTIME_DIR="$work/runtime" systemd-analyze verify --user "$unit" 2>&1) \
    && [ -z "$problems" ] || fail "the station service does not verify: $problems"
fi

# A whole start on the simulator, without a display: the installed program must find its
# character sets (and, the same way, its icons) away from the build tree. It ends on SIGTERM
# as on Ctrl+C, and a start without Events writes nothing into its folder.
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/runtime"
timeout -k 10 120 vela-video --simulated-camera > /dev/null 2> "$work/messages.txt" &
pid=$!
for _ in $(seq 600); do
  grep -q "There are no scheduled Events" "$work/messages.txt" && break
  kill -0 "$pid" 2> /dev/null || break
  sleep 0.1
done
kill -TERM "$pid" 2> /dev/null || true
status=0
wait "$pid" || status=$?
grep -q "There are no scheduled Events" "$work/messages.txt" \
  || { cat "$work/messages.txt" >&2; fail "the installed program did not start (status $status)"; }
[ "$status" -eq 0 ] || { cat "$work/messages.txt" >&2; fail "the installed program ended with status $status"; }
if grep -q "Character recognition sets are missing" "$work/messages.txt"; then
  fail "the installed program does not find its character sets"
fi
[ -z "$(ls -A "$work/station")" ] || fail "a start without Events wrote into its folder: $(ls -A "$work/station")"
cd /

$SUDO apt-get remove -y -qq vela-video
left=()
for f in "${files[@]}"; do
  if [ -e "$f" ] || [ -L "$f" ]; then left+=("$f"); fi
done
for d in /usr/share/vela-video /usr/lib/vela-video; do
  if [ -e "$d" ]; then left+=("$d"); fi
done
[ "${#left[@]}" -eq 0 ] || fail "left after removal: ${left[*]}"
if compgen -G "/usr/bin/vela-video*" > /dev/null; then fail "left in /usr/bin: $(echo /usr/bin/vela-video*)"; fi
echo "test-package: installed, ran and removed cleanly"
