"""The layout script's socket: one JSON object a line, served on Scribus's main thread.

A request {"id", "handler", "arguments"} is answered by {"id", "result"} or {"id", "error"}; the
first one on a connection is the "hello" handshake. {"event": "selectionChanged", ...} lines tell every
connected program that the selection changed, with what it would ask next (the selected picture's
path). A mouse-button or key release anywhere in Scribus has the selection looked at once; a slow
poll stays only for changes no release announces (a script's, an undo by menu). Nothing raised by a handler leaves this module: an
exception escaping into Scribus would open a modal error box (or, from a Qt slot, end Scribus)."""

import atexit
import json
import math
import os
import sys
import time
import traceback

from PyQt5.QtCore import QEvent, QObject, QTimer
from PyQt5.QtWidgets import QApplication
from PyQt5.QtNetwork import QLocalServer

from . import ending, errors, runtime_folder
from .errors import ScriptError

PROTOCOL = 1
SELECTION_POLL_MS = 1000
# Events after which the selection may have changed: it is looked at once the event is handled.
SELECTION_TRIGGERS = (QEvent.MouseButtonRelease, QEvent.KeyRelease)
# Handlers whose work may change the selection (the new frame is selected).
PROGRAM_SELECTS = ("maketextbox", "setparagraphstyleofselectedframe")
# A request line longer than this is not from the program: the connection is closed.
MAX_LINE_BYTES = 64 * 1024
# Connections kept at once; a new one beyond them closes the one idle the longest.
MAX_CONNECTIONS = 64
# How often the server checks that it still listens (Qt closes it when an accept fails).
LISTEN_CHECK_MS = 500


def socket_path(folder):
    return os.path.join(folder, str(os.getpid()))


def log(message):
    sys.stderr.write("quillmark layout script: %s\n" % message)


def refuse_constant(name):
    """NaN and Infinity are no JSON: a request holding them is refused."""
    raise ValueError("%s is not a JSON number" % name)


def finite_float(text):
    """A number too large for a float (1e999) is refused rather than read as infinite."""
    number = float(text)
    if not math.isfinite(number):
        raise ValueError("%s is too large a number" % text[:40])
    return number


def check_protocol(arguments):
    """A "hello" names the protocol version its program speaks: it must be this script's."""
    spoken = arguments[0] if arguments else None
    if type(spoken) is not int or spoken != PROTOCOL:
        raise ScriptError(errors.WRONG_PROTOCOL, "this layout script speaks protocol %d, not %s"
                          % (PROTOCOL, json.dumps(spoken)[:40]))


class Connection:
    def __init__(self, socket, server):
        self.socket = socket
        self.server = server
        self.pending = b""
        self.greeted = False  # the "hello" handshake is done
        self.open = True
        self.last_active = time.monotonic()
        socket.setReadBufferSize(MAX_LINE_BYTES + 1)
        socket.readyRead.connect(self.read)
        socket.disconnected.connect(self.close)

    def read(self):
        try:
            self.last_active = time.monotonic()
            self.pending += bytes(self.socket.readAll())
            while self.open and b"\n" in self.pending:
                line, self.pending = self.pending.split(b"\n", 1)
                if len(line) > MAX_LINE_BYTES:
                    return self.drop_for_length()
                if line.strip():
                    self.handle(line)
            if self.open and len(self.pending) > MAX_LINE_BYTES:
                self.drop_for_length()
        except Exception:  # noqa: BLE001 - a slot must not raise
            log(traceback.format_exc())

    def handle(self, line):
        """Answers one request; a connection that has not shaken hands is closed after any other answer."""
        answer = self.server.answer(line, greeted=self.greeted)
        self.send(answer)
        if not self.greeted:
            self.greeted = "result" in answer
            if not self.greeted:
                self.drop()

    def drop_for_length(self):
        log("a request of over %d bytes; closing the connection" % MAX_LINE_BYTES)
        self.drop()

    def drop(self):
        """Closes the connection at once, dropping what it sent and what waits to be sent."""
        self.open = False
        self.pending = b""
        self.socket.abort()
        self.close()

    def send(self, message):
        if not self.open:
            return
        # A text that is no Unicode (a lone surrogate escaped in a request) goes back as "?".
        self.socket.write(json.dumps(message, ensure_ascii=False).encode("utf-8", "replace") + b"\n")
        self.socket.flush()

    def close(self):
        try:
            self.open = False
            self.server.forget(self)
            self.socket.deleteLater()
        except Exception:  # noqa: BLE001
            log(traceback.format_exc())


class SelectionTrigger(QObject):
    """Watches Scribus's input events: after a mouse-button or key release the selection is looked
    at as soon as Scribus has handled the event (a click selects on press or release, by tool)."""

    def __init__(self, check):
        super().__init__()
        self.check = check
        self.pending = False
        self.application = None

    def start(self):
        self.application = QApplication.instance()
        if self.application is not None:
            self.application.installEventFilter(self)

    def stop(self):
        if self.application is not None:
            self.application.removeEventFilter(self)
            self.application = None

    def eventFilter(self, watched, event):  # noqa: N802 - Qt's name
        try:
            if event.type() in SELECTION_TRIGGERS and not self.pending:
                self.pending = True
                QTimer.singleShot(0, self.fire)
        except Exception:  # noqa: BLE001 - a filter must not raise
            log(traceback.format_exc())
        return False

    def fire(self):
        self.pending = False
        self.check()


