#!/usr/bin/python3
"""Compares our .xls reader with xlrd on many random class workbooks.

    /usr/bin/python3 tools/agreement.py [--count N] [--seed S] [--work DIR]
                                        [--dumpcells PATH] [--keep-sample DIR]

Every random workbook content (a class list on Sheet1 with numbers of every
magnitude, texts in Chinese and with emoji, empty texts, formulas with number,
text, boolean and error results, dates and times, blank rows, and one or two
further sheets) is written by every writer at hand:

    xlwt        python3-xlwt, BIFF8 (its formulas carry no result; texts in
                two fonts; every fourth workbook in the 1904 date system)
    gnumeric8   ssconvert --recalc, BIFF8, from an .xlsx written by openpyxl
    gnumeric5   ssconvert --recalc, BIFF5, from the same .xlsx; every other
                workbook under a zh_CN.GBK locale (code page 936), the rest
                under C.UTF-8 (code page 1252)
    libreoffice soffice --headless --convert-to xls, many files a call

Then the first sheet's rows 1..120 and columns 1..8 are read by dumpcells
(tools/dumpcells.cpp: our reader, linked to the analysis library; build it
with `cmake -S tools -B build-tools -G Ninja && cmake --build build-tools`) and by
xlrd, whose values are written the way the grid shows them (numbers to 15
significant digits, True/False, error names, dates as y/m/d[ h:mm:ss]; see
xlrd_text in tests/fixtures/make_fixtures.py). Every cell that differs is
counted by writer and by the kind of value written, and the first few of each
kind are printed. The exit status is 1 when any cell differs.

--keep-sample DIR copies a few small workbooks of every writer to DIR with
agreement.json, the texts xlrd reads from them (what tst_workbooks checks).
"""

import argparse
import collections
import datetime
import importlib.util
import json
import math
import os
import random
import shutil
import subprocess
import sys
import tempfile

import openpyxl
import xlrd
import xlwt

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
ROWS, COLUMNS = 120, 8

_spec = importlib.util.spec_from_file_location(
    'make_fixtures', os.path.join(ROOT, 'tests', 'fixtures', 'make_fixtures.py'))
make_fixtures = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(make_fixtures)
xlrd_text = make_fixtures.xlrd_text
open_with_xlrd = make_fixtures.open_with_xlrd

# ---------------------------------------------------------------------------
# Random content. A cell is (kind, value, number format); kind names the
# figure's column in the report.


class Formula:
    def __init__(self, expression):
        self.expression = expression


class Rich:
    # A text in two fonts (xlwt writes the runs; the .xlsx gets the plain text).
    def __init__(self, *parts):
        self.parts = parts


class Error:
    # (BIFF code, text)
    def __init__(self, code, text):
        self.code = code
        self.text = text


ERRORS = [(0x00, '#NULL!'), (0x07, '#DIV/0!'), (0x0F, '#VALUE!'), (0x17, '#REF!'),
          (0x1D, '#NAME?'), (0x24, '#NUM!'), (0x2A, '#N/A')]

SURNAMES = '张李王赵刘陈杨黄吴周徐孙马朱胡郭何高林罗郑梁谢宋唐许韩冯邓曹彭曾萧田董潘袁蔡蒋余于杜叶程魏苏吕丁任沈姚卢姜崔钟谭陆汪范金石廖贾夏韦付方白邹孟熊秦邱江尹薛闫段雷侯龙史陶黎贺顾毛郝龚邵万钱严覃武戴莫孔向汤'
GIVEN = '伟芳娜秀英敏静丽强磊军洋勇艳杰娟涛明超霞平刚桂兰玉萍华红梅鑫晶鹏宇浩然'
EMOJI = ['😀', '🎉', '👍🏽', '🇨🇳', '𠮷', '✓']

NUMBER_FORMATS = [None, None, None, '0.00', '0.0 "分"', '#,##0', '0%', '0.00E+00', '@']
DATE_FORMATS = ['yyyy/m/d', 'yyyy/m/d h:mm:ss', 'h:mm:ss', 'm/d/yy', 'yyyy"年"m"月"d"日"',
                'hh:mm', 'd-mmm-yy']

