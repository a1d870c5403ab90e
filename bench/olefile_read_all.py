#!/usr/bin/python3
"""Opens a compound file with olefile, enumerates it and reads every stream; prints seconds."""
import sys
import time

import olefile

start = time.perf_counter()
ole = olefile.OleFileIO(sys.argv[1])
total = 0
for parts in ole.listdir(streams=True, storages=False):
    total += len(ole.openstream(parts).read())
ole.close()
print(f"{time.perf_counter() - start:.6f} {total}")
