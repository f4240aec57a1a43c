#!/usr/bin/env python3
"""Zips a folder so that the same files always give the same bytes: the members in sorted
order, each with the same time and permissions, and no owner or access times.

Usage: make_zip.py FOLDER ZIP SECONDS_SINCE_1970
"""
import os
import sys
import time
import zipfile


def main():
    if len(sys.argv) != 4:
        sys.exit("usage: make_zip.py FOLDER ZIP SECONDS_SINCE_1970")
    folder, output, seconds = os.path.abspath(sys.argv[1]), sys.argv[2], int(sys.argv[3])
    # A zip holds a date and time, not a zone; it cannot go back before 1980.
    date_time = max(time.gmtime(seconds)[:6], (1980, 1, 1, 0, 0, 0))
    parent = os.path.dirname(folder)
    paths = sorted(os.path.join(root, name)
                   for root, _, names in os.walk(folder) for name in names)
    with zipfile.ZipFile(output, "w") as archive:
        for path in paths:
            info = zipfile.ZipInfo(os.path.relpath(path, parent).replace(os.sep, "/"), date_time)
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 3  # Unix, so that the permissions below count
            executable = os.stat(path).st_mode & 0o100
            info.external_attr = (0o100755 if executable else 0o100644) << 16
            with open(path, "rb") as source:
                archive.writestr(info, source.read(), compresslevel=9)


if __name__ == "__main__":
    main()
