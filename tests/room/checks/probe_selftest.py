"""The probe and the stand-in nvidia-smi, tested against a stand-in window in one Wine prefix on a
private Xvfb display (no root needed).

usage: probe_selftest.py <zorvi_probe.exe> <zorvi_probe_fixture.exe> <nvidia-smi.exe> <wine prefix>
"""

import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.dont_write_bytecode = True  # keep the source tree free of caches
sys.path.insert(0, str(HERE.parent))
from roomkit import (COLUMNS, DEFAULT_BOX_TITLE, SHOT_SAVED, TITLE, VERSION_PANE, CheckFailed,  # noqa: E402
                     Snapshot, check, run_captured, step, wait_until)

REPO = HERE.parent.parent.parent
WINE = "/usr/lib/wine/wine64" if os.path.exists("/usr/lib/wine/wine64") else "wine"
PROFILE_LINE = "用户名：tester | SN码：FIX-0001 | CPU：i7-9750H"
COPIED = "已复制系统信息到剪切板！"


class Session:
    def __init__(self, probe, prefix, display):
        self.probe_exe = probe
        self.env = dict(os.environ, WINEPREFIX=str(prefix), WINEDEBUG="-all", DISPLAY=display,
                        LANG="C.UTF-8", WINEDLLOVERRIDES="mscoree,mshtml=")

    def probe(self, *args, code=0):
        result = run_captured([WINE, self.probe_exe, *args], self.env, 60)
        check(result.returncode == code,
              f"probe {' '.join(args)}: exit {result.returncode}, wanted {code}: {result.stdout}{result.stderr}")
        return [json.loads(line) for line in result.stdout.splitlines() if line.startswith("{")]

    def dump(self):
        return Snapshot(self.probe("dump"))


def check_dump(session):
    snapshot = session.dump()
    check(snapshot.window["title"] == TITLE and snapshot.window["count"] == 1, f"window {snapshot.window}")
    check(snapshot.button("扫描局域网客户")["enabled"], "scan button enabled")
    check(not snapshot.button("键鼠控制")["enabled"], "control button disabled")
    check(snapshot.columns == COLUMNS, f"columns {snapshot.columns}")
    check([row["cells"][:4] for row in snapshot.rows] ==
          [["10.77.1.11", "50123", "tester1", "SN 序列"], ["10.77.1.12", "50123", "测试员", "SN 序列"]],
          f"rows {snapshot.rows}")
    check([row["state_image"] for row in snapshot.rows] == [1, 1], "rows start unticked")
    check(snapshot.status_panes == ["探针测试窗口", VERSION_PANE], f"panes {snapshot.status_panes}")
    check(snapshot.profile_line() == PROFILE_LINE, "profile line found at its place")
    check(snapshot.connection_label() == "暂无连接", "connection label found at its place")
    check(snapshot.control_at((8, 473))["rect"] == [8, 473, 1168, 24], "rectangles relative to the client area")
    step("dump: controls, list, status panes and places read")


def check_ticks(session):
    cases = [(("tick", "1"), [False, True]), (("tick", "all"), [True, True]),
             (("untick", "0"), [False, True]), (("untick", "all"), [False, False])]
    for args, expected in cases:
        session.probe(*args)
        checked = [row["checked"] for row in session.dump().rows]
        check(checked == expected, f"{' '.join(args)}: {checked}, wanted {expected}")
    session.probe("tick", "7", code=2)
    step("tick/untick: single rows and all rows, as the window itself reports them")


def check_buttons_and_boxes(session):
    text = "第一行\r\nline 2 ‘quoted’"
    session.probe("settext", text)
    snapshot = session.dump()
    check(snapshot.edit_text() == text, "settext")
    edit = next(c for c in snapshot.controls if c["class"] == "Edit")
    subprocess.run(["xdotool", "mousemove", str(edit["screen"][0] + 20), str(edit["screen"][1] + 20), "click", "1"],
                   env=session.env, check=True, timeout=30)
    wait_until("edit box focused", 10,
               lambda: (lambda i: i["foreground"] and i["focus_class"] == "Edit")(session.dump().input))

    refused = session.probe("click", "键鼠控制", code=2)[0]
    check("disabled" in refused["message"], f"disabled button: {refused}")
    time.sleep(0.5)
    check(session.dump().edit_text() == text, "a disabled button must not fire")

    started = time.monotonic()
    session.probe("click", "本机截图")
    check(time.monotonic() - started < 10, "click returns while the program shows a modal box")
    box = session.probe("dismiss", "10")[0]
    check(box["title"] == DEFAULT_BOX_TITLE and box["text"] == SHOT_SAVED and box["closed"], f"box {box}")
    session.probe("dismiss", code=1)

    session.probe("click", "扫描局域网客户")
    listed = session.probe("wait-rows", "3", "10")[0]
    check(listed["rows"][2]["cells"][0] == "10.77.1.13", f"wait-rows {listed}")
    session.probe("wait-rows", "5", "1", code=1)
    watched = session.probe("watch-rows", "2", "扫描局域网客户")
    sightings = [line for line in watched if line["kind"] == "rows_seen"]
    check([len(s["rows"]) for s in sightings] == [3, 4] and sightings[1]["ms"] > 0, f"watch-rows {sightings}")
    check(watched[-1]["kind"] == "watch_end" and watched[-1]["samples"] > 5, f"watch-rows end {watched[-1]}")
    check(session.probe("wait-text", "暂无", "5")[0]["text"] == "暂无连接", "wait-text")
    session.probe("wait-text", "never shown", "1", code=1)
    step("settext, focus, click, disabled refusal, dismiss, wait-rows, watch-rows, wait-text")


