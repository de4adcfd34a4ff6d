#!/usr/bin/env python3
"""Prints the file version of a Windows program (pelto.exe, an installer) from its version
resource, as "a.b.c.d". The installer script names its output by it, the update list states it
and the end-to-end suite checks what an update installed."""
import struct
import sys

_KEY = "VS_VERSION_INFO".encode("utf-16-le")
_SIGNATURE = struct.pack("<I", 0xFEEF04BD)


def file_version(path):
    with open(path, "rb") as f:
        data = f.read()
    at = data.find(_KEY)
    while at >= 0:
        # The fixed part follows the key within its padding: signature, structure version, then
        # the two halves of the file version.
        sig = data.find(_SIGNATURE, at + len(_KEY), at + len(_KEY) + 8)
        if sig >= 0:
            ms, ls = struct.unpack_from("<II", data, sig + 8)
            return "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
        at = data.find(_KEY, at + 1)
    raise ValueError("%s has no version resource" % path)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: file_version.py FILE")
    try:
        print(file_version(sys.argv[1]))
    except (OSError, ValueError) as e:
        sys.exit("file_version: %s" % e)
