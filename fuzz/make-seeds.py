#!/usr/bin/env python3
"""Writes the seed corpora in corpus/<target>/ from the messages, datagrams and tool outputs the
tests use (tests/profile/fixtures for the tools). Each seed starts with the bytes its target reads
as choices, as the target's source describes. Run again after changing a target's input layout."""
import os
import pathlib
import struct

HERE = pathlib.Path(__file__).resolve().parent
FIXTURES = HERE.parent / "tests" / "profile" / "fixtures"


def gbk(text):
    return text.encode("gbk")


MESSAGE_HEAD = gbk("【[&zorvi消息头&]】")
TEXT_HEAD = gbk("【[&zorvi文本消息头&]】")
INNER_SEP = gbk("【[&zorvi文本消息内分割&]】")
TEXT_TAIL = gbk("【[&zorvi文本消息尾&]】")
MESSAGE_TAIL = gbk("【[&zorvi消息尾&]】")
MESSAGE_SEP = gbk("【[&zorvi文本消息分割&]】")
KIND_INPUT = gbk("【[&zorvi键鼠参数标识&]】")
KIND_PROFILE = gbk("【[&zorvi本机系统数据标识&]】")
KIND_TEXT = gbk("【[&zorvi正常文本消息&]】")
INPUT_SEP = gbk("【[&zorvi键鼠参数数据分割&]】")
PROFILE_SEP = gbk("【[&zorvi本机系统数据内分割&]】")
LABEL_X = gbk("zorvi键鼠控制-鼠标水平位置：")
LABEL_Y = gbk("zorvi键鼠控制-鼠标垂直位置：")
LABEL_STATE = gbk("zorvi键鼠控制-按键状态：")
PROFILE_REQUEST = gbk("已连接至服务器，请反馈你的配置信息")


def wrap(body):
    return MESSAGE_HEAD + TEXT_HEAD + b"1700000000123" + INNER_SEP + body + TEXT_TAIL + MESSAGE_TAIL + MESSAGE_SEP


def input_body(x, y, state):
    return KIND_INPUT + LABEL_X + x + INPUT_SEP + LABEL_Y + y + INPUT_SEP + LABEL_STATE + gbk(state)


PROFILE = PROFILE_SEP.join(gbk(field) for field in [
    "alice", "SN123", "i7-9750H", "8G + 8G", "Windows 10 专业版 (Build:19045)", "NVIDIA GeForce RTX 2060",
    "Default System BIOS", "537.58", "90.06.3F.00.5A"])
PROFILE_EMPTY_NINTH = PROFILE[: PROFILE.rindex(PROFILE_SEP) + len(PROFILE_SEP)]

BODIES = {
    "input-key": input_body(b"0.5", b"0.25", "键盘 A键   按下"),
    "input-mouse": input_body(b"0.520833", b"1", "鼠标 左键放开"),
    "input-huge-fraction": input_body(b"1e39", b"-inf", ""),
    "profile-request": PROFILE_REQUEST,
    "profile": KIND_PROFILE + PROFILE,
    "profile-empty-ninth": KIND_PROFILE + PROFILE_EMPTY_NINTH,
    "operator-text": KIND_TEXT + gbk("下午三点重启\r\n测试机"),
}


def tool(name):
    return (FIXTURES / name).read_bytes()


def sized(data):
    return struct.pack(">H", len(data)) + data


def seeds():
    stream = {
        "two-messages": bytes([7, 16, 64]) + wrap(BODIES["profile-request"]) + wrap(BODIES["input-key"]),
        "greeting-then-profile": bytes([3, 1, 200]) + b"127.0.0.1" + wrap(BODIES["profile"]),
        "half-then-whole": bytes([9, 40, 32]) + wrap(BODIES["input-mouse"])[:90] + wrap(BODIES["operator-text"]),
        "no-separator": bytes([1, 64, 0]) + wrap(BODIES["input-key"])[: -len(MESSAGE_SEP)] + b"x" * 300,
    }
    body = {name: b"\x07\x80\x04\x38" + data for name, data in BODIES.items()}
    key_state = {
        "key-a-pressed": gbk("键盘 A键   按下"),
        "caps-lock-released": gbk("键盘 Caps Lock键   放开"),
        "break-pressed": gbk("键盘 Break   按下"),
        "fn-pressed": gbk("键盘 Fn键   按下"),
        "left-down": gbk("鼠标 左键按下"),
        "tab-pressed": gbk("键盘    按下"),
    }
    datagram = {
        "scan": gbk("zorvi局域网扫描：127.0.0.1"),
        "scan-name": gbk("zorvi局域网扫描：localhost"),
        "scan-no-address": gbk("zorvi局域网扫描："),
        "scan-bad-dotted": gbk("zorvi局域网扫描：999.1.1.1"),
        "disconnect": gbk("zorvi断开服务器连接"),
    }
    profile = {
        "oem-8g-current": bytes([0, 16]) + sized(tool("wmic-serial-oem.txt")) + sized(tool("wmic-memory-8g-8g.txt"))
        + sized(tool("nvidia-smi-current.txt")) + sized(b"Intel(R) Core(TM) i7-9750H CPU @ 2.60GHz")
        + sized(b"") + b"alice\nDefault System BIOS\n",
        "wine-utf16-older": bytes([0, 7]) + sized(tool("wmic-serial-wine-utf16.bin"))
        + sized(tool("wmic-memory-wine-utf16.bin")) + sized(tool("nvidia-smi-older.txt"))
        + sized(b"AMD Ryzen 7 4800H with Radeon Graphics         ") + sized(b"") + b"bob\nBIOS\n",
        "missing-tools": bytes([0, 255]) + sized(tool("wmic-not-recognized-zh.txt"))
        + sized(tool("wmic-not-recognized.txt")) + sized(tool("nvidia-smi-not-recognized.txt")) + sized(b"")
        + sized(b"To be filled by O.E.M.") + b"\n\n8589934592\n8589934592",
    }
    row = [gbk(text) for text in ["127.0.0.1", "50211", "测试员", "SN123", "i7-9750H", "8G + 8G",
                                  "NVIDIA GeForce RTX 2060", "Default System BIOS", "537.58", "90.06.3F.00.5A",
                                  "Windows 10 专业版"]]
    headings = [gbk(text) for text in ["IP地址", "端口", "用户名", "SN码", "CPU", "内存", "显卡", "BIOS",
                                       "显卡驱动", "VBIOS", "系统版本"]]
    workbook = {
        "client-list": bytes([10, 0, 0]) + b"\t".join(headings + row + row),
        "long-cells": bytes([1, 20, 0]) + b"\t".join([gbk("长文本'\"") * 60, b"O'Brien", b""]),
        "utf16-sheet-name": bytes([2, 0, 3]) + "表".encode("utf-16-le") + b"\t" + "单元格".encode("utf-16-le"),
    }
    return {
        "fuzz_receive_stream": stream,
        "fuzz_message_body": body,
        "fuzz_key_state": key_state,
        "fuzz_datagram": datagram,
        "fuzz_profile_rules": profile,
        "fuzz_workbook": workbook,
    }


def main():
    for target, files in seeds().items():
        folder = HERE / "corpus" / target
        folder.mkdir(parents=True, exist_ok=True)
        for name, data in files.items():
            (folder / name).write_bytes(data)


if __name__ == "__main__":
    main()
