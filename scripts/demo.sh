#!/usr/bin/env bash
# The demo: installs what is missing, builds, starts a private network of
# eight simulated cameras (five on the computer's first interface, three on
# a second; two report one factory address, one an address of another
# subnet) and opens Vimbrel inside it. Without a display the window runs on a
# virtual one and a screenshot is saved after the first search.
# With --cli it runs the README's vimbrel-cli examples on the same network
# instead, as an unprivileged user, and then opens a shell there if it has a
# terminal. With --windows it builds the Windows program (scripts/build-windows.sh)
# and runs it under Wine on the same network, with a wineserver of its own
# started and checked in the network's computer namespace (scripts/wine-session);
# without a display the screenshot is build-windows/demo-screenshot.png.
# VIMBREL_DEMO_LOSS=P (0 to 1) plays a site that loses datagrams: every camera
# misses each search datagram, and loses each reply, with probability P, and
# answers after a random 0-100 ms.
# Needs root (network namespaces). Nothing is sent on the real network.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
[ "$(id -u)" -eq 0 ] || { echo "demo: run as root (it builds private network namespaces)" >&2; exit 1; }

mode=${1:-}
if [ "$mode" = "--windows" ]; then
  "$top/scripts/install-deps.sh" --windows
  "$top/scripts/build.sh" "$top/build" "" camsim >/dev/null
  "$top/scripts/build-windows.sh" "$top/build-windows" vimbrel >/dev/null
else
  "$top/scripts/install-deps.sh"
  "$top/scripts/build.sh" "$top/build" >/dev/null
fi
labnet="$top/scripts/labnet"
export VIMBREL_CAMSIM="$top/build/tools/camsim/camsim"

run="vb-demo-$$"
cleanup() { "$labnet" destroy "$run" >/dev/null 2>&1 || true; }
trap cleanup EXIT
trap 'exit 130' INT TERM

loss=()
if [ -n "${VIMBREL_DEMO_LOSS:-}" ]; then
  loss=(--loss-request "$VIMBREL_DEMO_LOSS" --loss-reply "$VIMBREL_DEMO_LOSS" --reply-delay 100)
fi

"$labnet" create "$run" >/dev/null
"$labnet" link "$run" 0 192.168.2.100/24
"$labnet" link "$run" 1 192.168.3.100/24
camera() {  # link name address/prefix mac serial model firmware status
  "$labnet" camera "$run" "$1" "$2" "$3" -- --ip "${3%/*}" --mac "$4" --serial "$5" \
    --model "$6" --firmware "$7" --status "$8" --port 80 "${loss[@]}" >/dev/null
}
camera 0 cam1 192.168.2.10/24 00:1A:2B:3C:4D:01 ZR420A0001 ZR420    V2.1.3 "运行正常"
camera 0 cam2 192.168.2.11/24 00:1A:2B:3C:4D:02 ZR410B0002 ZR410    V1.8.0 running
camera 0 cam3 192.168.2.12/24 00:1A:2B:3C:4D:03 ZR43C0003  ZR4300-0 V3.0.1 running
camera 1 cam4 192.168.3.20/24 00:1A:2B:3C:4D:04 ZR45D0004  ZR4500-1 V3.2.0 idle
camera 1 cam5 192.168.3.21/24 00:1A:2B:3C:4D:05 ZR42E0005  ZR420-2  V2.0.7 idle
# Two cameras that report one factory address, and one that reports an
# address of another subnet: the list marks them.
other() {  # link name address/prefix reported-address mac serial
  "$labnet" camera "$run" "$1" "$2" "$3" -- --ip "$4" --mac "$5" --serial "$6" \
    --model ZR420 --firmware V2.1.3 --status running --port 80 "${loss[@]}" >/dev/null
}
other 0 cam6 192.168.2.13/24 192.168.1.64 00:1A:2B:3C:4D:06 ZR420F0006
other 0 cam7 192.168.2.14/24 192.168.1.64 00:1A:2B:3C:4D:07 ZR420G0007
other 1 cam8 192.168.3.22/24 192.168.8.30 00:1A:2B:3C:4D:08 ZR420H0008
echo "demo: eight cameras on 192.168.2.0/24 and 192.168.3.0/24 (private network $run)"

