#!/usr/bin/python3
"""The tests' slow network share: BACKING seen at MOUNT through FUSE, every request paying a
round trip, every request held while a flag file exists (a server that went away), and every
request written to a log so a test can count what a program asks.

    slow_share.py BACKING MOUNT [--delay-ms MS] [--stall-flag FILE] [--log FILE] [--client-like]
    fusermount3 -u MOUNT

Two kinds of share. The harsh one (the default) caches nothing in the kernel and, through
libfuse 2, answers the names of one directory one at a time. With --client-like it behaves as
a file server's client on a workstation does (client_share.py): a listing that carries each
entry's attributes, and names, attributes and missing names kept for a second (looks at new
names of one directory still go one at a time: see there).

Log lines are "<seconds since mount> <request> <path>"; the path may hold blanks. Runs in the
foreground until unmounted. Needs fuse3 and /dev/fuse, and python3-fusepy with libfuse2 (harsh)
or python3-pyfuse3 (client-like).
"""
import argparse
import errno
import os
import stat
import time

from fusepy import FUSE, FuseOSError, Operations

from share_trips import Trips


class SlowShare(Operations):
    def __init__(self, backing, trips):
        self.backing = os.path.realpath(backing)
        self.trips = trips

    def _trip(self, request, path):
        """One round trip: wait out a stall, log the request, then take the delay."""
        while self.trips.stalled():
            time.sleep(0.02)
        self.trips.note(request, path)
        if self.trips.delay_s > 0:
            time.sleep(self.trips.delay_s)
        return os.path.join(self.backing, path.lstrip("/"))

    def _call(self, request, path, action):
        real = self._trip(request, path)
        try:
            return action(real)
        except OSError as failure:
            raise FuseOSError(failure.errno or errno.EIO)

    # What a file server answers about names.
    def getattr(self, path, fh=None):
        def stat(real):
            st = os.lstat(real)
            return {key: getattr(st, key) for key in (
                "st_mode", "st_nlink", "st_uid", "st_gid", "st_size",
                "st_atime", "st_mtime", "st_ctime")}
        return self._call("getattr", path, stat)

    def access(self, path, mode):
        def check(real):
            if not os.access(real, mode):
                raise OSError(errno.EACCES, "no access")
        return self._call("access", path, check)

    def readdir(self, path, fh):
        # Each name with its kind, as a file server's listing carries the attributes: a client
        # need not ask about every entry to tell files from directories and links.
        def kind(entry):
            if entry.is_symlink():
                return stat.S_IFLNK
            if entry.is_dir(follow_symlinks=False):
                return stat.S_IFDIR
            return stat.S_IFREG if entry.is_file(follow_symlinks=False) else 0

        def listing(real):
            with os.scandir(real) as entries:
                return [".", ".."] + [(e.name, {"st_mode": kind(e)}, 0) for e in entries]

        return self._call("readdir", path, listing)

    def readlink(self, path):
        return self._call("readlink", path, os.readlink)

    def statfs(self, path):
        def stat(real):
            st = os.statvfs(real)
            return {key: getattr(st, key) for key in (
                "f_bavail", "f_bfree", "f_blocks", "f_bsize", "f_favail", "f_ffree",
                "f_files", "f_flag", "f_frsize", "f_namemax")}
        return self._call("statfs", path, stat)

    # Changes to names.
    def mkdir(self, path, mode):
        return self._call("mkdir", path, lambda real: os.mkdir(real, mode))

    def rmdir(self, path):
        return self._call("rmdir", path, os.rmdir)

    def unlink(self, path):
        return self._call("unlink", path, os.unlink)

    def rename(self, old, new):
        target = os.path.join(self.backing, new.lstrip("/"))
        return self._call("rename", old, lambda real: os.rename(real, target))

    def symlink(self, target, source):
        return self._call("symlink", target, lambda real: os.symlink(source, real))

    def link(self, target, source):
        existing = os.path.join(self.backing, source.lstrip("/"))
        return self._call("link", target, lambda real: os.link(existing, real))

    def chmod(self, path, mode):
        return self._call("chmod", path, lambda real: os.chmod(real, mode))

    def chown(self, path, uid, gid):
        return self._call("chown", path, lambda real: os.chown(real, uid, gid))

    def utimens(self, path, times=None):
        return self._call("utimens", path, lambda real: os.utime(real, times))

    def truncate(self, path, length, fh=None):
        def cut(real):
            with open(real, "r+b") as f:
                f.truncate(length)
        return self._call("truncate", path, cut)

    # Open files: the handle is the backing file's descriptor.
    def open(self, path, flags):
        return self._call("open", path, lambda real: os.open(real, flags))

    def create(self, path, mode, fi=None):
        return self._call("create", path,
                          lambda real: os.open(real, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, mode))

    def read(self, path, size, offset, fh):
        return self._call("read", path, lambda real: os.pread(fh, size, offset))

    def write(self, path, data, offset, fh):
        return self._call("write", path, lambda real: os.pwrite(fh, data, offset))

    def flush(self, path, fh):
        return self._call("flush", path, lambda real: None)

    def fsync(self, path, datasync, fh):
        return self._call("fsync", path,
                          lambda real: os.fdatasync(fh) if datasync else os.fsync(fh))

    def release(self, path, fh):
        return self._call("release", path, lambda real: os.close(fh))


def main():
    parser = argparse.ArgumentParser(description="a slow network share for the tests")
    parser.add_argument("backing")
    parser.add_argument("mount")
    parser.add_argument("--delay-ms", type=float, default=1.0)
    parser.add_argument("--stall-flag")
    parser.add_argument("--log")
    parser.add_argument("--client-like", action="store_true")
    args = parser.parse_args()
    trips = Trips(args.delay_ms / 1000.0, args.stall_flag, args.log)
    if args.client_like:
        import client_share
        client_share.serve(args.backing, args.mount, trips)
        return
    share = SlowShare(args.backing, trips)
    # Threads, as a file server answers several clients; no kernel cache, so every request
    # reaches the share as it would across a network without leases.
    FUSE(share, args.mount, foreground=True, nothreads=False, direct_io=True,
         attr_timeout=0, entry_timeout=0, negative_timeout=0)


if __name__ == "__main__":
    main()