class LayoutServer:
    def __init__(self, handlers, application, version, selection_signature, modal_dialog_is_open,
                 selection_event=lambda signature: {}):
        self.handlers = dict(handlers)
        self.application = application
        self.version = version
        self.selection_signature = selection_signature
        self.selection_event = selection_event
        self.modal_dialog_is_open = modal_dialog_is_open
        self.connections = []
        self.dropped = 0  # connections closed to keep within MAX_CONNECTIONS
        self.handling = False
        self.last_selection = None
        self.path = None
        self.server = QLocalServer()
        self.server.newConnection.connect(self.accept)
        self.listening = QTimer()
        self.listening.setInterval(LISTEN_CHECK_MS)
        self.listening.timeout.connect(self.keep_listening)
        self.poll = QTimer()
        self.poll.setInterval(SELECTION_POLL_MS)
        self.poll.timeout.connect(self.check_selection)
        self.trigger = SelectionTrigger(self.check_selection)

    def listen(self):
        folder = runtime_folder.socket_folder()
        if folder is None:
            return False
        self.path = socket_path(folder)
        if not self.listen_again():
            return False
        atexit.register(self.remove_socket)
        ending.on_termination(self.remove_socket)
        self.listening.start()
        return True

    def listen_again(self):
        """Listens on the socket, replacing whatever file is there (the name is this process's own)."""
        self.server.close()
        QLocalServer.removeServer(self.path)
        self.server.setSocketOptions(QLocalServer.UserAccessOption)
        if not self.server.listen(self.path):
            log("cannot listen on %s: %s" % (self.path, self.server.errorString()))
            return False
        return True

    def keep_listening(self):
        """Qt closes the server, and removes its socket, when an accept fails (no file descriptors
        left): the program must still reach this Scribus, so the server listens again."""
        try:
            if not self.server.isListening() or not os.path.exists(self.path):
                log("the socket stopped listening (%s); listening again" % self.server.errorString())
                self.listen_again()
        except Exception:  # noqa: BLE001
            log(traceback.format_exc())

    def remove_socket(self):
        try:
            self.listening.stop()
            self.stop_watching_selection()
            self.server.close()
            if os.path.exists(self.path):
                os.unlink(self.path)
        except Exception:  # noqa: BLE001
            pass

    def accept(self):
        try:
            while self.server.hasPendingConnections():
                self.make_room()
                self.connections.append(Connection(self.server.nextPendingConnection(), self))
            # The selection is taken as known only when the first connection comes: a later one must
            # not swallow a change that the connected programs have not heard of yet.
            if not self.poll.isActive():
                self.last_selection = self.current_selection()
                self.poll.start()
                self.trigger.start()
        except Exception:  # noqa: BLE001
            log(traceback.format_exc())

    def make_room(self):
        """Keeps the connections below MAX_CONNECTIONS: the one idle the longest is closed."""
        while len(self.connections) >= MAX_CONNECTIONS:
            oldest = min(self.connections, key=lambda connection: connection.last_active)
            if self.dropped % 1000 == 0:
                log("more than %d connections; closing those idle the longest (%d so far)"
                    % (MAX_CONNECTIONS, self.dropped + 1))
            self.dropped += 1
            oldest.drop()
            self.forget(oldest)

    def forget(self, connection):
        if connection in self.connections:
            self.connections.remove(connection)
        if not self.connections:
            self.stop_watching_selection()

    def stop_watching_selection(self):
        self.poll.stop()
        self.trigger.stop()

    def answer(self, line, greeted=True):
        """The answer to one request line; on a connection not yet greeted, only "hello" is taken."""
        request_id = None
        try:
            request = json.loads(line.decode("utf-8"), parse_constant=refuse_constant, parse_float=finite_float)
            if not isinstance(request, dict):
                raise ValueError("a request is a JSON object")
            request_id = request.get("id")
            handler, arguments = request.get("handler"), request.get("arguments", [])
            if not isinstance(arguments, list):
                raise ValueError("the arguments of a request are a JSON array")
            if handler == "hello":
                check_protocol(arguments)
            elif not greeted:
                raise ScriptError(errors.WRONG_PROTOCOL, 'the first request on a connection must be "hello"')
            return {"id": request_id, "result": self.run(handler, arguments)}
        except ScriptError as error:
            return {"id": request_id, "error": error.as_json()}
        except (ValueError, AttributeError, TypeError, RecursionError) as error:
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
                event = dict(self.selection_event(selection), event="selectionChanged")
                for connection in list(self.connections):
                    connection.send(event)
        except Exception:  # noqa: BLE001
            log(traceback.format_exc())