if [ "$mode" = "--windows" ]; then
  program="$top/build-windows/app/vimbrel.exe"
  prefix="$top/build-windows/wine-prefix"
  session="$top/scripts/wine-session"
  if [ -n "${DISPLAY:-}" ] && [ -z "${VIMBREL_DEMO_HEADLESS:-}" ]; then
    "$labnet" exec "$run" pc -- env DISPLAY="$DISPLAY" XAUTHORITY="${XAUTHORITY:-}" \
      "$session" "$prefix" -- wine-run "$program"
    exit 0
  fi
  shot="$top/build-windows/demo-screenshot.png"
  # VIMBREL_DEMO_DPI (LogPixels: 120 is 125 %, 144 150 %, 192 200 %) and
  # VIMBREL_DEMO_SCREEN (WIDTHxHEIGHT) show a laptop's display; the scaled
  # prefix is the one the tests scale (scripts/test-windows.sh).
  dpi=${VIMBREL_DEMO_DPI:-}
  [ -z "$dpi" ] || prefix="$top/build-windows/wine-prefix-scaled"
  # A virtual display inside the private network; the window gets a few
  # seconds for its start under Wine, the first search and the replies.
  "$labnet" exec "$run" pc -- xvfb-run -a -s "-screen 0 ${VIMBREL_DEMO_SCREEN:-1600x1000}x24 -nolisten tcp" \
    "$session" "$prefix" -- bash -c '
      [ -z "$3" ] || wine reg add "HKCU\\Control Panel\\Desktop" /v LogPixels /t REG_DWORD /d "$3" /f >/dev/null
      wine-run "$1" >/dev/null 2>&1 & sleep 12; import -window root "$2"' \
    _ "$program" "$shot" "$dpi"
  echo "demo: screenshot of the Windows program after the first search: $shot"
  exit 0
fi

if [ "$mode" = "--cli" ]; then
  cli="$top/build/cli/vimbrel-cli"
  as_user() { "$labnet" exec "$run" pc -- setpriv --reuid=nobody --regid=nogroup --clear-groups "$@"; }
  step() { printf '\n$ %s\n' "$*"; as_user bash -c "$*" || echo "(exit $?)"; }
  cd "$top/build/cli"
  step ./vimbrel-cli search
  step "./vimbrel-cli search --format json | jq -r '.[] | \"\\(.serial) \\(.ip)\"'"
  step ./vimbrel-cli search --format csv
  step ./vimbrel-cli reboot --serial ZR420A0001 --serial ZR410B0002
  step ./vimbrel-cli set-model ZR420-2 --mac 00:1A:2B:3C:4D:03
  step ./vimbrel-cli reboot --mac 00:1A:2B:3C:4D:99
  step ./vimbrel-cli assign-ip --start 192.168.3.30 --mask 255.255.255.0 --gateway 192.168.3.1 \
    --interface 192.168.3.100 --all --dry-run
  step ./vimbrel-cli assign-ip --start 192.168.3.30 --mask 255.255.255.0 --gateway 192.168.3.1 \
    --interface 192.168.3.100 --all
  step ./vimbrel-cli search --interface 192.168.3.100
  if [ -t 0 ]; then
    echo; echo "demo: a shell on the private network as nobody; try $cli --help (exit to end)"
    as_user env PATH="$top/build/cli:$PATH" bash -i || true
  fi
  exit 0
fi

program="$top/build/app/vimbrel"
if [ -n "${DISPLAY:-}" ] && [ -z "${VIMBREL_DEMO_HEADLESS:-}" ]; then
  "$labnet" exec "$run" pc -- env DISPLAY="$DISPLAY" XAUTHORITY="${XAUTHORITY:-}" "$program"
  exit 0
fi

# No display: a virtual one inside the private network, and a screenshot.
shot="$top/build/demo-screenshot.png"
display=":$((100 + $$ % 100))"
"$labnet" exec "$run" pc -- Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
"$labnet" exec "$run" pc -- env DISPLAY="$display" "$program" >/dev/null 2>&1 &
app=$!
sleep 5  # the first search and its replies
DISPLAY="$display" import -window root "$shot"

# Then an address assignment of all eight cameras, as a user would start it:
# "全选", "自动分配IP", the defaults accepted. Each free candidate waits for its
# ARP probe, so the progress dialog shows; a second screenshot catches it.
progress_shot="$top/build/demo-progress.png"
export DISPLAY="$display"
main=$(xdotool search --sync --name '^Vimbrel$' | head -n1)
# Positions in pixels of the check box and the button at 14 points.
xdotool mousemove --window "$main" 41 138 click 1
xdotool mousemove --window "$main" 244 89 click 1
dialog=$(xdotool search --sync --name '^Dialog$' | head -n1)
xdotool windowfocus --sync "$dialog" key Return
sleep 2
import -window root "$progress_shot"
sleep 8  # the rest of the assignment and its message
import -window root "$top/build/demo-after.png"
unset DISPLAY
kill "$app" 2>/dev/null || true
kill "$xvfb" 2>/dev/null || true
wait 2>/dev/null || true
echo "demo: screenshot of the window after the first search: $shot"
echo "demo: screenshot during the address assignment: $progress_shot"
