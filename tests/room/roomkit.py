"""The test room from Python: start and remove a room, run the probe and xdotool on a machine,
and read what the probe prints. Used by the room's checks and scenarios (see docs/ROOM.md).

Every wait here is bounded; a Room always removes itself, also when a check fails or the
scenario's time budget runs out.
"""

import json
import os
import signal
import struct
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOM_SCRIPT = Path(__file__).resolve().parent / "room.sh"
SKIP_EXIT_CODE = 77          # CTest's SKIP_RETURN_CODE for the room's tests
SCENARIO_BUDGET_SECONDS = 240  # below the CTest timeout, so teardown always gets its turn
PROBE_TIMEOUT_SECONDS = 120

# The program's own texts (exactly as it shows them).
TITLE = "Zorvi 局域网键鼠同步器"
SCAN = "扫描局域网客户"
TICK_ALL = "全体选中"
UNTICK_ALL = "全体取消"
EXPORT = "导出列表到Excel"
TAKE_CONTROL = "键鼠控制"
RELEASE_CONTROL = "解除控制"
SHOT = "本机截图"
SEND_TEXT = "服务器发送"
NO_CONNECTION = "暂无连接"
IS_SERVER = "本机为服务器！"
CONNECTED_TO = "已连接服务器："
SHOT_SAVED = "截图成功！保存成功！"
EXPORT_DONE = "导出完成！"
DEFAULT_BOX_TITLE = "信息："
SHOT_FOLDER_SUFFIX = "测试数据"
COLUMNS = ["IP地址", "端口", "用户名", "SN码", "CPU", "内存", "显卡", "BIOS", "显卡驱动", "VBIOS", "系统版本"]
VERSION_PANE = "软件版本：V 1.0.0.0"
PROFILE_LABELS = ["用户名：", " | SN码：", " | CPU：", " | 内存：", " | 显卡：", " | 系统版本：",
                  " | BIOS版本：", " | 独显驱动版本：", " | VBIOS版本："]
WINDOWS_NAMES = {"win10": "Windows 10", "win81": "Windows 8.1"}

# Places of the labels in the window's client area (left, top).
CONNECTION_LABEL_AT = (8, 449)
PROFILE_LABEL_AT = (8, 473)
KEY_STATE_LABEL_AT = (1010, 498)


class CheckFailed(Exception):
    pass


class BudgetExhausted(Exception):
    pass


def check(condition, message):
    if not condition:
        raise CheckFailed(message)


# Probe commands that only read, so that asking twice is harmless.
READ_ONLY_PROBE_COMMANDS = {"dump", "net", "clipboard"}


def step(message):
    print(f"[{time.strftime('%H:%M:%S')}] {message}", flush=True)


def wait_until(what, seconds, probe_once, interval=0.2):
    """Calls probe_once() until it returns something true; returns that, or fails after `seconds`."""
    deadline = time.monotonic() + seconds
    last = None
    while True:
        last = probe_once()
        if last:
            return last
        if time.monotonic() >= deadline:
            raise CheckFailed(f"{what}: not within {seconds} s")
        time.sleep(interval)


def parse_profile_line(text):
    """The nine values of a profile line, keyed by their labels without separators."""
    values = {}
    rest = text
    for index, label in enumerate(PROFILE_LABELS):
        check(rest.startswith(label), f"profile line lacks {label!r}: {text!r}")
        rest = rest[len(label):]
        if index + 1 < len(PROFILE_LABELS):
            end = rest.find(PROFILE_LABELS[index + 1])
            check(end >= 0, f"profile line lacks {PROFILE_LABELS[index + 1]!r}: {text!r}")
        else:
            end = len(rest)
        values[label.strip(" |：")] = rest[:end]
        rest = rest[end:]
    return values


def replayed_position(x, width, target_width):
    """Where a pointer at x on a display `width` wide lands on one `target_width` wide: the
    fraction is computed in single precision, sent as "%.6g", read back into single precision
    and multiplied out in double precision, truncated toward zero."""
    as_float = lambda value: struct.unpack("f", struct.pack("f", value))[0]
    fraction = as_float(as_float(x) / as_float(width))
    sent = float("%.6g" % fraction)
    return int(as_float(sent) * target_width)


