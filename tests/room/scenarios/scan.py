"""Scan: both controlled machines appear once each, with their address, the port of their
connection and all nine profile columns as the machine itself describes itself; the labels read
"本机为服务器！" on the controller and "已连接服务器：" + the controller's address on the others."""

import sys
from pathlib import Path

sys.dont_write_bytecode = True  # keep the source tree free of caches
sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
from roomkit import (COLUMNS, CONNECTED_TO, EXPORT, IS_SERVER, NO_CONNECTION, RELEASE_CONTROL,  # noqa: E402
                     TAKE_CONTROL, TITLE, VERSION_PANE, WINDOWS_NAMES, Room, check, parse_profile_line, run_scenario,
                     scan_and_list, step, wait_until)


def connection_port(machine, controller):
    """The local port of the machine's one connection to the controller, as the kernel sees it."""
    lines = machine.shell("ss", "-Htn", "state", "established", "dst", f"{controller.address}:18257").split()
    local = [field for field in lines if field.startswith(machine.address + ":")]
    check(len(local) == 1, f"{machine.name}: connections to the controller: {lines}")
    return local[0].split(":")[1]


# Every control of the main window: class, first text, and left, top, width, height in the client area.
LAYOUT = [
    ("Static", "客户机列表：", [8, 6, 240, 24]),
    ("Button", "扫描局域网客户", [916, 6, 104, 24]),
    ("Button", "全体选中", [1026, 6, 72, 24]),
    ("Button", "全体取消", [1104, 6, 72, 24]),
    ("SysListView32", "", [8, 35, 1168, 296]),
    ("Button", "导出列表到Excel", [864, 337, 110, 24]),
    ("Button", "键鼠控制", [982, 337, 99, 24]),
    ("Button", "解除控制", [1088, 337, 88, 24]),
    ("Edit", "", [8, 368, 1168, 72]),
    ("Static", "暂无连接", [8, 449, 960, 24]),
    ("Button", "本机截图", [984, 448, 80, 24]),
    ("Button", "服务器发送", [1072, 447, 104, 24]),
    ("Static", None, [8, 473, 1168, 24]),  # the profile line: written by the start-up thread
    ("Static", "", [1010, 498, 182, 16]),
    ("msctls_statusbar32", None, [0, 497, 1191, 20]),
]


def check_layout(snapshot):
    check(snapshot.window["title"] == TITLE, f"title {snapshot.window['title']!r}")
    check(snapshot.window["rect"][2:] == [1197, 546], f"window size {snapshot.window['rect']}")
    children = [c for c in snapshot.controls if c["parent"] == "ZorviSyncMainWindow"]
    check(len(children) == len(LAYOUT), f"{len(children)} controls on the window")
    for window_class, text, rect in LAYOUT:
        found = [c for c in children if c["class"] == window_class and c["rect"] == rect]
        check(len(found) == 1, f"{window_class} at {rect}: found {len(found)}")
        check(text is None or found[0]["text"] == text, f"{window_class} at {rect}: {found[0]['text']!r}")


def main():
    with Room("scan") as room:
        ctl, controlled = room["ctl"], [room["m1"], room["m2"]]
        profiles = {m.name: parse_profile_line(m.await_profile_line()) for m in controlled}

        start = ctl.dump()
        check_layout(start)
        check(start.columns == COLUMNS, f"columns {start.columns}")
        check(start.rows == [], "the list starts empty")
        check(start.connection_label() == NO_CONNECTION, "label before the scan")
        check(start.status_panes[-1:] == [VERSION_PANE] and len(start.status_panes) == 2,
              f"status panes {start.status_panes}")
        for text in (EXPORT, TAKE_CONTROL, RELEASE_CONTROL):
            check(not start.button(text)["enabled"], f"{text} disabled at start")
        step("before the scan: title, size and every control in place; empty list, eleven columns, "
             "three buttons disabled")

        listed = scan_and_list(room)
        step(f"listed: {listed.row_addresses()}")
        for machine in controlled:
            profile = profiles[machine.name]
            row = listed.rows[listed.row_of(machine.address)]
            cells = dict(zip(COLUMNS, row["cells"]))
            expected = {
                "IP地址": machine.address,
                "端口": connection_port(machine, ctl),
                "用户名": machine.user,
                "SN码": profile["SN码"],
                "CPU": profile["CPU"],
                "内存": profile["内存"],
                "显卡": machine.gpu,
                "BIOS": profile["BIOS版本"],
                "显卡驱动": machine.driver,
                "VBIOS": machine.vbios,
                "系统版本": profile["系统版本"],
            }
            for column, value in expected.items():
                check(cells[column] == value, f"{machine.name} {column}: {cells[column]!r}, wanted {value!r}")
            check(cells["系统版本"].startswith(WINDOWS_NAMES[machine.windows]),
                  f"{machine.name}: system {cells['系统版本']!r} for {machine.windows}")
            check(not row["checked"], f"{machine.name}: new rows start unticked")
            step(f"{machine.name}: row matches its own profile line and connection")

        wait_until("controller label", 10, lambda: ctl.dump().connection_label() == IS_SERVER)
        for machine in controlled:
            wanted = CONNECTED_TO + ctl.address
            wait_until(f"{machine.name} label", 10, lambda: machine.dump().connection_label() == wanted)
        after = ctl.dump()
        check(after.button(EXPORT)["enabled"] and after.button(TAKE_CONTROL)["enabled"]
              and not after.button(RELEASE_CONTROL)["enabled"], "buttons Ready after the scan")
        step("labels and button states after the scan")


if __name__ == "__main__":
    run_scenario(main)
