#!/usr/bin/env python3
"""Reads and normalises a compiled HTML help file (an ITSF container).

  chm.py list <file.chm>           prints every name in the file's directory
  chm.py system <file.chm>         prints the #SYSTEM entries (contents file, default topic, title)
  chm.py normalize <file.chm>      clears the two compile timestamps, so that one source gives one file
  chm.py check <file.chm> <toc.hhc> [topic ...]
                                   fails unless the file's #SYSTEM names the table of contents, the
                                   table of contents and every topic it names are in the file, and
                                   each topic given on the command line is named by the table

Layout read here: the ITSF header (version 3) gives the directory section and the start of
content section 0; the directory (ITSP) is a list of PMGL chunks whose entries are
(encint name length, name, encint section, encint offset, encint length).
"""
import re
import struct
import sys

ITSF_TIMESTAMP = 0x10
SYSTEM_CONTENTS_FILE = 0
SYSTEM_DEFAULT_TOPIC = 2
SYSTEM_TITLE = 3
SYSTEM_TIMESTAMP = 10


class ChmError(Exception):
    pass


def _encint(data, pos):
    value = 0
    while True:
        if pos >= len(data):
            raise ChmError("encoded integer runs past the chunk")
        byte = data[pos]
        pos += 1
        value = (value << 7) | (byte & 0x7F)
        if not byte & 0x80:
            return value, pos


class Chm:
    def __init__(self, data):
        self.data = data
        if data[:4] != b"ITSF":
            raise ChmError("not an ITSF file")
        version, header_length = struct.unpack_from("<II", data, 4)
        if version != 3 or header_length < 0x60:
            raise ChmError(f"ITSF version {version}, header {header_length} bytes: not read here")
        self.directory_offset, self.directory_length = struct.unpack_from("<QQ", data, 0x48)
        (self.content_offset,) = struct.unpack_from("<Q", data, 0x58)
        self.entries = self._read_directory()

    def _read_directory(self):
        base = self.directory_offset
        if self.data[base:base + 4] != b"ITSP":
            raise ChmError("no ITSP directory header")
        (itsp_length,) = struct.unpack_from("<I", self.data, base + 8)
        (chunk_size,) = struct.unpack_from("<I", self.data, base + 0x10)
        first, last = struct.unpack_from("<ii", self.data, base + 0x20)
        (chunk_count,) = struct.unpack_from("<I", self.data, base + 0x2C)
        entries = {}
        chunk = first
        seen = set()
        while chunk != -1:
            if chunk in seen or not 0 <= chunk < chunk_count:
                raise ChmError(f"directory chunk {chunk} out of order")
            seen.add(chunk)
            start = base + itsp_length + chunk * chunk_size
            block = self.data[start:start + chunk_size]
            if block[:4] != b"PMGL":
                raise ChmError(f"chunk {chunk} is not a listing chunk")
            free, _, _, next_chunk = struct.unpack_from("<IIii", block, 4)
            pos, end = 0x14, chunk_size - free
            while pos < end:
                length, pos = _encint(block, pos)
                name = block[pos:pos + length].decode("utf-8")
                pos += length
                section, pos = _encint(block, pos)
                offset, pos = _encint(block, pos)
                size, pos = _encint(block, pos)
                entries[name] = (section, offset, size)
            if chunk == last:
                break
            chunk = next_chunk
        return entries

    def uncompressed(self, name):
        """The bytes of a file kept in content section 0 (uncompressed), and where they start."""
        section, offset, size = self.entries[name]
        if section != 0:
            raise ChmError(f"{name} is compressed")
        start = self.content_offset + offset
        return start, self.data[start:start + size]

    def system(self):
        """The #SYSTEM entries as (code, start of data in the file, data)."""
        start, body = self.uncompressed("/#SYSTEM")
        pos, found = 4, []  # a 4-byte version comes first
        while pos + 4 <= len(body):
            code, length = struct.unpack_from("<HH", body, pos)
            found.append((code, start + pos + 4, body[pos + 4:pos + 4 + length]))
            pos += 4 + length
        return found

    def system_text(self, code):
        for c, _, value in self.system():
            if c == code:
                return value.split(b"\0", 1)[0].decode("latin-1")
        return None


def toc_topics(toc_path):
    """The file names the table of contents points to, in its order."""
    with open(toc_path, encoding="latin-1") as f:
        text = f.read()
    return re.findall(r'<param\s+name="Local"\s+value="([^"]+)"', text, re.IGNORECASE)


def normalize(path):
    with open(path, "rb") as f:
        data = bytearray(f.read())
    chm = Chm(bytes(data))
    struct.pack_into("<I", data, ITSF_TIMESTAMP, 0)
    stamps = [(start, value) for code, start, value in chm.system() if code == SYSTEM_TIMESTAMP]
    for start, value in stamps:
        data[start:start + len(value)] = bytes(len(value))
    with open(path, "wb") as f:
        f.write(data)


def check(path, toc_path, required):
    with open(path, "rb") as f:
        chm = Chm(f.read())
    problems = []
    contents = chm.system_text(SYSTEM_CONTENTS_FILE)
    if not contents:
        problems.append("#SYSTEM names no table of contents")
    elif "/" + contents not in chm.entries:
        problems.append(f"the table of contents {contents} is not in the file")
    default = chm.system_text(SYSTEM_DEFAULT_TOPIC)
    if not default or "/" + default not in chm.entries:
        problems.append(f"the default topic {default!r} is not in the file")
    topics = toc_topics(toc_path)
    if not topics:
        problems.append(f"{toc_path} names no topic")
    for topic in topics:
        if "/" + topic not in chm.entries:
            problems.append(f"topic {topic} is not in the file")
    for topic in required:
        if topic not in topics:
            problems.append(f"the table of contents has no topic {topic}")
    for p in problems:
        print("FAIL:", p)
    if not problems:
        print(f"{path}: contents {contents}, default topic {default}, {len(topics)} topics, all present")
    return 1 if problems else 0


def main(argv):
    if len(argv) >= 3 and argv[1] == "list":
        with open(argv[2], "rb") as f:
            for name, (section, _, size) in sorted(Chm(f.read()).entries.items()):
                print(f"{section} {size:8d} {name}")
        return 0
    if len(argv) == 3 and argv[1] == "system":
        with open(argv[2], "rb") as f:
            for code, _, value in Chm(f.read()).system():
                shown = value.split(b"\0", 1)[0] if code in (0, 2, 3, 9) else value.hex()
                print(code, shown[:64])
        return 0
    if len(argv) == 3 and argv[1] == "normalize":
        normalize(argv[2])
        return 0
    if len(argv) >= 4 and argv[1] == "check":
        return check(argv[2], argv[3], argv[4:])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv))
    except (ChmError, OSError, KeyError, struct.error, UnicodeDecodeError) as e:
        print(f"FAIL: {e}")
        sys.exit(1)