FORMULAS = [
    # (kind, expression, number format)
    ('formula number', '1+2', None),
    ('formula number', '1/3', None),
    ('formula number', '0.1+0.2', None),
    ('formula number', '2^40', None),
    ('formula number', '-1/7/10000000000', None),
    ('formula number', '10^20/3', None),
    ('formula number', 'PI()*10^100', None),
    ('formula number', 'ROUND(85.55,1)', None),
    ('formula number', 'SUM(1,2,3)', None),
    ('formula date', 'DATE(2024,3,15)', 'yyyy/m/d'),
    ('formula text', '"abc"&"def"', None),
    ('formula text', '"成绩"&"优秀"', None),
    ('formula text', '"  缺考  "', None),
    ('formula text', 'REPT("好",300)', None),
    ('formula empty text', '""', None),
    ('formula boolean', '1>0', None),
    ('formula boolean', '1<0', None),
    ('formula boolean', 'AND(1>0,2>1)', None),
    ('formula error', '1/0', None),
    ('formula error', 'NA()', None),
    ('formula error', 'SQRT(-1)', None),
    ('formula error', '"a"+1', None),
]


def random_number(rng):
    choice = rng.randrange(12)
    if choice == 0:
        return 'integer', float(rng.randrange(0, 101))
    if choice == 1:
        return 'fraction', round(rng.uniform(0, 100), rng.randrange(1, 4))
    if choice == 2:
        return 'negative', -round(rng.uniform(0, 1000), rng.randrange(0, 6))
    if choice == 3:
        return 'huge integer', float(rng.randrange(2**31, 2**53)) * rng.choice([1, 1, -1, 1000])
    if choice == 4:
        return 'tiny', rng.uniform(1, 10) * 10.0 ** -rng.randrange(5, 320)
    if choice == 5:
        return 'huge', rng.uniform(1, 10) * 10.0 ** rng.randrange(15, 308)
    if choice == 6:
        return 'fraction', rng.random()
    if choice == 7:
        return 'edge', rng.choice([0.1 + 0.2, 1 / 3, 2 / 3, 999999999999999.0, 999999999999999.5,
                                   0.5, 1e15, 1e16, 123456789012345678.0, 2.5e-5, 1e-5,
                                   0.0001, 0.00001234, 99999999999999.99, 5e-324, 1.7976931348623157e308,
                                   -0.0, 32767.5, -32768.5, 100000000000000.01, 0.30000000000000004])
    if choice == 8:
        return 'integer', float(rng.randrange(-2**31, 2**31))
    if choice == 9:
        return 'fraction', rng.randrange(0, 10**6) / rng.choice([8, 16, 100, 1000, 3])
    if choice == 10:
        digits = rng.randrange(1, 18)
        return 'digits', float(rng.randrange(10 ** (digits - 1), 10 ** digits)) / 10 ** rng.randrange(0, 20)
    return 'integer', float(rng.randrange(60, 101))


def random_text(rng):
    choice = rng.randrange(10)
    if choice == 0:
        return 'empty text', ''
    if choice == 1:
        return 'cjk text', rng.choice(SURNAMES) + ''.join(rng.choice(GIVEN)
                                                          for _ in range(rng.randrange(1, 3)))
    if choice == 2:
        return 'emoji text', rng.choice(SURNAMES) + rng.choice(EMOJI) + rng.choice(GIVEN)
    if choice == 3:
        return 'spaced text', rng.choice(['  ', ' ', '\u3000']) + rng.choice(SURNAMES) + \
            rng.choice(GIVEN) + rng.choice(['  ', '', ' '])
    if choice == 4:
        return 'latin text', rng.choice(['Café', 'Müller', 'abc', 'N/A', '缺考', 'absent',
                                         'x\ny', 'tab\there', '085', '1E5', 'TRUE', '#N/A'])
    if choice == 6:
        return 'rich text', Rich(rng.choice(SURNAMES), rng.choice(GIVEN) + rng.choice(['', '😀', ' 同学']))
    if choice == 5:
        return 'long text', ''.join(rng.choice(GIVEN + 'abcdef ') for _ in range(rng.randrange(200, 400)))
    return 'cjk text', rng.choice(SURNAMES) + rng.choice(GIVEN) + rng.choice(GIVEN)


