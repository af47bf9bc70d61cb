"""Tests of the kavotbl Python module, against the kavotbl program where both
do the same thing. ctest gives KAVOTBL_TOOL (the program) and
KAVOTBL_SOURCE_DIR."""

import gc
import glob
import math
import os
import re
import shutil
import struct
import subprocess
import threading

import pytest

import kavotbl

SOURCE = os.environ.get("KAVOTBL_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", ".."))
TOOL = os.environ.get("KAVOTBL_TOOL", "kavotbl")
EXAMPLES = sorted(glob.glob(os.path.join(SOURCE, "examples", "*.tbl")))
HOUSEHOLDS = os.path.join(SOURCE, "examples", "households.tbl")
WIDE = os.path.join(SOURCE, "examples", "wide.tbl")


def tool(*args):
    subprocess.run([TOOL, *args], check=True, capture_output=True)


def sections(text, heading):
    """The Text lines of each section with this heading, in file order."""
    out, current = [], None
    for line in text.splitlines():
        if line.startswith("["):
            current = line == heading
            if current:
                out.append("")
        elif current and line.startswith("Text="):
            out[-1] = line[5:]
    return out


def pdf_pages(data, tmp_path):
    path = tmp_path / "pages.pdf"
    path.write_bytes(data)
    info = subprocess.run(["pdfinfo", str(path)], check=True, capture_output=True, text=True).stdout
    return int(re.search(r"^Pages:\s+(\d+)", info, re.M).group(1))


def pdf_text(path):
    return subprocess.run(["pdftotext", "-layout", str(path), "-"], check=True, capture_output=True, text=True).stdout


@pytest.mark.parametrize("path", EXAMPLES, ids=os.path.basename)
def test_example_loads_and_saves_as_the_program_does(path, tmp_path):
    doc = kavotbl.load(path, strict=True)
    assert doc.messages == [] and doc.tables
    assert doc.styles[0].label == "Default" and doc.formats[0].label == "Default"
    tool("save", path, "-o", str(tmp_path / "tool.tbl"))
    doc.save(tmp_path / "module.tbl")
    assert (tmp_path / "module.tbl").read_bytes() == (tmp_path / "tool.tbl").read_bytes()
    # Every data column and row appears once in its tree, at its own index.
    for t in doc.tables:
        def leaves(nodes):
            return [i for n in nodes for i in ([n.index] if not n.children else leaves(n.children))]
        assert leaves(t.columns) == list(range(t.shape[1]))
        assert leaves(t.rows) == list(range(t.shape[0]))


def test_block_of_a_table_saves_as_the_program_does(tmp_path):
    table = kavotbl.load(HOUSEHOLDS).tables[0]
    with pytest.raises(ValueError, match="nothing is selected"):
        table.save(tmp_path / "none.tbl", selected_only=True)
    table.select(slice(1, 4), (1, 2))
    assert table.selected
    table.save(tmp_path / "module.tbl", selected_only=True)
    tool("save", HOUSEHOLDS, "--select", "1-3:1-2", "-o", str(tmp_path / "tool.tbl"))
    assert (tmp_path / "module.tbl").read_bytes() == (tmp_path / "tool.tbl").read_bytes()
    table.clear_selection()
    assert not table.selected


def test_numbers_and_texts_of_a_loaded_table():
    table = kavotbl.load(HOUSEHOLDS).tables[0]
    text = open(HOUSEHOLDS, encoding="utf-8").read()
    first_data = [int(v) for v in re.search(r"^Data=(.*)$", text, re.M).group(1).split(", ")]
    assert [table.value(0, c) for c in range(len(first_data))] == first_data
    pct = next(f for f in kavotbl.load(HOUSEHOLDS).formats if f.decimals)
    values = table.values
    assert values.shape == table.shape
    for c in range(table.shape[1]):
        d = pct.decimals if "." in table.text(0, c) else 0
        assert values[0, c] == pytest.approx(first_data[c] / 10 ** d)
        assert table.texts[0][c] == table.text(0, c)
    assert table.text(0, 0) == "{:,}".format(first_data[0])


def test_messages_of_a_malformed_file(tmp_path):
    path = tmp_path / "bad.tbl"
    path.write_text("[Table]\nName=t\nColour=red\n[Column]\nText=A\n[Row]\nText=r\nData=5\n[Notes]\nx=1\n")
    doc = kavotbl.load(path)
    assert [(m.id, m.line) for m in doc.messages] == [(5001, 3), (5000, 9)]
    assert doc.messages[0].text.startswith("Unrecognized command at line 3:") and "Colour" in doc.messages[0].text
    assert doc.tables[0].value(0, 0) == 5
    with pytest.raises(kavotbl.LoadError) as err:
        kavotbl.load(path, strict=True)
    assert err.value.messages == doc.messages and "line 3" in str(err.value)

    path.write_text("[Table]\n[Column]\nText=A\n[Row]\nText=r\nData=5x\n")
    with pytest.raises(kavotbl.LoadError) as err:
        kavotbl.load(path)
    assert [m.id for m in err.value.messages] == [5007]
    path.write_text("[Style]\nLabel=Only\n")
    with pytest.raises(kavotbl.LoadError, match="holds no table"):
        kavotbl.load(path)


