#!/usr/bin/env bash
# Builds the Windows program and runs its tests under Wine:
#   scripts/test-windows.sh [DIR]        (DIR: the Windows build, default build-windows)
# - unit, gui and main-window tests, with code page 936 as the ANSI one, on a
#   virtual display, in a network namespace of their own with no interface
#   up (nothing can be sent); the main window again at 150 % and 200 %;
# - the core on real Winsock sockets in a private network of two links and
#   two simulated cameras (scripts/labnet), with the wineserver started in
#   the network's computer namespace and checked there (scripts/wine-session);
#   then vimbrel-cli.exe's search and a reboot in the same network;
# - on a link with no camera, the window's firewall finding from Wine's own
#   firewall object, and vimbrel-cli.exe's on stderr.
# Needs root (network namespaces) and the Linux simulator: build/tools/camsim.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$top/build-windows}
[ "$(id -u)" -eq 0 ] || { echo "test-windows: run as root (it builds private network namespaces)" >&2; exit 1; }

"$top/scripts/build-windows.sh" "$dir"
camsim="$top/build/tools/camsim/camsim"
[ -x "$camsim" ] || "$top/scripts/build.sh" "$top/build" "" camsim
dir=$(cd "$dir" && pwd)
prefix="$dir/wine-prefix"

# Xvfb and the test programs in a namespace with nothing but a down loopback.
# The virtual display has no window manager: Wine's windows are unmanaged, as
# otherwise Wine waits up to 2 s for a manager to confirm each hidden window
# (the Esc test would time Wine, not the program).
unshare --net -- xvfb-run -a -s "-screen 0 1600x1200x24 -nolisten tcp" \
  "$top/scripts/wine-session" "$prefix" -- bash -c '
    wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
    ctest --test-dir "$1" --output-on-failure -R "^(unit|gui|winwindow)$"' _ "$dir"

# The main window at 150 % on 1366 x 768 and at 200 % on 1920 x 1080, the
# scaling Windows laptops ship with: LogPixels in a prefix of its own, set
# before the test program starts. In Chinese, and in English (longer texts)
# at 100 % too.
for run in zh:144:1366x768 zh:192:1920x1080 en:96:1366x768 en:144:1366x768 en:192:1920x1080; do
  IFS=: read -r lang dpi screen <<<"$run"
  unshare --net -- xvfb-run -a -s "-screen 0 ${screen}x24 -nolisten tcp" \
    "$top/scripts/wine-session" "$dir/wine-prefix-scaled" -- bash -c '
      wine reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d "$2" /f >/dev/null
      VIMBREL_LANG=$3 VIMBREL_EXPECT_DPI=$2 ctest --test-dir "$1" --output-on-failure -R "^winwindow_scaled$"
    ' _ "$dir" "$dpi" "$lang"
done

labnet="$top/scripts/labnet"
run="vb-$$-winlab"
cleanup() { "$labnet" destroy "$run" >/dev/null 2>&1 || true; }
trap cleanup EXIT
export VIMBREL_CAMSIM="$camsim"
"$labnet" create "$run" >/dev/null
"$labnet" link "$run" 0 192.168.2.100/24
"$labnet" link "$run" 1 192.168.3.100/24
"$labnet" camera "$run" 0 cam1 192.168.2.10/24 -- --ip 192.168.2.10 --mac 00:1A:2B:3C:4D:01 \
  --serial SN0001 --status "运行中" >/dev/null
"$labnet" camera "$run" 1 cam2 192.168.3.20/24 -- --ip 192.168.3.20 --mac 00:1A:2B:3C:4D:02 \
  --serial SN0002 --reboot-seconds 0 >/dev/null
logs=$(dirname "$("$labnet" log "$run" cam1)")
"$labnet" exec "$run" pc -- env VIMBREL_WINLAB_DIR="$logs" \
  "$top/scripts/wine-session" "$prefix" -- bash -c '
    ctest --test-dir "$1" --output-on-failure -R "^winlab$" || exit 1
    # vimbrel-cli.exe in the same network: both cameras as JSON, the
    # Chinese status text intact, then a reboot by serial number.
    wine-run "$1/cli/vimbrel-cli.exe" search --format json --wait 1 >"$1/wincli-search.json" ||
      { echo "wincli: search failed" >&2; exit 1; }
    jq -e "length == 2 and (map(.serial) | sort) == [\"SN0001\", \"SN0002\"]
           and (.[] | select(.serial == \"SN0001\") | .status) == \"运行中\"" \
      "$1/wincli-search.json" >/dev/null ||
      { echo "wincli: unexpected search output:" >&2; cat "$1/wincli-search.json" >&2; exit 1; }
    wine-run "$1/cli/vimbrel-cli.exe" reboot --serial SN0002 --wait 1 >/dev/null ||
      { echo "wincli: reboot failed" >&2; exit 1; }
    echo "wincli: search and reboot passed"
  ' _ "$dir"

# After a search nobody answers, on a link of its own with no camera: the
# window asks Windows Firewall itself (INetFwPolicy2, Wine's object) and shows
# its finding, and vimbrel-cli.exe says its own on stderr.
"$labnet" destroy "$run" >/dev/null
run="vb-$$-winfw"
"$labnet" create "$run" >/dev/null
"$labnet" link "$run" 0 192.168.4.100/24
# At 100 % and at 150 % on 1366 x 768, where the line must wrap.
for scale in 96:1600x1200 144:1366x768; do
  "$labnet" exec "$run" pc -- env VIMBREL_QUIET_LINK=192.168.4.100 \
    xvfb-run -a -s "-screen 0 ${scale#*:}x24 -nolisten tcp" \
    "$top/scripts/wine-session" "$dir/wine-prefix-scaled" -- bash -c '
      wine reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null 2>&1
      wine reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d "$2" /f >/dev/null
      log="$1/winwindow-firewall-$2.log"
      ctest --test-dir "$1" --output-on-failure -V -R "^winwindow_firewall$" >"$log" 2>&1 ||
        { cat "$log" >&2; exit 1; }
      grep -E "firewall:|tests passed" "$log"
      said=$(wine-run "$1/cli/vimbrel-cli.exe" search --wait 0.5 2>&1 >/dev/null | tr -d "\r")
      case $said in
        *"no camera answered"*"Windows Firewall"*) echo "wincli: $said" ;;
        *) echo "wincli: no firewall finding after nobody answered: $said" >&2; exit 1 ;;
      esac
    ' _ "$dir" "${scale%%:*}"
done
