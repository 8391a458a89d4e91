"""End-to-end figures in the test room (a measurement, not a test): the time from the scan click to
the last row listed, and from an xdotool key press on the controller to the key-state label
changing on each controlled machine (and on the controller itself). Prints median, min and max.
Run as root after building the win64 preset's ZorviSync, zorvi_probe and zorvi_nvidia_smi:

    /usr/bin/python3 tests/room/measure.py

Key timing: one process of this script holds an X connection to the controller's display and one
to each other display (each opened inside the machine's network namespace, where its display's
abstract socket lives). It starts `xdotool keydown a` on the controller and notes when the
controller's X server has the key down (XQueryKeymap); from there it reads the key-state label's
pixels on every display (XGetImage, about every half millisecond) until they change. Both ends are
read with one clock, and the start of xdotool itself is not part of the figure.
"""

import ctypes
import ctypes.util
import os
import signal
import statistics
import subprocess
import sys
import time
from pathlib import Path

sys.dont_write_bytecode = True  # keep the source tree free of caches
sys.path.insert(0, str(Path(__file__).resolve().parent))
from roomkit import (KEY_STATE_LABEL_AT, ROOM_SCRIPT, SCAN, TAKE_CONTROL, BudgetExhausted, CheckFailed,  # noqa: E402
                     Room, check, scan_and_list, step, wait_until)

ROOM_ID = "demo-figures"
RUNS = 20
WARM_UP_KEY_PRESSES = 2       # the first replayed events of a session are not counted
WATCH_SECONDS = 8             # one scan lists both machines in 3 to 5 s
KEY = "a"
EVENT_WAIT_SECONDS = 5
POLL_SECONDS = 0.0005
SETTLE_SECONDS = 0.3
REAL_TIME_PRIORITY = 10
MEASURE_BUDGET_SECONDS = 900  # room start, 20 scans and 22 key presses, with room to spare

CLONE_NEWNET = 0x40000000
Z_PIXMAP = 2
ALL_PLANES = ctypes.c_ulong(~0 & 0xFFFFFFFFFFFFFFFF)


class XImage(ctypes.Structure):
    """The leading fields of Xlib's XImage, enough to read the pixels."""
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int)]


libc = ctypes.CDLL(ctypes.util.find_library("c"), use_errno=True)
xlib = ctypes.CDLL("libX11.so.6")
xlib.XOpenDisplay.restype = ctypes.c_void_p
xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
xlib.XDefaultRootWindow.restype = ctypes.c_ulong
xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
xlib.XStringToKeysym.restype = ctypes.c_ulong
xlib.XStringToKeysym.argtypes = [ctypes.c_char_p]
xlib.XKeysymToKeycode.restype = ctypes.c_ubyte
xlib.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
xlib.XQueryKeymap.argtypes = [ctypes.c_void_p, ctypes.c_char * 32]
xlib.XGetImage.restype = ctypes.POINTER(XImage)
xlib.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                           ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
xlib.XDestroyImage.argtypes = [ctypes.POINTER(XImage)]


