# The machines a room can hold and the names derived from them. Sourced by room.sh.
#
# One line per machine: name|address|screen|user|GPU product|driver|VBIOS|Windows version.
# The addresses share one /24 whose third byte is not 0: the program's scan sweeps
# o1.o2.1.255 to o1.o2.255.255, so a subnet o1.o2.0.0/24 would never hear it.
ROOM_SUBNET_PREFIX=24
ROOM_MACHINE_TABLE='ctl|10.77.1.10|1920x1080|operator|NVIDIA GeForce RTX 3060|537.58|94.06.2f.00.9a|win10
m1|10.77.1.11|1280x1024|tester1|NVIDIA GeForce GTX 1660 SUPER|531.79|90.16.48.00.6c|win10
m2|10.77.1.12|1600x900|tester2|NVIDIA RTX A2000|528.89|94.06.1e.00.0d|win81
m3|10.77.1.13|1366x768|tester3|NVIDIA GeForce RTX 4070|546.33|95.04.2e.00.3c|win10'
ROOM_DEFAULT_MACHINES=(ctl m1 m2)

# machine_field <machine> <n>: field n (1-based) of the machine's line; fails for unknown names.
machine_field() {
  local line
  line=$(grep "^$1|" <<<"$ROOM_MACHINE_TABLE") || { echo "room: unknown machine '$1'" >&2; return 1; }
  cut -d'|' -f"$2" <<<"$line"
}
machine_address() { machine_field "$1" 2; }
machine_screen() { machine_field "$1" 3; }
machine_user() { machine_field "$1" 4; }
machine_gpu() { machine_field "$1" 5; }
machine_driver() { machine_field "$1" 6; }
machine_vbios() { machine_field "$1" 7; }
machine_windows() { machine_field "$1" 8; }
machine_hostname() { echo "zorvi-$1"; }

# Names of one room's kernel objects; the room id keeps concurrent rooms apart.
room_netns() { echo "zr-$ROOM-$1"; }
room_hub_netns() { echo "zr-$ROOM-hub"; }
room_dir() { echo "$ROOM_HOME/rooms/$ROOM"; }
machine_dir() { echo "$ROOM_HOME/rooms/$ROOM/$1"; }
room_uts_dir() { echo "/run/zorvi-room/$ROOM"; }
room_machines() { cat "$(room_dir)/machines" 2>/dev/null; }
