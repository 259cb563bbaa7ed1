#!/usr/bin/env python3
# zenrook-postal print as a user runs it, judged from the PDF it writes: the
# text and its places (pdftotext -bbox), the pages (pdfinfo), and the
# barcode's bars measured on the page drawn at 600 dpi (pdftoppm).
import math
import os
import re
import subprocess
import sys
import tempfile

program, fixtures = sys.argv[1], sys.argv[2]
MM = 25.4 / 72  # a PDF point in mm
failed = 0


def check(ok, what):
    global failed
    print(("ok   " if ok else "FAIL ") + what)
    failed += 0 if ok else 1


def run(*args, stdin=b""):
    p = subprocess.run([program, *args], input=stdin, capture_output=True)
    return p.returncode, p.stdout.decode(), p.stderr.decode()


def pages(pdf):
    return int(re.search(r"Pages:\s+(\d+)", subprocess.run(["pdfinfo", pdf], capture_output=True, text=True).stdout).group(1))


def words(pdf, page):
    """The words of a page with their boxes in mm: (text, x0, y0, x1, y1)."""
    out = subprocess.run(["pdftotext", "-f", str(page), "-l", str(page), "-bbox", pdf, "-"], capture_output=True, text=True).stdout
    found = re.findall(r'xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)<', out)
    return [(t, float(a) * MM, float(b) * MM, float(c) * MM, float(d) * MM) for a, b, c, d, t in found]


def gray(pdf, page, dpi):
    """The page drawn in grey: width, height, bytes (0 black, 255 white)."""
    out = subprocess.run(["pdftoppm", "-f", str(page), "-l", str(page), "-r", str(dpi), "-gray", pdf], capture_output=True).stdout
    magic, w, h, top, data = re.match(rb"(P5)\s+(\d+)\s+(\d+)\s+(\d+)\s(.*)", out, re.S).groups()
    return int(w), int(h), data


