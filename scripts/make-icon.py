#!/usr/bin/env python3
"""Draw the Quillmast application icon and write it as PNGs and one .ico.

The icon is a blue speech bubble with three dots and a small orange mast
with radio waves. It is drawn from signed-distance shapes with 8x8
supersampling, so every size is rendered (not scaled) and the output is
byte-for-byte reproducible. Standard library only.

Output (default folder src/qt/widgets/icons):
  quillmast-16.png, quillmast-32.png, quillmast-48.png   (RGBA)
  quillmast.ico   nine images: 16, 32, 48 px at 8, 24 and 32 bits per pixel

With --hicolor [folder] (default packaging/icons) it writes instead the
desktop icon theme's layout for the install package:
  NxN/apps/quillmast.png for N in 16, 32, 48, 64, 128, 256
"""

import math
import os
import struct
import sys
import zlib

DESIGN = 48.0  # shapes are laid out on a 48 x 48 grid
SUBSAMPLES = 8

BUBBLE = (0x1F, 0x6F, 0xC5)
BUBBLE_EDGE = (0x0E, 0x3F, 0x7A)
DOTS = (0xFF, 0xFF, 0xFF)
MAST = (0xF0, 0x8C, 0x1E)


def sd_round_rect(px, py, x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    hx, hy = (x1 - x0) / 2 - r, (y1 - y0) / 2 - r
    qx, qy = abs(px - cx) - hx, abs(py - cy) - hy
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - r


def sd_segment(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)
    t = min(max(t, 0.0), 1.0)
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def sd_triangle(px, py, a, b, c):
    d = min(sd_segment(px, py, *a, *b), sd_segment(px, py, *b, *c), sd_segment(px, py, *c, *a))

    def side(p, q):
        return (q[0] - p[0]) * (py - p[1]) - (q[1] - p[1]) * (px - p[0])

    s1, s2, s3 = side(a, b), side(b, c), side(c, a)
    inside = (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)
    return -d if inside else d


def sd_arc(px, py, cx, cy, radius, half_width, a0, a1):
    ang = math.atan2(py - cy, px - cx)
    if a0 <= ang <= a1:
        return abs(math.hypot(px - cx, py - cy) - radius) - half_width
    ends = [(cx + radius * math.cos(a), cy + radius * math.sin(a)) for a in (a0, a1)]
    return min(math.hypot(px - ex, py - ey) for ex, ey in ends) - half_width


# Shape parameters on the 48 grid. The 16 px image has its own set, snapped
# to whole pixels (3 grid units each) and without the waves, which would
# only blur at that size.
LARGE = {
    "bubble": (2.0, 14.0, 40.0, 38.0, 7.0),
    "tail": ((8.0, 34.0), (19.0, 34.0), (6.0, 46.0)),
    "edge": 2.0,
    "dots": ((12.0, 26.0), (21.0, 26.0), (30.0, 26.0), 3.4),
    "square_dots": False,
    "mast": (36.0, 16.0, 8.0, 1.6),
    "ball": (36.0, 6.5, 3.2),
    "waves": (7.5, 11.5),
}
SMALL = {
    "bubble": (0.0, 15.0, 42.0, 39.0, 4.5),
    "tail": ((3.0, 36.0), (15.0, 36.0), (3.0, 46.5)),
    "edge": 3.0,
    "dots": ((12.0, 27.0), (21.0, 27.0), (30.0, 27.0), 3.0),
    "square_dots": True,
    "mast": (40.5, 15.0, 6.0, 1.5),
    "ball": (40.5, 4.5, 4.5),
    "waves": (),
}


def sample(x, y, shape):
    """Colour (r, g, b) or None for transparent at design point (x, y)."""
    # Mast with radio waves, top right; drawn over the bubble.
    mx, my0, my1, mw = shape["mast"]
    bx, by, br = shape["ball"]
    mast = min(sd_segment(x, y, mx, my0, mx, my1) - mw, math.hypot(x - bx, y - by) - br)
    waves = min((sd_arc(x, y, bx, by, r, 1.1, -1.0, 1.0) for r in shape["waves"]), default=1.0)
    if mast <= 0 or waves <= 0:
        return MAST

    bubble = min(sd_round_rect(x, y, *shape["bubble"]), sd_triangle(x, y, *shape["tail"]))
    if bubble > 0:
        return None
    *centres, radius = shape["dots"]
    for cx, cy in centres:
        if shape["square_dots"]:
            inside = abs(x - cx) <= radius and abs(y - cy) <= radius
        else:
            inside = math.hypot(x - cx, y - cy) <= radius
        if inside:
            return DOTS
    return BUBBLE_EDGE if bubble > -shape["edge"] else BUBBLE


def render(size):
    """Rows of (r, g, b, a) pixels, straight (not premultiplied) alpha."""
    scale = DESIGN / size
    shape = SMALL if size <= 16 else LARGE
    n = SUBSAMPLES
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0]
            hits = 0
            for sy in range(n):
                for sx in range(n):
                    c = sample((px + (sx + 0.5) / n) * scale, (py + (sy + 0.5) / n) * scale, shape)
                    if c is not None:
                        hits += 1
                        acc[0] += c[0]
                        acc[1] += c[1]
                        acc[2] += c[2]
            if hits == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append((round(acc[0] / hits), round(acc[1] / hits), round(acc[2] / hits),
                            round(255 * hits / (n * n))))
        rows.append(row)
    return rows


