# The room's private network: one namespace holding a bridge, and one namespace per machine joined
# to it by a veth pair. Nothing is attached to the host's interfaces and there is no default
# route. Each machine also gets a UTS namespace with its own host name and, through
# "ip netns exec", its own /etc/hosts that resolves that name to its address.

network_make_hub() {
  local hub
  hub=$(room_hub_netns)
  ip netns add "$hub"
  ip -n "$hub" link add name br0 type bridge
  ip -n "$hub" link set br0 up
}

network_add_machine() {
  local machine=$1 ns hub address hostname uts
  ns=$(room_netns "$machine")
  hub=$(room_hub_netns)
  address=$(machine_address "$machine")
  hostname=$(machine_hostname "$machine")
  ip netns add "$ns"
  ip -n "$hub" link add name "v-$machine" type veth peer name eth0 netns "$ns"
  ip -n "$hub" link set "v-$machine" master br0 up
  ip -n "$ns" addr add "$address/$ROOM_SUBNET_PREFIX" brd + dev eth0
  ip -n "$ns" link set eth0 up
  ip -n "$ns" link set lo up

  mkdir -p "/etc/netns/$ns"
  printf '127.0.0.1\tlocalhost\n%s\t%s\n' "$address" "$hostname" >"/etc/netns/$ns/hosts"

  uts=$(room_uts_dir)/$machine.uts
  mkdir -p "$(room_uts_dir)"
  touch "$uts"
  unshare --uts="$uts" hostname "$hostname"
}

# Removes what network_add_machine made; every step tolerates a half-made machine.
network_remove_machine() {
  local machine=$1 ns uts
  ns=$(room_netns "$machine")
  uts=$(room_uts_dir)/$machine.uts
  if [ -e "$uts" ]; then
    umount "$uts" 2>/dev/null
    rm -f "$uts"
  fi
  ip netns del "$ns" 2>/dev/null
  rm -rf "/etc/netns/$ns"
}

network_remove_hub() {
  ip netns del "$(room_hub_netns)" 2>/dev/null
  rmdir "$(room_uts_dir)" 2>/dev/null
  return 0
}

# network_pids <machine>: processes still inside the machine's network namespace.
network_pids() {
  ip netns pids "$(room_netns "$1")" 2>/dev/null
}
