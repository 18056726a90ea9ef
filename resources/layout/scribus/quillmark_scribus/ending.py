"""Work to do when Scribus is told to end by SIGTERM (a session's log-out, `kill`), which ends it
without running Python's atexit functions. The signal's default is restored and the signal raised
again once the work is done, so that Scribus ends as it would have."""

import os
import signal
import socket
import sys

from PyQt5.QtCore import QSocketNotifier

_work = []
_state = {}


def on_termination(function):
    """Runs the function when SIGTERM comes, before Scribus ends."""
    _work.append(function)
    if not _state:
        _install()


def _install():
    try:
        # Python runs a signal handler only when it next runs Python code; Scribus's event loop runs
        # none while idle, so the signal is also written to a socket that the event loop watches.
        reader, writer = socket.socketpair()
        for end in (reader, writer):
            end.setblocking(False)
        signal.set_wakeup_fd(writer.fileno(), warn_on_full_buffer=False)
        notifier = QSocketNotifier(reader.fileno(), QSocketNotifier.Read)
        notifier.activated.connect(lambda _: _drain(reader))
        signal.signal(signal.SIGTERM, _terminated)
        _state.update(reader=reader, writer=writer, notifier=notifier)
    except (ValueError, OSError) as error:  # not on the main thread, or no socket left
        sys.stderr.write("quillmark layout script: cannot watch for SIGTERM: %s\n" % error)


def _drain(reader):
    try:
        while reader.recv(64):
            pass
    except OSError:
        pass


def _terminated(number, frame):
    for function in _work:
        try:
            function()
        except Exception:  # noqa: BLE001 - the rest must still run, and Scribus must still end
            pass
    signal.signal(signal.SIGTERM, signal.SIG_DFL)
    os.kill(os.getpid(), signal.SIGTERM)
