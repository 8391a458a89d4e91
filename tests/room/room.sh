#!/usr/bin/env bash
# The virtual test room: a controller and controlled machines on one Linux host, each a network
# namespace on a private /24 with its own Xvfb display, Wine prefix, user and host name, running
# the real ZorviSync.exe under wine64. Run as root. See docs/ROOM.md.
#
#   room.sh up [machine...]          make the room (default: ctl m1 m2) and start the program
#   room.sh down                     remove the room: processes, displays, namespaces, prefixes
#   room.sh list                     one JSON line per machine of the room
#   room.sh exec <machine> <cmd...>  run a command inside a machine
#   room.sh probe <machine> <args>   run zorvi_probe inside a machine (see zorvi_probe without args)
#   room.sh xdo <machine> <args>     run xdotool on a machine's display
#   room.sh shot <machine> <file>    save a PNG screenshot of a machine's display
#   room.sh app-stop <machine>       end the program and every Wine process of a machine
#   room.sh app-start <machine>      start the program again
#   room.sh sweep                    remove every room left behind under ZORVI_ROOM_HOME
#
# Environment: ZORVI_ROOM (room id, default "main"), ZORVI_ROOM_HOME (state and template prefix,
# default build/room), ZORVI_EXE, ZORVI_PROBE, ZORVI_NVIDIA_SMI (the executables).
set -uo pipefail

ROOM_SCRIPT_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
REPO=$(cd "$ROOM_SCRIPT_DIR/../.." && pwd)
ROOM=${ZORVI_ROOM:-main}
ROOM_HOME=${ZORVI_ROOM_HOME:-$REPO/build/room}
ZORVI_EXE=${ZORVI_EXE:-$REPO/build/win64/console/ZorviSync.exe}
ZORVI_PROBE=${ZORVI_PROBE:-$REPO/build/win64/tests/room/zorvi_probe.exe}
ZORVI_NVIDIA_SMI=${ZORVI_NVIDIA_SMI:-$REPO/build/win64/tests/room/nvidia-smi.exe}
WINDOW_WAIT_SECONDS=${ZORVI_ROOM_WINDOW_WAIT:-90}

# shellcheck source=lib/machines.sh
source "$ROOM_SCRIPT_DIR/lib/machines.sh"
# shellcheck source=lib/network.sh
source "$ROOM_SCRIPT_DIR/lib/network.sh"
# shellcheck source=lib/machine.sh
source "$ROOM_SCRIPT_DIR/lib/machine.sh"

die() {
  echo "room: $*" >&2
  exit 1
}

require_root() {
  [ "$(id -u)" -eq 0 ] || die "needs root (network namespaces)"
}

require_room() {
  [ -f "$(room_dir)/machines" ] || die "no room '$ROOM' (run: room.sh up)"
  grep -qx "$1" "$(room_dir)/machines" || die "no machine '$1' in room '$ROOM'"
}

check_inputs() {
  [[ "$ROOM" =~ ^[a-z0-9][a-z0-9-]{0,19}$ ]] || die "room id must be 1-20 of a-z, 0-9, -"
  local tool
  for tool in ip nsenter unshare Xvfb xdotool wineserver; do
    command -v "$tool" >/dev/null || die "missing tool: $tool (scripts/setup-debian.sh installs it)"
  done
  local file
  for file in "$ZORVI_EXE" "$ZORVI_PROBE" "$ZORVI_NVIDIA_SMI"; do
    [ -f "$file" ] || die "missing $file (build the win64 preset: ZorviSync, zorvi_probe, zorvi_nvidia_smi)"
  done
}