with tempfile.TemporaryDirectory() as work:
    dictionary = os.path.join(work, "d.sqlite3")
    subprocess.run([program, "import", "--ken-all", os.path.join(fixtures, "postal/utf_ken_all.csv"),
                    "--jigyosyo", os.path.join(fixtures, "postal/JIGYOSYO.CSV"), "-o", dictionary], check=True, capture_output=True)
    rows = [
        "氏名,会社,住所",
        "山田 太郎,,東京都千代田区霞が関1-3-2 郵便プラザ503号室",
        "佐藤 花子,株式会社サンプル,〒100-0013 千代田区霞が関１－３－２「本館」ＡＢＣ１２ー（ゃ）",
        ",日本郵便株式会社,東京都千代田区霞が関1-3-2",
        "鈴木 一郎,,どこにもない町1-2-3",  # placed nowhere: printed all the same, and named
    ]
    listed = ("\n".join(rows) + "\n").encode()
    pdf = os.path.join(work, "cards.pdf")
    code, out, err = run("print", "--header", "--name", "氏名", "--company", "会社", "--address", "住所", "-o", pdf,
                         "--from-name", "高橋 次郎", "--from-address", "大阪府大阪市北区梅田1-3-1", "--from-zip", "5300001",
                         "-d", dictionary, stdin=listed)
    check(os.path.exists(pdf) and pages(pdf) == 4, f"postcards: a page a row (exit {code}, {err.strip()})")
    check(code == 1 and "line 5: not placed with certainty" in err and err.count("line ") == 1,
          "postcards: the row placed nowhere is printed and named, the others are not")

    w = words(pdf, 1)
    # The frame printed on the card: the postal service's manual (郵便番号・
    # バーコードマニュアル, 郵便番号枠の位置) puts it 12 mm from the top and 8 mm
    # from the right edge; its boxes are 5.7 × 8 mm, with gaps of 1.3 mm, 1.9
    # mm at the hyphen, then 1.1 mm.
    boxes = [44.3, 51.3, 58.3, 65.9, 72.7, 79.5, 86.3]
    digits = [x for x in w if re.fullmatch(r"\d", x[0]) and x[2] < 25]
    check("".join(d[0] for d in digits) == "1000013", "postcard: the code's digits at the top: " + "".join(d[0] for d in digits))
    check(len(digits) == 7 and all(b <= d[1] and d[3] <= b + 5.7 and 12 <= d[2] and d[4] <= 20 for b, d in zip(boxes, digits)),
          "postcard: each digit inside its box of the frame")
    def columns(ws, right_of):
        """The text of the columns right of a line, each top to bottom, right to left."""
        ws = sorted((x for x in ws if x[1] > right_of), key=lambda x: (-round(x[1]), x[2]))
        return "".join(x[0] for x in ws)

    first = next(x for x in w if x[0] == "東")
    column = sorted((x for x in w if abs(x[1] - first[1]) < 0.3 and x[2] > 25), key=lambda x: x[2])
    check("".join(x[0] for x in column).startswith("東京都千代田区霞が関一―三―二")
          and all(a[4] <= b[2] + 0.01 for a, b in zip(column, column[1:])),
          "postcard: the address stacked top to bottom in one column, numbers in kanji: " + "".join(x[0] for x in column))
    check("郵便プラザ五〇三号室" in columns(w, 70), "postcard: the building in a column of its own")
    name = [x for x in w if x[0] in "山田太郎様" and 40 < x[1] < 60]
    centres = [(x[1] + x[3]) / 2 for x in name]
    check(len(name) == 5 and all(abs(c - 50) < 1.0 for c in centres) and all(a[2] < b[2] for a, b in zip(name, name[1:])),
          f"postcard: the name and its title down the middle ({', '.join(f'{c:.1f}' for c in centres)} mm)")
    check(any(x[0] == "高" and x[1] < 36 and x[2] > 84 for x in w), "postcard: the sender in the lower left")
    text2 = columns(words(pdf, 2), 60)
    check("千代田区霞が関一―三―二「本館」ＡＢＣ一二ー（ゃ）" in text2,
          "postcard: brackets, long vowel and small kana in their vertical forms are still text: " + text2)

    # Labels: three of the first sheet already used.
    many = rows[:1] + [rows[1]] * 14
    labels = os.path.join(work, "labels.pdf")
    code, out, err = run("print", "--layout", "labels", "--skip", "3", "--header", "--name", "氏名", "--address", "住所",
                         "-o", labels, "-d", dictionary, stdin=("\n".join(many) + "\n").encode())
    check(code == 0 and pages(labels) == math.ceil((14 + 3) / 12), f"labels: ⌈(rows + skipped) / 12⌉ sheets (exit {code}, {err.strip()})")
    code, out, err = run("print", "--layout", "labels", "--skip", "3", "--header", "--name", "氏名", "--address", "住所",
                         "--dry-run", "-d", dictionary, stdin=("\n".join(many) + "\n").encode())
    lines = out.splitlines()
    check(len(lines) == 14 and lines[0].startswith("line 2\tpage 1, column 2, row 2\t100-0013")
          and lines[-1].startswith("line 15\tpage 2, column 1, row 3"), "labels: --dry-run gives each row's page and place")

    # The first label printed is the fourth of the sheet: column 2, row 2.
    dpi = 600
    px = dpi / 25.4
    width, height, data = gray(labels, 1, dpi)
    left, top = 18.6 + 86.4, 21.2 + 42.3
    x0, x1, y0, y1 = int(left * px), int((left + 86.4) * px), int(top * px), int((top + 42.3) * px)

    def dark(x, y):
        return data[y * width + x] < 128

    def runs(y):
        found, start = [], None
        for x in range(x0, x1):
            if dark(x, y) and start is None:
                start = x
            elif not dark(x, y) and start is not None:
                found.append((start, x))
                start = None
        return found

    # Every bar crosses the timing zone: the line there crosses 67 bars.
    band = [y for y in range(y0, y1) if len(runs(y)) == 67]
    check(bool(band), "labels: one line across the barcode crosses 67 bars")
    if band:
        middle = band[len(band) // 2]
        bars = runs(middle)
        widths = [(b - a) / px for a, b in bars]
        pitches = [(b[0] - a[0]) / px for a, b in zip(bars, bars[1:])]
        check(all(abs(x - 0.6) < 0.06 for x in widths), f"labels: bars 0.6 mm wide ({min(widths):.2f}-{max(widths):.2f})")
        check(all(abs(p - 1.2) < 0.06 for p in pitches), f"labels: a bar every 1.2 mm ({min(pitches):.2f}-{max(pitches):.2f})")

        def extent(a, b):
            x, up, down = (a + b) // 2, middle, middle
            while dark(x, up - 1):
                up -= 1
            while dark(x, down + 1):
                down += 1
            return up / px, (down + 1) / px

        spans = [extent(a, b) for a, b in bars]
        tall = max(b - a for a, b in spans)
        short = min(b - a for a, b in spans)
        check(abs(tall - 3.6) < 0.06 and abs(short - 1.2) < 0.06, f"labels: long bars 3.6 mm, timing bars 1.2 mm ({tall:.2f}, {short:.2f})")
        # Quiet zones of 2 mm: nothing drawn around the bars.
        bx0, bx1 = bars[0][0], bars[-1][1]
        by0 = min(a for a, b in spans) * px
        by1 = max(b for a, b in spans) * px
        q = int(2 * px) - 1
        clear = not any(dark(x, y) for x in range(bx0 - q, bx1 + q) for y in range(int(by0) - q, int(by1) + q)
                        if not (bx0 <= x < bx1 and by0 <= y < by1))
        check(clear, "labels: 2 mm clear around the bars")
        # The bars are those barcode draws for the same address.
        svg = os.path.join(work, "one.svg")
        run("barcode", "--svg", svg, "-d", dictionary, stdin="東京都千代田区霞が関1-3-2 郵便プラザ503号室\n".encode())
        rects = re.findall(r'<rect x="[\d.]+" y="([\d.]+)" width="[\d.]+" height="([\d.]+)"/>', open(svg).read())
        kinds_svg = [(round(float(y) - 2, 1), round(float(h), 1)) for y, h in rects]
        top_pdf = min(a for a, b in spans)
        kinds_pdf = [(round(a - top_pdf, 1), round(b - a, 1)) for a, b in spans]
        check(kinds_pdf == kinds_svg, "labels: each bar as the barcode's drawing has it")

    # A printer's drift: everything moves by the offset.
    moved = os.path.join(work, "moved.pdf")
    run("print", "--header", "--name", "氏名", "--address", "住所", "-o", moved, "--offset", "3,-2", "-d", dictionary,
        stdin=("\n".join(rows[:2]) + "\n").encode())
    first = [x for x in words(moved, 1) if re.fullmatch(r"\d", x[0])][0]
    check(abs(first[1] - digits[0][1] - 3) < 0.05 and abs(first[2] - digits[0][2] + 2) < 0.05, "--offset 3,-2 moves what is printed")

    # Mistakes said before anything is written.
    for args, want, what in [
        (["--layout", "labels", "--skip", "12"], 2, "--skip past the sheet"),
        (["--layout", "letters"], 2, "an unknown layout"),
        (["--font", os.path.join(work, "none.ttf")], 1, "a font file that is not there"),
        (["--offset", "1"], 2, "an offset without Y"),
    ]:
        out_pdf = os.path.join(work, "no.pdf")
        code, out, err = run("print", "--header", "--address", "住所", "-o", out_pdf, *args, "-d", dictionary,
                             stdin=listed)
        check(code == want and not os.path.exists(out_pdf) and err, f"{what}: exit {code}, no PDF ({err.strip()[:70]})")
    # An empty list leaves a PDF already there as it was; a device is
    # written through, never replaced by a file.
    with open(pdf, "rb") as f:
        before = f.read()
    code, out, err = run("print", "--header", "--address", "住所", "-o", pdf, "-d", dictionary, stdin="氏名,会社,住所\n".encode())
    with open(pdf, "rb") as f:
        check(code == 1 and f.read() == before and "no rows" in err, "a list of a header alone leaves the PDF there untouched")
    code, out, err = run("print", "--header", "--address", "住所", "-o", "/dev/null", "-d", dictionary, stdin=listed)
    check(os.path.exists("/dev/null") and not os.path.isfile("/dev/null"), f"-o /dev/null writes to the device (exit {code})")
    code, out, err = run("print", "--address", "9", "-o", os.path.join(work, "wide.pdf"), "-d", dictionary, stdin=listed)
    check(code == 2 and "no column 9" in err and not os.path.exists(os.path.join(work, "wide.pdf")),
          "a column past the first row's width, without a header, stops before printing")
    code, out, err = run("print", "--header", "--address", "住所", "-o", os.path.join(work, "nan.pdf"), "--offset", "nan,1",
                         "-d", dictionary, stdin=listed)
    check(code == 2, "--offset nan,1 is refused")
    # Mail to a company and no one in it: the company large, 御中 after it.
    company = [x for x in words(pdf, 3) if 40 < x[1] < 60 and x[2] > 25]
    check("".join(x[0] for x in sorted(company, key=lambda x: x[2])) == "日本郵便株式会社御中",
          "postcard: a company without a name is the name, with 御中: " + "".join(x[0] for x in sorted(company, key=lambda x: x[2])))
    sheet = os.path.join(work, "sheet.txt")
    with open(sheet, "w") as f:
        f.write("labels = 3x8\nsize = 80x40\n")
    code, out, err = run("print", "--layout", "labels", "--sheet-file", sheet, "--header", "--address", "住所", "--dry-run",
                         "-d", dictionary, stdin=listed)
    check(code == 2 and "do not fit" in err, "a sheet whose labels do not fit its page is refused")

print(f"{failed} failed")
sys.exit(1 if failed else 0)
