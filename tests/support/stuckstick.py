#!/usr/bin/python3
# A stick that hangs as a pulled one does: a FUSE file system with one file,
# "data", whose reads are never answered until the file RELEASE exists. A
# reader hit by a fatal signal meanwhile stays in uninterruptible sleep,
# SIGKILL included. Writes READING once the first read has arrived.
# Usage: stuckstick.py MOUNTPOINT RELEASE READING
import errno
import os
import stat
import sys
import time

from fusepy import FUSE, FuseOSError, Operations


class StuckStick(Operations):
    def __init__(self, release, reading):
        self.release = release
        self.reading = reading

    def getattr(self, path, fh=None):
        now = time.time()
        if path == "/":
            return dict(st_mode=stat.S_IFDIR | 0o755, st_nlink=2, st_ctime=now, st_mtime=now, st_atime=now)
        if path == "/data":
            return dict(st_mode=stat.S_IFREG | 0o444, st_nlink=1, st_size=4096,
                        st_ctime=now, st_mtime=now, st_atime=now)
        raise FuseOSError(errno.ENOENT)

    def readdir(self, path, fh):
        return [".", "..", "data"]

    def open(self, path, flags):
        return 0

    def read(self, path, size, offset, fh):
        open(self.reading, "w").close()
        while not os.path.exists(self.release):
            time.sleep(0.05)
        return b""


if __name__ == "__main__":
    FUSE(StuckStick(sys.argv[2], sys.argv[3]), sys.argv[1], foreground=True, nothreads=True)
