"""The demo: a small test room (a controller and two machines, each on its own Xvfb display) where
the operator scans the LAN, takes control, moves the pointer, clicks into the edit box, types,
releases control with F10 and sends a text to the machines. Saves a PNG of each window and prints
what happened. Run as root: /usr/bin/python3 tests/room/demo.py <folder for the screenshots>
(scripts/run.sh builds what it needs and runs it). ZORVI_ROOM_KEEP=1 keeps the room running.
"""

import os
import subprocess
import sys
import time
from pathlib import Path

sys.dont_write_bytecode = True  # keep the source tree free of caches
sys.path.insert(0, str(Path(__file__).resolve().parent))
from roomkit import (CONNECTED_TO, COLUMNS, EXPORT, IS_SERVER, RELEASE_CONTROL, ROOM_SCRIPT, SCAN,  # noqa: E402
                     SEND_TEXT, TAKE_CONTROL, BudgetExhausted, CheckFailed, Room, check, replayed_position,
                     scan_and_list, step, wait_until)

ROOM_ID = "demo"
# Where the synchronised click lands, as a fraction of each display: with every window placed so
# that its edit box lies under that fraction, one click on the controller focuses all three boxes.
CLICK_FRACTION = (0.1, 0.6)
CLICK_INTO_EDIT = 100           # pixels from the edit box's left edge
POINTER_PATH_STEPS = 6
TYPED = "hello"
OPERATOR_TEXT = "各位测试员：请开始第 3 轮测试"
F10_DOWN = "键盘 F10键   按下"


def edit_box(snapshot):
    return next(c for c in snapshot.controls if c["class"].lower() == "edit")


