#!/usr/bin/env bash
# Runs one accessibility script in a desktop of its own: the caller gives the
# display (xvfb-run) and the session bus (dbus-run-session); this starts the
# accessibility bus on it, as a desktop session does, then the script.
set -euo pipefail
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
/usr/libexec/at-spi-bus-launcher --launch-immediately &
launcher=$!
trap 'kill $launcher 2>/dev/null || true' EXIT
# A program started before the accessibility bus is there never joins it:
# wait for the launcher to own its name, as a desktop's login does.
has_bus() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus 2>/dev/null | grep -q 'boolean true'
}
for _ in $(seq 200); do has_bus && break; sleep 0.1; done
has_bus || { echo "the accessibility bus did not start" >&2; exit 1; }
status=0
/usr/bin/python3 "$@" || status=$?
exit $status