class MachineDisplay:
    """An X connection to one machine's display, made from inside its network namespace."""

    def __init__(self, netns):
        with open("/proc/self/ns/net") as own, open(f"/run/netns/{netns}") as target:
            check(libc.setns(target.fileno(), CLONE_NEWNET) == 0, f"setns {netns}: errno {ctypes.get_errno()}")
            try:
                self.handle = xlib.XOpenDisplay(b":1")
            finally:
                check(libc.setns(own.fileno(), CLONE_NEWNET) == 0, "setns back to the host")
        check(self.handle, f"cannot open display :1 of {netns}")
        self.root = xlib.XDefaultRootWindow(self.handle)

    def close(self):
        xlib.XCloseDisplay(self.handle)

    def keycode(self, name):
        return xlib.XKeysymToKeycode(self.handle, xlib.XStringToKeysym(name.encode()))

    def key_is_down(self, keycode):
        keys = (ctypes.c_char * 32)()
        xlib.XQueryKeymap(self.handle, keys)
        return keys.raw[keycode // 8] & (1 << (keycode % 8)) != 0

    def pixels(self, rect):
        left, top, width, height = rect
        image = xlib.XGetImage(self.handle, self.root, left, top, width, height, ALL_PLANES, Z_PIXMAP)
        check(bool(image), f"XGetImage {rect}")
        try:
            return ctypes.string_at(image.contents.data, image.contents.bytes_per_line * image.contents.height)
        finally:
            xlib.XDestroyImage(image)


def poll(what, seconds, condition):
    deadline = time.perf_counter() + seconds
    while not condition():
        if time.perf_counter() >= deadline:
            raise CheckFailed(f"{what}: not within {seconds} s")
        time.sleep(POLL_SECONDS)
    return time.perf_counter()


def figures(seconds, decimals):
    """Median, min and max in milliseconds."""
    as_ms = lambda value: f"{value * 1000:.{decimals}f}"
    return (f"median {as_ms(statistics.median(seconds)):>6} ms  (min {as_ms(min(seconds))}, "
            f"max {as_ms(max(seconds))}; {len(seconds)} runs)")


def measure_scans(room):
    """Seconds from the scan click to the moment the last machine is listed, per scan; and the
    probe's mean interval between two looks at the list."""
    ctl = room["ctl"]
    wanted = {room[name].address for name in ("m1", "m2")}
    times, intervals = [], []
    for run in range(RUNS):
        lines = ctl.probe("watch-rows", str(WATCH_SECONDS), SCAN)
        sightings = [(line["ms"], {row["cells"][0] for row in line["rows"]}, len(line["rows"]))
                     for line in lines if line["kind"] == "rows_seen"]
        end = next(line for line in lines if line["kind"] == "watch_end")
        short = [i for i, (_, seen, count) in enumerate(sightings) if seen != wanted or count != len(wanted)]
        check(short and short[-1] + 1 < len(sightings), f"scan {run + 1}: every machine listed again: {sightings}")
        times.append(sightings[short[-1] + 1][0] / 1000)
        intervals.append(end["ms"] / end["samples"])
        step(f"scan {run + 1}: last row listed after {times[-1]:.2f} s")
    return times, statistics.mean(intervals)


def press_once(room, ctl_display, keycode, labels, displays):
    """Presses the key on the controller; returns the seconds until each label changed."""
    before = {name: displays[name].pixels(rect) for name, rect in labels.items()}
    press = subprocess.Popen(["bash", str(ROOM_SCRIPT), "xdo", "ctl", "keydown", KEY], env=room.env,
                             stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        pressed_at = poll("key down on the controller's display", EVENT_WAIT_SECONDS,
                          lambda: ctl_display.key_is_down(keycode))
        changed = {}

        def every_label_changed():
            for name, rect in labels.items():
                if name not in changed and displays[name].pixels(rect) != before[name]:
                    changed[name] = time.perf_counter() - pressed_at
            return len(changed) == len(labels)

        poll("key-state labels changed", EVENT_WAIT_SECONDS, every_label_changed)
    finally:
        press.wait(timeout=30)
    down = {name: displays[name].pixels(rect) for name, rect in labels.items()}
    room["ctl"].xdo("keyup", KEY)
    poll("labels back to the release", EVENT_WAIT_SECONDS,
         lambda: all(displays[name].pixels(rect) != down[name] for name, rect in labels.items()))
    time.sleep(SETTLE_SECONDS)
    return changed


def measure_key_state(room):
    """Seconds from the key down on the controller's display to each key-state label changing."""
    ctl = room["ctl"]
    ctl.probe("tick", "all")
    ctl.click(TAKE_CONTROL)
    wait_until("control taken", 10, lambda: not ctl.dump().button(TAKE_CONTROL)["enabled"])
    names = ["m1", "m2", "ctl"]
    labels = {}
    for name in names:
        label = room[name].dump().control_at(KEY_STATE_LABEL_AT)
        labels[name] = [label["screen"][0], label["screen"][1], label["rect"][2], label["rect"][3]]
    displays = {name: MachineDisplay(f"zr-{ROOM_ID}-{name}") for name in names}
    # Real-time priority, so that a busy machine does not make the readings late; the programs
    # this script starts run at normal priority.
    os.sched_setscheduler(0, os.SCHED_FIFO | os.SCHED_RESET_ON_FORK, os.sched_param(REAL_TIME_PRIORITY))
    try:
        keycode = displays["ctl"].keycode(KEY)
        times = {name: [] for name in names}
        for run in range(WARM_UP_KEY_PRESSES + RUNS):
            changed = press_once(room, displays["ctl"], keycode, labels, displays)
            if run >= WARM_UP_KEY_PRESSES:
                for name in names:
                    times[name].append(changed[name])
                step(f"key {run + 1 - WARM_UP_KEY_PRESSES}: " +
                     ", ".join(f"{name} {changed[name] * 1000:.1f} ms" for name in names))
        return times
    finally:
        os.sched_setscheduler(0, os.SCHED_OTHER, os.sched_param(0))
        for display in displays.values():
            display.close()


def main():
    try:
        with Room(ROOM_ID) as room:
            signal.alarm(MEASURE_BUDGET_SECONDS)
            for name in ("ctl", "m1", "m2"):
                room[name].await_profile_line()
            scan_and_list(room)
            scans, interval = measure_scans(room)
            keys = measure_key_state(room)
            screens = ", ".join(f"{name} {room[name].screen[0]}x{room[name].screen[1]}" for name in ("ctl", "m1", "m2"))
    except (CheckFailed, BudgetExhausted, subprocess.TimeoutExpired) as failure:
        print(f"FAILED: {failure}", flush=True)
        sys.exit(1)
    print(f"\nEnd to end in the test room ({screens}; {os.cpu_count()} CPUs)")
    print(f"  {'scan click to last row listed':48} {figures(scans, 0)}")
    print(f"    (re-scans, each emptying the list first; the probe looks at the list every {interval:.0f} ms)")
    for name in ("m1", "m2", "ctl"):
        place = "on the controller" if name == "ctl" else f"on {name}"
        print(f"  {'key press to key-state label ' + place:48} {figures(keys[name], 1)}")

if __name__ == "__main__":
    main()
