#!/usr/bin/env python3
"""Writes a table file of ROWS x COLS cells for timing the kavotbl program:
a stub, spanners of ten columns over the data columns, figures of up to six
digits from a fixed pseudo-random sequence (the same file on every run).

    bench/big_table.py 1000 1000 > big.tbl
"""
import sys

rows, cols = int(sys.argv[1]), int(sys.argv[2])
out = sys.stdout
out.write("[Table]\nSize=%d, %d\nName=Big\n\n[Title]\nText=Table 1. A large table\n"
          "\n[StubHead]\nText=Area\n" % (rows, cols))
for c in range(cols):
    if c % 10 == 0:
        out.write("\n[ColumnGroup]\nText=Group %d\n" % (c // 10))
    out.write("\n[Column]\nText=C%d\n" % c)
    if c % 10 == 9 or c == cols - 1:
        out.write("[EndGroup]\n")
v = 12345
for r in range(rows):
    figures = []
    for c in range(cols):
        v = (v * 1103515245 + 12345) & 0xFFFFFFFF
        figures.append(str((v >> 8) % 1000000))
    out.write("\n[Row]\nText=Area %d\nData=%s\n" % (r, ", ".join(figures)))
