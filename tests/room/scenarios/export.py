"""Export: "导出列表到Excel" writes the list to the path typed into the save dialog; python3-xlrd
reads back the sheet "123" with the eleven headings and one row per listed machine, exactly as the
list shows them. A second export to the same path replaces the file."""

import sys
from pathlib import Path

import xlrd

sys.dont_write_bytecode = True  # keep the source tree free of caches
sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
from roomkit import (COLUMNS, DEFAULT_BOX_TITLE, EXPORT, EXPORT_DONE, Room, check, run_scenario,  # noqa: E402
                     scan_and_list, step)

DIALOG_WAIT_SECONDS = 20
BOX_WAIT_SECONDS = 20


def export_to(ctl, windows_path):
    ctl.click(EXPORT)
    saved = ctl.probe("savefile", windows_path, str(DIALOG_WAIT_SECONDS))[-1]
    check(saved["closed"], f"save dialog {saved}")
    box = ctl.dismiss(BOX_WAIT_SECONDS)
    check(box["text"] == EXPORT_DONE and box["title"] == DEFAULT_BOX_TITLE, f"box {box}")


def read_back(path):
    book = xlrd.open_workbook(str(path))
    check(book.sheet_names() == ["123"], f"sheets {book.sheet_names()}")
    sheet = book.sheet_by_name("123")
    cells = [[sheet.cell(r, c) for c in range(sheet.ncols)] for r in range(sheet.nrows)]
    check(all(cell.ctype in (xlrd.XL_CELL_TEXT, xlrd.XL_CELL_EMPTY) for row in cells for cell in row),
          "every cell is text")
    return [[cell.value for cell in row] for row in cells]


def main():
    with Room("export") as room:
        ctl = room["ctl"]
        listed = scan_and_list(room)
        expected = [COLUMNS] + [row["cells"] for row in listed.rows]
        windows_path = f"C:\\users\\{ctl.user}\\Desktop\\room-export.xls"
        unix_path = ctl.desktop() / "room-export.xls"

        export_to(ctl, windows_path)
        check(read_back(unix_path) == expected, f"workbook {read_back(unix_path)}, wanted {expected}")
        step(f"exported {len(expected) - 1} rows; xlrd reads headings and rows back")

        unix_path.write_bytes(b"not a workbook")
        export_to(ctl, windows_path)
        check(read_back(unix_path) == expected, "a second export replaces the file")
        step("a second export to the same path replaced the file")


if __name__ == "__main__":
    run_scenario(main)