def check_profile_and_dialogs(session):
    clicked = session.probe("dblclick-profile")[0]
    check(clicked["notify_style"], f"profile label {clicked}")
    box = session.probe("dismiss", "10")[0]
    check(box["text"] == COPIED, f"box {box}")
    clipboard = session.probe("clipboard")[0]
    check(clipboard["unicode"] == PROFILE_LINE, f"clipboard {clipboard}")

    session.probe("click", "导出列表到Excel")
    saved = session.probe("savefile", r"C:\probe-test.xls", "20")[0]
    check(saved["closed"], f"save dialog {saved}")
    wait_until("chosen path in the edit box", 10, lambda: session.dump().edit_text() == r"C:\probe-test.xls")

    session.probe("move", "100", "80")
    wait_until("window moved", 10, lambda: session.dump().window["rect"][:2] == [100, 80])
    step("dblclick-profile, clipboard, savefile, move")


def check_nvidia_standin(session, standin):
    with tempfile.TemporaryDirectory() as folder:
        exe = Path(folder) / "nvidia-smi.exe"
        shutil.copy(standin, exe)
        env = session.env
        def run(*args):
            with tempfile.TemporaryFile() as out:
                code = subprocess.run([WINE, str(exe), *args], env=env, stdout=out, timeout=60).returncode
                out.seek(0)
                return subprocess.CompletedProcess(args, code, out.read())

        missing = run("-q")
        check(missing.returncode == 9 and len(missing.stdout) < 200 and b"NVIDIA driver" in missing.stdout,
              f"without values: {missing.returncode} {missing.stdout!r}")
        (Path(folder) / "nvidia-smi.txt").write_bytes(b"product=NVIDIA Test Card\r\ndriver=999.01\n# note\n")
        report = run("-q")
        check(report.returncode == 0 and len(report.stdout) > 200, f"report {report.returncode}")
        text = report.stdout.decode("ascii")
        check(text.startswith("\r\n==============NVSMI LOG==============\r\n"), "report head")
        check("\nDriver Version                            : 999.01\r\n" in text, "driver line, top level")
        check("\n    Product Name                          : NVIDIA Test Card\r\n" in text, "product line")
        check("\n    VBIOS Version                         : N/A\r\n" in text, "a missing value prints N/A")
        lines = text.split("\r\n")
        check("\n" not in text.replace("\r\n", ""), "every line ends in CR LF")
        check(all(line.index(" : ") == 41 for line in lines if " : " in line), "every colon in column 42")
        check(run("-L").returncode == 2, "other arguments are refused")
    step("nvidia-smi stand-in: layout, per-machine values, missing values and missing driver")


def main():
    probe, fixture, standin, prefix = sys.argv[1:5]
    subprocess.run([str(REPO / "scripts" / "wine-prefix.sh"), prefix], check=True, timeout=300)
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp", "-screen", "0",
                             "1920x1080x24"], pass_fds=(write_end,), stderr=subprocess.DEVNULL)
    os.close(write_end)
    app = None
    try:
        with os.fdopen(read_end) as display_number:
            display = ":" + display_number.readline().strip()
        session = Session(probe, prefix, display)
        app = subprocess.Popen([WINE, fixture], env=session.env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
        session.probe("wait-window", "60")
        check_dump(session)
        check_ticks(session)
        check_buttons_and_boxes(session)
        check_profile_and_dialogs(session)
        session.probe("close")
        wait_until("window closed", 10, lambda: app.poll() is not None)
        check_nvidia_standin(session, standin)
    except CheckFailed as failure:
        print(f"FAILED: {failure}", flush=True)
        sys.exit(1)
    finally:
        if app is not None and app.poll() is None:
            app.kill()
        subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=prefix), timeout=30)
        xvfb.terminate()
        xvfb.wait(timeout=10)
    print("PASSED", flush=True)


if __name__ == "__main__":
    main()
