#!/usr/bin/env bash
# Installs what is missing, builds, and starts TarnwickBackup on the default
# drive table (or the one $TARNWICK_DRIVES names).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/build.sh
prog="${BUILD_DIR:-build}/bin/TarnwickBackup"
if [[ -x "$prog" ]]; then
  exec "$prog" "$@"
fi
echo "TarnwickBackup is not built yet: the libraries and tests were built; see README.md for what exists." >&2
