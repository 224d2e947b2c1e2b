#!/usr/bin/env python3
"""Writes a zip archive that depends only on its inputs:
  make_zip.py <out.zip> <folder-in-archive> <source-dir> <name-in-folder>=<file> ...
Entries are sorted by name, folders get entries of their own, every entry carries one fixed
time and fixed attributes, and the data is deflated at one fixed level. The time is
SOURCE_DATE_EPOCH when it is set, else the time of the source tree's last commit, else
1 January 2000.
"""
import os
import subprocess
import sys
import time
import zipfile

DOS_ARCHIVE = 0x20
DOS_DIRECTORY = 0x10
FALLBACK_EPOCH = 946684800  # 2000-01-01 00:00:00 UTC


def source_epoch(source_dir):
    if os.environ.get("SOURCE_DATE_EPOCH"):
        return int(os.environ["SOURCE_DATE_EPOCH"])
    try:
        out = subprocess.run(["git", "-C", source_dir, "log", "-1", "--format=%ct"],
                             capture_output=True, text=True, check=True).stdout.strip()
        return int(out)
    except (OSError, subprocess.CalledProcessError, ValueError):
        return FALLBACK_EPOCH


def entry(name, stamp, attributes):
    info = zipfile.ZipInfo(name, date_time=stamp)
    info.create_system = 0  # MS-DOS attributes, as Windows' own archives carry
    info.external_attr = attributes
    info.compress_type = zipfile.ZIP_DEFLATED if not name.endswith("/") else zipfile.ZIP_STORED
    return info


def main(argv):
    if len(argv) < 5:
        print(__doc__, file=sys.stderr)
        return 2
    out, folder, source_dir = argv[1], argv[2].strip("/"), argv[3]
    files = {}
    for pair in argv[4:]:
        name, sep, path = pair.partition("=")
        if not sep or not name or not os.path.isfile(path):
            print(f"make_zip: {pair!r} is not <name>=<existing file>", file=sys.stderr)
            return 1
        files[f"{folder}/{name}"] = path
    stamp = time.gmtime(max(source_epoch(source_dir), FALLBACK_EPOCH))[:6]

    folders = {f"{folder}/"}
    for name in files:
        parts = name.split("/")[:-1]
        for i in range(1, len(parts) + 1):
            folders.add("/".join(parts[:i]) + "/")

    partial = out + ".part"
    with zipfile.ZipFile(partial, "w") as archive:
        for name in sorted(folders | set(files)):
            if name in folders:
                archive.writestr(entry(name, stamp, DOS_DIRECTORY), b"")
            else:
                with open(files[name], "rb") as f:
                    archive.writestr(entry(name, stamp, DOS_ARCHIVE), f.read(), compresslevel=9)
    os.replace(partial, out)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
