#!/usr/bin/env python3
"""Assembles the installer's payload archive.

    make_payload.py <output.zip> <file>...

Every file goes to the top level of the archive under its own name, in the order given,
deflated, as made on a DOS host (version made by 0x0014) with the archive attribute (0x20) and
the file's modification time as DOS date and time (local time, rounded down to two seconds).
No archive comment, no extra fields. The archive is written next to its final name and moved
in place, so an interrupted build leaves no half-written payload behind.
"""
import os
import sys
import time
import zipfile

DOS_ARCHIVE = 0x20


def dos_time(path):
    t = time.localtime(os.stat(path).st_mtime)
    year = min(max(t.tm_year, 1980), 2107)
    return (year, t.tm_mon, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec - t.tm_sec % 2)


def build(output, files):
    names = [os.path.basename(f) for f in files]
    if len(set(n.lower() for n in names)) != len(names):
        raise SystemExit("make_payload: two files share a name: %s" % ", ".join(names))
    temporary = output + ".part"
    with zipfile.ZipFile(temporary, "w") as archive:
        for path, name in zip(files, names):
            info = zipfile.ZipInfo(name, date_time=dos_time(path))
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0
            info.create_version = 20
            info.external_attr = DOS_ARCHIVE
            with open(path, "rb") as f:
                archive.writestr(info, f.read(), compress_type=zipfile.ZIP_DEFLATED, compresslevel=9)
    os.replace(temporary, output)


def main(argv):
    if len(argv) < 3:
        raise SystemExit(__doc__)
    output, files = argv[1], argv[2:]
    for f in files:
        if not os.path.isfile(f):
            raise SystemExit("make_payload: no such file: %s" % f)
    os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
    build(output, files)


if __name__ == "__main__":
    main(sys.argv)
