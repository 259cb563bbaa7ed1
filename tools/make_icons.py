#!/usr/bin/env python3
"""Draws the browser pane's toolbar icons as XPM files in resources/icons/.

Run it again after changing a drawing; the XPM files are committed."""
import math
import os

OUT = os.path.join(os.path.dirname(__file__), '..', 'resources', 'icons')
COLOURS = {' ': 'None', 'k': '#202020', 'b': '#2060C0', 'l': '#80B0F0', 'r': '#C03020',
           'y': '#F0D060', 'g': '#909090', 'w': '#FFFFFF', 'n': '#A06030'}


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[' '] * w for _ in range(h)]

    def dot(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c, fill=None):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                edge = x in (x0, x1) or y in (y0, y1)
                if edge:
                    self.dot(x, y, c)
                elif fill:
                    self.dot(x, y, fill)

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for i in range(n + 1):
            self.dot(round(x0 + (x1 - x0) * i / n), round(y0 + (y1 - y0) * i / n), c)

    def poly(self, pts, c, fill):
        for y in range(self.h):
            for x in range(self.w):
                inside = False
                j = len(pts) - 1
                for i in range(len(pts)):
                    xi, yi = pts[i]
                    xj, yj = pts[j]
                    if (yi > y + .5) != (yj > y + .5) and x + .5 < (xj - xi) * (y + .5 - yi) / (yj - yi) + xi:
                        inside = not inside
                    j = i
                if inside:
                    self.dot(x, y, fill)
        for i in range(len(pts)):
            self.line(*pts[i], *pts[(i + 1) % len(pts)], c)

    def save(self, name):
        used = sorted({c for row in self.px for c in row})
        lines = ['/* XPM */', 'static const char *%s[] = {' % name,
                 '"%d %d %d 1",' % (self.w, self.h, len(used))]
        lines += ['"%s c %s",' % (c, COLOURS[c]) for c in used]
        lines += ['"%s"%s' % (''.join(r), ',' if i < self.h - 1 else '};') for i, r in enumerate(self.px)]
        with open(os.path.join(OUT, name + '.xpm'), 'w') as f:
            f.write('\n'.join(lines) + '\n')


def arrow(name, right):
    c = Canvas(16, 16)
    pts = [(1, 8), (8, 1), (8, 5), (14, 5), (14, 11), (8, 11), (8, 15)]
    if right:
        pts = [(15 - x, y) for x, y in pts]
    c.poly(pts, 'b', 'l')
    c.save(name)


def home():
    c = Canvas(19, 20)
    c.poly([(1, 9), (9, 1), (17, 9)], 'r', 'r')
    c.rect(3, 9, 15, 18, 'k', 'y')
    c.rect(8, 12, 10, 18, 'k', 'n')
    c.save('home')


def search():
    c = Canvas(20, 20)
    for a in range(0, 360, 5):
        x = 8 + 6 * math.cos(math.radians(a))
        y = 8 + 6 * math.sin(math.radians(a))
        c.dot(round(x), round(y), 'k')
    for y in range(4, 13):
        for x in range(4, 13):
            if (x - 8) ** 2 + (y - 8) ** 2 < 25:
                c.dot(x, y, 'l')
    for i in range(6):
        c.line(12 + i, 13 + i, 13 + i, 13 + i, 'n')
    c.save('search')


def printer():
    c = Canvas(20, 18)
    c.rect(5, 1, 14, 7, 'k', 'w')
    c.rect(1, 7, 18, 13, 'k', 'g')
    c.rect(5, 11, 14, 16, 'k', 'w')
    c.dot(16, 9, 'r')
    c.save('print')


def page_setup():
    c = Canvas(15, 13)
    c.poly([(2, 0), (9, 0), (12, 3), (12, 12), (2, 12)], 'k', 'w')
    c.line(9, 0, 9, 3, 'k')
    c.line(9, 3, 12, 3, 'k')
    for y in (5, 7, 9):
        c.line(4, y, 10, y, 'b')
    c.save('pagesetup')


def disk():
    c = Canvas(16, 15)
    c.rect(0, 0, 15, 14, 'k', 'b')
    c.rect(3, 0, 12, 5, 'k', 'w')
    c.rect(4, 9, 11, 14, 'k', 'g')
    c.save('save')


def toolbars():
    c = Canvas(16, 14)
    c.rect(0, 0, 15, 13, 'k', 'w')
    c.rect(0, 0, 15, 3, 'k', 'b')
    for x in (2, 6, 10):
        c.rect(x, 5, x + 2, 7, 'g', 'l')
    c.save('toolbars')


if __name__ == '__main__':
    os.makedirs(OUT, exist_ok=True)
    arrow('back', False)
    arrow('forward', True)
    home()
    search()
    printer()
    page_setup()
    disk()
    toolbars()
