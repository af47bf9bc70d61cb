"""Statistical tables: load table files, inspect and build tables, print and save them.

    import kavotbl
    doc = kavotbl.load("households.tbl")
    table = doc.tables[0]
    table.shape, table.text(0, 0), table.values
    table.to_pdf("households.pdf", paper="a4")
    kavotbl.from_dataframe(df, title="Households").save("households.tbl")
"""

import decimal as _decimal
import html as _html
import math as _math
import os as _os
from collections import namedtuple as _namedtuple

from . import _kavotbl
from ._kavotbl import Document, Node, Table

__all__ = ["load", "from_dataframe", "from_lists", "Document", "Table", "Node", "Message", "Style", "Format",
           "Error", "LoadError"]


class Error(Exception):
    """A failure of the library that is not a plain Python one."""


class LoadError(Error):
    """A table file that could not be loaded, or gave messages under strict=True.

    `messages` holds the messages that loading gave."""

    def __init__(self, reason, messages):
        lines = [reason] + ["line %d: %s" % (m.line, m.text) for m in messages]
        super().__init__("\n".join(lines))
        self.reason = reason
        self.messages = messages


Message = _namedtuple("Message", "id line text")
Message.__doc__ = "A message that loading gave: its string-table id, the line it was reading, the text."
Style = _namedtuple("Style", "label font size bold italic horizontal vertical color")
Format = _namedtuple("Format", "label decimals thousand_sep decimal_sep zero_mask zero_round zero_before_decimal hidden")

_PAPER = {"letter": (612.0, 792.0), "a4": (595.28, 841.89), "legal": (612.0, 1008.0)}
_UNITS = {"in": 72.0, "cm": 72.0 / 2.54, "mm": 72.0 / 25.4, "pt": 1.0}


def load(path, strict=False):
    """Reads a table file into a Document.

    Raises OSError when the file cannot be read, LoadError when a table in it
    cannot be read or it holds no table, and with strict=True also when
    loading gave any message."""
    path = _os.fspath(path)
    if not isinstance(path, str):
        path = _os.fsdecode(path)
    doc = _kavotbl._load(path)
    if doc._failure:
        raise LoadError(doc._failure, doc.messages)
    if strict and doc.messages:
        raise LoadError("%s gave %d message(s)" % (path, len(doc.messages)), doc.messages)
    return doc


def _write(path, data):
    if path is None:
        return data
    with open(_os.fspath(path), "wb") as f:
        f.write(data)
    return None


def _length(value, name):
    """A length in points: a number (points) or text with in, cm, mm or pt."""
    if isinstance(value, bool):
        raise TypeError("%s must be a number of points or a text such as '1cm'" % name)
    if isinstance(value, (int, float)):
        points = float(value)
    elif isinstance(value, str):
        text = value.strip().lower()
        unit = next((u for u in _UNITS if text.endswith(u)), None)
        try:
            points = float(text[: -len(unit)] if unit else text) * (_UNITS[unit] if unit else 72.0)
        except ValueError:
            raise ValueError("%s needs a length such as 0.5in, 1cm, 12mm or 36pt, not %r" % (name, value)) from None
    else:
        raise TypeError("%s must be a number of points or a text such as '1cm'" % name)
    if not points >= 0 or _math.isinf(points):
        raise ValueError("%s must not be negative" % name)
    return points


def _page(paper, landscape, margin):
    if not isinstance(paper, str) or paper.lower() not in _PAPER:
        raise ValueError("paper must be letter, a4 or legal, not %r" % (paper,))
    w, h = _PAPER[paper.lower()]
    if landscape:
        w, h = h, w
    return w, h, _length(margin, "margin")


def _to_pdf(self, path=None, *, paper="letter", landscape=False, margin="0.5in", font="DejaVu Sans", size=10):
    """Prints to PDF as `kavotbl print` does: a table too wide or too long for
    the page goes on over further pages, each with the title, stub and
    headings it needs. Returns the bytes when path is None."""
    w, h, m = _page(paper, landscape, margin)
    return _write(path, self._pdf(w, h, m, font, float(size)))


def _render(self, svg, path, width, height, scroll, select, font, size):
    dx, dy = scroll
    rows, cols = select if select is not None else (None, None)
    return _write(path, self._render(svg, int(width), int(height), int(dx), int(dy), rows, cols, font, float(size)))


def _to_png(self, path=None, *, width=800, height=600, scroll=(0, 0), select=None, font="DejaVu Sans", size=10):
    """The table as a window of width x height pixels shows it, as PNG (as
    `kavotbl render`); select=(rows, columns) shades a block. Returns the
    bytes when path is None."""
    return _render(self, False, path, width, height, scroll, select, font, size)


