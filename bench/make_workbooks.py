#!/usr/bin/python3
"""Writes the workbooks the import benchmarks read.

    make_workbooks.py OUTDIR [--force]   write the workbooks into OUTDIR
    make_workbooks.py --dump FILE...     count the records of each substream

Into OUTDIR go:

  large-xlwt.xls      two sheets (Sheet1, Sheet2) of 65,000 rows x 10 columns,
                      written by xlwt; about 24 MB. xlwt writes no DBCELL
                      row-block index, so a reader has to scan a whole sheet.
  large-gnumeric.xls  the same workbook re-saved by gnumeric's ssconvert as
                      Excel 97-2003, which, like Excel, closes every block of
                      32 rows with a DBCELL record.
  class30.xls         one sheet of a 30-pupil class.

Row 1 holds the headers; each further row holds a student number, a Chinese
name, a score and seven more number columns. Files already there are kept
unless --force is given. The content is the same on every run (fixed seed).
"""

import os
import random
import shutil
import struct
import subprocess
import sys
import time

import xlrd.compdoc
import xlwt

MODERN_ROWS = 60000
LARGE_ROWS = 65000  # including the header row
COLUMNS = 10
SSCONVERT_TIMEOUT = 900  # seconds

HEADERS = ["学号", "姓名", "成绩", "平时成绩", "语文", "期中成绩", "数学", "加权分", "出勤率", "排名"]

SURNAMES = (
    "王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾肖田董袁潘于蒋蔡余杜叶程苏魏吕丁任沈"
    "姚卢姜崔钟谭陆汪范金石廖贾夏韦付方白邹孟熊秦邱江尹薛闫段雷侯龙史陶黎贺顾毛郝龚邵万钱严覃武戴莫孔向汤"
)
GIVEN = "伟芳娜秀英敏静丽强磊军洋勇艳杰娟涛明超兰霞平刚桂文辉玲华红鹏飞俊峰建国宇浩然子轩梓涵一诺欣怡雨彤思远"

# Record types named in the dump.
RECORD_NAMES = {
    0x0809: "BOF",
    0x000A: "EOF",
    0x00D7: "DBCELL",
    0x020B: "INDEX",
    0x0208: "ROW",
    0x00FC: "SST",
    0x003C: "CONTINUE",
    0x00FD: "LABELSST",
    0x0203: "NUMBER",
    0x027E: "RK",
    0x00BD: "MULRK",
    0x0201: "BLANK",
    0x00BE: "MULBLANK",
    0x0204: "LABEL",
    0x0006: "FORMULA",
}


def chinese_name(rng):
    given = rng.choice(GIVEN) + (rng.choice(GIVEN) if rng.random() < 0.7 else "")
    return rng.choice(SURNAMES) + given


def fill_sheet(sheet, rows, seed, flush_every=0):
    """Header row, then one pupil a row. xlwt stores whole and two-decimal
    values as RK records (runs of them as one MULRK) and other numbers as
    NUMBER records; the columns alternate between the two so that, like a
    typical Excel sheet, most cells are records of their own. Student numbers
    are above 2^29, which makes them NUMBER records too."""
    rng = random.Random(seed)
    for column, header in enumerate(HEADERS):
        sheet.write(0, column, header)
    for row in range(1, rows):
        sheet.write(row, 0, 2023000000 + seed * 100000 + row)
        sheet.write(row, 1, chinese_name(rng))
        sheet.write(row, 2, rng.randint(0, 200) / 2)  # 0 to 100 in halves: RK
        sheet.write(row, 3, rng.randint(0, 100000) / 1000)  # NUMBER
        sheet.write(row, 4, rng.randint(0, 150))  # RK
        sheet.write(row, 5, rng.randint(0, 100000) / 1000)  # NUMBER
        sheet.write(row, 6, rng.randint(0, 150))  # RK
        sheet.write(row, 7, rng.randint(0, 100000) / 1000)  # NUMBER
        sheet.write(row, 8, rng.randint(6000, 10000) / 10000)  # NUMBER
        sheet.write(row, 9, rng.randint(1, rows))  # RK
        if flush_every and row % flush_every == 0:
            sheet.flush_row_data()
    if flush_every:
        sheet.flush_row_data()


def save_atomically(book, path):
    temporary = path + ".tmp"
    book.save(temporary)
    os.replace(temporary, path)


def write_large(path):
    book = xlwt.Workbook(encoding="utf-8")
    for index, name in enumerate(("Sheet1", "Sheet2")):
        fill_sheet(book.add_sheet(name), LARGE_ROWS, seed=index + 1, flush_every=1000)
    save_atomically(book, path)


def write_class(path):
    book = xlwt.Workbook(encoding="utf-8")
    fill_sheet(book.add_sheet("Sheet1"), 31, seed=7)
    save_atomically(book, path)