def random_date(rng):
    fmt = rng.choice(DATE_FORMATS)
    choice = rng.randrange(4)
    if choice == 0:
        value = datetime.datetime(rng.randrange(1900, 2100), rng.randrange(1, 13), rng.randrange(1, 29))
    elif choice == 1:
        value = datetime.datetime(rng.randrange(1950, 2050), rng.randrange(1, 13), rng.randrange(1, 29),
                                  rng.randrange(24), rng.randrange(60), rng.randrange(60))
    elif choice == 2:
        value = datetime.time(rng.randrange(24), rng.randrange(60), rng.randrange(60))
    else:
        value = datetime.datetime(rng.randrange(2000, 2030), rng.randrange(1, 13), rng.randrange(1, 29),
                                  rng.randrange(24), rng.randrange(60))
    return 'date', value, fmt


def random_cell(rng, column):
    """(kind, value, format) of a cell of the class list."""
    choice = rng.randrange(100)
    if column == 1 and choice < 50:
        return 'integer', float(2024000 + rng.randrange(1000)), None
    if column == 2 and choice < 50:
        return random_text(rng) + (None,)
    if column == 3 and choice < 40:
        kind, value = random_number(rng)
        return kind, value, rng.choice(NUMBER_FORMATS)
    if choice < 35:
        kind, value = random_number(rng)
        return kind, value, rng.choice(NUMBER_FORMATS)
    if choice < 55:
        return random_text(rng) + (None,)
    if choice < 70:
        kind, expression, fmt = rng.choice(FORMULAS)
        return kind, Formula(expression), fmt
    if choice < 78:
        return random_date(rng)
    if choice < 83:
        return 'boolean', rng.random() < 0.5, None
    if choice < 88:
        code, text = rng.choice(ERRORS)
        return 'error', Error(code, text), None
    return None


def random_content(rng):
    """[(sheet name, {(row, column): (kind, value, format)})]"""
    rows = rng.randrange(5, ROWS + 1)
    columns = rng.randrange(3, COLUMNS + 1)
    density = rng.uniform(0.4, 1.0)
    first = {}
    for row in range(1, rows + 1):
        if rng.random() < 0.08:
            continue  # a blank row
        for column in range(1, columns + 1):
            if rng.random() > density:
                continue
            cell = random_cell(rng, column)
            if cell:
                first[(row, column)] = cell
    if rng.random() < 0.3:
        # A score far below the rest, beyond row 100.
        first[(rng.randrange(101, ROWS + 1), 3)] = ('integer', 85.0, None)
    sheets = [('Sheet1', first)]
    for name in rng.sample(['成绩表', 'Sheet2', 'Übersicht', '二班'], rng.randrange(0, 3)):
        sheets.append((name, {(r, c): random_cell(rng, c) or ('integer', 1.0, None)
                              for r in range(1, rng.randrange(2, 10)) for c in (1, 2, 3)}))
    return sheets


# ---------------------------------------------------------------------------
# Writers.

_xlwt_styles = {}


def xlwt_style(fmt):
    if fmt not in _xlwt_styles:
        _xlwt_styles[fmt] = xlwt.easyxf(num_format_str=fmt) if fmt else xlwt.Style.default_style
    return _xlwt_styles[fmt]


_fonts = []


def write_xlwt(path, sheets, dates_1904=False):
    book = xlwt.Workbook(encoding='utf-8')
    book.dates_1904 = dates_1904
    if not _fonts:
        bold, red = xlwt.Font(), xlwt.Font()
        bold.bold = True
        red.colour_index = 2
        _fonts.extend([bold, red])
    for name, cells in sheets:
        sheet = book.add_sheet(name)
        for (row, column), (kind, value, fmt) in sorted(cells.items()):
            r, c, style = row - 1, column - 1, xlwt_style(fmt)
            if isinstance(value, Formula):
                sheet.write(r, c, xlwt.Formula(value.expression), style)
            elif isinstance(value, Error):
                sheet.row(r).set_cell_error(c, value.code, style)
            elif isinstance(value, Rich):
                sheet.write_rich_text(r, c, list(zip(value.parts, _fonts)), style)
            elif isinstance(value, str):
                # set_cell_text keeps an empty text as a shared string.
                sheet.row(r).set_cell_text(c, value, style)
            else:
                sheet.write(r, c, value, style)
    book.save(path)


