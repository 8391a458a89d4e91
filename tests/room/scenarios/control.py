"""Control: with every row ticked and control taken, the controller's real pointer and keys
(xdotool on its display) reach each controlled machine: the pointer lands at the same fraction of
each machine's own display (all three differ), the status label shows the same key-state texts,
and typed letters reach a machine's focused edit box. F10 releases control; nothing reaches the
machines afterwards."""

import sys
import time
from pathlib import Path

sys.dont_write_bytecode = True  # keep the source tree free of caches
sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
from roomkit import (EXPORT, RELEASE_CONTROL, TAKE_CONTROL, Room, check, replayed_position,  # noqa: E402
                     run_scenario, scan_and_list, step, wait_until)

# Points of the controller's client area where the mouse does nothing: the strip between the
# list's heading and the scan button. With the controlled windows in the bottom-right corners,
# the same fractions fall on their empty desktops.
INERT_POINTS = [(600, 18), (700, 22), (800, 26)]
SETTLE_SECONDS = 2.0


def on_screen(snapshot, point):
    origin = snapshot.client_origin()
    return origin[0] + point[0], origin[1] + point[1]


def outside_window(machine, point):
    left, top, width, height = machine.dump().window["rect"]
    return not (left <= point[0] < left + width and top <= point[1] < top + height)


def focus_edit(machine):
    """A real click into the machine's edit box, so that replayed keys land there."""
    edit = next(c for c in machine.dump().controls if c["class"].lower() == "edit")
    machine.xdo("mousemove", edit["screen"][0] + edit["rect"][2] // 2, edit["screen"][1] + edit["rect"][3] // 2,
                "click", 1)
    wait_until(f"{machine.name}: edit box focused", 10,
               lambda: (lambda i: i["foreground"] and i["focus_class"].lower() == "edit")(machine.dump().input))


def expect_everywhere(machines, what, read, wanted, seconds=10):
    for machine in machines:
        wait_until(f"{machine.name}: {what} {wanted!r}", seconds, lambda: read(machine) == wanted)


def main():
    with Room("control") as room:
        ctl, controlled = room["ctl"], [room["m1"], room["m2"]]
        ctl.move_window(0, 0)
        for machine in controlled:
            machine.move_to_bottom_right()
        scan_and_list(room)
        for machine in controlled:
            focus_edit(machine)
        ctl_view = ctl.dump()
        ctl.xdo("mousemove", *on_screen(ctl_view, INERT_POINTS[0]), "click", 1)

        ctl.probe("tick", "all")
        ctl.click(TAKE_CONTROL)
        wait_until("Controlling buttons", 10, lambda: (lambda s: s.button(RELEASE_CONTROL)["enabled"]
                                                       and not s.button(TAKE_CONTROL)["enabled"]
                                                       and not s.button(EXPORT)["enabled"])(ctl.dump()))
        step("control taken with both rows ticked")

        for point in INERT_POINTS[:2]:
            x, y = on_screen(ctl_view, point)
            # Each broadcast carries the pointer as GetCursorPos reads it inside the hook, which is
            # still the place before that event's move; the wheel turn that follows at rest
            # carries the place the pointer came to.
            ctl.xdo("mousemove", x, y)
            ctl.xdo("click", 4)
            for machine in controlled:
                wanted = (replayed_position(x, ctl.screen[0], machine.screen[0]),
                          replayed_position(y, ctl.screen[1], machine.screen[1]))
                check(outside_window(machine, wanted), f"{machine.name}: {wanted} must miss its window")
                wait_until(f"{machine.name} pointer at {wanted}", 10, lambda: machine.pointer() == wanted)
            step(f"pointer {x},{y} of {ctl.screen} replayed at the same fraction on every machine")

        ctl.xdo("key", "z", "o", "r")
        expect_everywhere(controlled, "edit box", lambda m: m.dump().edit_text(), "zor")
        expect_everywhere(controlled + [ctl], "key state", lambda m: m.dump().key_state(), "键盘 R键   放开")
        step("typed letters reached the focused edit boxes; key-state labels agree")

        ctl.xdo("mousedown", 1)
        expect_everywhere(controlled, "key state", lambda m: m.dump().key_state(), "鼠标 左键按下")
        expect_everywhere(controlled, "left button", lambda m: m.dump().input["left_button_down"], True)
        ctl.xdo("mouseup", 1)
        expect_everywhere(controlled, "key state", lambda m: m.dump().key_state(), "鼠标 左键放开")
        expect_everywhere(controlled, "left button", lambda m: m.dump().input["left_button_down"], False)
        ctl.xdo("click", 3)
        expect_everywhere(controlled + [ctl], "key state", lambda m: m.dump().key_state(), "鼠标 右键放开")
        step("left and right buttons replayed")

        ctl.xdo("key", "F10")
        wait_until("released buttons", 10, lambda: (lambda s: s.button(TAKE_CONTROL)["enabled"]
                                                    and s.button(EXPORT)["enabled"]
                                                    and not s.button(RELEASE_CONTROL)["enabled"])(ctl.dump()))
        time.sleep(SETTLE_SECONDS)
        before = {m.name: (m.pointer(), m.dump().key_state(), m.dump().edit_text()) for m in controlled}
        ctl.xdo("mousemove", *on_screen(ctl_view, INERT_POINTS[2]))
        ctl.xdo("key", "q")
        ctl.xdo("click", 1)
        wait_until("controller saw the click", 10, lambda: ctl.dump().key_state() == "鼠标 左键放开")
        time.sleep(SETTLE_SECONDS)
        for machine in controlled:
            after = (machine.pointer(), machine.dump().key_state(), machine.dump().edit_text())
            check(after == before[machine.name], f"{machine.name} changed after F10: {before[machine.name]} -> {after}")
        step("F10 released control; later pointer, key and button events reached no machine")


if __name__ == "__main__":
    run_scenario(main)
