#!/usr/bin/python3
"""Writes class.xls, the sample class the README's run command opens.

Needs Debian's python3-xlwt; run with /usr/bin/python3. The file is committed,
so nothing else needs the writer.
"""
import os
import xlwt

NAMES = ["张伟", "王芳", "李娜", "刘洋", "陈静", "杨磊", "赵敏", "黄勇", "周杰", "吴霞",
         "徐强", "孙丽", "马超", "朱琳", "胡斌", "郭婷", "何平", "高翔", "林芳", "罗军",
         "郑华", "梁晨", "谢雨", "宋涛", "唐颖", "许鹏", "韩雪", "冯凯", "邓洁", "曹阳"]
SCORES = [85, 92, 78, 66, 59, 73, 88, 95, 81, 70,
          64, 77, 100, 83, 58, 91, 75, 69, 84, 62,
          87, 74, 79, 96, 55, 80, 68, 90, 76, 82]


def main():
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("Sheet1")
    for column, caption in enumerate(["学号", "姓名", "成绩"]):
        sheet.write(0, column, caption)
    for i, (name, score) in enumerate(zip(NAMES, SCORES)):
        sheet.write(i + 1, 0, 20240101 + i)
        sheet.write(i + 1, 1, name)
        sheet.write(i + 1, 2, score)
    book.save(os.path.join(os.path.dirname(os.path.abspath(__file__)), "class.xls"))


if __name__ == "__main__":
    main()