cmd_up() {
  require_root
  check_inputs
  local machines=("$@")
  [ ${#machines[@]} -gt 0 ] || machines=("${ROOM_DEFAULT_MACHINES[@]}")
  local machine
  for machine in "${machines[@]}"; do
    machine_address "$machine" >/dev/null || exit 1
  done
  [ -e "$(room_dir)" ] && cmd_down

  mkdir -p "$(room_dir)"
  printf '%s\n' "${machines[@]}" >"$(room_dir)/machines"
  # From here on a failure removes whatever was made.
  trap 'trap - ERR INT TERM; cmd_down; exit 1' ERR INT TERM
  set -E

  machine_ensure_template
  network_make_hub
  for machine in "${machines[@]}"; do
    network_add_machine "$machine"
    machine_make_prefix "$machine"
    machine_start_display "$machine"
  done
  for machine in "${machines[@]}"; do
    machine_await_display "$machine"
  done
  for machine in "${machines[@]}"; do
    machine_start_app "$machine"
  done
  local pids=()
  for machine in "${machines[@]}"; do
    cmd_probe "$machine" wait-window "$WINDOW_WAIT_SECONDS" >/dev/null &
    pids+=($!)
  done
  local i
  for i in "${!pids[@]}"; do
    wait "${pids[$i]}" || { echo "room: no window on ${machines[$i]}" >&2; false; }
  done
  trap - ERR INT TERM
  set +E
  cmd_list
}

cmd_down() {
  local machine
  for machine in $(room_machines); do
    (machine_stop_app "$machine"; machine_stop_display "$machine") &
  done
  wait
  for machine in $(room_machines); do
    local pid
    for pid in $(network_pids "$machine"); do
      kill -KILL "$pid" 2>/dev/null
    done
    network_remove_machine "$machine"
  done
  network_remove_hub
  rm -rf "$(room_dir)"
  return 0
}

cmd_list() {
  local machine dir
  for machine in $(room_machines); do
    dir=$(machine_dir "$machine")
    printf '{"name":"%s","address":"%s","screen":"%s","user":"%s","hostname":"%s","display":":%s",' \
      "$machine" "$(machine_address "$machine")" "$(machine_screen "$machine")" "$(machine_user "$machine")" \
      "$(machine_hostname "$machine")" "$(cat "$dir/display" 2>/dev/null)"
    printf '"gpu":"%s","driver":"%s","vbios":"%s","windows":"%s","prefix":"%s"}\n' \
      "$(machine_gpu "$machine")" "$(machine_driver "$machine")" "$(machine_vbios "$machine")" \
      "$(machine_windows "$machine")" "$dir/prefix"
  done
}

cmd_exec() {
  require_room "$1"
  machine_command "$@"
  exec "${MACHINE_COMMAND[@]}"
}

cmd_probe() {
  local machine=$1
  shift
  require_room "$machine"
  machine_command "$machine" "$WINE_LOADER" "$ZORVI_PROBE" "$@"
  "${MACHINE_COMMAND[@]}"
}

cmd_sweep() {
  local dir
  for dir in "$ROOM_HOME"/rooms/*/; do
    [ -d "$dir" ] || continue
    ROOM=$(basename "$dir")
    echo "room: removing room '$ROOM'"
    cmd_down
  done
}

main() {
  local command=${1:-help}
  shift || true
  case $command in
    up) cmd_up "$@" ;;
    down) require_root; cmd_down ;;
    list) cmd_list ;;
    exec) [ $# -ge 2 ] || die "usage: room.sh exec <machine> <command...>"; cmd_exec "$@" ;;
    probe) [ $# -ge 2 ] || die "usage: room.sh probe <machine> <command...>"; cmd_probe "$@" ;;
    xdo) [ $# -ge 2 ] || die "usage: room.sh xdo <machine> <xdotool arguments>"
      local machine=$1; shift; cmd_exec "$machine" xdotool "$@" ;;
    shot) [ $# -eq 2 ] || die "usage: room.sh shot <machine> <file.png>"
      cmd_exec "$1" import -window root "$(realpath -m "$2")" ;;
    app-stop) [ $# -eq 1 ] || die "usage: room.sh app-stop <machine>"; require_room "$1"; machine_stop_app "$1" ;;
    app-start) [ $# -eq 1 ] || die "usage: room.sh app-start <machine>"; require_room "$1"; machine_start_app "$1"
      cmd_probe "$1" wait-window "$WINDOW_WAIT_SECONDS" ;;
    sweep) require_root; cmd_sweep ;;
    help | -h | --help) sed -n '2,/^set -uo/p' "$0" | sed '$d' | sed 's/^# \{0,1\}//' ;;
    *) die "unknown command '$command' (room.sh help)" ;;
  esac
}

main "$@"
