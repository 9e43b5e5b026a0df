#!/usr/bin/python3
"""Writes the workbooks the grade comparison benchmark reads.

    make_grade.py OUTDIR CLASSES [STUDENTS]   CLASSES workbooks class-0001.xlsx…
                                              in OUTDIR, one class of STUDENTS
                                              (default 50) each
    make_grade.py --sheets FILE SHEETS [STUDENTS]
                                              one workbook of SHEETS sheets,
                                              班1, 班2…, one class each

Each sheet has a header row and then student number, Chinese name and score
in columns A to C, the names as shared strings, as spreadsheet programs save
them; about one score in forty is 缺考. The content is the same on every run
(fixed seed). Only the Python standard library is needed.
"""

import os
import random
import sys
import zipfile
from xml.sax.saxutils import escape

SURNAMES = "王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗"
GIVEN = "伟芳娜敏静丽强磊军洋勇艳杰娟涛明超秀霞平刚桂英华"

MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
RELS = "http://schemas.openxmlformats.org/package/2006/relationships"
DOC_RELS = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"


def class_rows(rng, first_number, students):
    rows = []
    for i in range(students):
        name = rng.choice(SURNAMES) + "".join(rng.choice(GIVEN) for _ in range(rng.randint(1, 2)))
        score = "缺考" if rng.random() < 0.025 else min(100, max(0, round(rng.gauss(72, 14))))
        rows.append((first_number + i, name, score))
    return rows


class Strings:
    def __init__(self):
        self.index = {}

    def __call__(self, text):
        return self.index.setdefault(text, len(self.index))

    def xml(self):
        items = "".join(f"<si><t>{escape(t)}</t></si>" for t in self.index)
        return (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<sst xmlns="{MAIN}" '
                f'count="{len(self.index)}" uniqueCount="{len(self.index)}">{items}</sst>')


def sheet_xml(rows, strings):
    def text(ref, value):
        return f'<c r="{ref}" t="s"><v>{strings(value)}</v></c>'

    lines = [f'<row r="1">{text("A1", "学号")}{text("B1", "姓名")}{text("C1", "成绩")}</row>']
    for r, (number, name, score) in enumerate(rows, start=2):
        scored = text(f"C{r}", score) if isinstance(score, str) else f'<c r="C{r}"><v>{score}</v></c>'
        lines.append(f'<row r="{r}"><c r="A{r}"><v>{number}</v></c>{text(f"B{r}", name)}{scored}</row>')
    return (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<worksheet xmlns="{MAIN}">'
            f'<dimension ref="A1:C{len(rows) + 1}"/><sheetData>{"".join(lines)}</sheetData></worksheet>')


def write_workbook(path, sheets):
    """sheets: (name, rows)."""
    strings = Strings()
    parts = {f"xl/worksheets/sheet{i}.xml": sheet_xml(rows, strings)
             for i, (_, rows) in enumerate(sheets, start=1)}
    overrides = "".join(
        f'<Override PartName="/xl/worksheets/sheet{i}.xml" ContentType="application/'
        'vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>'
        for i in range(1, len(sheets) + 1))
    parts["[Content_Types].xml"] = (
        '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<Types xmlns="http://schemas.'
        'openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="'
        'application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" '
        'ContentType="application/xml"/><Override PartName="/xl/workbook.xml" ContentType="'
        'application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>'
        '<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-'
        f'officedocument.spreadsheetml.sharedStrings+xml"/>{overrides}</Types>')
    parts["_rels/.rels"] = (
        f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<Relationships xmlns="{RELS}">'
        f'<Relationship Id="rId1" Type="{DOC_RELS}/officeDocument" Target="xl/workbook.xml"/>'
        '</Relationships>')
    sheet_list = "".join(f'<sheet name="{escape(name)}" sheetId="{i}" r:id="rId{i}"/>'
                         for i, (name, _) in enumerate(sheets, start=1))
    parts["xl/workbook.xml"] = (
        f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<workbook xmlns="{MAIN}" '
        f'xmlns:r="{DOC_RELS}"><sheets>{sheet_list}</sheets></workbook>')
    relationships = "".join(f'<Relationship Id="rId{i}" Type="{DOC_RELS}/worksheet" '
                            f'Target="worksheets/sheet{i}.xml"/>' for i in range(1, len(sheets) + 1))
    parts["xl/_rels/workbook.xml.rels"] = (
        f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<Relationships xmlns="{RELS}">'
        f'{relationships}<Relationship Id="rId{len(sheets) + 1}" Type="{DOC_RELS}/sharedStrings" '
        'Target="sharedStrings.xml"/></Relationships>')
    parts["xl/sharedStrings.xml"] = strings.xml()
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        for name in ["[Content_Types].xml", "_rels/.rels", "xl/workbook.xml",
                     "xl/_rels/workbook.xml.rels", "xl/sharedStrings.xml"] + sorted(
                         p for p in parts if p.startswith("xl/worksheets/")):
            archive.writestr(name, parts[name])


def main(argv):
    rng = random.Random(20240901)
    if argv[:1] == ["--sheets"]:
        path, count = argv[1], int(argv[2])
        students = int(argv[3]) if len(argv) > 3 else 50
        write_workbook(path, [(f"班{i}", class_rows(rng, i * 1000, students))
                              for i in range(1, count + 1)])
        return
    folder, count = argv[0], int(argv[1])
    students = int(argv[2]) if len(argv) > 2 else 50
    os.makedirs(folder, exist_ok=True)
    for i in range(1, count + 1):
        write_workbook(os.path.join(folder, f"class-{i:04d}.xlsx"),
                       [("Sheet1", class_rows(rng, i * 1000, students))])


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    main(sys.argv[1:])