def write_xlsx(path, sheets):
    book = openpyxl.Workbook()
    book.remove(book.active)
    for name, cells in sheets:
        sheet = book.create_sheet(name)
        for (row, column), (kind, value, fmt) in sorted(cells.items()):
            target = sheet.cell(row=row, column=column)
            if isinstance(value, Formula):
                target.value = '=' + value.expression
            elif isinstance(value, Error):
                target.value = value.text
                target.data_type = 'e'
            elif isinstance(value, Rich):
                target.value = ''.join(value.parts)
            elif isinstance(value, str):
                target.value = value
                target.data_type = 's'
            elif isinstance(value, float) and not math.isfinite(value):
                continue
            else:
                target.value = value
            if fmt:
                target.number_format = fmt
    book.save(path)


def run(command, env=None, timeout=600):
    result = subprocess.run(command, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                            timeout=timeout)
    return result.returncode, result.stderr.decode(errors='replace')


def gbk_environment(work):
    locales = os.path.join(work, 'locales')
    os.makedirs(locales, exist_ok=True)
    run(['localedef', '-i', 'zh_CN', '-f', 'GBK', os.path.join(locales, 'zh_CN.GBK')])
    return dict(os.environ, LOCPATH=locales, LC_ALL='zh_CN.GBK', LANG='zh_CN.GBK')


def c_environment():
    return dict(os.environ, LC_ALL='C.UTF-8', LANG='C.UTF-8')


def soffice_convert(sources, outdir, work):
    profile = 'file://' + os.path.join(work, 'lo-profile')
    for start in range(0, len(sources), 100):
        batch = sources[start:start + 100]
        code, err = run(['soffice', '-env:UserInstallation=' + profile, '--headless', '--norestore',
                         '--convert-to', 'xls:MS Excel 97', '--outdir', outdir] + batch,
                        timeout=1800)
        if code != 0:
            print('soffice failed: ' + err[-400:], file=sys.stderr)


# ---------------------------------------------------------------------------
# Reading back.

CELL_TYPES = {xlrd.XL_CELL_TEXT: 'text', xlrd.XL_CELL_NUMBER: 'number', xlrd.XL_CELL_DATE: 'date',
              xlrd.XL_CELL_BOOLEAN: 'boolean', xlrd.XL_CELL_ERROR: 'error'}


def grid_text(book, cell):
    # A number record may hold an infinity (openpyxl writes the largest double
    # with 16 digits, which Gnumeric and LibreOffice read as +inf); the grid
    # writes it as numbertext.cpp does, where %G would write INF.
    if cell.ctype == xlrd.XL_CELL_NUMBER and math.isinf(cell.value):
        return 'Infinity' if cell.value > 0 else '-Infinity'
    return xlrd_text(book, cell)


def xlrd_cells(path, types):
    book = open_with_xlrd(path)
    sheet = book.sheet_by_index(0)
    cells = []
    for r in range(ROWS):
        row = []
        for c in range(COLUMNS):
            if r < sheet.nrows and c < sheet.ncols:
                cell = sheet.cell(r, c)
                row.append(grid_text(book, cell))
                if cell.ctype in CELL_TYPES and row[-1]:
                    types[CELL_TYPES[cell.ctype]] += 1
            else:
                row.append('')
        cells.append(row)
    return book.sheet_names(), cells


