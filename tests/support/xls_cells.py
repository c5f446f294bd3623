#!/usr/bin/env python3
"""Prints every cell of the first sheet of an Excel file, one per line:
row, column, kind and value separated by tabs (text in Windows-1252, hex-escaped)."""
import sys

import xlrd

book = xlrd.open_workbook(sys.argv[1], encoding_override="cp1252")
sheet = book.sheet_by_index(0)
for r in range(sheet.nrows):
    for c in range(sheet.ncols):
        cell = sheet.cell(r, c)
        if cell.ctype == xlrd.XL_CELL_EMPTY:
            continue
        if cell.ctype == xlrd.XL_CELL_NUMBER:
            value = repr(cell.value)
        else:
            value = cell.value.encode("cp1252").hex()
        kind = {xlrd.XL_CELL_NUMBER: "n", xlrd.XL_CELL_TEXT: "t", xlrd.XL_CELL_BLANK: "b"}.get(
            cell.ctype, str(cell.ctype))
        print(f"{r}\t{c}\t{kind}\t{value}")
