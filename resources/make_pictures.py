#!/usr/bin/env python3
"""Makes Quorvale's pictures: the cursors, the About-box pictures and the help illustrations.

    python3 resources/make_pictures.py

Standard library only (PNGs are written with zlib). The output is the same on every run, so the
PNGs in the repository can be checked against their sources by running this again and looking
at `git status`.

- cursors/*.xpm are the cursor sources, drawn by hand as text; each becomes cursors/*.png
  (32 x 32, black and white on transparency). The hot spot in an XPM header is for the reader;
  the program takes its hot spots from platform/Cursors.cpp.
- about/biomorph.png is grown here from a genome, with the same branching rules the program
  uses.
- icons/hicolor/ holds the application icon, a morph too: PNGs at the theme's sizes and a
  scalable SVG. The program's window icon and the About box's logo are these same pictures.
- help/images/*.png illustrate the help pages.
"""

import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))


# --- PNG -------------------------------------------------------------------------------------


def write_png(path, width, height, rgba):
    """Writes 8-bit RGBA pixels (a bytes-like of width * height * 4) as a PNG file."""
    stride = width * 4
    raw = b"".join(b"\x00" + bytes(rgba[y * stride:(y + 1) * stride]) for y in range(height))

    def chunk(kind, data):
        crc = zlib.crc32(kind + data) & 0xFFFFFFFF
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", crc)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
           + chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(png)


# --- Cursors ---------------------------------------------------------------------------------


def read_xpm(path):
    """Reads a one-character-per-pixel XPM: returns (width, height, rows, colours)."""
    with open(path) as f:
        strings = [line.split('"')[1] for line in f if line.strip().startswith('"')]
    width, height, ncolours, cpp = (int(v) for v in strings[0].split()[:4])
    if cpp != 1:
        raise ValueError(f"{path}: one character per pixel expected")
    colours = {}
    for entry in strings[1:1 + ncolours]:
        key, spec = entry[0], entry[1:].split()
        value = spec[spec.index("c") + 1]
        if value.lower() == "none":
            colours[key] = (0, 0, 0, 0)
        else:
            colours[key] = (int(value[1:3], 16), int(value[3:5], 16), int(value[5:7], 16), 255)
    rows = strings[1 + ncolours:1 + ncolours + height]
    if len(rows) != height or any(len(r) != width for r in rows):
        raise ValueError(f"{path}: rows do not match the header")
    return width, height, rows, colours


def make_cursors():
    folder = os.path.join(HERE, "cursors")
    for name in sorted(os.listdir(folder)):
        if not name.endswith(".xpm"):
            continue
        width, height, rows, colours = read_xpm(os.path.join(folder, name))
        pixels = bytearray()
        for row in rows:
            for ch in row:
                pixels += bytes(colours[ch])
        write_png(os.path.join(folder, name[:-4] + ".png"), width, height, pixels)


# --- Growing a biomorph ----------------------------------------------------------------------


def trunc_div(a, b):
    q = abs(a) // abs(b)
    return q if (a >= 0) == (b > 0) else -q


def mul_div(a, b, c):
    """a * b / c rounded to the nearest integer, halves away from zero."""
    num = a * b
    q, r = divmod(abs(num), abs(c))
    if 2 * r >= abs(c):
        q += 1
    return q if (num >= 0) == (c > 0) else -q


BASIC = [-10, -10, -10, -10, -10, 0, 10, 10, 7, 1, 20, 0, 0, 100, 0, 1, 2, 1, 0]


def genome(changes=None, gradients=None):
    """Genes 1-19 and gradients 1-19 as 20-element lists (element 0 unused)."""
    genes = [0] + list(BASIC)
    grads = [0] * 20
    for k, v in (changes or {}).items():
        genes[k] = v
    for k, v in (gradients or {}).items():
        grads[k] = v
    return genes, grads


