#!/usr/bin/env python3
# Writes the seed corpora of the fuzz targets: bitmaps of every bit depth in
# both row orders and with short colour tables, small skin packages (plain and
# compressed) holding them, the built-in skin, and descriptions: a tiny skin,
# the built-in one whole, and one file per section of it.
# Usage: fuzz/corpus/make_corpus.py [BUILTIN_SKIN_FILE]  (from the source tree;
# the optional file is the built-in skin packed by `tarnwick-skin pack skins/default`).
import os, re, struct, sys, zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))


def bmp(w, h, bits, top_down=False, table=None):
    row = ((w * bits + 31) // 32) * 4
    if bits <= 8:
        if table is None:
            table = [(i * 255 // ((1 << bits) - 1),) * 3 for i in range(1 << bits)]
        used = 0 if len(table) == 1 << bits else len(table)
    else:
        table, used = [], 0
    pal = b''.join(struct.pack('<BBBB', b, g, r, 0) for (r, g, b) in table)
    rows = []
    for y in range(h):
        if bits >= 24:
            px = b''.join(struct.pack('<BBB', (x * 40) & 255, (y * 60) & 255, (x ^ y) * 30 & 255) + (b'\x80' if bits == 32 else b'') for x in range(w))
        else:
            n = max(1, len(table))
            idx = [(x + y) % n for x in range(w)]
            bitsrow = 0
            for i in idx:
                bitsrow = (bitsrow << bits) | i
            nbits = w * bits
            px = (bitsrow << ((-nbits) % 8)).to_bytes((nbits + 7) // 8, 'big')
        rows.append(px + b'\0' * (row - len(px)))
    data = b''.join(rows)
    off = 14 + 40 + len(pal)
    head = b'BM' + struct.pack('<IHHI', off + len(data), 0, 0, off)
    info = struct.pack('<IiiHHIIiiII', 40, w, -h if top_down else h, 1, bits, 0, len(data), 2835, 2835, used, 0)
    return head + info + pal + data


def package(text, picture=None, mask=None, actives=(), inactive=None):
    def flagged(b):
        return b'\1' if b is None else b'\0' + b
    return (struct.pack('<i', 3) + flagged(picture) + flagged(inactive) + flagged(mask) +
            struct.pack('<i', len(actives)) + b''.join(actives) + text)


def compressed_file(raw):
    z = zlib.compress(raw, 9)
    return struct.pack('<ii', 3, len(z)) + z


def write(target, name, data):
    d = os.path.join(HERE, target)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), 'wb') as f:
        f.write(data)


TINY = (b"[VERSION]\r\nskinname=tiny\r\n[PICTURES]\r\npicture=f.bmp\r\nmask=m.bmp\r\nactivepicturescount=1\r\n0=a.bmp\r\n"
        b"[FORMINFO]\r\nclientrect=1,1,3,2\r\nlefttoppoint=1,1\r\nrightbottompoint=3,2\r\n"
        b"[SKINOBJECTS]\r\ncount=1\r\n0=close:stdbutton\r\n[SKINCONTROLS]\r\ncount=1\r\n0=button:button\r\n"
        b"[close]\r\nskinrect=0,0,2,2\r\ncommand=cmclose\r\n[button]\r\npictureindex=0\r\nskinrect=0,0,2,2\r\n"
        b"fontstyle=fsbold\r\n[SKINCOLORS]\r\ncbtnface=$FF00000F\r\n")

# Bitmaps: every depth, both row orders, short tables.
for bits in (1, 4, 8, 24, 32):
    for top in (False, True):
        write('bmp', 'd%02d_%s' % (bits, 'topdown' if top else 'bottomup'), bmp(5, 3, bits, top))
for bits, n in ((1, 1), (4, 3), (8, 5)):
    write('bmp', 'd%02d_short_table' % bits, bmp(7, 2, bits, table=[(255, 0, 0), (0, 255, 0), (0, 0, 255), (9, 9, 9), (1, 2, 3)][:n]))

# Packages: the first byte picks the reader (0 plain package, 1 compressed file).
tiny = package(TINY, bmp(4, 3, 24), bmp(4, 3, 1), [bmp(2, 2, 8, table=[(0, 0, 0), (255, 255, 255)])])
write('skin_package', 'tiny_plain', b'\0' + tiny)
write('skin_package', 'tiny_compressed', b'\1' + compressed_file(tiny))
for bits in (1, 4, 8, 24, 32):
    for top in (False, True):
        raw = package(TINY, bmp(3, 2, bits, top), None, [bmp(2, 3, bits, top)])
        write('skin_package', 'depth%02d_%s' % (bits, 'topdown' if top else 'bottomup'), b'\0' + raw)
write('skin_package', 'short_tables', b'\0' + package(TINY, bmp(3, 2, 8, table=[(1, 2, 3)]), bmp(3, 2, 4, table=[(0, 0, 0), (9, 9, 9)]), [bmp(2, 2, 1, table=[(5, 5, 5)])]))
# Record lists long enough to be sorted the long way, keys out of order.
lists_text = (b"[PICTURES]\r\nactivepicturescount=20\r\n" + b''.join(b"%d=p%d.bmp\r\n" % (i, i) for i in reversed(range(20))) +
              b"[SKINCONTROLS]\r\ncount=24\r\n" + b''.join(b"%d=c%d:button\r\n" % (i, i) for i in reversed(range(24))))
write('skin_package', 'long_lists', b'\0' + package(lists_text))
write('skin_package', 'version2_extras', b'\0' + struct.pack('<i', 2) + b'\1\1\1\0' + bmp(1, 1, 24) + b'\1' + struct.pack('<i', 0) + TINY)
if len(sys.argv) > 1:
    with open(sys.argv[1], 'rb') as f:
        write('skin_package', 'builtin_compressed', b'\1' + f.read())

# Descriptions: the tiny skin, the built-in one, and one file per section of it.
write('skin_description', 'tiny', TINY)
with open(os.path.join(ROOT, 'skins', 'default', 'skin.ini'), 'rb') as f:
    builtin = f.read()
write('skin_description', 'builtin', builtin)
sections = re.split(rb'(?m)^(?=\[)', builtin)
lists = {}
for part in sections:
    m = re.match(rb'\[(SKINOBJECTS|SKINCONTROLS)\]', part)
    if m:
        for name, typ in re.findall(rb'(?m)^\d+=([^:\r\n]+):(\w+)', part):
            lists[name.lower()] = (m.group(1), name, typ)
for part in sections:
    m = re.match(rb'\[([^\]\r\n]+)\]', part)
    if not m:
        continue
    name = m.group(1)
    text = part
    if name.lower() in lists:
        lst, n, typ = lists[name.lower()]
        text = b'[' + lst + b']\r\ncount=1\r\n0=' + n + b':' + typ + b'\r\n' + part
    safe = re.sub(rb'[^A-Za-z0-9_]', b'_', name).decode()
    write('skin_description', 'section_' + safe, text)

# The built-in skin's sections again, as small packages of a few kilobytes
# each: the package target reaches every record type without the large
# built-in seed, so its runs can stay short (-max_len=4096).
CHUNK = 3000
chunks, plain, recs, size = [], [], {}, 0
def flush():
    global plain, recs, size
    if not plain and not recs:
        return
    text = b''.join(plain)
    for lst, entries in recs.items():
        text += b'[' + lst + b']\r\ncount=%d\r\n' % len(entries)
        text += b''.join(b'%d=%s:%s\r\n' % (i, n, t) for i, (n, t, _) in enumerate(entries))
        text += b''.join(body for (_, _, body) in entries)
    chunks.append(text)
    plain, recs, size = [], {}, 0
for part in sections:
    m = re.match(rb'\[([^\]\r\n]+)\]', part)
    if not m or m.group(1) in (b'SKINOBJECTS', b'SKINCONTROLS'):
        continue
    if size + len(part) > CHUNK:
        flush()
    name = m.group(1)
    if name.lower() in lists:
        lst, n, typ = lists[name.lower()]
        recs.setdefault(lst, []).append((n, typ, part))
        size += len(part) + len(n) + len(typ) + 8
    else:
        plain.append(part)
        size += len(part)
flush()
pics = (bmp(4, 3, 24), bmp(4, 3, 1), [bmp(2, 2, 8, table=[(0, 0, 0), (255, 255, 255)])])
for i, text in enumerate(chunks):
    write('skin_package', 'builtin_part%02d' % i, b'\0' + package(text, pics[0], pics[1], pics[2]))
