"""The room starts and is what it claims to be: every machine runs the program's window (found by
its title), has its own display size, user, host name and address (as the program's own lookup
sees it), a private network without a default route, and a stand-in nvidia-smi on its Wine PATH
with its own values; removing the room leaves nothing behind."""

import subprocess
import sys
from pathlib import Path

sys.dont_write_bytecode = True  # keep the source tree free of caches
sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
from roomkit import Room, TITLE, check, run_scenario, step  # noqa: E402

ROOM_ID = "ctest-start"
NVIDIA_KEYS = {
    "gpu": "    Product Name                          : ",
    "driver": "Driver Version                            : ",
    "vbios": "    VBIOS Version                         : ",
}


def check_machine(machine):
    window = machine.dump().window
    check(window["title"] == TITLE and window["count"] == 1, f"{machine.name}: window {window}")
    check(tuple(window["screen"]) == machine.screen, f"{machine.name}: screen {window['screen']}")
    check(machine.xdo("getdisplaygeometry") == f"{machine.screen[0]} {machine.screen[1]}",
          f"{machine.name}: X display size")

    net = machine.probe("net")[0]
    check(net["hostname"] == f"zorvi-{machine.name}", f"{machine.name}: host name {net['hostname']}")
    check(net["gethostbyname"] == [machine.address] and net["getaddrinfo"] == [machine.address],
          f"{machine.name}: own addresses {net}")

    routes = machine.shell("ip", "-4", "route")
    check("default" not in routes and f"src {machine.address}" in routes, f"{machine.name}: routes {routes!r}")
    links = machine.shell("ip", "-o", "link")
    check(sorted(l.split(":")[1].strip().split("@")[0] for l in links.splitlines()) == ["eth0", "lo"],
          f"{machine.name}: interfaces {links!r}")

    text = machine.shell("/usr/lib/wine/wine64", "cmd", "/c", "echo %USERNAME%& nvidia-smi -q")
    check(text.startswith(machine.user + "\r\n"), f"{machine.name}: user {text[:40]!r}")
    for field, key in NVIDIA_KEYS.items():
        expected = f"{key}{getattr(machine, field)}\r\n"
        check(expected in text, f"{machine.name}: nvidia-smi lacks {expected!r}")
    check(len(text) > 200, f"{machine.name}: nvidia-smi report of {len(text)} bytes")
    step(f"{machine.name}: window, display {machine.screen}, {machine.address} as {net['hostname']}, "
         f"user {machine.user}, {machine.gpu}")


def leftovers():
    namespaces = subprocess.run(["ip", "netns", "list"], capture_output=True, text=True).stdout
    found = [line for line in namespaces.splitlines() if line.startswith(f"zr-{ROOM_ID}-")]
    found += [str(p) for p in Path("/etc/netns").glob(f"zr-{ROOM_ID}-*")]
    found += [str(p) for p in Path("/run/zorvi-room").glob(ROOM_ID)]
    return found


def main():
    with Room(ROOM_ID) as room:
        for machine in room.machines.values():
            check_machine(machine)
        state = Path(next(iter(room.machines.values())).prefix).parent.parent
    check(not state.exists(), f"room folder left behind: {state}")
    check(not leftovers(), f"left behind: {leftovers()}")
    step("room removed without leftovers")


if __name__ == "__main__":
    run_scenario(main)
