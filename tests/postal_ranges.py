#!/usr/bin/env python3
"""One address inside every block range of every town the postal service
splits between several codes, read from its own utf_ken_all.zip, looked up
through `zenrook-postal lookup`: each must get the range's own code, as a
town's. The notes are read here on their own, more simply than the program
reads them: a note this reader cannot read, or an address two of its notes
cover alike, is counted and left out, never guessed.

usage: postal_ranges.py ZENROOK_POSTAL DICTIONARY UTF_KEN_ALL.ZIP [--show N]
"""
import csv
import io
import re
import subprocess
import sys
import zipfile

WIDE = str.maketrans('０１２３４５６７８９－', '0123456789-')
KANJI = '〇一二三四五六七八九'
UNITS = ('丁目', '番地', '番', '号', '地割', '区', '線', '条')
LEVEL = {'第号': 0, '丁目': 0, '条': 0, '区': 0, '線': 0, '地割': 0, '番地': 1, '番': 1, '号': 2}


def merged_rows(path):
    with zipfile.ZipFile(path) as z:
        text = z.read('utf_ken_all.csv').decode('utf-8')
    rows = []
    for r in csv.reader(io.StringIO(text)):
        # A town whose notes run on is continued in the rows that follow.
        if rows and rows[-1][2] == r[2] and rows[-1][8].count('（') > rows[-1][8].count('）'):
            rows[-1][8] += r[8]
        else:
            rows.append(list(r))
    return rows


def items(body):
    """The alternatives a note lists, each as (level → (low, high)) bounds;
    None when one of them is more than this reader reads."""
    out, unit = [], None
    for item in reversed(body.translate(WIDE).split('、')):
        place = re.match(r'[^\d第〜・「」、()（）-]+(?=\d|$)', item)
        if place and not place.group(0).endswith(('丁目', '番地', '番', '号', '地割', '区', '線', '条', '大字')):
            # A place within the town, alone or with numbers of its own.
            rest = items(item[place.end():]) if place.end() < len(item) else [{'unit': '番地'}]
            if not rest or len(rest) != 1:
                return None
            out.append(dict(rest[0], place=place.group(0)))
            continue
        m = re.fullmatch(r'第?(\d+)(丁目|番地|番|号|地割|区|線|条)?(?:〜第?(\d+)(丁目|番地|番|号|地割|区|線|条)?)?', item)
        if m:
            u = m.group(2) or m.group(4) or unit
            if u is None:
                return None
            unit = u
            if u == '号' and item.startswith('第'):
                u = '第号'  # a place numbered as such: "第２号"
            low = int(m.group(1))
            out.append({LEVEL[u]: (low, int(m.group(3)) if m.group(3) else low), 'unit': u})
            continue
        m = re.fullmatch(r'(\d+)丁目(\d+)(?:〜(\d+))?番地?', item)
        if m:
            out.append({0: (int(m.group(1)),) * 2, 1: (int(m.group(2)), int(m.group(3) or m.group(2))),
                        'unit': '丁目'})
            continue
        m = re.fullmatch(r'(\d+)-(\d+)番地', item)
        if m:
            out.append({1: (int(m.group(1)),) * 2, 2: (int(m.group(2)),) * 2, 'unit': '番地'})
            continue
        return None
    return out


def covers(item, numbers):
    return item.get('place') == numbers.get('place') and all(
        lv in numbers and item[lv][0] <= numbers[lv] <= item[lv][1] for lv in item if lv not in ('unit', 'place'))


def kanji(n):
    if n < 10:
        return KANJI[n]
    tens, ones = divmod(n, 10)
    return ('' if tens == 1 else KANJI[tens]) + '十' + (KANJI[ones] if ones else '') if n < 100 else str(n)


def written(item, numbers, style):
    """The address after its town, as people write it, in one of three styles."""
    return item.get('place', '') + blocks(item, numbers, style)