def develop(genes, grads, orientation=0):
    """The strokes of a morph with every special gene present: a list of
    (x0, y0, x1, y1, level, segment), level counting down from the depth to 1."""
    strokes = []

    def directions(e):
        w = [0] + [trunc_div(e[k], 10) for k in range(1, 9)]
        dx = [w[2], w[1], 0, -w[1], -w[2], -w[3], 0, w[3]]
        dy = [-w[6], -w[5], -w[4], -w[5], -w[6], -w[7], -w[8], -w[7]]
        return dx, dy

    def step(dx, dy, c, o):
        return [(-dx[c], dy[c]), (dy[c], dx[c]), (dx[c], -dy[c]), (-dy[c], -dx[c])][o]

    def tree(x, y, n, c, a, j, alt, dx, dy):
        while True:
            c = c + 8 if c < 0 else c - 8 if c >= 8 else c
            l, m = step(dx, dy, c, a)
            s = genes[14] if genes[14] != 0 else 1
            s += 5 * j * grads[14]
            x1, y1 = x + mul_div(n * l, s, 100), y - mul_div(n * m, s, 100)
            strokes.append((x, y, x1, y1, n, j))
            if n <= 1:
                return
            one_sided = genes[12] != 0 and n == genes[9]
            if not one_sided or alt:
                tree(x1, y1, n - 1, c + 1, a, j, alt, dx, dy)
            if one_sided and alt:
                return
            x, y, n, c = x1, y1, n - 1, c - 1

    arms = 1 if genes[13] == 0 else 4
    for i in range(arms):
        if genes[13] == 0:
            a = orientation
        elif genes[13] == 1 and i in (1, 3):
            continue
        else:
            a = (orientation + i) % 4
        x = y = 0
        d = genes[11]
        alt = True
        for j in range(genes[10]):
            d += j * grads[11]
            if j > 0:
                x, y = [(x, y - d), (x + d, y), (x, y + d), (x - d, y)][a]
            e = [0] + [genes[k] + 5 * j * grads[k] for k in range(1, 9)]
            depth = max(0, min(9, genes[9] + j * grads[9]))
            dx, dy = directions(e)
            tree(x, y, depth, 2, a, j, alt, dx, dy)
            alt = not alt
    return strokes


def mutate(genes, rng):
    """One mutation pass on genes 1-9 (the start-up settings), for illustrations."""
    steps = [0, 5, 5, 5, 5, 5, 5, 5, 5, 1]
    limits = [None] + [(-400, 400)] * 8 + [(1, 9)]
    r = rng() % 100 + 1
    if r <= 10:
        return
    g = rng() % 9 + 1
    v = genes[g] + (steps[g] if rng() % 2 == 0 else -steps[g])
    genes[g] = max(limits[g][0], min(limits[g][1], v))


def lcg(seed):
    state = [seed]

    def rand():
        state[0] = (state[0] * 214013 + 2531011) & 0xFFFFFFFF
        return (state[0] >> 16) & 0x7FFF

    return rand


# --- Drawing ---------------------------------------------------------------------------------


class Canvas:
    """An RGBA canvas drawn at `ss` times the final size and averaged down, for smooth lines."""

    def __init__(self, width, height, ss=4, background=(0, 0, 0, 0)):
        self.w, self.h, self.ss = width, height, ss
        self.W, self.H = width * ss, height * ss
        self.px = [list(background) for _ in range(self.W * self.H)]

    def plot(self, x, y, colour):
        if 0 <= x < self.W and 0 <= y < self.H:
            self.px[y * self.W + x] = list(colour)

    def disc(self, cx, cy, r, colour):
        """A filled disc, in final-image units."""
        s = self.ss
        for y in range(int((cy - r) * s) - 1, int((cy + r) * s) + 2):
            for x in range(int((cx - r) * s) - 1, int((cx + r) * s) + 2):
                if math.hypot((x + 0.5) / s - cx, (y + 0.5) / s - cy) <= r:
                    self.plot(x, y, colour)

    def line(self, x0, y0, x1, y1, width, colour):
        """A line with round ends, in final-image units."""
        s, r = self.ss, width / 2.0
        lo_x, hi_x = int((min(x0, x1) - r) * s) - 1, int((max(x0, x1) + r) * s) + 2
        lo_y, hi_y = int((min(y0, y1) - r) * s) - 1, int((max(y0, y1) + r) * s) + 2
        dx, dy = x1 - x0, y1 - y0
        length2 = dx * dx + dy * dy
        for y in range(max(lo_y, 0), min(hi_y, self.H)):
            for x in range(max(lo_x, 0), min(hi_x, self.W)):
                px, py = (x + 0.5) / s - x0, (y + 0.5) / s - y0
                t = 0.0 if length2 == 0 else max(0.0, min(1.0, (px * dx + py * dy) / length2))
                if math.hypot(px - t * dx, py - t * dy) <= r:
                    self.px[y * self.W + x] = list(colour)

    def rect(self, x0, y0, x1, y1, colour):
        """A filled rectangle in final pixels, edges included."""
        s = self.ss
        for y in range(y0 * s, (y1 + 1) * s):
            for x in range(x0 * s, (x1 + 1) * s):
                self.plot(x, y, colour)

    def save(self, path):
        s, out = self.ss, bytearray()
        n = s * s
        for y in range(self.h):
            for x in range(self.w):
                acc = [0, 0, 0, 0]
                for yy in range(y * s, y * s + s):
                    for xx in range(x * s, x * s + s):
                        r, g, b, a = self.px[yy * self.W + xx]
                        acc[0] += r * a
                        acc[1] += g * a
                        acc[2] += b * a
                        acc[3] += a
                alpha = acc[3]
                if alpha == 0:
                    out += bytes(4)
                else:
                    out += bytes([round(acc[0] / alpha), round(acc[1] / alpha),
                                  round(acc[2] / alpha), round(alpha / n)])
        write_png(path, self.w, self.h, out)