def png_bytes(rows):
    size = len(rows)
    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in rows)

    def chunk(tag, data):
        return (struct.pack(">I", len(data)) + tag + data
                + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF))

    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def median_cut(colours, limit):
    """A palette of at most `limit` colours for the given list of (r, g, b)."""
    unique = sorted(set(colours))
    if len(unique) <= limit:
        return unique
    boxes = [unique]
    while len(boxes) < limit:
        boxes.sort(key=lambda b: max(max(c[i] for c in b) - min(c[i] for c in b) for i in range(3)))
        box = boxes.pop()
        if len(box) < 2:
            boxes.append(box)
            break
        axis = max(range(3), key=lambda i: max(c[i] for c in box) - min(c[i] for c in box))
        box.sort(key=lambda c: c[axis])
        half = len(box) // 2
        boxes += [box[:half], box[half:]]
    return [tuple(round(sum(c[i] for c in b) / len(b)) for i in range(3)) for b in boxes]


def nearest(palette, c):
    return min(range(len(palette)),
               key=lambda i: sum((palette[i][k] - c[k]) ** 2 for k in range(3)))


def dib_bytes(rows, bpp):
    """One icon image as a DIB: header, [palette], XOR bitmap, AND mask (bottom-up)."""
    size = len(rows)
    opaque = [[p[3] >= 128 for p in row] for row in rows]

    def padded(b):
        return b + b"\0" * (-len(b) % 4)

    palette = []
    if bpp == 8:
        palette = median_cut([p[:3] for row in rows for p in row if p[3] >= 128], 256)
        lookup = {}
    xor = b""
    for y in range(size - 1, -1, -1):
        line = bytearray()
        for x, p in enumerate(rows[y]):
            if bpp == 32:
                line += bytes((p[2], p[1], p[0], p[3]))
            elif not opaque[y][x]:
                line += b"\0" if bpp == 8 else b"\0\0\0"
            elif bpp == 24:
                line += bytes((p[2], p[1], p[0]))
            else:
                key = p[:3]
                if key not in lookup:
                    lookup[key] = nearest(palette, key)
                line += bytes((lookup[key],))
        xor += padded(bytes(line))
    mask = b""
    for y in range(size - 1, -1, -1):
        bits = 0
        line = bytearray()
        for x in range(size):
            bits = (bits << 1) | (0 if opaque[y][x] else 1)
            if x % 8 == 7:
                line.append(bits)
                bits = 0
        mask += padded(bytes(line))
    # A full 256-entry colour table (unused entries black) with biClrUsed 0
    # is the form every reader accepts for an 8-bit image.
    if bpp == 8:
        palette += [(0, 0, 0)] * (256 - len(palette))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0, len(xor) + len(mask),
                         0, 0, 0, 0)
    pal = b"".join(bytes((c[2], c[1], c[0], 0)) for c in palette)
    return header + pal + xor + mask


def ico_bytes(images):
    """images: list of (size, bpp, rows)."""
    blobs = [(size, bpp, dib_bytes(rows, bpp)) for size, bpp, rows in images]
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for size, bpp, data in blobs:
        # Colour count 0: 256 colours for 8-bit images, none for deeper ones.
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bpp, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, _, data in blobs)


def write_hicolor(out):
    for size in (16, 32, 48, 64, 128, 256):
        folder = os.path.join(out, "%dx%d" % (size, size), "apps")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "quillmast.png"), "wb") as f:
            f.write(png_bytes(render(size)))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    if sys.argv[1:2] == ["--hicolor"]:
        write_hicolor(sys.argv[2] if len(sys.argv) > 2 else os.path.join(here, "..", "packaging", "icons"))
        return
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "src", "qt", "widgets", "icons")
    os.makedirs(out, exist_ok=True)
    rendered = {size: render(size) for size in (16, 32, 48)}
    for size, rows in rendered.items():
        with open(os.path.join(out, "quillmast-%d.png" % size), "wb") as f:
            f.write(png_bytes(rows))
    images = [(size, bpp, rendered[size]) for bpp in (8, 24, 32) for size in (16, 32, 48)]
    with open(os.path.join(out, "quillmast.ico"), "wb") as f:
        f.write(ico_bytes(images))


if __name__ == "__main__":
    main()
