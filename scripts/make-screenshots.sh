#!/usr/bin/env bash
# Makes the user guide's pictures (docs/*.png) and its example clock report
# (docs/TimeDeltas-example.txt) from the program itself, on the simulator camera, under
# a virtual X server. Run it again whenever a window or dialog changes.
#
#   scripts/make-screenshots.sh [BUILD_DIR]      (default ./build)
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
cmake --build "$build" --target vela-doc-shots gstvela >/dev/null
export GST_PLUGIN_PATH="$build/lib/gstreamer-1.0"
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d)}
cmd=("$build/bin/vela-doc-shots" "$here/docs")
if command -v xvfb-run >/dev/null; then
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1600x1200x24" "${cmd[@]}"
else
    echo "make-screenshots: xvfb-run not found, drawing offscreen instead" >&2
    QT_QPA_PLATFORM=offscreen "${cmd[@]}"
fi
