"""The export command's files read back by tools of their own ecosystems:
openpyxl for the spreadsheet, the csv module, html5lib's strict parser, and
LibreOffice converting the spreadsheet to PDF next to the printed table.

    read_back.py KAVOTBL SAMPLE.tbl WORKDIR
"""
import csv
import os
import shutil
import subprocess
import sys

import html5lib
import openpyxl

kavotbl, sample, work = sys.argv[1:4]
os.makedirs(work, exist_ok=True)
failures = []


def check(what, got, expected):
    if got != expected:
        failures.append(f"{what}: got {got!r}, expected {expected!r}")


def export(name, *options):
    out = os.path.join(work, name)
    r = subprocess.run([kavotbl, "export", sample, "-o", out, *options], capture_output=True, text=True)
    if r.returncode != 0:
        sys.exit(f"kavotbl export {name} failed: {r.stderr}")
    return out, r.stderr


# Spreadsheet: numbers stay numbers with the table's formats; the spanner is
# merged over its columns; panes frozen at the first data cell; print titles.
path, warnings = export("sample.xlsx")
check("warnings", sorted(w.split(": ", 3)[3][:20] for w in warnings.splitlines()),
      ["1 value is beyond wh", "the worksheet is nam"])
wb = openpyxl.load_workbook(path)
check("sheet names", wb.sheetnames, ["Persons_ by sex_age_"])
check("document title", wb.properties.title, 'Table 1. Persons, "all" & <more>')
ws = wb.active
check("frozen panes", ws.freeze_panes, "B6")
check("merged", [str(r) for r in ws.merged_cells.ranges], ["C4:D4"])
check("print titles", (ws.print_title_rows, ws.print_title_cols), ("$4:$5", "$A:$A"))
rows = [[c.value for c in r] for r in ws.iter_rows()]
check("heading", rows[3:5], [[None, None, "Sex", None, None], ["Region", "Total", "Male", "Female", "Share"]])
check("body", rows[5:9], [
    ["North, inland", None, None, None, None],
    ["Alto Rio", 1234567, 1234.5, 7, 0.5],
    ["S\u00e3o Paulo", 0, 0, 0, -1234.5],
    ["Big", "9,007,199,254,740,993", -0.05, 3, 1.2]])
check("footing", rows[-1][0], "Source: the census")
formats = [ws.cell(row=7, column=c).number_format for c in range(2, 6)]
check("number formats", formats, ['#,##0;-#,##0;"-"', '#,##0.00;-#,##0.00;"-"', ';;"none"', '#.0;-#.0;"-"'])
check("indent", (ws["A6"].alignment.indent, ws["A7"].alignment.indent), (0, 1))
check("spanner centred", ws["C4"].alignment.horizontal, "center")
check("rules", (ws["C4"].border.top.style, ws["C4"].border.bottom.style), ("medium", "double"))

# CSV: RFC 4180 records; plain decimals by default, the shown texts on request.
path, _ = export("sample.csv")
with open(path, newline="", encoding="utf-8") as f:
    raw = f.read()
check("record ends", raw.count("\r\n"), len(raw.splitlines()))
records = list(csv.reader(raw.splitlines()))
check("csv", records, [
    ["Region", "Total", "Sex: Male", "Sex: Female", "Share"],
    ["North, inland", "", "", "", ""],
    ["Alto Rio", "1234567", "1234.50", "", "0.5"],
    ["S\u00e3o Paulo", "0", "0.00", "0", "-1234.5"],
    ["Big", "9007199254740993", "-0.05", "", "1.2"]])
path, _ = export("shown.csv", "--shown", "--heading-levels", "--no-captions", "--bom")
with open(path, newline="", encoding="utf-8-sig") as f:
    records = list(csv.reader(f))
check("csv shown", records[:3], [["", "", "Sex", "", ""], ["Region", "Total", "Male", "Female", "Share"],
                                  ["Alto Rio", "1,234,567", "1,234.50", "", ".5"]])
check("csv shown zero", records[3][1:4], ["-", "-", "none"])

# Web page: well-formed HTML5 for the strict parser; the heading's structure.
ns = {"h": "http://www.w3.org/1999/xhtml"}
for name, options in (("sample.html", ()), ("fragment.html", ("--fragment",))):
    path, _ = export(name, *options)
    with open(path, "rb") as f:
        text = f.read()
    parser = html5lib.HTMLParser(strict=True, namespaceHTMLElements=True)
    try:
        doc = parser.parse(text) if not options else parser.parseFragment(text)
    except Exception as e:  # strict parsing raises on the first parse error
        failures.append(f"{name}: not strict HTML5: {e}")
        continue
    if options:
        check("fragment alone", text.startswith(b"<p") and b"<style" not in text and b"<html" not in text, True)
        continue
    check("no scripts or fetches", [w for w in (b"<script", b"<link", b"src=", b"url(") if w in text], [])
    table = doc.find(".//h:table", ns)
    check("caption", "".join(table.find("h:caption", ns).itertext()), 'Table 1. Persons, "all" & <more>')
    head = [[(th.text, th.get("colspan"), th.get("rowspan"), th.get("scope")) for th in tr]
            for tr in table.findall("h:thead/h:tr", ns)]
    check("thead", head, [
        [("Region", None, "2", "col"), ("Total", None, "2", "col"), ("Sex", "2", None, "colgroup"),
         ("Share", None, "2", "col")],
        [("Male", None, None, "col"), ("Female", None, None, "col")]])
    body = [[(c.tag.split("}")[1], c.get("scope"), c.text) for c in tr] for tr in table.findall("h:tbody/h:tr", ns)]
    check("stub", [r[0] for r in body], [("th", "row", "North, inland"), ("th", "row", "Alto Rio"),
                                          ("th", "row", "S\u00e3o Paulo"), ("th", "row", "Big")])
    check("cells", [c[2] for c in body[1][1:]], ["1,234,567", "1,234.50", None, ".5"])
    check("print heading", b"thead{display:table-header-group}" in text, True)

# LibreOffice shows the spreadsheet's texts as the printed table shows them.
soffice = shutil.which("soffice") or shutil.which("libreoffice")
if soffice and shutil.which("pdftotext"):
    profile = "file://" + os.path.abspath(os.path.join(work, "lo-profile"))
    subprocess.run([soffice, f"-env:UserInstallation={profile}", "--headless", "--convert-to", "pdf",
                    "--outdir", work, os.path.join(work, "sample.xlsx")], capture_output=True, timeout=120)
    printed = os.path.join(work, "printed.pdf")
    subprocess.run([kavotbl, "print", sample, "-o", printed], check=True, capture_output=True)
    def words(pdf):
        return subprocess.run(["pdftotext", "-layout", pdf, "-"], capture_output=True, text=True).stdout.split()
    sheet, paper = words(os.path.join(work, "sample.pdf")), words(printed)
    for w in ("1,234,567", "1,234.50", "-0.05", "-1234.5", ".5", "none", "9,007,199,254,740,993", "Region",
              "Sex", "Female", "inland", "Paulo"):
        check(f"'{w}' in LibreOffice's PDF and in the print", (w in sheet, w in paper), (True, True))
else:
    print("LibreOffice or pdftotext missing: conversion not checked")

if failures:
    print("\n".join(failures))
    sys.exit(1)
print("all read back")
