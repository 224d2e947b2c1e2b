#!/usr/bin/env python3
"""Checks the help project before it is compiled:
  check_help.py <help-folder>
Fails (exit 1) when the project file names no table of contents or default topic, when a
topic named in the table of contents, or a file of the project's [FILES] list, is missing
from the folder, when the table of contents names a topic the [FILES] list leaves out (the
compiled file would lack it), or when a page links to a local file that does not exist.
"""
import os
import re
import sys


def project(folder):
    options, files, section = {}, [], None
    with open(os.path.join(folder, "vantrel.hhp"), encoding="latin-1") as f:
        for raw in f:
            line = raw.strip()
            if not line or line.startswith(";"):
                continue
            if line.startswith("[") and line.endswith("]"):
                section = line[1:-1].upper()
            elif section == "OPTIONS" and "=" in line:
                key, value = line.split("=", 1)
                options[key.strip().lower()] = value.strip()
            elif section == "FILES":
                files.append(line)
    return options, files


def main(argv):
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    folder = argv[1]
    problems = []
    options, files = project(folder)
    listed = {name.lower() for name in files}
    for name in files:
        if not os.path.isfile(os.path.join(folder, name)):
            problems.append(f"vantrel.hhp lists {name}, which is missing")

    contents = options.get("contents file")
    topics = []
    if not contents:
        problems.append("vantrel.hhp names no contents file")
    elif not os.path.isfile(os.path.join(folder, contents)):
        problems.append(f"the contents file {contents} is missing")
    else:
        with open(os.path.join(folder, contents), encoding="latin-1") as f:
            topics = re.findall(r'<param\s+name="Local"\s+value="([^"]+)"', f.read(), re.IGNORECASE)
        if not topics:
            problems.append(f"{contents} names no topic")
    for topic in topics:
        if not os.path.isfile(os.path.join(folder, topic)):
            problems.append(f"{contents} names the topic {topic}, which is missing")
        elif topic.lower() not in listed:
            problems.append(f"{contents} names the topic {topic}, which vantrel.hhp does not list")

    default = options.get("default topic")
    if not default or not os.path.isfile(os.path.join(folder, default)):
        problems.append(f"the default topic {default!r} is missing")

    for name in files:
        path = os.path.join(folder, name)
        if not name.lower().endswith((".html", ".htm")) or not os.path.isfile(path):
            continue
        with open(path, encoding="latin-1") as f:
            text = f.read()
        for target in re.findall(r'(?:href|src)="([^"#:]+)(?:#[^"]*)?"', text, re.IGNORECASE):
            if not os.path.isfile(os.path.join(folder, target)):
                problems.append(f"{name} links to {target}, which is missing")
            elif target.lower() not in listed:
                problems.append(f"{name} links to {target}, which vantrel.hhp does not list")

    for p in problems:
        print("help:", p, file=sys.stderr)
    if problems:
        return 1
    print(f"help: {len(topics)} topics in {contents}, all present")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
