"""Re-scan: a second scan makes every machine reconnect (new connections, new ports) without a
duplicate row at any moment, ending with one row per machine on its live connection."""

import sys
from pathlib import Path

sys.dont_write_bytecode = True  # keep the source tree free of caches
sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
from roomkit import SCAN, Room, check, run_scenario, scan_and_list, step  # noqa: E402

WATCH_SECONDS = 10


def live_ports(room, names):
    ports = {}
    for name in names:
        machine = room[name]
        fields = machine.shell("ss", "-Htn", "state", "established", "dst", f"{room['ctl'].address}:18257").split()
        local = [f for f in fields if f.startswith(machine.address + ":")]
        check(len(local) == 1, f"{name}: connections to the controller: {fields}")
        ports[machine.address] = local[0].split(":")[1]
    return ports


def main():
    with Room("rescan") as room:
        ctl = room["ctl"]
        first = scan_and_list(room)
        old_ports = {row["cells"][0]: row["cells"][1] for row in first.rows}

        # The probe presses the button itself and samples the list every 50 ms from then on.
        lines = ctl.probe("watch-rows", str(WATCH_SECONDS), SCAN)
        sightings = [line for line in lines if line["kind"] == "rows_seen"]
        samples = next(line["samples"] for line in lines if line["kind"] == "watch_end")
        for sighting in sightings:
            addresses = [row["cells"][0] for row in sighting["rows"]]
            check(len(addresses) == len(set(addresses)), f"duplicate rows at {sighting['ms']} ms: {addresses}")
        final = {row["cells"][0]: row["cells"][1] for row in sightings[-1]["rows"]}
        check(set(final) == set(old_ports) and len(sightings[-1]["rows"]) == len(old_ports),
              f"rows after the re-scan: {final}")
        check(all(final[a] != old_ports[a] for a in final), f"every machine reconnected: {old_ports} -> {final}")
        check(final == live_ports(room, ["m1", "m2"]), f"rows {final} name the live connections")
        changes = ", ".join(f"{s['ms']} ms: {len(s['rows'])} rows" for s in sightings[1:])
        step(f"re-scan: {samples} samples, no duplicate; changes at {changes}; rows now {final}")


if __name__ == "__main__":
    run_scenario(main)
