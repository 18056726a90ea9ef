"""The layout script's socket: one JSON object a line, served on Scribus's main thread.

A request {"id", "handler", "arguments"} is answered by {"id", "result"} or {"id", "error"}; the
first one on a connection is the "hello" handshake. {"event": "selectionChanged"} lines tell every
connected program that the selection changed. Nothing raised by a handler leaves this module: an
exception escaping into Scribus would open a modal error box (or, from a Qt slot, end Scribus)."""

import atexit
import json
import os
import sys
import tempfile
import traceback

from PyQt5.QtCore import QTimer
from PyQt5.QtNetwork import QLocalServer

from . import errors
from .errors import ScriptError

PROTOCOL = 1
SELECTION_POLL_MS = 250
# Handlers whose work may change the selection (the new frame is selected).
PROGRAM_SELECTS = ("maketextbox", "setparagraphstyleofselectedframe")
# A request line longer than this is not from the program: the connection is closed.
MAX_LINE_BYTES = 16 * 1024 * 1024


def socket_folder():
    runtime = os.environ.get("XDG_RUNTIME_DIR")
    if runtime:
        return os.path.join(runtime, "quillmark")
    return os.path.join(tempfile.gettempdir(), "quillmark-%d" % os.getuid())


def socket_path():
    return os.path.join(socket_folder(), str(os.getpid()))


def log(message):
    sys.stderr.write("quillmark layout script: %s\n" % message)


class Connection:
    def __init__(self, socket, server):
        self.socket = socket
        self.server = server
        self.pending = b""
        socket.readyRead.connect(self.read)
        socket.disconnected.connect(self.close)

    def read(self):
        try:
            self.pending += bytes(self.socket.readAll())
            while b"\n" in self.pending:
                line, self.pending = self.pending.split(b"\n", 1)
                if line.strip():
                    self.send(self.server.answer(line))
            if len(self.pending) > MAX_LINE_BYTES:
                log("a request of over %d bytes; closing the connection" % MAX_LINE_BYTES)
                self.pending = b""
                self.socket.abort()
        except Exception:  # noqa: BLE001 - a slot must not raise
            log(traceback.format_exc())

    def send(self, message):
        self.socket.write(json.dumps(message, ensure_ascii=False).encode("utf-8") + b"\n")
        self.socket.flush()

    def close(self):
        try:
            self.server.forget(self)
            self.socket.deleteLater()
        except Exception:  # noqa: BLE001
            log(traceback.format_exc())


class LayoutServer:
    def __init__(self, handlers, application, version, selection_signature, modal_dialog_is_open):
        self.handlers = dict(handlers)
        self.application = application
        self.version = version
        self.selection_signature = selection_signature
        self.modal_dialog_is_open = modal_dialog_is_open
        self.connections = []
        self.handling = False
        self.last_selection = None
        self.path = socket_path()
        self.server = QLocalServer()
        self.server.newConnection.connect(self.accept)
        self.poll = QTimer()
        self.poll.setInterval(SELECTION_POLL_MS)
        self.poll.timeout.connect(self.check_selection)

    def listen(self):
        os.makedirs(socket_folder(), mode=0o700, exist_ok=True)
        os.chmod(socket_folder(), 0o700)
        QLocalServer.removeServer(self.path)
        self.server.setSocketOptions(QLocalServer.UserAccessOption)
        if not self.server.listen(self.path):
            log("cannot listen on %s: %s" % (self.path, self.server.errorString()))
            return False
        atexit.register(self.remove_socket)
        return True

    def remove_socket(self):
        try:
            self.poll.stop()
            self.server.close()
            if os.path.exists(self.path):
                os.unlink(self.path)
        except Exception:  # noqa: BLE001
            pass

    def accept(self):
        try:
            while self.server.hasPendingConnections():
                self.connections.append(Connection(self.server.nextPendingConnection(), self))
            # The selection is taken as known only when the first connection comes: a later one must
            # not swallow a change that the connected programs have not heard of yet.
            if not self.poll.isActive():
                self.last_selection = self.current_selection()
                self.poll.start()
        except Exception:  # noqa: BLE001
            log(traceback.format_exc())

    def forget(self, connection):
        if connection in self.connections:
            self.connections.remove(connection)
        if not self.connections:
            self.poll.stop()

    def answer(self, line):
        request_id = None
        try:
            request = json.loads(line.decode("utf-8"))
            request_id = request.get("id")
            return {"id": request_id, "result": self.run(request.get("handler"), request.get("arguments", []))}
        except ScriptError as error:
            return {"id": request_id, "error": error.as_json()}
        except (ValueError, AttributeError, TypeError) as error:
            return {"id": request_id, "error": {"number": errors.BAD_REQUEST, "message": str(error),
                                                "brief": type(error).__name__}}
        except Exception as error:  # noqa: BLE001 - every failure is an answer
            log(traceback.format_exc())
            return {"id": request_id, "error": {"number": errors.UNEXPECTED, "message": str(error),
                                                "brief": type(error).__name__}}

    def run(self, handler, arguments):
        if handler == "hello":
            return {"protocol": PROTOCOL, "application": self.application, "version": self.version,
                    "pid": os.getpid()}
        function = self.handlers.get(handler)
        if function is None:
            raise ScriptError(errors.BAD_REQUEST, "unknown handler %r" % handler)
        if self.handling or self.modal_dialog_is_open():
            raise ScriptError(errors.BUSY, "busy")
        self.handling = True
        try:
            return function(*arguments)
        finally:
            self.handling = False
            if handler in PROGRAM_SELECTS:
                # The program's own frame becomes the selection: that is no change for it to follow.
                self.last_selection = self.current_selection()

    def current_selection(self):
        try:
            return self.selection_signature()
        except Exception:  # noqa: BLE001 - the document may be closing
            return None

    def check_selection(self):
        try:
            if self.handling or self.modal_dialog_is_open():
                return
            selection = self.current_selection()
            if selection != self.last_selection:
                self.last_selection = selection
                for connection in list(self.connections):
                    connection.send({"event": "selectionChanged"})
        except Exception:  # noqa: BLE001
            log(traceback.format_exc())
