#!/usr/bin/env bash
# Installs the build into a temporary root, and the Debian package built
# from it into another, and checks in each that everything lies where a
# Linux desktop looks for it and that the installed program starts.
#   install_test.sh <build folder> <source folder>
set -euo pipefail
build=$1
src=$2
mkdir -p "${TARNWICK_TEST_TMP:-/tmp}"
tmp=$(mktemp -d "${TARNWICK_TEST_TMP:-/tmp}/install-XXXXXX")
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Width and height of a PNG, from its header.
png_size() {
  local b
  read -r -a b < <(od -An -tu1 -j16 -N8 "$1")
  echo "$(( (b[2] << 8) | b[3] ))x$(( (b[6] << 8) | b[7] ))"
}

check_root() {
  local root=$1 what=$2
  local prog=$root/usr/bin/TarnwickBackup
  for f in usr/bin/TarnwickBackup usr/lib/tarnwickbackup/TarnwickLib10.so \
           usr/lib/tarnwickbackup/SaveCore30.so usr/share/tarnwickbackup/TarnwickBackup.hlp \
           usr/share/doc/tarnwickbackup/examples/drives.ini \
           usr/share/doc/tarnwickbackup/copyright usr/share/doc/tarnwickbackup/changelog.gz \
           usr/share/man/man1/TarnwickBackup.1.gz \
           usr/share/doc/tarnwickbackup/examples/tarnwick-backup.service \
           usr/share/doc/tarnwickbackup/examples/tarnwick-backup.timer \
           usr/share/applications/tarnwickbackup.desktop \
           usr/share/icons/hicolor/scalable/apps/tarnwickbackup.svg; do
    [[ -f $root/$f ]] || fail "$what: no $f"
  done
  [[ -x $prog ]] || fail "$what: the program is not executable"
  # The menu entry starts the installed program and shows the installed icon.
  local desktop=$root/usr/share/applications/tarnwickbackup.desktop
  [[ -x $root/usr/bin/$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop") ]] ||
    fail "$what: the menu entry starts no installed program"
  [[ $(sed -n 's/^Icon=//p' "$desktop") == tarnwickbackup ]] || fail "$what: the menu entry's icon"
  for size in 16 22 24 32 48 64 128 256; do
    local png=$root/usr/share/icons/hicolor/${size}x${size}/apps/tarnwickbackup.png
    [[ -f $png ]] || fail "$what: no ${size}px icon"
    [[ $(png_size "$png") == "${size}x${size}" ]] || fail "$what: $png is $(png_size "$png")"
  done
  # Nothing of the annotator, and nothing from the build folder.
  if find "$root" -name 'nv*' -o -name 'notavex*' -o -name 'regsvr32' | grep -q .; then
    fail "$what: annotator files installed"
  fi
  readelf -d "$prog" | grep -q 'R.*PATH.*\[\$ORIGIN/../lib/tarnwickbackup\]' ||
    fail "$what: program rpath is $(readelf -d "$prog" | grep PATH)"
  local resolved
  resolved=$(env -u LD_LIBRARY_PATH ldd "$prog" | grep -E 'TarnwickLib10|SaveCore30|platform_')
  [[ $(grep -c "=> $root/usr/bin/../lib/tarnwickbackup/" <<<"$resolved") -ge 5 ]] ||
    fail "$what: libraries resolved elsewhere: $resolved"

  # Started without a display it says why and ends with status 2.
  rm -rf "$tmp/run" && mkdir -p "$tmp/run/c/Docs" "$tmp/run/e" "$tmp/run/home"
  printf '[C]\nPath=%s\n[E]\nPath=%s\nType=1\n' "$tmp/run/c" "$tmp/run/e" >"$tmp/run/drives.ini"
  local run=(env -i PATH=/usr/bin:/bin HOME="$tmp/run/home" TARNWICK_DRIVES="$tmp/run/drives.ini")
  local status=0
  "${run[@]}" "$prog" >"$tmp/out" 2>"$tmp/err" || status=$?
  [[ $status == 2 ]] || fail "$what: headless start ended with $status: $(cat "$tmp/err")"
  grep -qF '[Tarnwick Backup] There is no display: only an unattended backup (/ub) runs without one.' \
    "$tmp/err" || fail "$what: headless start said: $(cat "$tmp/err")"

  # An unattended backup of the type Daily.
  printf ';Backup type definition file\r\nIncludeFamily\r\n' >"$tmp/run/c/Daily.BDF"
  echo "Dear Ann," >"$tmp/run/c/Docs/letter.txt"
  "${run[@]}" "$prog" /ub Daily 'e:\' >"$tmp/out" 2>"$tmp/err" ||
    fail "$what: unattended backup ended with $?: $(cat "$tmp/err")"
  cmp -s "$tmp/run/c/Docs/letter.txt" "$tmp/run/e/C\$/Docs/letter.txt" ||
    fail "$what: the backup holds no copy of Docs/letter.txt"

  # Run by a user who may not write the program's folder, an error report
  # goes to that user's state folder.
  if command -v setpriv >/dev/null; then
    chmod 755 "$tmp" "$tmp/run" && chown -R 65534:65534 "$tmp/run/e" "$tmp/run/home"
    status=0
    "${run[@]}" setpriv --reuid=65534 --regid=65534 --clear-groups \
      "$prog" /ub Daily 'e:\' /md 1e12 >"$tmp/out" 2>"$tmp/err" || status=$?
    local log=$tmp/run/home/.local/state/TarnwickBackup/error.log
    [[ $status == 3 ]] || fail "$what: a report as nobody ended with $status: $(cat "$tmp/err")"
    grep -qF "this report is kept in $log." "$tmp/err" || fail "$what: report box: $(cat "$tmp/err")"
    grep -q '^in TarnwickBackup.MainForm.UnUnattended' "$log" || fail "$what: no report in $log"
    [[ ! -e $root/usr/bin/error.log ]] || fail "$what: error.log written beside the program"
  fi
  echo "$what: layout, rpath, headless start, backup and error report checked"
}

DESTDIR="$tmp/root" cmake --install "$build" --prefix /usr >"$tmp/install.log" ||
  fail "cmake --install: $(cat "$tmp/install.log")"
check_root "$tmp/root" "cmake --install"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$tmp/root/usr/share/applications/tarnwickbackup.desktop" ||
    fail "desktop entry does not validate"
else
  echo "desktop-file-validate missing: desktop entry not validated"
fi

if command -v systemd-analyze >/dev/null; then
  # The units as the README has them, calling the installed program.
  mkdir "$tmp/units"
  sed "s|/usr/bin/TarnwickBackup|$tmp/root/usr/bin/TarnwickBackup|" \
    "$src/packaging/systemd/tarnwick-backup.service" >"$tmp/units/tarnwick-backup.service"
  cp "$src/packaging/systemd/tarnwick-backup.timer" "$tmp/units/"
  systemd-analyze verify "$tmp/units/tarnwick-backup.service" "$tmp/units/tarnwick-backup.timer" \
    >"$tmp/verify.log" 2>&1 || fail "systemd-analyze verify: $(cat "$tmp/verify.log")"
  echo "systemd units verified"
else
  echo "systemd-analyze missing: systemd units not verified"
fi

if command -v dpkg-deb >/dev/null && command -v dpkg-shlibdeps >/dev/null; then
  (cd "$build" && cpack -G DEB -B "$tmp/pkg" >"$tmp/cpack.log" 2>&1) || fail "cpack: $(cat "$tmp/cpack.log")"
  deb=$(ls "$tmp"/pkg/tarnwickbackup_*.deb)
  depends=$(dpkg-deb -f "$deb" Depends)
  for lib in libqt6widgets6 libqt6gui6 libqt6core6 libc6 libstdc++6; do
    grep -q "$lib" <<<"$depends" || fail "package does not depend on $lib: $depends"
  done
  dpkg-deb -x "$deb" "$tmp/debroot"
  check_root "$tmp/debroot" "Debian package"
else
  echo "dpkg-deb or dpkg-shlibdeps missing: package not built"
fi
