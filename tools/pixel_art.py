#!/usr/bin/env python3
"""Builds the program's bitmaps and icons from text-grid sources (*.art).

    tools/pixel_art.py [--check] SOURCE.art...

Each source names its output file (written beside it) and holds a palette of one-character
colour keys and the pixel grids. The output depends on the source alone, byte for byte, so
the generated files are checked in and `--check` tells whether they still match.

Source lines (';' starts a comment line; blank lines separate blocks):
    output NAME              file to write, beside the source
    format bmp24|bmp8|ico    24-bit bitmap, 8-bit palette bitmap, or icon
    size W H                 bitmap size
    colour K RRGGBB[AA]      colour key K (any visible character); AA = alpha, icons only
    grid [N]                 the next H lines (bitmaps) or N lines of an N x N icon image
    cell W H                 bmp8 glyph strips: the size of one cell
    background K             bmp8 glyph strips: the colour of everything not drawn
    row Y TEXT               glyph strips: cell row Y holds these characters (\\xNN, \\\\ escapes)
    glyph C                  glyph strips: the art of character C (\\xNN escapes) in the next
                             lines, up to a blank line; missing pixels are background
"""
import struct
import sys
from pathlib import Path


class ArtError(Exception):
    pass


def unescape(text, where):
    out = []
    i = 0
    while i < len(text):
        c = text[i]
        if c == '\\':
            if text[i + 1:i + 2] == '\\':
                out.append('\\')
                i += 2
                continue
            if text[i + 1:i + 2] == 'x' and i + 4 <= len(text):
                out.append(chr(int(text[i + 2:i + 4], 16)))
                i += 4
                continue
            raise ArtError(f"{where}: bad escape in {text!r}")
        out.append(c)
        i += 1
    return ''.join(out)


class Source:
    def __init__(self, path):
        self.path = Path(path)
        self.output = None
        self.format = None
        self.size = None
        self.colours = {}  # key -> (r, g, b, a), in declaration order
        self.grids = []  # lists of row strings
        self.cell = None
        self.background = None
        self.rows = {}  # cell row -> characters
        self.glyphs = {}  # character -> list of row strings
        self._parse()

    def _parse(self):
        lines = self.path.read_text(encoding='ascii').split('\n')
        n = 0

        def where():
            return f"{self.path}:{n}"

        while n < len(lines):
            line = lines[n]
            n += 1
            if not line.strip() or line.startswith(';'):
                continue
            word, _, rest = line.strip().partition(' ')
            rest = rest.strip()
            if word == 'output':
                self.output = rest
            elif word == 'format':
                if rest not in ('bmp24', 'bmp8', 'ico'):
                    raise ArtError(f"{where()}: unknown format {rest}")
                self.format = rest
            elif word == 'size':
                w, h = rest.split()
                self.size = (int(w), int(h))
            elif word == 'cell':
                w, h = rest.split()
                self.cell = (int(w), int(h))
            elif word == 'colour':
                key, value = rest.split()
                if len(key) != 1 or key in self.colours:
                    raise ArtError(f"{where()}: bad or repeated colour key {key!r}")
                if len(value) not in (6, 8):
                    raise ArtError(f"{where()}: colour {value} is not RRGGBB or RRGGBBAA")
                rgba = bytes.fromhex(value + ('FF' if len(value) == 6 else ''))
                self.colours[key] = tuple(rgba)
            elif word == 'background':
                self.background = rest
            elif word == 'row':
                index, _, text = line.strip()[4:].partition(' ')
                self.rows[int(index)] = unescape(text, where())
            elif word == 'grid':
                count = int(rest) if rest else self.size[1]
                if n + count > len(lines):
                    raise ArtError(f"{where()}: the grid needs {count} lines")
                self.grids.append(lines[n:n + count])
                n += count
            elif word == 'glyph':
                char = unescape(rest, where())
                if len(char) != 1 or char in self.glyphs:
                    raise ArtError(f"{where()}: bad or repeated glyph {rest!r}")
                art = []
                while n < len(lines) and lines[n].strip():
                    art.append(lines[n].rstrip())
                    n += 1
                self.glyphs[char] = art
            else:
                raise ArtError(f"{where()}: unknown directive {word}")
        if not self.output or not self.format:
            raise ArtError(f"{self.path}: output and format are required")

    # ---- pixels -------------------------------------------------------------------------

    def check_keys(self, grid, width, what):
        for y, row in enumerate(grid):
            if len(row) != width:
                raise ArtError(f"{self.path}: {what} row {y} has {len(row)} pixels, not {width}")
            for c in row:
                if c not in self.colours:
                    raise ArtError(f"{self.path}: {what} row {y} uses undeclared colour {c!r}")

    def strip_grid(self):
        """The glyph strip as a grid of colour keys."""
        w, h = self.size
        cw, ch = self.cell
        if self.background not in self.colours:
            raise ArtError(f"{self.path}: background colour is not declared")
        grid = [[self.background] * w for _ in range(h)]
        placed = set()
        for cell_row, text in sorted(self.rows.items()):
            if len(text) * cw > w or (cell_row + 1) * ch > h:
                raise ArtError(f"{self.path}: row {cell_row} does not fit the strip")
            for i, char in enumerate(text):
                if char == ' ':
                    continue
                if char not in self.glyphs:
                    raise ArtError(f"{self.path}: no glyph for {char!r} (row {cell_row})")
                placed.add(char)
                art = self.glyphs[char]
                if len(art) > ch or any(len(r) > cw for r in art):
                    raise ArtError(f"{self.path}: glyph {char!r} is larger than a cell")
                for y, line in enumerate(art):
                    for x, key in enumerate(line):
                        if key not in self.colours:
                            raise ArtError(f"{self.path}: glyph {char!r} uses undeclared colour {key!r}")
                        grid[cell_row * ch + y][i * cw + x] = key
        unused = set(self.glyphs) - placed
        if unused:
            raise ArtError(f"{self.path}: glyphs not placed in any row: {sorted(unused)!r}")
        return [''.join(r) for r in grid]

    def build(self):
        if self.format == 'bmp24':
            w, h = self.size
            if len(self.grids) != 1 or len(self.grids[0]) != h:
                raise ArtError(f"{self.path}: a 24-bit bitmap needs one grid of {h} rows")
            self.check_keys(self.grids[0], w, 'grid')
            return bmp24(w, h, [[self.colours[k] for k in row] for row in self.grids[0]])
        if self.format == 'bmp8':
            w, h = self.size
            grid = self.strip_grid() if self.cell else self.grids[0]
            self.check_keys(grid, w, 'grid')
            keys = list(self.colours)
            return bmp8(w, h, [self.colours[k] for k in keys], [[keys.index(k) for k in row] for row in grid])
        images = []
        for grid in self.grids:
            size = len(grid)
            self.check_keys(grid, size, f"{size}x{size} icon")
            images.append((size, [[self.colours[k] for k in row] for row in grid]))
        return ico(images)