def our_cells(dumpcells, paths):
    process = subprocess.run([dumpcells, str(ROWS), str(COLUMNS)], input='\n'.join(paths) + '\n',
                             stdout=subprocess.PIPE, text=True, check=True)
    return {entry['path']: entry for entry in map(json.loads, process.stdout.splitlines())}


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--count', type=int, default=300, help='contents, each written by every writer')
    parser.add_argument('--seed', type=int, default=1)
    parser.add_argument('--work', help='keep the workbooks in this folder')
    parser.add_argument('--dumpcells', default=os.path.join(ROOT, 'build-tools', 'dumpcells'))
    parser.add_argument('--writers', default='xlwt,gnumeric8,gnumeric5,libreoffice')
    parser.add_argument('--keep-sample', help='copy a sample with its xlrd texts to this folder')
    parser.add_argument('--show', type=int, default=3, help='disagreements shown per kind')
    args = parser.parse_args()
    writers = args.writers.split(',')

    work = args.work or tempfile.mkdtemp(prefix='agreement-')
    os.makedirs(work, exist_ok=True)
    rng = random.Random(args.seed)
    contents = [random_content(rng) for _ in range(args.count)]

    files = {}  # path -> (writer, content index)
    xlsx_sources = []
    for index, sheets in enumerate(contents):
        if 'xlwt' in writers:
            path = os.path.join(work, 'w%04d-xlwt.xls' % index)
            # Every fourth in the 1904 date system.
            write_xlwt(path, sheets, dates_1904=index % 4 == 3)
            files[path] = ('xlwt', index)
        source = os.path.join(work, 'w%04d-source.xlsx' % index)
        write_xlsx(source, sheets)
        xlsx_sources.append(source)
    print('written: %d contents' % len(contents), file=sys.stderr)

    gbk = gbk_environment(work) if 'gnumeric5' in writers else None
    for index, source in enumerate(xlsx_sources):
        if 'gnumeric8' in writers:
            path = os.path.join(work, 'w%04d-gnumeric8.xls' % index)
            run(['ssconvert', '--recalc', '-T', 'Gnumeric_Excel:excel_biff8', source, path],
                env=c_environment())
            files[path] = ('gnumeric8', index)
        if 'gnumeric5' in writers:
            path = os.path.join(work, 'w%04d-gnumeric5.xls' % index)
            run(['ssconvert', '--recalc', '-T', 'Gnumeric_Excel:excel_biff7', source, path],
                env=gbk if index % 2 == 0 else c_environment())
            files[path] = ('gnumeric5', index)
    print('gnumeric done', file=sys.stderr)
    if 'libreoffice' in writers:
        lo_dir = os.path.join(work, 'libreoffice')
        os.makedirs(lo_dir, exist_ok=True)
        soffice_convert(xlsx_sources, lo_dir, work)
        for index, source in enumerate(xlsx_sources):
            converted = os.path.join(lo_dir, os.path.basename(source)[:-5] + '.xls')
            path = os.path.join(work, 'w%04d-libreoffice.xls' % index)
            if os.path.exists(converted):
                os.replace(converted, path)
                files[path] = ('libreoffice', index)
    print('libreoffice done', file=sys.stderr)

    ours = our_cells(args.dumpcells, sorted(files))
    per_writer = collections.Counter()
    cells_compared = collections.Counter()
    differ = collections.Counter()
    examples = collections.defaultdict(list)
    failures = []
    expected_of = {}
    types = {writer: collections.Counter() for writer in writers}
    for path in sorted(files):
        writer, index = files[path]
        if not os.path.exists(path):
            failures.append((path, 'the writer made no file'))
            continue
        try:
            names, theirs = xlrd_cells(path, types[writer])
        except Exception as error:  # xlrd refuses the file
            failures.append((path, 'xlrd: %s; our reader: %s' % (
                error, 'failure %d' % ours[path]['error'] if 'error' in ours[path] else 'reads it')))
            continue
        mine = ours[path]
        if 'error' in mine:
            failures.append((path, 'our reader: failure %d' % mine['error']))
            continue
        per_writer[writer] += 1
        expected_of[path] = (names, theirs)
        if mine['sheets'] != names:
            differ[(writer, 'sheet names')] += 1
            examples[(writer, 'sheet names')].append((path, 0, 0, names, mine['sheets']))
        content = contents[index][0][1]
        for r in range(ROWS):
            for c in range(COLUMNS):
                cells_compared[writer] += 1
                if mine['cells'][r][c] != theirs[r][c]:
                    kind = content.get((r + 1, c + 1), ('nothing written',))[0]
                    differ[(writer, kind)] += 1
                    examples[(writer, kind)].append((path, r + 1, c + 1, theirs[r][c],
                                                     mine['cells'][r][c]))

    print('workbooks compared by writer: %s' % dict(per_writer))
    print('cells compared: %d (%s)' % (sum(cells_compared.values()), dict(cells_compared)))
    for writer in writers:
        print('  %s: non-empty cells by xlrd type %s' % (writer, dict(sorted(types[writer].items()))))
    print('workbooks not compared: %d' % len(failures))
    for path, why in failures[:20]:
        print('  %s: %s' % (os.path.basename(path), why))
    print('cells that differ: %d' % sum(differ.values()))
    for key, count in sorted(differ.items()):
        print('  %s / %s: %d' % (key[0], key[1], count))
        for path, row, column, theirs, mine in examples[key][:args.show]:
            print('    %s R%dC%d xlrd %r ours %r' % (os.path.basename(path), row, column,
                                                    theirs[:60] if isinstance(theirs, str) else theirs,
                                                    mine[:60] if isinstance(mine, str) else mine))

    if args.keep_sample:
        keep_sample(args.keep_sample, work, files, expected_of, contents)
    if not args.work:
        shutil.rmtree(work, ignore_errors=True)
    return 1 if differ else 0


