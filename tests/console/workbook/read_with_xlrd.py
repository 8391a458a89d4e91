"""Reads a workbook (or one compound-file stream) back with xlrd and prints what it found, one
fact per line, texts as UTF-8 hex so that no byte can be lost on the way back to the test.

  read_with_xlrd.py cells FILE             sheets, sizes and every cell
  read_with_xlrd.py stream FILE EXPECTED   whether the "Workbook" stream equals EXPECTED's bytes

Anything xlrd writes to its log (inconsistencies it noticed) is printed as a "warning" line."""
import io
import sys

import xlrd
import xlrd.compdoc


def hex_text(text):
    return text.encode("utf-8").hex() or "-"


def print_warnings(log):
    for line in log.getvalue().splitlines():
        if line.strip():
            print("warning", line)


def cells(path):
    log = io.StringIO()
    book = xlrd.open_workbook(path, logfile=log, on_demand=False)
    print("sheets", book.nsheets)
    for sheet in book.sheets():
        print("sheet", hex_text(sheet.name), sheet.nrows, sheet.ncols)
        for row in range(sheet.nrows):
            for column in range(sheet.ncols):
                cell = sheet.cell(row, column)
                print("cell", row, column, cell.ctype, hex_text(str(cell.value)))
    print_warnings(log)


def stream(path, expected_path):
    log = io.StringIO()
    with open(path, "rb") as f:
        document = xlrd.compdoc.CompDoc(f.read(), logfile=log)
    with open(expected_path, "rb") as f:
        expected = f.read()
    found = document.get_named_stream("Workbook")
    print("stream", "missing" if found is None else len(found), "same" if found == expected else "different")
    print_warnings(log)


if __name__ == "__main__":
    if sys.argv[1] == "cells":
        cells(sys.argv[2])
    else:
        stream(sys.argv[2], sys.argv[3])
