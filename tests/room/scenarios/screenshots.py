"""Screenshots: the button "本机截图" and F9 (pressed on the controller with control on, so every
machine replays it) each leave a file in the machine's own folder, named by the time stamp with
".png" and holding a bottom-up 24-bit BMP of that machine's whole display."""

import re
import struct
import sys
from pathlib import Path

sys.dont_write_bytecode = True  # keep the source tree free of caches
sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
from roomkit import (DEFAULT_BOX_TITLE, SHOT, SHOT_SAVED, TAKE_CONTROL, Room, check, run_scenario,  # noqa: E402
                     scan_and_list, step, wait_until)

BOX_WAIT_SECONDS = 15
STAMP_NAME = re.compile(r"^[0-9]{9,}000\.png$")


def check_bitmap(machine, path):
    data = path.read_bytes()
    width, height = machine.screen
    stride = (24 * width + 31) // 32 * 4
    check(STAMP_NAME.match(path.name), f"{machine.name}: file name {path.name}")
    check(data[:2] == b"BM", f"{machine.name}: {path.name} does not start with BM")
    file_size, reserved, offset = struct.unpack_from("<IIi", data, 2)
    header = struct.unpack_from("<IiiHHIIiiII", data, 14)
    check(file_size == len(data) == 54 + height * stride, f"{machine.name}: size {file_size}/{len(data)}")
    check(reserved == 0 and offset == 54, f"{machine.name}: reserved {reserved}, offset {offset}")
    check(header == (40, width, height, 1, 24, 0, 0, 0, 0, 0, 0), f"{machine.name}: info header {header}")


def new_files(machine, before):
    folder = machine.shot_folder()
    return sorted(set(folder.glob("*.png")) - before) if folder.is_dir() else []


def existing(machine):
    folder = machine.shot_folder()
    return set(folder.glob("*.png")) if folder.is_dir() else set()


def confirm_box(machine):
    box = machine.dismiss(BOX_WAIT_SECONDS)
    check(box["text"] == SHOT_SAVED and box["title"] == DEFAULT_BOX_TITLE, f"{machine.name}: box {box}")


def main():
    with Room("shots") as room:
        ctl, controlled = room["ctl"], [room["m1"], room["m2"]]
        machines = [ctl] + controlled
        for machine in machines:
            check(machine.shot_folder().is_dir(), f"{machine.name}: start-up made no folder {machine.shot_folder()}")

        m1 = controlled[0]
        before = existing(m1)
        m1.click(SHOT)
        confirm_box(m1)
        files = new_files(m1, before)
        check(len(files) == 1, f"m1: files after the button: {files}")
        check_bitmap(m1, files[0])
        step(f"button: {files[0].name} on m1, {m1.screen[0]}x{m1.screen[1]} BMP")

        scan_and_list(room)
        ctl.probe("tick", "all")
        ctl.click(TAKE_CONTROL)
        origin = ctl.dump().client_origin()
        ctl.xdo("mousemove", origin[0] + 600, origin[1] + 18, "click", 1)
        before = {machine.name: existing(machine) for machine in machines}
        ctl.xdo("key", "F9")
        for machine in machines:
            confirm_box(machine)
            files = wait_until(f"{machine.name}: F9 file", 10, lambda: new_files(machine, before[machine.name]))
            check(len(files) == 1, f"{machine.name}: files after F9: {files}")
            check_bitmap(machine, files[0])
            step(f"F9: {files[0].name} on {machine.name}, {machine.screen[0]}x{machine.screen[1]} BMP")


if __name__ == "__main__":
    run_scenario(main)
