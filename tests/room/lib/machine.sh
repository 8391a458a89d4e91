# One machine of the room: its Wine prefix, its X display, its program, and running commands
# inside it. Sourced by room.sh.

WINE_LOADER=/usr/lib/wine/wine64
[ -x "$WINE_LOADER" ] || WINE_LOADER=wine
DISPLAY_WAIT_SECONDS=15
ROOM_DISPLAY_NUMBER=1
STOP_WAIT_SECONDS=10

# machine_command <machine> <command...>: sets MACHINE_COMMAND to a command line that runs the
# command inside the machine, with its network, host name, display, Wine prefix and user, and
# nothing else from the caller's environment. It starts in the user's profile folder, never in
# the caller's folder, where Windows would look for programs (nvidia-smi.exe) first. Each step
# execs the next, so the process keeps its id down to the command itself.
machine_command() {
  local machine=$1 dir display=
  shift
  dir=$(machine_dir "$machine")
  [ -s "$dir/display" ] && display=:$(cat "$dir/display")
  MACHINE_COMMAND=(ip netns exec "$(room_netns "$machine")" nsenter --uts="$(room_uts_dir)/$machine.uts"
    env -i --chdir="$dir/prefix/drive_c/users/$(machine_user "$machine")" PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin LANG=C.UTF-8
    HOME="$dir/home" USER="$(machine_user "$machine")" LOGNAME="$(machine_user "$machine")"
    DISPLAY="$display" WINEPREFIX="$dir/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    "$@")
}

# The template prefix follows scripts/wine-prefix.sh: a changed recipe makes a new template.
machine_ensure_template() {
  local template=$ROOM_HOME/template-prefix recipe
  recipe=$(sha256sum "$REPO/scripts/wine-prefix.sh" | cut -d' ' -f1)
  mkdir -p "$ROOM_HOME"
  (
    flock 8
    if [ -d "$template" ] && [ "$(cat "$template/.room-recipe" 2>/dev/null)" != "$recipe" ]; then
      rm -rf "$template"
    fi
    "$REPO/scripts/wine-prefix.sh" "$template" && echo "$recipe" >"$template/.room-recipe"
  ) 8>"$ROOM_HOME/template.lock"
}

# The template prefix is made once (slow) and copied for every machine (fast). Wine writes the
# registry files and a few others in place, so those are real copies; the DLL folders, nearly all
# of the size, are hard links, since Wine only writes them when it updates a prefix.
machine_make_prefix() {
  local machine=$1 template=$ROOM_HOME/template-prefix prefix user windows
  prefix=$(machine_dir "$machine")/prefix
  user=$(machine_user "$machine")
  windows=$(machine_windows "$machine")
  mkdir -p "$prefix" "$(machine_dir "$machine")/home"
  # "wineserver" names the template's server folder; each machine's Wine makes its own.
  tar -C "$template" --exclude=./drive_c/windows/system32 --exclude=./drive_c/windows/syswow64 \
    --exclude=./wineserver --exclude=./.zorvi-ready --exclude=./.room-recipe -cf - . |
    tar -C "$prefix" -xf -
  local folder
  for folder in system32 syswow64; do
    if [ -d "$template/drive_c/windows/$folder" ]; then
      cp -al "$template/drive_c/windows/$folder" "$prefix/drive_c/windows/"
    fi
  done
  # The program saves screenshots below the desktop folder and creates only the last level.
  mkdir -p "$prefix/drive_c/users/$user/Desktop"
  # The Windows version Wine reports to this machine's programs (a second section for a key
  # merges into the first when Wine loads the file).
  printf '\n[Software\\\\Wine] %s\n"Version"="%s"\n' "$(date +%s)" "$windows" >>"$prefix/user.reg"
  cp "$ZORVI_NVIDIA_SMI" "$prefix/drive_c/windows/nvidia-smi.exe"
  printf 'product=%s\r\ndriver=%s\r\nvbios=%s\r\n' "$(machine_gpu "$machine")" "$(machine_driver "$machine")" \
    "$(machine_vbios "$machine")" >"$prefix/drive_c/windows/nvidia-smi.txt"
}

machine_start_display() {
  local machine=$1 dir
  dir=$(machine_dir "$machine")
  rm -f "$dir/display"
  # The display listens only on an abstract socket, which belongs to the machine's network
  # namespace: every room can use the same number without meeting another X server, and no
  # lock file or socket file is left in /tmp. -displayfd: the number is written once the server
  # accepts clients.
  machine_command "$machine" Xvfb ":$ROOM_DISPLAY_NUMBER" -displayfd 3 -nolock -nolisten tcp -nolisten unix \
    -screen 0 "$(machine_screen "$machine")x24"
  setsid "${MACHINE_COMMAND[@]}" 3>"$dir/display" </dev/null >"$dir/xvfb.log" 2>&1 &
  echo $! >"$dir/xvfb.pid"
}

machine_await_display() {
  local dir deadline
  dir=$(machine_dir "$1")
  deadline=$((SECONDS + DISPLAY_WAIT_SECONDS))
  until [ -s "$dir/display" ] && grep -q '^[0-9]\+$' "$dir/display"; do
    if [ $SECONDS -ge $deadline ] || ! kill -0 "$(cat "$dir/xvfb.pid")" 2>/dev/null; then
      echo "room: the display of $1 did not start (see $dir/xvfb.log)" >&2
      return 1
    fi
    sleep 0.1
  done
}

machine_start_app() {
  local machine=$1 dir
  dir=$(machine_dir "$machine")
  machine_command "$machine" "$WINE_LOADER" "$ZORVI_EXE"
  rm -f "$dir/app.exit"
  # The program's exit code is kept in app.exit once it ends by itself.
  APP_EXIT_FILE="$dir/app.exit" setsid bash -c '"$@"; echo $? >"$APP_EXIT_FILE"' app "${MACHINE_COMMAND[@]}" \
    </dev/null >>"$dir/app.log" 2>&1 &
  echo $! >"$dir/app.pid"
}

# Stops the program and every Wine process of the machine (bounded), leaving the display up.
machine_stop_app() {
  local machine=$1 dir pid
  dir=$(machine_dir "$machine")
  if [ -s "$dir/app.pid" ]; then
    pid=$(cat "$dir/app.pid")
    kill -KILL -- "-$pid" 2>/dev/null || kill -KILL "$pid" 2>/dev/null
    rm -f "$dir/app.pid"
  fi
  if [ -d "$dir/prefix" ] && [ -e "$(room_uts_dir)/$machine.uts" ]; then
    machine_command "$machine" timeout "$STOP_WAIT_SECONDS" wineserver -k
    "${MACHINE_COMMAND[@]}" 2>/dev/null
  fi
  return 0
}

machine_stop_display() {
  local dir pid
  dir=$(machine_dir "$1")
  [ -s "$dir/xvfb.pid" ] || return 0
  pid=$(cat "$dir/xvfb.pid")
  kill -TERM "$pid" 2>/dev/null
  local deadline=$((SECONDS + STOP_WAIT_SECONDS))
  while kill -0 "$pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null
  rm -f "$dir/xvfb.pid" "$dir/display"
}