def fit(strokes, width, height, margin, max_scale):
    """Scale and offset that centre the strokes in a width x height picture."""
    xs = [p for s in strokes for p in (s[0], s[2])]
    ys = [p for s in strokes for p in (s[1], s[3])]
    span_x, span_y = max(xs) - min(xs), max(ys) - min(ys)
    scale = min(max_scale, (width - 2 * margin) / max(span_x, 1), (height - 2 * margin) / max(span_y, 1))
    ox = width / 2.0 - scale * (min(xs) + max(xs)) / 2.0
    oy = height / 2.0 - scale * (min(ys) + max(ys)) / 2.0
    return scale, ox, oy


def draw_morph(canvas, strokes, scale, ox, oy, width, colour_of):
    for (x0, y0, x1, y1, level, seg) in strokes:
        canvas.line(ox + scale * x0, oy + scale * y0, ox + scale * x1, oy + scale * y1, width,
                    colour_of(level, seg))


def morph_picture(path, genes, grads, size=96, max_scale=3.0, width=1.3):
    strokes = develop(genes, grads)
    canvas = Canvas(size, size, background=(255, 255, 255, 255))
    scale, ox, oy = fit(strokes, size, size, 5, max_scale)
    draw_morph(canvas, strokes, scale, ox, oy, width, lambda level, seg: (0, 0, 0, 255))
    canvas.save(path)


def hls_colour(index):
    """The program's palette entry: 8 rows of lightness, 20 columns of hue."""
    row, col = divmod(index, 20)
    hue, light = 360.0 - 18.0 * col, 1.0 - row / 8.0
    m2 = light * 2.0 if light <= 0.5 else light + 1.0 - light
    m1 = 2.0 * light - m2

    def f(h):
        if h > 360:
            h -= 360
        elif h < 0:
            h += 360
        if h < 60:
            return m1 + (m2 - m1) * h / 60.0
        if h < 180:
            return m2
        if h < 240:
            return m1 + (m2 - m1) * (240 - h) / 60.0
        return m1

    return (int(255 * f(hue + 120)), int(255 * f(hue)), int(255 * f(hue - 120)), 255)


# --- About-box pictures ----------------------------------------------------------------------


def make_about():
    folder = os.path.join(HERE, "about")
    os.makedirs(folder, exist_ok=True)

    # A bushy tree of depth 8 whose colour lightens from the trunk to the twigs.
    genes, grads = genome({1: -10, 2: -20, 3: -30, 4: -20, 5: -20, 6: -10, 7: 10, 8: 20, 9: 8})
    strokes = develop(genes, grads)
    canvas = Canvas(96, 96)
    scale, ox, oy = fit(strokes, 96, 96, 3, 10.0)
    shades = {8: (70, 45, 20), 7: (90, 60, 25), 6: (40, 95, 40), 5: (45, 120, 45),
              4: (55, 140, 50), 3: (80, 160, 55), 2: (115, 180, 60), 1: (150, 200, 70)}
    draw_morph(canvas, strokes, scale, ox, oy, 1.5,
               lambda level, seg: shades.get(level, (70, 45, 20)) + (255,))
    canvas.save(os.path.join(folder, "biomorph.png"))



