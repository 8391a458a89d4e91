"""Operator text: "服务器发送" sends the edit box's text to the ticked machines only; empty text
empties their box."""

import sys
import time
from pathlib import Path

sys.dont_write_bytecode = True  # keep the source tree free of caches
sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
from roomkit import SEND_TEXT, Room, check, run_scenario, scan_and_list, step, wait_until  # noqa: E402

SETTLE_SECONDS = 2.0


def send(ctl, text):
    ctl.probe("settext", text)
    ctl.click(SEND_TEXT)


def main():
    with Room("text") as room:
        ctl, m1, m2 = room["ctl"], room["m1"], room["m2"]
        listed = scan_and_list(room)
        ctl.probe("tick", str(listed.row_of(m1.address)))

        first = "第一行：操作员消息\r\nsecond line, 1+1=2"
        send(ctl, first)
        wait_until("text on m1", 10, lambda: m1.dump().edit_text() == first)
        time.sleep(SETTLE_SECONDS)
        check(m2.dump().edit_text() == "", "an unticked machine gets nothing")
        step("text with a line break reached the ticked machine only")

        ctl.probe("tick", "all")
        second = "第二条"
        send(ctl, second)
        for machine in (m1, m2):
            wait_until(f"text on {machine.name}", 10, lambda: machine.dump().edit_text() == second)
        step("text reached both ticked machines")

        ctl.probe("untick", str(ctl.dump().row_of(m2.address)))
        send(ctl, "")
        wait_until("m1 emptied", 10, lambda: m1.dump().edit_text() == "")
        time.sleep(SETTLE_SECONDS)
        check(m2.dump().edit_text() == second, "the unticked machine keeps its text")
        step("empty text emptied the ticked machine's box and left the other alone")


if __name__ == "__main__":
    run_scenario(main)
