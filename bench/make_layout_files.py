#!/usr/bin/python3
"""Writes the class files the layout and text-import benchmarks read.

    make_layout_files.py OUTDIR [--force]

Into OUTDIR go the same class of 60,000 students three times: a title row
("高二年级期末考试成绩"), a header row (学号, 姓名, 班级 and nine subjects),
then one row per student:

  layout-openpyxl.xlsx  written by openpyxl
  class-xlwt.xls        written by xlwt
  class-utf8.csv        written by Python's csv module, UTF-8 without a BOM

Files already there are kept unless --force is given. The content is the same
on every run (fixed seed).
"""

import csv
import os
import random
import sys

import openpyxl
import xlwt

ROWS = 60000
TITLE = "高二年级期末考试成绩"
SUBJECTS = ["语文", "数学", "英语", "物理", "化学", "生物", "政治", "历史", "地理"]
HEADERS = ["学号", "姓名", "班级"] + SUBJECTS
SURNAMES = "王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗"
GIVEN = "伟芳娜敏静丽强磊军洋勇艳杰娟涛明超秀霞平刚桂英华"


def students():
    chance = random.Random(20261207)
    for index in range(ROWS):
        name = chance.choice(SURNAMES) + "".join(chance.choice(GIVEN) for _ in range(2))
        scores = [chance.randint(30, 150) if s in ("语文", "数学", "英语") else chance.randint(20, 100)
                  for s in SUBJECTS]
        yield [f"2026{index + 1:06d}", name, f"{index // 50 + 1}班"] + scores


def write_xlsx(path):
    book = openpyxl.Workbook(write_only=True)
    sheet = book.create_sheet("Sheet1")
    sheet.append([TITLE])
    sheet.append(HEADERS)
    for row in students():
        sheet.append(row)
    book.save(path)


def write_xls(path):
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Sheet1")
    sheet.write(0, 0, TITLE)
    for column, header in enumerate(HEADERS):
        sheet.write(1, column, header)
    for row, values in enumerate(students(), start=2):
        for column, value in enumerate(values):
            sheet.write(row, column, value)
    book.save(path)


def write_csv(path):
    with open(path, "w", encoding="utf-8", newline="") as out:
        writer = csv.writer(out)
        writer.writerow([TITLE])
        writer.writerow(HEADERS)
        writer.writerows(students())


def main():
    arguments = [a for a in sys.argv[1:] if a != "--force"]
    if len(arguments) != 1:
        sys.exit(__doc__)
    outdir = arguments[0]
    os.makedirs(outdir, exist_ok=True)
    for name, writer in (("layout-openpyxl.xlsx", write_xlsx), ("class-xlwt.xls", write_xls),
                         ("class-utf8.csv", write_csv)):
        path = os.path.join(outdir, name)
        if os.path.exists(path) and "--force" not in sys.argv:
            continue
        writer(path + ".part")
        os.replace(path + ".part", path)
        print(f"{name}: {os.path.getsize(path)} bytes")


if __name__ == "__main__":
    main()
