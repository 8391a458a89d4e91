"""Departure: a controlled machine that goes away loses its row (the label keeps "本机为服务器！"
while another machine is listed); when the controller closes, the remaining machine shows
"暂无连接" and a left button held there by replayed input is released."""

import sys
from pathlib import Path

sys.dont_write_bytecode = True  # keep the source tree free of caches
sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
from roomkit import (IS_SERVER, NO_CONNECTION, TAKE_CONTROL, Room, check, run_scenario,  # noqa: E402
                     scan_and_list, step, wait_until)


def main():
    with Room("leave") as room:
        ctl, m1, m2 = room["ctl"], room["m1"], room["m2"]
        ctl.move_window(0, 0)
        m1.move_to_bottom_right()
        scan_and_list(room)

        m2.stop_app()
        left = wait_until("m2's row removed", 20, lambda: (lambda s: s if len(s.rows) == 1 else None)(ctl.dump()))
        check(left.row_addresses() == [m1.address], f"rows left: {left.row_addresses()}")
        check(left.connection_label() == IS_SERVER, f"label with m1 still listed: {left.connection_label()!r}")
        step("m2 left: its row is gone, m1's stays, the controller is still the server")

        ctl.probe("tick", "all")
        ctl.click(TAKE_CONTROL)
        origin = ctl.dump().client_origin()
        ctl.xdo("mousemove", origin[0] + 600, origin[1] + 18)
        ctl.xdo("mousedown", 1)
        wait_until("left button held on m1", 10, lambda: m1.dump().input["left_button_down"])
        step("left button held on m1 by replayed input")

        ctl.probe("close")
        wait_until("m1 label", 20, lambda: m1.dump().connection_label() == NO_CONNECTION)
        after = m1.dump()
        check(not after.input["left_button_down"], "m1's left button released when the controller closed")
        check(after.key_state() == "鼠标 左键放开", f"m1 saw the release: {after.key_state()!r}")
        ctl.xdo("mouseup", 1)
        step("controller closed: m1 reads 暂无连接 and its left button is up")
        ended = wait_until("the controller's process ended", 20,
                           lambda: None if ctl.exit_code() is None else [ctl.exit_code()])
        check(ended == [0], f"controller exit code {ended[0]}")
        step("the closed controller's process ended with exit code 0")


if __name__ == "__main__":
    run_scenario(main)
