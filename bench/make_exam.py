#!/usr/bin/python3
"""Writes the workbooks the whole-exam benchmark reads.

    make_exam.py OUTDIR WORKBOOKS STUDENTS [SCORES]
                                             WORKBOOKS workbooks exam-01.xlsx…
                                             in OUTDIR, STUDENTS students in all

With SCORES (a number), the students' numbers and names are the same for
every SCORES and only the scores differ: two such exams are the last and
this exam of the progress benchmark.

Each sheet is 考号, 姓名, 班级 and nine subjects (语文, 数学 and 英语 of 150
marks, six of 100), a header row and then one row per student, classes of 50;
about one score in forty is 缺考. Fixed seed. Needs openpyxl.
"""

import os
import random
import sys

import openpyxl

SURNAMES = "王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗"
GIVEN = "伟芳娜敏静丽强磊军洋勇艳杰娟涛明超秀霞平刚桂英华"
SUBJECTS = [("语文", 150), ("数学", 150), ("英语", 150), ("物理", 100), ("化学", 100),
            ("生物", 100), ("政治", 100), ("历史", 100), ("地理", 100)]


def write_book(path, rng, first, count, scores=None):
    scores = scores or rng
    book = openpyxl.Workbook(write_only=True)
    sheet = book.create_sheet("期中成绩")
    sheet.append(["考号", "姓名", "班级"] + [name for name, _ in SUBJECTS])
    for n in range(first, first + count):
        name = rng.choice(SURNAMES) + "".join(rng.choice(GIVEN) for _ in range(rng.randint(1, 2)))
        row = [str(100000 + n), name, "%d班" % (n // 50 + 1)]
        for _, full in SUBJECTS:
            row.append("缺考" if scores.random() < 0.025
                       else min(full, max(0, round(scores.gauss(full * 0.72, full * 0.14)))))
        sheet.append(row)
    book.save(path)


def main():
    outdir, books, students = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    os.makedirs(outdir, exist_ok=True)
    rng = random.Random(22)
    scores = random.Random(int(sys.argv[4])) if len(sys.argv) > 4 else None
    each = students // books
    for b in range(books):
        write_book(os.path.join(outdir, "exam-%02d.xlsx" % (b + 1)), rng, b * each, each, scores)


if __name__ == "__main__":
    main()
