#!/usr/bin/python3
"""Lists a compound file's tree through olefile: one line per element, sorted by path.

storage<TAB>path            for a storage
stream<TAB>path<TAB>size<TAB>crc32   for a stream
"""
import sys
import zlib

import olefile


def main() -> int:
    ole = olefile.OleFileIO(sys.argv[1])
    lines = []
    for parts in ole.listdir(streams=True, storages=True):
        path = "/".join(parts)
        if ole.get_type(parts) == olefile.STGTY_STORAGE:
            lines.append(f"storage\t{path}")
        else:
            data = ole.openstream(parts).read()
            lines.append(f"stream\t{path}\t{len(data)}\t{zlib.crc32(data) & 0xFFFFFFFF:08x}")
    ole.close()
    for line in sorted(lines):
        print(line)
    return 0


if __name__ == "__main__":
    sys.exit(main())
