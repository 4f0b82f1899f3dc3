#!/usr/bin/env python3
"""Draw the about box picture and the outbox path dialog's icon.

about.png: 300 x 300, 24-bit RGB (no alpha), on white: the application logo
(drawn by make-icon.py at 88 px), "Korvane" above "Quillmast", a notice with
its year and the web address. The version line is left blank: the about box
writes the project's version (from CMake) into that band when it loads the
picture, so the picture never goes stale. The box shows the picture unscaled
from its top-left corner; its right-most column and bottom 27 rows fall
outside the 299 x 273 client area, and the OK button covers the bottom right
(x 192..288, y 232..256), so nothing is placed there.

changepath-32.png: 32 x 32 RGBA, an open yellow folder with a green arrow,
drawn like the application icon (signed distances, 8x8 supersampling).

Needs python3 and ImageMagick's convert (fonts-dejavu-core). Output
(default folder src/qt/dialogs/images) is reproducible byte for byte.
"""

import importlib.util
import math
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
FONTS = "/usr/share/fonts/truetype/dejavu"
YEAR = 2026
WEB = "www.korvane.example"
NOTICE = "Copyright \u00a9 %d Korvane. All rights reserved." % YEAR

# Where the about box writes "Version x.y.z": centre x, baseline y. Keep in
# step with frmabout.cpp.
VERSION_BASELINE = 206


def load_icon_module():
    loader = importlib.util.spec_from_file_location("make_icon",
                                                    os.path.join(HERE, "make-icon.py"))
    module = importlib.util.module_from_spec(loader)
    loader.loader.exec_module(module)
    return module


def about(out, icon):
    logo_size = 88
    with tempfile.TemporaryDirectory() as tmp:
        logo = os.path.join(tmp, "logo.png")
        with open(logo, "wb") as f:
            f.write(icon.png_bytes(icon.render(logo_size)))
        regular = os.path.join(FONTS, "DejaVuSans.ttf")
        bold = os.path.join(FONTS, "DejaVuSans-Bold.ttf")
        cmd = [
            "convert", "-size", "300x300", "xc:white",
            logo, "-geometry", "+%d+12" % ((300 - logo_size) // 2), "-composite",
            "-gravity", "North",
            "-font", regular, "-pointsize", "13", "-kerning", "3", "-fill", "#5A6270",
            "-annotate", "+0+106", "Korvane",
            "-kerning", "0",
            "-font", bold, "-pointsize", "27", "-fill", "#1F6FC5",
            "-annotate", "+0+124", "Quillmast",
            "-gravity", "NorthWest",
            "-stroke", "#F08C1E", "-strokewidth", "2", "-draw", "line 40,168 259,168",
            "-stroke", "none",
            "-gravity", "North",
            "-font", regular, "-pointsize", "7.5", "-fill", "#404040",
            "-annotate", "+0+180", NOTICE,
            "-gravity", "NorthWest",
            "-font", bold, "-pointsize", "8", "-fill", "#1F6FC5",
            "-annotate", "+14+239", WEB,
            # A band along the bottom edge, mostly outside the box.
            "-fill", "#1F6FC5", "-draw", "rectangle 0,268 299,299",
            "-fill", "#F08C1E", "-draw", "rectangle 0,266 299,267",
            "-type", "TrueColor", "-define", "png:color-type=2", "-define", "png:bit-depth=8",
            "-define", "png:exclude-chunks=date,time", "+set", "date:create",
            "+set", "date:modify", "-strip",
            "PNG24:" + os.path.join(out, "about.png"),
        ]
        subprocess.run(cmd, check=True)


def folder_sample(x, y, icon):
    """Colour or None on a 32 x 32 design grid."""
    sd = icon.sd_round_rect
    arrow_body = icon.sd_segment(x, y, 13.0, 20.0, 25.0, 20.0) - 1.8
    head = icon.sd_triangle(x, y, (23.0, 13.5), (31.0, 20.0), (23.0, 26.5))
    if min(arrow_body, head) <= 0:
        return (0x2E, 0x9E, 0x3F)
    front = sd(x, y, 1.0, 10.0, 28.0, 29.0, 2.0)
    tab = sd(x, y, 1.0, 5.0, 13.0, 12.0, 2.0)
    back = sd(x, y, 1.0, 7.0, 28.0, 14.0, 2.0)
    if front <= 0:
        return (0xB8, 0x86, 0x0B) if front > -1.2 else (0xF5, 0xC2, 0x42)
    if min(tab, back) <= 0:
        return (0xB8, 0x86, 0x0B) if min(tab, back) > -1.2 else (0xE0, 0xA8, 0x2E)
    return None


def path_icon(out, icon):
    size, n = 32, 8
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc, hits = [0, 0, 0], 0
            for sy in range(n):
                for sx in range(n):
                    c = folder_sample(px + (sx + 0.5) / n, py + (sy + 0.5) / n, icon)
                    if c is not None:
                        hits += 1
                        for i in range(3):
                            acc[i] += c[i]
            if hits == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(round(a / hits) for a in acc) + (round(255 * hits / (n * n)),))
        rows.append(row)
    with open(os.path.join(out, "changepath-32.png"), "wb") as f:
        f.write(icon.png_bytes(rows))


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "src", "qt", "dialogs",
                                                              "images")
    os.makedirs(out, exist_ok=True)
    icon = load_icon_module()
    about(out, icon)
    path_icon(out, icon)


if __name__ == "__main__":
    main()
