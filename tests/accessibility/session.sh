#!/usr/bin/env bash
# Runs one accessibility script in a desktop of its own: the caller gives the
# display (xvfb-run) and the session bus (dbus-run-session); this starts the
# accessibility bus on it, as a desktop session does, then the script.
set -euo pipefail
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
/usr/libexec/at-spi-bus-launcher --launch-immediately &
launcher=$!
trap 'kill $launcher 2>/dev/null || true' EXIT
status=0
/usr/bin/python3 "$@" || status=$?
exit $status
