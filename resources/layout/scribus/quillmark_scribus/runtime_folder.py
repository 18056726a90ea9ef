"""The private folder of this user's sockets: $XDG_RUNTIME_DIR/quillmark, or <TMPDIR or /tmp>/quillmark-UID
when XDG_RUNTIME_DIR is unset. That fallback lies in a folder every user can write to, so it is
used only when it is a real directory (not a symbolic link) owned by this user with mode 0700; a
folder somebody else made is never changed."""

import os
import stat
import sys


def location():
    runtime = os.environ.get("XDG_RUNTIME_DIR")
    if runtime:
        return os.path.join(runtime, "quillmark")
    return os.path.join(os.environ.get("TMPDIR") or "/tmp", "quillmark-%d" % os.getuid())


def problem_with_fallback(folder):
    """Why the fallback folder may not be used; None when it may."""
    try:
        status = os.lstat(folder)
    except OSError as error:
        return "it cannot be read (%s)" % error.strerror
    if stat.S_ISLNK(status.st_mode):
        return "it is a symbolic link"
    if not stat.S_ISDIR(status.st_mode):
        return "it is not a folder"
    if status.st_uid != os.getuid():
        return "it belongs to another user (uid %d)" % status.st_uid
    if stat.S_IMODE(status.st_mode) != 0o700:
        return "its mode is %04o, not 0700" % stat.S_IMODE(status.st_mode)
    return None


def _make(folder):
    """Makes the folder with mode 0700 (whatever the umask) unless something is there already; that
    is left as it is."""
    try:
        os.mkdir(folder, 0o700)
    except OSError:
        return
    os.chmod(folder, 0o700)


def socket_folder():
    """The folder, made when missing; None, after saying why on standard error, when it may not be used."""
    folder = location()
    if os.environ.get("XDG_RUNTIME_DIR"):
        _make(os.path.dirname(folder))
        _make(folder)
        return folder
    _make(folder)
    problem = problem_with_fallback(folder)
    if problem:
        sys.stderr.write("quillmark layout script: the folder %s is not used for sockets: %s. Remove it, or set "
                         "XDG_RUNTIME_DIR to a private folder.\n" % (folder, problem))
        return None
    return folder