def write_large_xlsx(path):
    """60,000 rows of the same columns as an Office Open XML workbook."""
    try:
        import openpyxl
    except ImportError:
        print("python3-openpyxl not found: no .xlsx workbook", file=sys.stderr)
        return False
    book = openpyxl.Workbook(write_only=True)
    sheet = book.create_sheet("Sheet1")
    rng = random.Random(11)
    sheet.append(["学号", "姓名", "成绩"] + [f"科目{i}" for i in range(1, 8)])
    for row in range(MODERN_ROWS):
        sheet.append([20240000 + row, chinese_name(rng), rng.randint(30, 100)] +
                     [round(rng.uniform(0, 100), 1) for _ in range(7)])
    temporary = path + ".tmp.xlsx"
    book.save(temporary)
    os.replace(temporary, path)
    return True


def resave_with_gnumeric(source, path, exporter="Gnumeric_Excel:excel_biff8"):
    """Re-saves source with gnumeric's exporter (by default as an Excel
    97-2003 workbook). Returns False when ssconvert is missing, fails or takes
    too long."""
    ssconvert = shutil.which("ssconvert")
    if not ssconvert:
        print("ssconvert not found: no gnumeric copy of the large workbook", file=sys.stderr)
        return False
    temporary = path + ".tmp" + os.path.splitext(path)[1]
    started = time.monotonic()
    try:
        subprocess.run(
            [ssconvert, "-T", exporter, source, temporary],
            check=True,
            timeout=SSCONVERT_TIMEOUT,
            stdout=subprocess.DEVNULL,
            stderr=subprocess.PIPE,
        )
    except (subprocess.CalledProcessError, subprocess.TimeoutExpired) as failure:
        print(f"ssconvert failed: {failure}", file=sys.stderr)
        if failure.stderr:
            sys.stderr.write(failure.stderr.decode(errors="replace"))
        if os.path.exists(temporary):
            os.remove(temporary)
        return False
    os.replace(temporary, path)
    print(f"  ssconvert took {time.monotonic() - started:.1f} s")
    return True


def workbook_stream(path):
    with open(path, "rb") as file:
        document = xlrd.compdoc.CompDoc(file.read(), logfile=open(os.devnull, "w"))
    for name in ("Workbook", "Book"):
        stream = document.get_named_stream(name)
        if stream is not None:
            return stream
    raise ValueError(f"{path}: no Workbook stream")


def count_records(path):
    """Counts the records of each substream (globals, then each sheet)."""
    stream = workbook_stream(path)
    substreams = []
    counts = None
    depth = 0
    position = 0
    while position + 4 <= len(stream):
        kind, length = struct.unpack_from("<HH", stream, position)
        position += 4 + length
        if kind == 0x0809:
            depth += 1
            if depth == 1:
                counts = {}
                substreams.append(counts)
        if counts is not None and depth == 1:
            counts[kind] = counts.get(kind, 0) + 1
        if kind == 0x000A:
            depth -= 1
    return len(stream), substreams


def dump(path):
    size, substreams = count_records(path)
    print(f"{path}: {os.path.getsize(path)} bytes, Workbook stream {size} bytes")
    for index, counts in enumerate(substreams):
        label = "globals" if index == 0 else f"sheet {index}"
        shown = ", ".join(
            f"{RECORD_NAMES[kind]} {counts[kind]}"
            for kind in sorted(counts, key=lambda k: RECORD_NAMES.get(k, ""))
            if kind in RECORD_NAMES
        )
        print(f"  {label}: {sum(counts.values())} records; {shown}")
    return substreams


def dbcell_count(path):
    _, substreams = count_records(path)
    return [counts.get(0x00D7, 0) for counts in substreams[1:]]


def main(arguments):
    if arguments[:1] == ["--dump"] and len(arguments) > 1:
        for path in arguments[1:]:
            dump(path)
        return 0
    force = "--force" in arguments
    directories = [argument for argument in arguments if argument != "--force"]
    if len(directories) != 1:
        print(__doc__, file=sys.stderr)
        return 64
    directory = directories[0]
    os.makedirs(directory, exist_ok=True)

    large = os.path.join(directory, "large-xlwt.xls")
    gnumeric = os.path.join(directory, "large-gnumeric.xls")
    small = os.path.join(directory, "class30.xls")

    if force or not os.path.exists(small):
        print(f"writing {small}")
        write_class(small)
    if force or not os.path.exists(large):
        print(f"writing {large}")
        started = time.monotonic()
        write_large(large)
        print(f"  xlwt took {time.monotonic() - started:.1f} s")
    if force or not os.path.exists(gnumeric):
        print(f"writing {gnumeric}")
        if resave_with_gnumeric(large, gnumeric):
            blocks = dbcell_count(gnumeric)
            print(f"  DBCELL records per sheet: {blocks}")
            if not all(blocks):
                print(f"{gnumeric} has sheets without DBCELL records", file=sys.stderr)
    modern = os.path.join(directory, "large-openpyxl.xlsx")
    opendocument = os.path.join(directory, "large-gnumeric.ods")
    if force or not os.path.exists(modern):
        print(f"writing {modern}")
        write_large_xlsx(modern)
    if os.path.exists(modern) and (force or not os.path.exists(opendocument)):
        print(f"writing {opendocument}")
        resave_with_gnumeric(modern, opendocument, "Gnumeric_OpenCalc:odf")
    for path in (small, large, gnumeric, modern, opendocument):
        if os.path.exists(path):
            print(f"{path}: {os.path.getsize(path)} bytes")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
