"""The slow share as a file server's client on a workstation serves it (slow_share.py
--client-like): libfuse 3, every request answered side by side with the others; a listing that
brings every entry's attributes along; and names, attributes and missing names kept for a
second, as such a client keeps them. Every request that reaches the share pays the round trip
through share_trips.Trips; what the kernel answers from its cache costs nothing and is not
logged.

One thing it cannot do as a file server's client does: Debian's libfuse 3.14 never tells the
kernel that looks at new names of one directory may run at once (FUSE_PARALLEL_DIROPS, passed
on from libfuse 3.16), so those still go one after another, as on the harsh share. A rename
that must not replace (RENAME_NOREPLACE) is refused in its own request when the name is
taken, as an SMB server refuses it.
"""
import errno
import itertools
import os
import stat

import pyfuse3
import trio

RENAME_NOREPLACE = getattr(pyfuse3, "RENAME_NOREPLACE", 1)
KEPT_S = 1.0  # how long the kernel keeps a name, its attributes or its absence


class ClientShare(pyfuse3.Operations):
    def __init__(self, backing, trips):
        super().__init__()
        self.backing = os.fsencode(os.path.realpath(backing))
        self.trips = trips
        # Inodes of our own: the kernel's for a backing file, kept while the file is known.
        self.path_of = {pyfuse3.ROOT_INODE: self.backing}
        self.inode_of = {}
        self.next_inode = itertools.count(pyfuse3.ROOT_INODE + 1)
        self.listings = {}
        self.next_handle = itertools.count(1)

    async def _trip(self, request, path):
        while self.trips.stalled():
            await trio.sleep(0.02)
        self.trips.note(request, os.fsdecode(path[len(self.backing):] or b"/"))
        if self.trips.delay_s > 0:
            await trio.sleep(self.trips.delay_s)

    async def _call(self, request, path, action):
        await self._trip(request, path)
        try:
            return action(path)
        except OSError as failure:
            raise pyfuse3.FUSEError(failure.errno or errno.EIO)

    def _known(self, path, st):
        inode = self.inode_of.get((st.st_dev, st.st_ino))
        if inode is None:
            inode = pyfuse3.ROOT_INODE if path == self.backing else next(self.next_inode)
            self.inode_of[(st.st_dev, st.st_ino)] = inode
        self.path_of[inode] = path
        return inode

    def _entry(self, path, st):
        entry = pyfuse3.EntryAttributes()
        entry.st_ino = self._known(path, st)
        for key in ("st_mode", "st_nlink", "st_uid", "st_gid", "st_rdev", "st_size",
                    "st_blksize", "st_blocks", "st_atime_ns", "st_mtime_ns", "st_ctime_ns"):
            setattr(entry, key, getattr(st, key))
        entry.entry_timeout = KEPT_S
        entry.attr_timeout = KEPT_S
        return entry

    def _path(self, inode, name=None):
        try:
            base = self.path_of[inode]
        except KeyError:
            raise pyfuse3.FUSEError(errno.ESTALE)
        return base if name is None else os.path.join(base, name)

    # What a file server answers about names.
    async def lookup(self, parent_inode, name, ctx=None):
        path = self._path(parent_inode, name)
        await self._trip("getattr", path)
        try:
            return self._entry(path, os.lstat(path))
        except FileNotFoundError:
            missing = pyfuse3.EntryAttributes()
            missing.st_ino = 0  # kept as missing for entry_timeout
            missing.entry_timeout = KEPT_S
            return missing
        except OSError as failure:
            raise pyfuse3.FUSEError(failure.errno or errno.EIO)

    async def getattr(self, inode, ctx=None):
        path = self._path(inode)
        return await self._call("getattr", path, lambda real: self._entry(real, os.lstat(real)))

    async def setattr(self, inode, attr, fields, fh, ctx):
        path = self._path(inode)

        def change(real):
            if fields.update_size:
                os.truncate(real, attr.st_size)
            if fields.update_mode:
                os.chmod(real, stat.S_IMODE(attr.st_mode))
            if fields.update_uid or fields.update_gid:
                os.chown(real, attr.st_uid if fields.update_uid else -1,
                         attr.st_gid if fields.update_gid else -1)
            if fields.update_atime or fields.update_mtime:
                st = os.lstat(real)
                os.utime(real, ns=(attr.st_atime_ns if fields.update_atime else st.st_atime_ns,
                                   attr.st_mtime_ns if fields.update_mtime else st.st_mtime_ns))
            return self._entry(real, os.lstat(real))

        return await self._call("setattr", path, change)

    async def access(self, inode, mode, ctx):
        path = self._path(inode)
        return await self._call("access", path, lambda real: os.access(real, mode))

    async def readlink(self, inode, ctx):
        return await self._call("readlink", self._path(inode), os.readlink)

    async def statfs(self, ctx):
        def space(real):
            st = os.statvfs(real)
            data = pyfuse3.StatvfsData()
            for key in ("f_bavail", "f_bfree", "f_blocks", "f_bsize", "f_favail", "f_ffree",
                        "f_files", "f_frsize", "f_namemax"):
                setattr(data, key, getattr(st, key))
            return data

        return await self._call("statfs", self.backing, space)

    # A listing is one round trip whose answer holds every entry with its attributes.
    async def opendir(self, inode, ctx):
        handle = next(self.next_handle)
        self.listings[handle] = (self._path(inode), None)
        return handle

    async def readdir(self, fh, start_id, token):
        path, entries = self.listings[fh]
        if entries is None:
            def listing(real):
                found = []
                with os.scandir(real) as scan:
                    for item in scan:
                        try:
                            found.append((item.name, item.path, item.stat(follow_symlinks=False)))
                        except FileNotFoundError:
                            pass
                return found

            entries = await self._call("readdir", path, listing)
            self.listings[fh] = (path, entries)
        for number, (name, full, st) in enumerate(entries[start_id:], start_id + 1):
            if not pyfuse3.readdir_reply(token, name, self._entry(full, st), number):
                break

    async def releasedir(self, fh):
        self.listings.pop(fh, None)

    async def forget(self, inode_list):
        pass  # inodes stay known: the backing tree of a test is small

    # Changes to names.
    async def mkdir(self, parent_inode, name, mode, ctx):
        path = self._path(parent_inode, name)

        def make(real):
            os.mkdir(real, mode)
            return self._entry(real, os.lstat(real))

        return await self._call("mkdir", path, make)

    async def rmdir(self, parent_inode, name, ctx):
        await self._call("rmdir", self._path(parent_inode, name), os.rmdir)

    async def unlink(self, parent_inode, name, ctx):
        await self._call("unlink", self._path(parent_inode, name), os.unlink)

    async def rename(self, parent_inode_old, name_old, parent_inode_new, name_new, flags, ctx):
        old = self._path(parent_inode_old, name_old)
        new = self._path(parent_inode_new, name_new)

        def move(real):
            # As an SMB server does it: a taken name refuses the rename in the same request.
            if flags & ~RENAME_NOREPLACE:
                raise OSError(errno.EINVAL, "no rename flags but RENAME_NOREPLACE")
            if flags & RENAME_NOREPLACE and os.path.lexists(new):
                raise OSError(errno.EEXIST, "name taken")
            os.rename(real, new)
            # What lay below a moved directory is found under its new name.
            for inode, known in list(self.path_of.items()):
                if known == real or known.startswith(real + b"/"):
                    self.path_of[inode] = new + known[len(real):]

        await self._call("rename", old, move)

    async def symlink(self, parent_inode, name, target, ctx):
        path = self._path(parent_inode, name)

        def make(real):
            os.symlink(target, real)
            return self._entry(real, os.lstat(real))

        return await self._call("symlink", path, make)

    async def link(self, inode, new_parent_inode, new_name, ctx):
        existing = self._path(inode)
        path = self._path(new_parent_inode, new_name)

        def make(real):
            os.link(existing, real)
            return self._entry(real, os.lstat(real))

        return await self._call("link", path, make)

    # Open files: the handle is the backing file's descriptor.
    async def open(self, inode, flags, ctx):
        fd = await self._call("open", self._path(inode), lambda real: os.open(real, flags))
        return pyfuse3.FileInfo(fh=fd)

    async def create(self, parent_inode, name, mode, flags, ctx):
        path = self._path(parent_inode, name)

        def make(real):
            fd = os.open(real, flags | os.O_CREAT | os.O_TRUNC, mode)
            return fd, self._entry(real, os.fstat(fd))

        fd, entry = await self._call("create", path, make)
        return pyfuse3.FileInfo(fh=fd), entry

    async def read(self, fh, off, size):
        return await self._call("read", self._handle_path(fh),
                                lambda real: os.pread(fh, size, off))

    async def write(self, fh, off, buf):
        return await self._call("write", self._handle_path(fh),
                                lambda real: os.pwrite(fh, buf, off))

    async def flush(self, fh):
        await self._call("flush", self._handle_path(fh), lambda real: None)

    async def fsync(self, fh, datasync):
        await self._call("fsync", self._handle_path(fh),
                         lambda real: os.fdatasync(fh) if datasync else os.fsync(fh))

    async def release(self, fh):
        await self._call("release", self._handle_path(fh), lambda real: os.close(fh))

    def _handle_path(self, fh):
        try:
            return os.fsencode(os.readlink("/proc/self/fd/%d" % fh))
        except OSError:
            return self.backing


def serve(backing, mount, trips):
    """Mounts and answers until unmounted."""
    share = ClientShare(backing, trips)
    options = set(pyfuse3.default_options)
    options.add("fsname=slowshare")
    options.discard("default_permissions")  # the backing files' own permissions decide
    pyfuse3.init(share, mount, options)
    try:
        trio.run(pyfuse3.main)
    finally:
        pyfuse3.close(unmount=False)