def _to_svg(self, path=None, *, width=800, height=600, scroll=(0, 0), select=None, font="DejaVu Sans", size=10):
    """As to_png, as SVG."""
    return _render(self, True, path, width, height, scroll, select, font, size)


def _doc_save(self, path):
    """Writes the document as `kavotbl save` does: the styles and formats,
    then every table, leaving out what the reader supplies by itself."""
    _write(path, self._save())


def _decode(data):
    """Table-file bytes as text: UTF-8, or Windows-1252 for old files."""
    try:
        return data.decode("utf-8")
    except UnicodeDecodeError:
        return data.decode("cp1252", "replace")


def _doc_text(self):
    """The text that save writes."""
    return _decode(self._save())


def _table_save(self, path, selected_only=False):
    """Writes the document's styles and formats and this table (as `kavotbl
    save --table N`); with selected_only, only the block that select made
    (as --select)."""
    _write(path, self._save(bool(selected_only)))


def _values(self):
    """The cells as numbers with their implied decimals applied: a NumPy
    array of floats (NaN for a cell that shows nothing) when NumPy is there,
    else rows of lists (None for such a cell)."""
    cells = self._cells()
    try:
        import numpy
    except ImportError:
        numpy = None

    def number(v, d, blank):
        if blank:
            return None
        return v if d == 0 else float(_decimal.Decimal(v).scaleb(-d))

    rows = [[number(*c) for c in row] for row in cells]
    if numpy is None:
        return rows
    out = numpy.array([[_math.nan if x is None else x for x in row] for row in rows], dtype=float)
    return out.reshape(self.shape)


def _texts(self):
    """Rows of the cells' texts as the table shows them."""
    return self._texts()


def _export(self, fmt, path, options):
    if not hasattr(self, "_export"):
        raise NotImplementedError("this build has no export module, which writes %s" % fmt)
    return _write(path, self._export(fmt, options))


def _to_rtf(self, path=None, *, paper="letter", landscape=False, margin="1in", font="DejaVu Sans", size=10,
            selected_only=False):
    """An RTF document for a word processor, as `kavotbl rtf` writes it: each
    table as a real table under its title and heading. Returns the bytes
    when path is None."""
    return _export(self, "rtf", path, {"page": _page(paper, landscape, margin), "font": font, "size": float(size),
                                       "selected_only": selected_only})


def _to_xlsx(self, path=None, *, title=None, paper="letter", landscape=False, margin="1in", selected_only=False):
    """A spreadsheet workbook, one sheet per table (the export module)."""
    return _export(self, "xlsx", path, {"title": title, "page": _page(paper, landscape, margin),
                                        "selected_only": selected_only})


def _to_csv(self, path=None, *, bom=False, caption_records=True, heading_levels=False, shown_text=False,
            selected_only=False):
    """Comma-separated values (the export module): plain decimals unless
    shown_text, caption rows as records unless caption_records is off."""
    return _export(self, "csv", path, {"bom": bom, "caption_records": caption_records,
                                       "heading_levels": heading_levels, "shown_text": shown_text,
                                       "selected_only": selected_only})


def _to_html(self, path=None, *, title=None, fragment=False, selected_only=False):
    """A web page (the export module); fragment=True gives the tables alone."""
    return _export(self, "html", path, {"title": title, "fragment": fragment, "selected_only": selected_only})


def _repr_html_(self):
    """The table as HTML, for notebooks: the export module's fragment when
    it writes HTML, else a plain table of the shown texts."""
    try:
        return _decode(self.to_html(fragment=True))
    except NotImplementedError:
        return _html_table(self) if isinstance(self, Table) else "\n".join(_html_table(t) for t in self.tables)


def _leaves(node):
    return 1 if not node.children else sum(_leaves(c) for c in node.children)


def _depth(nodes):
    return max((1 + _depth(n.children) for n in nodes), default=0)


