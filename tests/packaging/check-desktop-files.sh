#!/bin/sh
# The files the package gives the desktop: the menu entry and the software-centre entry pass
# their validators, and the manual page renders without warnings and describes every option
# that --help prints.  Usage: check-desktop-files.sh PATH_TO_VELA_VIDEO
set -u
program=$(realpath "$1") || exit 1
cd "$(dirname "$0")/../../resources" || exit 1
status=0
fail() { echo "check-desktop-files: $*" >&2; status=1; }

for tool in desktop-file-validate appstreamcli groff; do
  command -v "$tool" > /dev/null || { echo "check-desktop-files: $tool is missing (scripts/install-deps.sh)" >&2; exit 1; }
done

# Some of its errors still leave the exit status 0 ("will be fatal in the future").
if ! complaints=$(desktop-file-validate vela-video.desktop 2>&1) || printf '%s' "$complaints" | grep -qE 'error|warning'; then
  fail "vela-video.desktop does not validate: $complaints"
fi
appstreamcli validate --no-net org.example.velavideo.metainfo.xml || fail "the metainfo file does not validate"

warnings=$(groff -man -ww -z -Tascii vela-video.1 2>&1)
[ -z "$warnings" ] || fail "vela-video.1: $warnings"
manual=$(groff -man -Tascii -P -cbou vela-video.1 2> /dev/null)
options=$("$program" --help | grep -oE '(^|[][ |,])--?[a-z][a-z-]*' | sed 's/^[][ |,]*//' | sort -u)
[ -n "$options" ] || fail "--help printed no options"
for option in $options; do
  printf '%s\n' "$manual" | grep -qE -- "(^|[^a-z-])$option([^a-z-]|\$)" || fail "the manual page does not describe $option"
done
exit $status