def png_size(data):
    assert data[:8] == b"\x89PNG\r\n\x1a\n"
    return struct.unpack(">II", data[16:24])


def test_print_and_render_match_the_program(tmp_path):
    doc = kavotbl.load(WIDE)
    # The module prints as the library does by default: the program's publishing defaults off.
    tool("print", WIDE, "--paper", "a4", "--landscape", "--margin", "1cm", "--style-sheet", "plain", "--single-rules",
         "--no-keep-with-next", "--continued", "", "--equal-widths", "-o", str(tmp_path / "tool.pdf"))
    doc.to_pdf(tmp_path / "module.pdf", paper="a4", landscape=True, margin="1cm")
    assert pdf_text(tmp_path / "module.pdf") == pdf_text(tmp_path / "tool.pdf")
    table = doc.tables[0]
    assert pdf_pages(table.to_pdf(size=14), tmp_path) > pdf_pages(table.to_pdf(size=8), tmp_path)

    table = kavotbl.load(HOUSEHOLDS).tables[0]
    # The module draws as the library does by default: the program's publishing defaults off.
    tool("render", HOUSEHOLDS, "--width", "500", "--height", "300", "--select", "0-1:0-1",
         "--style-sheet", "plain", "--single-rules", "-o", str(tmp_path / "t.png"))
    png = table.to_png(width=500, height=300, select=((0, 1), (0, 1)))
    assert png == (tmp_path / "t.png").read_bytes()
    assert png_size(png) == (500, 300)
    svg = table.to_svg(width=300, height=200, scroll=(50, 0))
    assert svg.startswith(b"<?xml") and b'width="300' in svg


def test_exports_match_the_program(tmp_path):
    doc = kavotbl.load(HOUSEHOLDS)
    tool("rtf", HOUSEHOLDS, "--no-panels", "--paper", "a4", "--size", "9", "-o", str(tmp_path / "tool.rtf"))
    doc.to_rtf(tmp_path / "module.rtf", paper="a4", size=9)
    assert (tmp_path / "module.rtf").read_bytes() == (tmp_path / "tool.rtf").read_bytes()
    table = doc.tables[0]
    table.select((0, 2), (1, 3))
    tool("rtf", HOUSEHOLDS, "--no-panels", "--select", "0-2:1-3", "-o", str(tmp_path / "block.rtf"))
    assert table.to_rtf(selected_only=True) == (tmp_path / "block.rtf").read_bytes()
    with pytest.raises(ValueError):
        table.to_rtf(font="a;b")
    # The formats the export module writes in this build.
    signatures = {"to_xlsx": b"PK", "to_csv": table.text(0, 0).replace(",", "").encode(),
                  "to_html": table.title.encode()}
    for method, signature in signatures.items():
        try:
            data = getattr(table, method)()
        except NotImplementedError:
            continue
        assert signature in data[:4096] if method != "to_xlsx" else data.startswith(signature)


