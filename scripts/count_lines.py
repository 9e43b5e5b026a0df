#!/usr/bin/env python3
"""Counts the lines of product code and of test code, leaving out blank
lines and lines that hold only a comment, and prints them with their ratio.

Product code is the C++ of the program's folders. Test code is the C++ under
tests/ and fuzz/ and the scripts the test command runs to check results;
the generators that only write fixtures, and the fixture data, are left out.
"""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PRODUCT_FOLDERS = ["analysis", "app", "cli", "pages", "skin", "windows", "workbook"]
TEST_FOLDERS = ["tests", "fuzz"]
CPP = (".cpp", ".h", ".c")
SCRIPTS = (".sh", ".py", ".cmake")
# Scripts in the test folders that only write fixtures.
GENERATOR = re.compile(r"(^|/)(make_[^/]*|fixtures/[^/]*\.py)$")


def cpp_lines(text):
    count = 0
    in_block = False
    for line in text.splitlines():
        stripped = line.strip()
        code = ""
        i = 0
        while i < len(stripped):
            if in_block:
                end = stripped.find("*/", i)
                if end < 0:
                    i = len(stripped)
                else:
                    in_block = False
                    i = end + 2
            elif stripped.startswith("/*", i):
                in_block = True
                i += 2
            elif stripped.startswith("//", i):
                break
            else:
                code += stripped[i]
                i += 1
        if code.strip():
            count += 1
    return count


def script_lines(text):
    return sum(1 for line in text.splitlines()
               if line.strip() and not line.strip().startswith("#"))


def count(folders, with_scripts):
    total = 0
    for folder in folders:
        for directory, _, files in os.walk(os.path.join(ROOT, folder)):
            for name in files:
                path = os.path.join(directory, name)
                relative = os.path.relpath(path, ROOT)
                with open(path, encoding="utf-8", errors="replace") as handle:
                    if name.endswith(CPP):
                        total += cpp_lines(handle.read())
                    elif with_scripts and name.endswith(SCRIPTS) and not GENERATOR.search(relative):
                        total += script_lines(handle.read())
    return total


def main():
    product = count(PRODUCT_FOLDERS, False)
    tests = count(TEST_FOLDERS, True)
    ratio = tests / product if product else 0.0
    print(f"lines: product {product}, tests {tests}, ratio {ratio:.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