def _html_table(table):
    esc = _html.escape
    cols, depth = table.columns, _depth(table.columns)
    texts = table._texts()
    out = ['<table class="kavotbl">']
    if table.title:
        out.append("<caption>%s</caption>" % esc(table.title))
    out.append("<thead>")
    level = [(n, 0) for n in cols]
    for d in range(max(depth, 1)):
        cells = []
        if d == 0:
            cells.append('<th rowspan="%d">%s</th>' % (max(depth, 1), esc(table.stub_head)))
        following = []
        for node, _ in level:
            if node.children:
                cells.append('<th colspan="%d">%s</th>' % (_leaves(node), esc(node.text)))
                following += [(c, d + 1) for c in node.children]
            else:
                cells.append('<th rowspan="%d">%s</th>' % (depth - d, esc(node.text)))
        out.append("<tr>%s</tr>" % "".join(cells))
        level = following
        if not level:
            break
    out.append("</thead><tbody>")

    def rows(nodes, indent):
        for node in nodes:
            pad = ' style="padding-left:%.1fem"' % indent if indent else ""
            if node.children:
                out.append('<tr><th%s colspan="%d">%s</th></tr>' % (pad, 1 + table.shape[1], esc(node.text)))
                rows(node.children, indent + 1)
            else:
                cells = "".join('<td style="text-align:right">%s</td>' % esc(t) for t in texts[node.index])
                out.append("<tr><th%s>%s</th>%s</tr>" % (pad, esc(node.text), cells))

    rows(table.rows, 0)
    out.append("</tbody>")
    if table.footing:
        out.append('<tfoot><tr><td colspan="%d">%s</td></tr></tfoot>' % (1 + table.shape[1], esc(table.footing)))
    out.append("</table>")
    return "".join(out)


def _table_repr(self):
    return "<kavotbl.Table %r: %d x %d>" % (self.name or self.title, self.shape[0], self.shape[1])


def _doc_repr(self):
    return "<kavotbl.Document: %d table(s)>" % len(self.tables)


Document.messages = property(lambda self: [Message(*m) for m in self._messages],
                             doc="The messages that loading gave, with the lines they were about.")
Document.styles = property(lambda self: [Style(**s) for s in self._styles], doc="The styles, \"Default\" first.")
Document.formats = property(lambda self: [Format(**f) for f in self._formats],
                            doc="The number formats, \"Default\" first.")
Document.save = _doc_save
Document.save_text = _doc_text
Document.to_pdf = _to_pdf
Document._repr_html_ = _repr_html_
Document.__repr__ = _doc_repr
Table.save = _table_save
Table.values = property(_values)
Table.texts = property(_texts, doc="Rows of the cells' texts as the table shows them.")
Table.to_pdf = _to_pdf
Table.to_png = _to_png
Table.to_svg = _to_svg
Table._repr_html_ = _repr_html_
for _cls in (Document, Table):
    _cls.to_rtf, _cls.to_xlsx, _cls.to_csv, _cls.to_html = _to_rtf, _to_xlsx, _to_csv, _to_html
Table.__repr__ = _table_repr


# ------------------------------------------------------------------ building

def _scaled(value, decimals):
    """The cell value of a number shown with so many decimals: exact, halves
    rounded away from zero. None (and NaN) stay None: a cell that shows nothing."""
    if value is None:
        return None
    if isinstance(value, bool):
        raise TypeError("a cell value must be a number, not %r" % (value,))
    if isinstance(value, int):
        scaled = value * 10 ** decimals
    else:
        if hasattr(value, "item") and not isinstance(value, _decimal.Decimal):
            value = value.item()  # NumPy scalars
        if isinstance(value, float):
            if _math.isnan(value):
                return None
            if _math.isinf(value):
                raise ValueError("a cell value must be finite, not %r" % value)
            # The shortest text that reads back as the float is the number
            # the user sees (2.675, not 2.67499999...).
            value = _decimal.Decimal(repr(value))
        elif isinstance(value, int):
            return _scaled(int(value), decimals)
        elif not isinstance(value, _decimal.Decimal):
            raise TypeError("a cell value must be a number, not %r" % (value,))
        if value.is_nan():
            return None
        if value.is_infinite():
            raise ValueError("a cell value must be finite, not %r" % value)
        if value and value.adjusted() + decimals > 19:
            raise OverflowError("%r with %d decimals does not fit a cell's 64 bits" % (value, decimals))
        ctx = _decimal.Context(prec=60, rounding=_decimal.ROUND_HALF_UP)
        scaled = int(value.scaleb(decimals, ctx).quantize(_decimal.Decimal(1), context=ctx))
    if not -(2 ** 63) <= scaled < 2 ** 63:
        raise OverflowError("%r with %d decimals does not fit a cell's 64 bits" % (value, decimals))
    return scaled


def _decimals_per_column(decimals, count):
    if isinstance(decimals, bool):
        raise TypeError("decimals must be a whole number or one per data column")
    if isinstance(decimals, int):
        decimals = [decimals] * count
    decimals = list(decimals)
    if len(decimals) != count or not all(isinstance(d, int) and not isinstance(d, bool) for d in decimals):
        raise ValueError("decimals must be a whole number or one for each of the %d data columns" % count)
    for d in decimals:
        if not 0 <= d <= 20:
            raise ValueError("decimals must lie between 0 and 20, not %d" % d)
    return decimals