def run_captured(command, env, timeout):
    """Runs a command to its end and returns its output as text. The output goes through files,
    not pipes: a Wine program may start Wine's own services, which inherit its output and would
    keep a pipe open long after the program itself has ended."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        process = subprocess.run(command, env=env, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                 timeout=timeout)
        out.seek(0)
        err.seek(0)
        return subprocess.CompletedProcess(command, process.returncode, out.read().decode("utf-8", "replace"),
                                           err.read().decode("utf-8", "replace"))


class Snapshot:
    """One `dump` of a machine's window."""

    def __init__(self, lines):
        self.window = next((l for l in lines if l["kind"] == "window"), None)
        check(self.window is not None, "dump without a window line")
        self.controls = [l for l in lines if l["kind"] == "control"]
        lists = [l for l in lines if l["kind"] == "list"]
        self.columns = lists[0]["columns"] if lists else []
        self.rows = lists[0]["rows"] if lists else []
        status = [l for l in lines if l["kind"] == "status"]
        self.status_panes = status[0]["panes"] if status else []
        self.boxes = [l for l in lines if l["kind"] == "box"]
        self.input = next((l for l in lines if l["kind"] == "input"), {})

    def button(self, text):
        found = [c for c in self.controls if c["class"].lower() == "button" and c["text"] == text]
        check(len(found) == 1, f"expected one button {text!r}, found {len(found)}")
        return found[0]

    def control_at(self, place):
        found = [c for c in self.controls if tuple(c["rect"][:2]) == tuple(place)]
        check(len(found) >= 1, f"no control at {place}")
        return found[0]

    def connection_label(self):
        return self.control_at(CONNECTION_LABEL_AT)["text"]

    def profile_line(self):
        return self.control_at(PROFILE_LABEL_AT)["text"]

    def key_state(self):
        return self.control_at(KEY_STATE_LABEL_AT)["text"]

    def edit_text(self):
        edits = [c for c in self.controls if c["class"].lower() == "edit"]
        check(len(edits) == 1, f"expected one edit box, found {len(edits)}")
        return edits[0]["text"]

    def client_origin(self):
        """Screen position of the client area's top-left corner."""
        control = self.controls[0]
        return (control["screen"][0] - control["rect"][0], control["screen"][1] - control["rect"][1])

    def row_addresses(self):
        return [row["cells"][0] for row in self.rows]

    def row_of(self, address):
        indexes = [i for i, row in enumerate(self.rows) if row["cells"][0] == address]
        check(len(indexes) == 1, f"expected one row for {address}, found {len(indexes)}")
        return indexes[0]


class Machine:
    def __init__(self, room, description):
        self.room = room
        self.name = description["name"]
        self.address = description["address"]
        width, height = description["screen"].split("x")
        self.screen = (int(width), int(height))
        self.user = description["user"]
        self.gpu = description["gpu"]
        self.driver = description["driver"]
        self.vbios = description["vbios"]
        self.windows = description["windows"]
        self.prefix = Path(description["prefix"])

    def probe(self, *args):
        result = self.room.run("probe", self.name, *args, timeout=PROBE_TIMEOUT_SECONDS)
        if args[0] in READ_ONLY_PROBE_COMMANDS and result.returncode != 0 and not (result.stdout + result.stderr).strip():
            # Not a word from the probe: Wine did not get it started (seen once in many CI runs,
            # exit 1 and no output). A read changes nothing, so it is simply asked again.
            step(f"probe {self.name} {args[0]}: exited {result.returncode} without output; asking again")
            result = self.room.run("probe", self.name, *args, timeout=PROBE_TIMEOUT_SECONDS)
        lines = [json.loads(line) for line in result.stdout.splitlines() if line.startswith("{")]
        if result.returncode != 0:
            raise CheckFailed(f"probe {self.name} {' '.join(args)} exited {result.returncode}: "
                              f"{result.stdout.strip()} {result.stderr.strip()}")
        return lines

    def dump(self):
        return Snapshot(self.probe("dump"))

    def click(self, text):
        self.probe("click", text)

    def dismiss(self, seconds):
        """Closes the next message box; returns its report."""
        lines = self.probe("dismiss", str(seconds))
        return lines[-1]

    def xdo(self, *args):
        result = self.room.run("xdo", self.name, *[str(a) for a in args], timeout=30)
        check(result.returncode == 0, f"xdotool {args} on {self.name}: {result.stderr.strip()}")
        return result.stdout.strip()

    def pointer(self):
        fields = dict(item.split(":") for item in self.xdo("getmouselocation").split())
        return int(fields["x"]), int(fields["y"])

    def shell(self, *args):
        result = self.room.run("exec", self.name, *args, timeout=60)
        check(result.returncode == 0, f"{' '.join(args)} on {self.name} exited {result.returncode}: "
                                      f"{result.stdout.strip()[-300:]} {result.stderr.strip()[-300:]}")
        return result.stdout

    def desktop(self):
        return self.prefix / "drive_c" / "users" / self.user / "Desktop"

    def shot_folder(self):
        return self.desktop() / (self.user + SHOT_FOLDER_SUFFIX)

    def exit_code(self):
        """The program's exit code once it has ended by itself, else None."""
        exit_file = self.prefix.parent / "app.exit"
        return int(exit_file.read_text().strip()) if exit_file.exists() and exit_file.read_text().strip() else None

    def stop_app(self):
        self.room.run("app-stop", self.name, timeout=60)

    def await_profile_line(self, seconds=90):
        """The profile line once the start-up thread has written it."""
        return wait_until(f"profile line on {self.name}", seconds,
                          lambda: self.dump().profile_line(), interval=0.5)

    def move_window(self, x, y):
        self.probe("move", str(x), str(y))
        wait_until(f"window of {self.name} at {x},{y}", 10,
                   lambda: self.dump().window["rect"][:2] == [x, y])

    def move_to_bottom_right(self):
        width, height = self.dump().window["rect"][2:]
        self.move_window(self.screen[0] - width, self.screen[1] - height)


