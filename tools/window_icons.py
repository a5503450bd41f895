#!/usr/bin/env python3
"""Draws the 32 x 32 pictures of the window's command buttons into src/window/icons/, and the
program's icon (48 x 48 and 128 x 128 PNG, the same shapes as SVG, and a Windows icon file with
16, 32, 48 and 256 pixel images for the Windows program's resource) into packaging/icons/.

Plain Python, no imaging library: each picture is a list of filled shapes painted in order, sampled
4 x 4 per pixel for smooth edges, and written as an RGBA PNG. Run it again after changing a shape.
"""
import os
import struct
import zlib

SIZE, SAMPLES = 32, 4


def shape(inside, svg):
    """A point test for the PNG, with the same shape as an SVG element (fill added later)."""
    inside.svg = svg
    return inside


def rect(x0, y0, x1, y1):
    return shape(lambda x, y: x0 <= x < x1 and y0 <= y < y1,
                 f'<rect x="{x0}" y="{y0}" width="{x1 - x0}" height="{y1 - y0}"')


def poly(*points):
    """A convex or concave polygon (even-odd rule)."""
    def inside(x, y):
        hit = False
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                hit = not hit
        return hit
    return shape(inside, '<polygon fill-rule="evenodd" points="%s"' % " ".join(f"{x},{y}" for x, y in points))


def circle(cx, cy, r):
    return ellipse(cx, cy, r, r)


def ellipse(cx, cy, rx, ry):
    return shape(lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1,
                 f'<ellipse cx="{cx}" cy="{cy}" rx="{rx}" ry="{ry}"')


def glyphs(text, left, top, scale):
    """Block letters of a 3 x 5 grid."""
    font = {"P": ["111", "101", "111", "100", "100"], "D": ["110", "101", "101", "101", "110"],
            "F": ["111", "100", "110", "100", "100"]}
    cells = []
    for i, ch in enumerate(text):
        for row, bits in enumerate(font[ch]):
            for col, bit in enumerate(bits):
                if bit == "1":
                    x = left + (i * 4 + col) * scale
                    cells.append(rect(x, top + row * scale, x + scale, top + (row + 1) * scale))
    return shape(lambda x, y: any(c(x, y) for c in cells), "/>".join(c.svg for c in cells))


GREY, DARK, WHITE = (96, 96, 104, 255), (40, 40, 48, 255), (255, 255, 255, 255)
PICTURES = {
    "crea_pdf": [
        (poly((6, 2), (20, 2), (27, 9), (27, 30), (6, 30)), GREY),
        (poly((7, 3), (19.5, 3), (26, 9.5), (26, 29), (7, 29)), WHITE),
        (poly((19, 2), (27, 10), (19, 10)), GREY),
        (rect(9, 13, 24, 14), (170, 170, 180, 255)),
        (rect(9, 27, 24, 28), (170, 170, 180, 255)),
        (rect(3, 16, 29, 26), (200, 30, 36, 255)),
        (glyphs("PDF", 5, 16, 2), WHITE),
    ],
    "stampa_laser": [
        (rect(9, 2, 23, 12), GREY),
        (rect(10, 3, 22, 12), WHITE),
        (rect(3, 11, 29, 24), GREY),
        (rect(4, 12, 28, 23), (200, 200, 208, 255)),
        (rect(7, 17, 25, 19), DARK),
        (circle(25, 14.5, 1.3), (40, 180, 60, 255)),
        (rect(8, 20, 24, 30), GREY),
        (rect(9, 20, 23, 29), WHITE),
        (rect(11, 23, 21, 24), (170, 170, 180, 255)),
        (rect(11, 26, 19, 27), (170, 170, 180, 255)),
    ],
    "uscita": [
        (rect(4, 2, 20, 30), (90, 60, 30, 255)),
        (rect(6, 4, 18, 30), (30, 30, 36, 255)),
        (poly((6, 4), (15, 7), (15, 31), (6, 30)), (170, 110, 50, 255)),
        (circle(13, 18, 1), (240, 210, 80, 255)),
        (poly((17, 13), (24, 13), (24, 8), (31, 16), (24, 24), (24, 19), (17, 19)), (30, 150, 50, 255)),
    ],
}