def _column_spec(item):
    if isinstance(item, str):
        return (item, None)
    if isinstance(item, (tuple, list)) and len(item) == 2 and isinstance(item[0], str) and isinstance(item[1], (list, tuple)):
        return (item[0], [_column_spec(c) for c in item[1]])
    raise TypeError("a column is a text, or (text, [columns]) for a spanner; not %r" % (item,))


def _count_columns(specs):
    return sum(1 if kids is None else _count_columns(kids) for _, kids in specs)


def _row_spec(item, decimals):
    if not (isinstance(item, (tuple, list)) and len(item) == 2 and isinstance(item[0], str)):
        raise TypeError("a row is (text, [values]) and a caption (text, [rows]); not %r" % (item,))
    text, body = item
    if not isinstance(body, (list, tuple)) and not hasattr(body, "__iter__"):
        raise TypeError("the values or rows of %r must be a list" % text)
    body = list(body)
    if body and all(isinstance(b, (tuple, list)) for b in body):
        return (text, [_row_spec(b, decimals) for b in body], [])
    if len(body) > len(decimals):
        raise ValueError("row %r has %d values for %d data columns" % (text, len(body), len(decimals)))
    return (text, None, [_scaled(v, d) for v, d in zip(body, decimals)])


def from_lists(columns, rows, *, title=None, stub_head=None, heading=None, footing=None, name=None, decimals=0):
    """Builds a Document of one table from plain lists.

    columns: data columns as texts, spanners as (text, [columns]).
    rows: data rows as (text, [values]), captions as (text, [rows]).
    Values are numbers shown with `decimals` places (one count for all data
    columns or one per column), rounded half away from zero; None or NaN is
    a cell that shows nothing.

        kavotbl.from_lists([("Residence", ["Urban", "Rural"])],
                           [("All households", [("One person", [1200, 800])])],
                           title="Households")
    """
    col_specs = [_column_spec(c) for c in columns]
    per_column = _decimals_per_column(decimals, _count_columns(col_specs))
    row_specs = [_row_spec(r, per_column) for r in rows]
    pieces = {"title": title, "stub_head": stub_head, "heading": heading, "footing": footing, "name": name}
    for key, value in pieces.items():
        if value is not None and not isinstance(value, str):
            raise TypeError("%s must be a text" % key)
    return _kavotbl._build(pieces, col_specs, row_specs, per_column)


def _label(value):
    return "" if value is None else str(value)


def _tree(keys, make_leaf, make_group):
    """Nested groups of consecutive equal leading labels: each key is a tuple
    of labels; a group forms where consecutive keys share a label."""

    def build(items, level):
        out, i = [], 0
        while i < len(items):
            key, payload = items[i]
            if level == len(key) - 1:
                out.append(make_leaf(_label(key[level]), payload))
                i += 1
                continue
            j = i
            while j < len(items) and items[j][0][: level + 1] == key[: level + 1]:
                j += 1
            out.append(make_group(_label(key[level]), build(items[i:j], level + 1)))
            i = j
        return out

    return build(keys, 0)


def _missing(pandas, value):
    try:
        return bool(pandas.isna(value))
    except (TypeError, ValueError):
        return False


def from_dataframe(df, *, title=None, stub_head=None, decimals=0, heading=None, footing=None, name=None):
    """Builds a Document of one table from a pandas DataFrame.

    MultiIndex columns become spanners over the data columns, a MultiIndex
    index captions over the data rows. Numbers are kept exactly with
    `decimals` places (a count, or one per column), halves rounded away from
    zero; NaN is a cell that shows nothing. The stub head defaults to the
    index's names."""
    import pandas  # only when called

    if not isinstance(df, pandas.DataFrame):
        raise TypeError("from_dataframe needs a pandas DataFrame, not %s" % type(df).__name__)

    def keys(index):
        return [k if isinstance(k, tuple) else (k,) for k in index]

    col_keys = keys(df.columns)
    columns = _tree([(k, None) for k in col_keys], lambda text, _: text, lambda text, kids: (text, kids))
    per_column = _decimals_per_column(decimals, len(col_keys))
    body = [[None if _missing(pandas, v) else v for v in row] for row in df.to_numpy(dtype=object)]
    rows = _tree([(k, body[i]) for i, k in enumerate(keys(df.index))],
                 lambda text, values: (text, values), lambda text, kids: (text, kids))
    if stub_head is None:
        names = [n for n in df.index.names if n is not None]
        stub_head = " / ".join(str(n) for n in names) if names else None
    return from_lists(columns, rows, title=title, stub_head=stub_head, heading=heading, footing=footing, name=name,
                      decimals=per_column)
