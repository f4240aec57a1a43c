#!/usr/bin/env python3
"""Writes the service worker from its template: the site's files, in name order, and a cache
name made of the project's version and a hash of those files' names and contents, so that the
same files always give the same worker. It goes out without its comments.

Usage: make_worker.py sw.js VERSION output.js FILE...
"""
import hashlib
import json
import os
import sys

sys.dont_write_bytecode = True  # the build leaves the source tree as it was
import shrink  # noqa: E402


def main():
    if len(sys.argv) < 5:
        sys.exit("usage: make_worker.py TEMPLATE VERSION OUTPUT FILE...")
    template, version, output = sys.argv[1:4]
    paths = {os.path.basename(path): path for path in sys.argv[4:]}
    names = sorted(paths)
    digest = hashlib.sha256()
    for name in names:
        with open(paths[name], "rb") as file:
            data = file.read()
        digest.update(b"%s\0%d\0" % (name.encode(), len(data)) + data)
    # The page is kept under the folder's address, by which it is asked for.
    files = ["./" if name == "index.html" else name for name in names]
    with open(template, encoding="utf-8") as source:
        worker = source.read()
    worker = worker.replace("@CACHE@", f"quorvane-{version}-{digest.hexdigest()[:16]}")
    worker = worker.replace("@FILES@", json.dumps(files))
    with open(output, "w", encoding="utf-8", newline="\n") as target:
        target.write(shrink.shrink_script(worker))


if __name__ == "__main__":
    main()