def blocks(item, numbers, style):
    unit = item['unit']
    first = numbers[0] if 0 in numbers else numbers[1]
    rest = [numbers[lv] for lv in (1, 2) if lv in numbers and (0 in numbers or lv == 2)]
    if unit in ('丁目', '条', '区', '線', '地割', '第号'):
        head = ('第%d%s' % (first, unit[1:] if unit == '第号' else unit)) if unit in ('地割', '第号') else '%d%s' % (first, unit)
        if style == 1:
            return (head + '-'.join(map(str, rest))).translate(str.maketrans('0123456789-', '０１２３４５６７８９－'))
        if style == 2 and unit == '丁目' and first < 100:
            return kanji(first) + '丁目' + ''.join('%d%s' % (n, u) for n, u in zip(rest, ('番', '号')))
        return head + '-'.join(map(str, rest))
    text = '-'.join(map(str, [first] + rest))
    return text if style != 1 else text.translate(str.maketrans('0123456789-', '０１２３４５６７８９－'))


def samples(rows):
    towns = {}
    names = {(r[6], r[7], r[8].partition('（')[0]) for r in rows}
    for r in rows:
        if r[9] != '1':
            continue
        town, _, note = r[8].partition('（')
        towns.setdefault((r[6], r[7], town), []).append((r[2], '（' + note if note else ''))
    unread = covered_twice = 0
    out = []
    for (pref, city, town), codes in sorted(towns.items()):
        # "甲、乙" names two towns at once: no address is written so.
        if len({z for z, _ in codes}) < 2 or '、' in town:
            continue
        parsed = []
        for zip_, note in codes:
            body = note[1:-1] if note.endswith('）') else note
            its = items(body) if body and not re.search(r'その他|除く|以外|「', body) else None
            parsed.append((zip_, its))
            if body and its is None and not re.search(r'その他', body):
                unread += 1
        for zip_, its in parsed:
            for item in its or []:
                for end in (0, 1):
                    numbers = {lv: b[end] for lv, b in item.items() if lv not in ('unit', 'place')}
                    if 'place' in item:
                        numbers['place'] = item['place']
                    # A block and house number below the range's own levels.
                    for lv in (1, 2):
                        numbers.setdefault(lv, 1)
                    who = {}
                    for z, other in parsed:
                        for o in other or []:
                            if covers(o, numbers):
                                depth = len(o)
                                who[z] = max(who.get(z, 0), depth)
                    best = max(who.values())
                    # A town of its own of that name ("庶路（宮下）" beside "庶路宮下")
                    # leaves the address two codes alike.
                    if [z for z, dp in who.items() if dp == best] != [zip_] \
                            or (pref, city, town + item.get('place', '')) in names - {(pref, city, town)}:
                        covered_twice += 1
                        continue
                    # Kanji after a town whose name ends in a kanji numeral
                    # ("助七" + "二丁目") reads as one number: not written so.
                    style = len(out) % 3
                    if style == 2 and town[-1] in KANJI + '十':
                        style = 0
                    address = pref + city + town + written(item, numbers, style)
                    out.append((address, zip_[:3] + '-' + zip_[3:]))
    return out, unread, covered_twice


def main():
    binary, dictionary, archive = sys.argv[1:4]
    show = int(sys.argv[sys.argv.index('--show') + 1]) if '--show' in sys.argv else 10
    wanted, unread, twice = samples(merged_rows(archive))
    answers = subprocess.run([binary, 'lookup', '-d', dictionary], input='\n'.join(a for a, _ in wanted) + '\n',
                             capture_output=True, text=True, check=True).stdout.splitlines()
    wrong = [(a, z, got) for (a, z), got in zip(wanted, answers)
             if got.split('\t')[0] != z or got.split('\t')[3] != 'town']
    print('block ranges: %d of %d addresses right (%d notes this reader leaves, %d addresses two notes cover alike)'
          % (len(wanted) - len(wrong), len(wanted), unread, twice))
    for a, z, got in wrong[:show]:
        print('  %s: wanted %s, got %s' % (a, z, got.replace('\t', ' | ')))
    return 1 if wrong or len(wanted) < 300 else 0


if __name__ == '__main__':
    sys.exit(main())