def keep_sample(folder, work, files, expected_of, contents):
    """Three small workbooks of every writer (the smallest of each variant
    first), and one of early dates in the 1904 system, with the texts xlrd
    reads from them."""
    os.makedirs(folder, exist_ok=True)
    chosen = collections.defaultdict(list)
    varied = [path for path in sorted(expected_of, key=os.path.getsize)
              if len({cell[0] for cell in contents[files[path][1]][0][1].values()}) >= 8]

    def variant(path):
        # xlwt: the 1904 date system or not; gnumeric5: code page 936 or 1252.
        writer, index = files[path]
        return index % 4 == 3 if writer == 'xlwt' else index % 2 if writer == 'gnumeric5' else 0

    seen = set()
    for path in varied:  # the smallest of every variant first
        key = (files[path][0], variant(path))
        if key not in seen:
            seen.add(key)
            chosen[key[0]].append(path)
    for path in varied:
        writer = files[path][0]
        if len(chosen[writer]) < 3 and path not in chosen[writer]:
            chosen[writer].append(path)
    # Dates before 1904 in the 1904 date system (negative serials), written
    # by xlwt: the random contents reach them only now and then.
    early = os.path.join(work, 'early-1904-xlwt.xls')
    days = [datetime.datetime(1899, 12, 31), datetime.datetime(1900, 1, 1),
            datetime.datetime(1900, 2, 19), datetime.datetime(1900, 2, 28, 18, 0, 0),
            datetime.datetime(1900, 3, 1), datetime.datetime(1900, 3, 1, 12, 30, 15),
            datetime.datetime(1903, 12, 31, 23, 59, 59), datetime.datetime(1904, 1, 1),
            datetime.datetime(1904, 1, 1, 8, 30), datetime.datetime(2024, 3, 15)]
    write_xlwt(early, [('Sheet1', {(row, 1): ('date', day, 'yyyy/m/d h:mm:ss')
                                   for row, day in enumerate(days, 1)})], dates_1904=True)
    files[early] = ('xlwt', -1)
    expected_of[early] = xlrd_cells(early, collections.Counter())
    chosen['xlwt_1904_early'] = [early]

    expected = {}
    for writer in sorted(chosen):
        for number, path in enumerate(chosen[writer], 1):
            name = '%s_%d.xls' % (writer, number) if len(chosen[writer]) > 1 else writer + '.xls'
            shutil.copyfile(path, os.path.join(folder, name))
            names, cells = expected_of[path]
            # Only the rows up to the last that holds anything.
            last = max((r for r, row in enumerate(cells) if any(row)), default=-1)
            expected[name] = {'sheets': names, 'cells': cells[:last + 1]}
    with open(os.path.join(folder, 'agreement.json'), 'w', encoding='utf-8') as f:
        json.dump({'rows': ROWS, 'columns': COLUMNS, 'workbooks': expected}, f,
                  ensure_ascii=False, indent=1)
        f.write('\n')
    print('sample of %d workbooks in %s' % (len(expected), folder))


if __name__ == '__main__':
    sys.exit(main())