# ---- file formats (little-endian, rows bottom-up, each padded to 4 bytes) ----------------

def row_stride(width, bits):
    return (width * bits + 31) // 32 * 4


def info_header(width, height, bits, image_size, colours_used):
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0, image_size, 2835, 2835, colours_used, 0)


def file_header(info_and_data, palette_size):
    offset = 14 + 40 + palette_size
    return b'BM' + struct.pack('<IHHI', 14 + len(info_and_data), 0, 0, offset)


def pixels24(width, height, rgba_rows):
    stride = row_stride(width, 24)
    data = bytearray()
    for row in reversed(rgba_rows):
        line = bytearray()
        for r, g, b, _ in row:
            line += bytes((b, g, r))
        data += line + bytes(stride - len(line))
    return bytes(data)


def pixels8(width, index_rows):
    stride = row_stride(width, 8)
    data = bytearray()
    for row in reversed(index_rows):
        data += bytes(row) + bytes(stride - len(row))
    return bytes(data)


def palette_bytes(colours, count):
    data = bytearray()
    for r, g, b, _ in colours:
        data += bytes((b, g, r, 0))
    return bytes(data) + bytes(4 * (count - len(colours)))


def bmp24(width, height, rgba_rows):
    data = pixels24(width, height, rgba_rows)
    body = info_header(width, height, 24, len(data), 0) + data
    return file_header(body, 0) + body


def bmp8(width, height, colours, index_rows):
    if len(colours) > 256:
        raise ArtError("an 8-bit bitmap holds at most 256 colours")
    palette = palette_bytes(colours, len(colours))
    data = pixels8(width, index_rows)
    body = info_header(width, height, 8, len(data), len(colours)) + palette + data
    return file_header(body, len(palette)) + body


def and_mask(size, rgba_rows, threshold):
    stride = row_stride(size, 1)
    data = bytearray()
    for row in reversed(rgba_rows):
        line = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a < threshold:
                line[x // 8] |= 0x80 >> (x % 8)
        data += line
    return bytes(data)


def icon_image32(size, rgba_rows):
    data = bytearray()
    for row in reversed(rgba_rows):
        for r, g, b, a in row:
            data += bytes((b, g, r, a))
    mask = and_mask(size, rgba_rows, 1)
    return info_header(size, size * 2, 32, len(data) + len(mask), 0) + bytes(data) + mask


def icon_image8(size, rgba_rows):
    # The fallback for 256-colour displays: pixels at least half opaque are drawn in their own
    # colour, the rest are transparent through the mask.
    colours = []
    index_rows = []
    for row in rgba_rows:
        indices = []
        for r, g, b, a in row:
            colour = (r, g, b, 255) if a >= 128 else (0, 0, 0, 255)
            if colour not in colours:
                colours.append(colour)
            indices.append(colours.index(colour))
        index_rows.append(indices)
    if len(colours) > 256:
        raise ArtError("an icon image uses more than 256 colours")
    data = pixels8(size, index_rows)
    mask = and_mask(size, rgba_rows, 128)
    # The palette holds only the colours used: the header's count says how many.
    return (info_header(size, size * 2, 8, len(data) + len(mask), len(colours)) + palette_bytes(colours, len(colours))
            + data + mask)


def ico(images):
    # Full colour with alpha first, then the 256-colour fallbacks; largest first in each.
    ordered = sorted(images, key=lambda item: -item[0])
    blobs = [(size, 32, icon_image32(size, rows)) for size, rows in ordered]
    blobs += [(size, 8, icon_image8(size, rows)) for size, rows in ordered]
    header = struct.pack('<HHH', 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    entries = bytearray()
    for size, bits, blob in blobs:
        entries += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, bits, len(blob), offset)
        offset += len(blob)
    return header + bytes(entries) + b''.join(blob for _, _, blob in blobs)


def main(argv):
    check = '--check' in argv
    sources = [a for a in argv if a != '--check']
    if not sources:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    stale = []
    for name in sources:
        try:
            source = Source(name)
            data = source.build()
        except (ArtError, ValueError, OSError) as error:
            print(f"pixel_art: {error}", file=sys.stderr)
            return 2
        target = source.path.parent / source.output
        if check:
            if not target.exists() or target.read_bytes() != data:
                stale.append(str(target))
        elif not target.exists() or target.read_bytes() != data:
            target.write_bytes(data)
            print(f"wrote {target}")
    if stale:
        print("pixel_art: out of date with their sources: " + ', '.join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv[1:]))