def place_edit_box_under(machine, point):
    """Moves the machine's window so that its edit box lies under `point` (screen pixels)."""
    view = machine.dump()
    edit = edit_box(view)
    left, top = view.window["rect"][:2]
    offset = (edit["screen"][0] - left + CLICK_INTO_EDIT, edit["screen"][1] - top + edit["rect"][3] // 2)
    width, height = view.window["rect"][2:]
    place = (point[0] - offset[0], point[1] - offset[1])
    check(0 <= place[0] <= machine.screen[0] - width and 0 <= place[1] <= machine.screen[1] - height,
          f"{machine.name}: window at {place} would leave the {machine.screen} display")
    machine.move_window(*place)


def inside(control, point):
    left, top = control["screen"]
    return left <= point[0] < left + control["rect"][2] and top <= point[1] < top + control["rect"][3]


def save_window_png(machine, folder):
    """A PNG of the window's client area (Wine draws no frame without a window manager)."""
    view = machine.dump()
    origin = view.client_origin()
    width, height = view.window["client"]
    path = folder / f"{machine.name}.png"
    machine.shell("import", "-window", "root", "-crop", f"{width}x{height}+{origin[0]}+{origin[1]}", "+repage",
                  str(path))
    return path


def fraction(point, screen):
    return f"{100 * point[0] / screen[0]:.1f} % across, {100 * point[1] / screen[1]:.1f} % down"


def room_command(*args):
    home = os.environ.get("ZORVI_ROOM_HOME")
    prefix = f"ZORVI_ROOM={ROOM_ID}" + (f" ZORVI_ROOM_HOME={home}" if home else "")
    return f"{prefix} {ROOM_SCRIPT} {' '.join(args)}"


def report_rows(listed, seconds, report):
    report.append(f"Scan: the controller listed {len(listed.rows)} machines within {seconds:.1f} s of pressing "
                  f"\"{SCAN}\":")
    for row in listed.rows:
        cells = dict(zip(COLUMNS, row["cells"]))
        report.append(f"  {cells['IP地址']} port {cells['端口']}: user {cells['用户名']}, {cells['显卡']} "
                      f"(driver {cells['显卡驱动']}, VBIOS {cells['VBIOS']}), {cells['内存']} memory, "
                      f"{cells['系统版本']}")


def run_demo(room, folder, report):
    ctl, controlled = room["ctl"], [room["m1"], room["m2"]]
    machines = [ctl] + controlled
    for machine in machines:
        machine.await_profile_line()

    target = {ctl.name: (int(CLICK_FRACTION[0] * ctl.screen[0]), int(CLICK_FRACTION[1] * ctl.screen[1]))}
    for machine in controlled:
        target[machine.name] = tuple(replayed_position(v, ctl.screen[i], machine.screen[i])
                                     for i, v in enumerate(target[ctl.name]))
    for machine in machines:
        place_edit_box_under(machine, target[machine.name])
    step("windows placed so that every edit box lies at the same fraction of its display")

    started = time.monotonic()
    listed = scan_and_list(room)
    report_rows(listed, time.monotonic() - started, report)
    wait_until("controller label", 10, lambda: ctl.dump().connection_label() == IS_SERVER)
    for machine in controlled:
        wait_until(f"{machine.name} label", 10,
                   lambda: machine.dump().connection_label() == CONNECTED_TO + ctl.address)
    report.append("Labels: " + "; ".join(f"{m.name} shows \"{m.dump().connection_label()}\"" for m in machines))
    step("scan done")

    ctl.probe("tick", "all")
    ctl.click(TAKE_CONTROL)
    wait_until("control taken", 10, lambda: (lambda s: s.button(RELEASE_CONTROL)["enabled"]
                                             and not s.button(EXPORT)["enabled"])(ctl.dump()))
    report.append(f"Control: both rows ticked, \"{TAKE_CONTROL}\" pressed; \"{RELEASE_CONTROL}\" is now enabled.")
    step("control taken")

    # A real pointer path on the controller's display (xdotool), ending with a click in the edit box.
    start_point = (ctl.screen[0] // 2, ctl.screen[1] // 5)
    end_point = target[ctl.name]
    for index in range(1, POINTER_PATH_STEPS + 1):
        ctl.xdo("mousemove", *(start_point[i] + (end_point[i] - start_point[i]) * index // POINTER_PATH_STEPS
                               for i in range(2)))
    ctl.xdo("click", 1)
    for machine in controlled:
        wait_until(f"{machine.name} pointer at {target[machine.name]}", 10,
                   lambda: machine.pointer() == target[machine.name])
        wait_until(f"{machine.name} edit box focused", 10,
                   lambda: machine.dump().input["focus_class"].lower() == "edit")
    report.append(f"Pointer: moved in {POINTER_PATH_STEPS} steps on the controller and clicked; it landed at")
    for machine in machines:
        at = machine.pointer()
        landed = "inside" if inside(edit_box(machine.dump()), at) else "outside"
        report.append(f"  {machine.name}: {at[0]},{at[1]} of {machine.screen[0]}x{machine.screen[1]} "
                      f"({fraction(at, machine.screen)}), {landed} its edit box")
    step("pointer moved and clicked")

    ctl.xdo("key", *TYPED)
    for machine in machines:
        wait_until(f"{machine.name} edit box holds {TYPED!r}", 10, lambda: machine.dump().edit_text() == TYPED)
    report.append(f"Typing: \"{TYPED}\" typed on the controller; the edit boxes hold "
                  + ", ".join(f"{m.name} \"{m.dump().edit_text()}\"" for m in machines))
    report.append("Key-state labels: " + ", ".join(f"{m.name} \"{m.dump().key_state()}\"" for m in machines))
    step("letters typed")

    ctl.xdo("key", "F10")
    wait_until("control released", 10, lambda: (lambda s: s.button(TAKE_CONTROL)["enabled"]
                                                and not s.button(RELEASE_CONTROL)["enabled"])(ctl.dump()))
    labels = {m.name: m.dump().key_state() for m in machines}
    report.append(f"F10: control released on the controller (\"{TAKE_CONTROL}\" enabled again). Key-state labels: "
                  + ", ".join(f"{name} \"{label}\"" for name, label in labels.items()))
    if any(labels[m.name] == F10_DOWN for m in controlled):
        report.append("  (the F10 press reached the machines before control ended; its release is never sent)")
    step("F10 released control")

    ctl.probe("settext", OPERATOR_TEXT)
    ctl.click(SEND_TEXT)
    for machine in controlled:
        wait_until(f"{machine.name} shows the operator text", 10,
                   lambda: machine.dump().edit_text() == OPERATOR_TEXT)
    report.append(f"Operator text: \"{OPERATOR_TEXT}\" sent with \"{SEND_TEXT}\"; the edit boxes hold "
                  + ", ".join(f"{m.name} \"{m.dump().edit_text()}\"" for m in controlled))
    step("operator text sent")

    folder.mkdir(parents=True, exist_ok=True)
    shots = [save_window_png(machine, folder) for machine in machines]
    report.append("Screenshots: " + ", ".join(str(path) for path in shots))
    owner = (os.environ.get("SUDO_UID"), os.environ.get("SUDO_GID"))
    if all(owner):
        for path in [folder] + shots:
            os.chown(path, int(owner[0]), int(owner[1]))


def print_report(report):
    print("\nWhat happened", flush=True)
    for line in report:
        print("  " + line)


def print_how_to_look(keep):
    print("\nLooking at the room")
    if keep:
        print("  The room is still running. As root:")
    else:
        print("  The room has been removed. To keep it running, run the demo as")
        print("    ZORVI_ROOM_KEEP=1 bash scripts/run.sh")
        print("  and then, as root:")
    print("    # a PNG of a machine's whole display")
    print(f"    {room_command('shot', 'm1', 'm1.png')}")
    print("    # what the controller's window shows, as the probe reads it")
    print(f"    {room_command('probe', 'ctl', 'dump')}")
    print("    # real pointer input on the controller's display")
    print(f"    {room_command('xdo', 'ctl', 'mousemove', '960', '540')}")
    print("    # remove the room")
    print(f"    {room_command('down')}")
    print("  To watch a machine's display live with a VNC viewer (needs x11vnc and socat from Debian:")
    print("  apt-get install x11vnc socat), serve it on 127.0.0.1:5901 of this host:")
    print("    socat TCP-LISTEN:5901,bind=127.0.0.1,reuseaddr,fork "
          f"EXEC:'env {room_command('exec', 'ctl', 'x11vnc', '-inetd', '-nopw', '-q')}'")
    print("  (the x11vnc runs inside the machine, on its display; socat relays each viewer to it)")


def main():
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else "build/demo").resolve()
    keep = os.environ.get("ZORVI_ROOM_KEEP") == "1"
    report = []
    try:
        with Room(ROOM_ID) as room:
            run_demo(room, folder, report)
    except (CheckFailed, BudgetExhausted, subprocess.TimeoutExpired) as failure:
        report.append(f"THE DEMO STOPPED: {failure}")
        print_report(report)
        if keep:
            print_how_to_look(keep)
        sys.exit(1)
    print_report(report)
    print_how_to_look(keep)


if __name__ == "__main__":
    main()