def test_outputs_from_threads_agree():
    doc = kavotbl.load(WIDE)
    results = [None] * 4

    def work(i):
        results[i] = doc.tables[0].to_png(width=400, height=300) if i % 2 else doc.to_pdf()

    threads = [threading.Thread(target=work, args=(i,)) for i in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert results[1] == results[3] and len(results[0]) > 1000 and results[0][:5] == b"%PDF-"


def test_dataframe_with_two_levels_becomes_spanners_and_groups(tmp_path):
    pandas = pytest.importorskip("pandas")
    cols = pandas.MultiIndex.from_tuples([("Urban", "Men"), ("Urban", "Women"), ("Rural", "Men"), ("Rural", "Women")])
    rows = pandas.MultiIndex.from_tuples([("North", "2020"), ("North", "2021"), ("South", "2020")],
                                         names=["Region", "Year"])
    df = pandas.DataFrame([[2.675, 1.005, -0.125, 3], [0.5, float("nan"), 1e-9, -2.5], [10, 20, 30, 40]],
                          index=rows, columns=cols)
    doc = kavotbl.from_dataframe(df, title="Population", decimals=2)
    table = doc.tables[0]
    assert (table.title, table.stub_head, table.shape) == ("Population", "Region / Year", (3, 4))
    # Halves away from zero, on the decimal digits shown, not on the binary float.
    assert [table.value(0, c) for c in range(4)] == [268, 101, -13, 300]
    assert [table.value(1, c) for c in (0, 2, 3)] == [50, 0, -250]
    assert table.text(1, 1) == "" and math.isnan(table.values[1, 1])
    assert table.text(0, 0) == "2.68" and table.values[2, 3] == 40.0

    doc.save(tmp_path / "df.tbl")
    text = (tmp_path / "df.tbl").read_text()
    assert sections(text, "[ColumnGroup]") == ["Urban", "Rural"]
    assert sections(text, "[Column]") == ["Men", "Women", "Men", "Women"]
    assert sections(text, "[RowGroup]") == ["North", "South"]
    assert sections(text, "[Row]") == ["2020", "2021", "2020"]
    assert text.count("[EndGroup]") == 4
    again = kavotbl.load(tmp_path / "df.tbl", strict=True)
    assert again.save_text() == doc.save_text()
    assert [[again.tables[0].text(r, c) for c in range(4)] for r in range(3)] == table.texts
    assert re.search(r'<th[^>]* colspan="2"[^>]*>Urban</th>', table._repr_html_())

    plain = kavotbl.from_dataframe(pandas.DataFrame({"a": [1, 2]}, index=["x", "y"]))
    assert "Hidden" not in plain.save_text() and plain.tables[0].values.tolist() == [[1.0], [2.0]]
    nullable = kavotbl.from_dataframe(pandas.DataFrame({"a": pandas.array([7, None], dtype="Int64")}))
    assert nullable.tables[0].texts == [["7"], [""]] and "Hidden" in nullable.save_text()


def test_plain_lists_build_the_same_table_as_the_reader(tmp_path):
    doc = kavotbl.from_lists([("Residence", ["Urban", "Rural"]), "Total"],
                             [("All", [("One", [1200, 800, 2000]), ("Two", [950.5, None])])],
                             title="Households", stub_head="Size", footing="Source: test", decimals=[0, 1, 0])
    t = doc.tables[0]
    assert [n.text for n in t.columns] == ["Residence", "Total"] and t.columns[0].children[1].index == 1
    assert [t.value(1, c) for c in range(3)] == [951, 0, 0]
    assert (t.text(0, 1), t.text(1, 1), t.footing) == ("800.0", "", "Source: test")
    doc.save(tmp_path / "lists.tbl")
    assert kavotbl.load(tmp_path / "lists.tbl", strict=True).save_text() == doc.save_text()


def test_bad_input_raises_and_never_crashes(tmp_path):
    with pytest.raises(FileNotFoundError):
        kavotbl.load(tmp_path / "missing.tbl")
    with pytest.raises(IsADirectoryError):
        kavotbl.load(tmp_path)
    with pytest.raises(TypeError):
        kavotbl.load(42)
    table = kavotbl.load(HOUSEHOLDS).tables[0]
    rows, cols = table.shape
    for r, c in [(rows, 0), (0, cols), (-1, 0), (0, -1), (2 ** 31, 0)]:
        with pytest.raises((IndexError, OverflowError, TypeError)):
            table.value(r, c)
        with pytest.raises((IndexError, OverflowError, TypeError)):
            table.text(r, c)
    with pytest.raises(TypeError):
        table.value("a", 0)
    with pytest.raises(IndexError):
        table.select((0, rows), 0)
    with pytest.raises(IndexError):
        table.to_png(select=(slice(5, 2), 0))
    for kwargs, error in [({"paper": "a3"}, ValueError), ({"margin": "5in"}, ValueError), ({"margin": "x"}, ValueError),
                          ({"margin": None}, TypeError), ({"size": 0}, ValueError), ({"size": "big"}, ValueError)]:
        with pytest.raises(error):
            table.to_pdf(**kwargs)
    with pytest.raises(ValueError):
        table.to_png(width=5)
    with pytest.raises(FileNotFoundError):
        table.document.save(tmp_path / "no" / "such.tbl")
    with pytest.warns(UserWarning, match="no font family"):
        table.to_png(font="No Such Face Anywhere")
    for columns, rows_, kwargs, error in [
        (["A"], [("r", [1, 2])], {}, ValueError),            # more values than columns
        ([1], [], {}, TypeError),                             # a column must be text
        (["A"], [("r", ["x"])], {}, TypeError),               # a value must be a number
        (["A"], [("r", [2 ** 63])], {}, OverflowError),
        (["A"], [("r", [1e300])], {"decimals": 2}, OverflowError),
        (["A"], [("r", [float("inf")])], {}, ValueError),
        (["A"], [("r", [1])], {"decimals": 21}, ValueError),
        (["A", "B"], [("r", [1])], {"decimals": [1]}, ValueError),
        (["A"], [("r", [1])], {"title": 5}, TypeError),
    ]:
        with pytest.raises(error):
            kavotbl.from_lists(columns, rows_, **kwargs)
    with pytest.raises(TypeError):
        kavotbl.from_dataframe([[1, 2]])
    # A table outlives the name of its document.
    orphan = kavotbl.load(HOUSEHOLDS).tables[0].rows[0]
    gc.collect()
    assert orphan.children[0].text


@pytest.mark.skipif(shutil.which("pdfinfo") is None, reason="needs poppler-utils")
def test_document_prints_every_table_on_its_own_pages(tmp_path):
    doc = kavotbl.load(WIDE)
    pages = [pdf_pages(t.to_pdf(), tmp_path) for t in doc.tables]
    assert pdf_pages(doc.to_pdf(), tmp_path) == sum(pages)