# --- The application icon --------------------------------------------------------------------

APP_ID = "io.github.quorvale.Quorvale"
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
ICON_RIM = (230, 240, 235)
ICON_GROUND = (24, 96, 112)


def icon_tree():
    """The icon's morph: a white tree of depth 5, and its placement in a 64-unit square."""
    genes, grads = genome({1: -20, 2: -20, 3: -10, 4: -30, 5: -20, 6: 0, 7: 10, 8: 10, 9: 5})
    strokes = develop(genes, grads)
    scale, ox, oy = fit(strokes, 64, 64, 12, 10.0)
    return strokes, scale, ox, oy


def make_icons():
    """The icon at every hicolor size, and as a scalable SVG: a white tree on a deep teal disc
    with a light rim. The 64-pixel one is also the About box's logo and the window icon."""
    strokes, scale, ox, oy = icon_tree()
    base = os.path.join(HERE, "icons", "hicolor")
    for size in ICON_SIZES:
        k = size / 64.0
        canvas = Canvas(size, size, ss=4 if size <= 64 else 2)
        canvas.disc(size / 2, size / 2, 31 * k, ICON_RIM + (255,))
        canvas.disc(size / 2, size / 2, 29 * k, ICON_GROUND + (255,))
        draw_morph(canvas, strokes, scale * k, ox * k, oy * k, max(2.2 * k, 1.1),
                   lambda level, seg: (255, 255, 255, 255))
        folder = os.path.join(base, f"{size}x{size}", "apps")
        os.makedirs(folder, exist_ok=True)
        canvas.save(os.path.join(folder, APP_ID + ".png"))

    def hexcolour(c):
        return "#%02x%02x%02x" % c

    lines = "".join(
        f'    <line x1="{ox + scale * x0:.3f}" y1="{oy + scale * y0:.3f}" '
        f'x2="{ox + scale * x1:.3f}" y2="{oy + scale * y1:.3f}"/>\n'
        for (x0, y0, x1, y1, level, seg) in strokes)
    svg = (f'<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">\n'
           f'  <circle cx="32" cy="32" r="31" fill="{hexcolour(ICON_RIM)}"/>\n'
           f'  <circle cx="32" cy="32" r="29" fill="{hexcolour(ICON_GROUND)}"/>\n'
           f'  <g stroke="#ffffff" stroke-width="2.2" stroke-linecap="round">\n'
           f'{lines}  </g>\n</svg>\n')
    folder = os.path.join(base, "scalable", "apps")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, APP_ID + ".svg"), "w") as f:
        f.write(svg)


# --- Help illustrations ----------------------------------------------------------------------


