#!/usr/bin/env bash
# Checks with real X input (xdotool, under Xvfb) that the help viewer opened
# by F1 in a modal dialog can be clicked and scrolled while the dialog stays
# open. Needs xvfb and xdotool; run after a build. Not part of CI.
set -euo pipefail
cd "$(dirname "$0")/.."
prog="${BUILD_DIR:-build}/bin/tarnwickbackup_help_check"
if [[ -z "${DISPLAY:-}" ]]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$0" "$@"
fi
out=$(mktemp)
trap 'rm -f "$out"' EXIT
QT_QPA_PLATFORM=xcb "$prog" >"$out" 2>/dev/null &
pid=$!
wait_for() {
  for _ in $(seq 1 100); do
    grep -q "^$1" "$out" && return 0
    sleep 0.1
  done
  echo "no $1 from the program" >&2
  return 1
}
wait_for DIALOG
xdotool key F1
wait_for VIEWER
read -r _ bx by tx ty owner < <(grep '^VIEWER' "$out")
xdotool mousemove "$bx" "$by" click 1
wait_for BACK
xdotool mousemove "$tx" "$ty" click 5 click 5 click 5
wait_for SCROLLED
wait_for INNER
xdotool key F1
wait_for INNER-F1
xdotool mousemove "$bx" "$by" click 1
wait_for INNER-BACK
wait_for HANDED-BACK
wait "$pid"
echo "help viewer from a modal dialog: F1 shown $owner, Back clicked, topic scrolled;" \
  "from a second dialog on top: $(grep -o 'owner=.*' <(grep INNER-F1 "$out")), Back clicked;" \
  "handed back to the first dialog, then to no window"