# The program's icon, on a 48-unit grid: a list sheet with its heading and rows, and a stack of coins.
APP_GRID = 48
GOLD, GOLD_EDGE, GOLD_LIGHT = (232, 178, 40, 255), (170, 118, 20, 255), (250, 214, 110, 255)
APP_ICON = [
    (poly((7, 2), (31, 2), (40, 11), (40, 46), (7, 46)), GREY),
    (poly((8, 3), (30.5, 3), (39, 11.5), (39, 45), (8, 45)), WHITE),
    (poly((30, 2), (40, 12), (30, 12)), GREY),
    (rect(11, 14, 36, 19), (30, 90, 160, 255)),
    (rect(11, 22, 36, 23.5), (170, 170, 180, 255)),
    (rect(11, 27, 36, 28.5), (170, 170, 180, 255)),
    (rect(11, 32, 28, 33.5), (170, 170, 180, 255)),
    (rect(11, 37, 24, 38.5), (170, 170, 180, 255)),
    (rect(18, 19, 19.5, 41), (170, 170, 180, 255)),
]
for top in (41, 36.5, 32):  # from the bottom coin up
    APP_ICON += [
        (ellipse(36, top + 2.5, 10, 3.5), GOLD_EDGE),
        (rect(26, top, 46, top + 2.5), GOLD_EDGE),
        (ellipse(36, top, 10, 3.5), GOLD),
        (ellipse(36, top, 6.5, 2), GOLD_LIGHT),
    ]


def render(shapes, size=SIZE, grid=SIZE):
    rows = []
    for py in range(size):
        row = bytearray([0])  # filter: none
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) * grid / size
                    y = (py + (sy + 0.5) / SAMPLES) * grid / size
                    colour = None
                    for inside, c in shapes:
                        if inside(x, y):
                            colour = c
                    if colour:
                        for k in range(3):
                            acc[k] += colour[k] * colour[3] / 255
                        acc[3] += colour[3]
            n = SAMPLES * SAMPLES
            alpha = acc[3] / n
            rgb = [round(acc[k] / n * 255 / alpha) if alpha else 0 for k in range(3)]
            row += bytes(rgb + [round(alpha)])
        rows.append(bytes(row))
    return b"".join(rows)


def png(pixels, size=SIZE):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(pixels, 9)) + chunk(b"IEND", b"")


def ico(images):
    """A Windows icon file of PNG images (as Windows Vista and later read them), given as {size: png}."""
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries, data = b"", b""
    for size, image in sorted(images.items()):
        # Width and height 0 stand for 256; 32 bits per pixel (RGBA).
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(image), offset + len(data))
        data += image
    return header + entries + data


def svg(shapes, grid):
    out = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{grid}" height="{grid}" '
           f'viewBox="0 0 {grid} {grid}">']
    for inside, (r, g, b, a) in shapes:
        fill = f' fill="#{r:02x}{g:02x}{b:02x}"' + (f' fill-opacity="{a / 255:.3f}"' if a < 255 else "")
        out += [f"  {element}{fill}/>" for element in inside.svg.split("/>")]
    return "\n".join(out + ["</svg>", ""])


if __name__ == "__main__":
    top = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    folder = os.path.join(top, "src", "window", "icons")
    os.makedirs(folder, exist_ok=True)
    for name, shapes in PICTURES.items():
        with open(os.path.join(folder, name + ".png"), "wb") as f:
            f.write(png(render(shapes)))
    folder = os.path.join(top, "packaging", "icons")
    os.makedirs(folder, exist_ok=True)
    images = {size: png(render(APP_ICON, size, APP_GRID), size) for size in (16, 32, 48, 128, 256)}
    for size in (48, 128):
        with open(os.path.join(folder, f"kvteso-{size}.png"), "wb") as f:
            f.write(images[size])
    with open(os.path.join(folder, "kvteso.ico"), "wb") as f:
        f.write(ico({size: images[size] for size in (16, 32, 48, 256)}))
    with open(os.path.join(folder, "kvteso.svg"), "w") as f:
        f.write(svg(APP_ICON, APP_GRID))
