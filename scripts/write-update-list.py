#!/usr/bin/env python3
"""Writes RELEASE_DIR/update.txt, the list file the program's update check reads, for the newest
installer in RELEASE_DIR (PeltoSetup-*.exe): line 1 is "<installer> <version> <sha256>", the
release notes follow. The file is in the system's ANSI code page with CR LF line ends; the notes
are read as UTF-8 from --notes (default RELEASE_DIR/notes.txt, if there is one).

    python3 scripts/write-update-list.py build/win/installer [--notes FILE] [--encoding cp936]

The folder is then served as <root>/soft/pelto/."""
import argparse
import glob
import hashlib
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from file_version import file_version  # noqa: E402


def version_key(version):
    return tuple(int(part) for part in version.split("."))


def sha256_of(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 16), b""):
            digest.update(block)
    return digest.hexdigest()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("release_dir")
    parser.add_argument("--notes", help="release notes, UTF-8")
    parser.add_argument("--encoding", default="cp936",
                        help="the ANSI code page of the users' systems (default cp936, GBK)")
    args = parser.parse_args()

    installers = []
    for path in glob.glob(os.path.join(args.release_dir, "PeltoSetup-*.exe")):
        installers.append((version_key(file_version(path)), path))
    if not installers:
        sys.exit("write-update-list: no PeltoSetup-*.exe in %s" % args.release_dir)
    key, path = max(installers)
    version = ".".join(str(part) for part in key)

    notes_path = args.notes or os.path.join(args.release_dir, "notes.txt")
    notes = []
    if os.path.exists(notes_path):
        with open(notes_path, encoding="utf-8") as f:
            notes = f.read().splitlines()

    lines = ["%s %s %s" % (os.path.basename(path), version, sha256_of(path))] + notes
    out = os.path.join(args.release_dir, "update.txt")
    with open(out, "wb") as f:
        f.write("".join(line + "\r\n" for line in lines).encode(args.encoding))
    print("%s: %s" % (out, lines[0]))


if __name__ == "__main__":
    main()