class Room:
    """A room for one scenario: `with Room("scan") as room: room["m1"].dump()`."""

    def __init__(self, room_id):
        self.room_id = room_id
        self.machines = {}
        self.env = dict(os.environ, ZORVI_ROOM=room_id)

    def run(self, *args, timeout):
        return run_captured(["bash", str(ROOM_SCRIPT), *args], self.env, timeout)

    def __enter__(self):
        if os.geteuid() != 0:
            print("SKIPPED: the test room needs root (network namespaces)", flush=True)
            sys.exit(SKIP_EXIT_CODE)
        signal.signal(signal.SIGALRM, self._out_of_time)
        signal.signal(signal.SIGTERM, self._out_of_time)
        signal.alarm(SCENARIO_BUDGET_SECONDS)
        step(f"room {self.room_id}: starting")
        result = self.run("up", timeout=180)
        if result.returncode != 0:
            self.run("down", timeout=120)
            raise CheckFailed(f"the room did not start: {result.stderr.strip()}")
        for line in result.stdout.splitlines():
            description = json.loads(line)
            self.machines[description["name"]] = Machine(self, description)
        step(f"room {self.room_id}: up with {' '.join(self.machines)}")
        return self

    def __exit__(self, *exc):
        signal.alarm(0)
        keep = os.environ.get("ZORVI_ROOM_KEEP") == "1"
        if keep:
            step(f"room {self.room_id}: kept running (ZORVI_ROOM_KEEP=1); remove it with "
                 f"ZORVI_ROOM={self.room_id} {ROOM_SCRIPT} down")
        else:
            self.run("down", timeout=120)
            step(f"room {self.room_id}: removed")
        return False

    def __getitem__(self, name):
        return self.machines[name]

    @staticmethod
    def _out_of_time(signum, frame):
        raise BudgetExhausted(f"scenario stopped by signal {signum} (budget {SCENARIO_BUDGET_SECONDS} s)")


def scan_and_list(room, controller="ctl", machines=("m1", "m2"), seconds=60):
    """Clicks the scan button on the controller and waits until every machine is listed."""
    ctl = room[controller]
    ctl.click(SCAN)
    wanted = {room[name].address for name in machines}

    def listed():
        snapshot = ctl.dump()
        return snapshot if set(snapshot.row_addresses()) == wanted and len(snapshot.rows) == len(wanted) else None

    return wait_until("every machine listed", seconds, listed, interval=0.3)


def run_scenario(main):
    """Runs a scenario function and turns its outcome into an exit code with a clear message."""
    try:
        main()
    except (CheckFailed, BudgetExhausted, subprocess.TimeoutExpired) as failure:
        print(f"FAILED: {failure}", flush=True)
        sys.exit(1)
    print("PASSED", flush=True)