def make_help_images():
    folder = os.path.join(HERE, "help", "images")
    os.makedirs(folder, exist_ok=True)

    def out(name):
        return os.path.join(folder, name)

    morph_picture(out("basic.png"), *genome())
    for depth in (2, 4, 6, 8):
        morph_picture(out(f"depth{depth}.png"), *genome({9: depth}))
    shape = {1: -20, 2: 10, 3: -30, 4: -20, 5: 10, 6: -20, 7: 20, 8: 10, 9: 6}
    morph_picture(out("mirror-bilat.png"), *genome(shape))
    morph_picture(out("mirror-asym.png"), *genome({**shape, 12: 1}))
    for value, name in ((0, "single"), (1, "double"), (2, "radial")):
        morph_picture(out(f"spokes-{name}.png"), *genome({**shape, 9: 5, 13: value}))
    for count in (1, 3, 5):
        morph_picture(out(f"segments{count}.png"), *genome({9: 4, 10: count, 11: 14}))
    morph_picture(out("gradient-flat.png"), *genome({9: 3, 10: 4, 11: 20}))
    morph_picture(out("gradient-depth.png"), *genome({9: 3, 10: 4, 11: 20}, {9: 2}))
    morph_picture(out("gradient-gene2.png"), *genome({9: 4, 10: 4, 11: 16}, {2: 2}))
    morph_picture(out("scaling-negative.png"), *genome({14: -100}))
    morph_picture(out("vector-gene5.png"), *genome({5: 40}))
    morph_picture(out("vector-gene4.png"), *genome({4: 30}))

    # The palette of the colour genes: 8 rows of lightness by 20 hues.
    cell = 12
    pal = Canvas(20 * cell, 8 * cell, ss=1)
    for index in range(160):
        row, col = divmod(index, 20)
        pal.rect(col * cell, row * cell, col * cell + cell - 1, row * cell + cell - 1,
                 hls_colour(index))
    pal.save(out("palette.png"))

    # The gene bar's gradient pictures, drawn twice as large: nine bars on aqua.
    def indicator(name, heights):
        pic = Canvas(56, 20, ss=1, background=(0, 255, 255, 255))
        for i, h in enumerate(heights):
            x = 1 + 3 * i
            pic.rect(2 * x, 2 * (10 - h) - 1, 2 * x + 3, 18, (0, 0, 0, 255))
        pic.save(out(name))

    indicator("indicator-flat.png", [5] * 9)
    indicator("indicator-rising.png", list(range(1, 10)))
    indicator("indicator-falling.png", list(range(9, 0, -1)))

    # A breeding screen: the basic morph as parent among 14 mutant offspring.
    cols, rows, cw, ch = 5, 3, 88, 72
    grid = Canvas(cols * cw + 2, rows * ch + 2, ss=1, background=(255, 255, 255, 255))
    rand = lcg(20)
    for r in range(rows):
        for c in range(cols):
            x0, y0 = c * cw + 1, r * ch + 1
            parent = (r, c) == (1, 2)
            genes, grads = genome()
            if not parent:
                for _ in range(2):
                    mutate(genes, rand)
            frame = (255, 0, 30, 255) if parent else (0, 0, 0, 255)
            for k in range(2 if parent else 1):
                grid.rect(x0 + 2 - k, y0 + 2 - k, x0 + cw - 3 + k, y0 + 2 - k, frame)
                grid.rect(x0 + 2 - k, y0 + ch - 3 + k, x0 + cw - 3 + k, y0 + ch - 3 + k, frame)
                grid.rect(x0 + 2 - k, y0 + 2 - k, x0 + 2 - k, y0 + ch - 3 + k, frame)
                grid.rect(x0 + cw - 3 + k, y0 + 2 - k, x0 + cw - 3 + k, y0 + ch - 3 + k, frame)
            strokes = develop(genes, grads)
            xs = [p for s in strokes for p in (s[0], s[2])]
            ys = [p for s in strokes for p in (s[1], s[3])]
            mx = x0 + cw // 2 - (min(xs) + max(xs)) // 2
            my = y0 + ch // 2 - (min(ys) + max(ys)) // 2
            for (sx, sy, ex, ey, _, _) in strokes:
                line_pixels(grid, mx + sx, my + sy, mx + ex, my + ey, x0 + 3, y0 + 3,
                            x0 + cw - 4, y0 + ch - 4)
    for c in range(cols + 1):
        grid.rect(c * cw, 0, c * cw + 1, rows * ch + 1, (213, 220, 240, 255))
    for r in range(rows + 1):
        grid.rect(0, r * ch, cols * cw + 1, r * ch + 1, (213, 220, 240, 255))
    grid.save(out("breeding.png"))


def line_pixels(canvas, x0, y0, x1, y1, left, top, right, bottom):
    """A one-pixel black line, clipped to a box, as the program draws in its grid."""
    dx, dy = abs(x1 - x0), -abs(y1 - y0)
    sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
    err = dx + dy
    while True:
        if left <= x0 <= right and top <= y0 <= bottom:
            canvas.plot(x0, y0, (0, 0, 0, 255))
        if x0 == x1 and y0 == y1:
            return
        e2 = 2 * err
        if e2 >= dy:
            err += dy
            x0 += sx
        if e2 <= dx:
            err += dx
            y0 += sy


if __name__ == "__main__":
    make_cursors()
    make_about()
    make_icons()
    make_help_images()
