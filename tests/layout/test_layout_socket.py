"""The layout script's socket against careless and hostile clients, served outside Scribus
(socket_server.py) so that it runs wherever PyQt5 is installed."""

import json
import os
import resource
import shutil
import signal
import socket
import stat
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SKIP = 77
HELLO = b'{"id": 0, "handler": "hello", "arguments": [1]}\n'
ECHO = b'{"id": 1, "handler": "echo", "arguments": ["i", 7]}\n'


def start_server(environment, messages, descriptors=None):
    """The server, writing its messages to that file."""
    limit = (lambda: resource.setrlimit(resource.RLIMIT_NOFILE, (descriptors, descriptors))) if descriptors else None
    return subprocess.Popen([sys.executable, os.path.join(HERE, "socket_server.py")], env=environment,
                            stdout=subprocess.PIPE, stderr=messages, text=True, preexec_fn=limit)


def connected(path):
    """A connection; while the server's backlog is full (EAGAIN), the connect is tried again."""
    deadline = time.monotonic() + 10
    while True:
        connection = socket.socket(socket.AF_UNIX)
        connection.settimeout(10)
        try:
            connection.connect(path)
            return connection
        except BlockingIOError:
            connection.close()
            if time.monotonic() > deadline:
                raise
            time.sleep(0.01)


def exchange(path, data, answers):
    """What the answers (JSON objects) to the data written at once hold: a result, "hello" for the
    handshake's, or an error's number; then "closed" when the server closes the connection instead."""
    with connected(path) as connection:
        try:
            connection.sendall(data)
        except (BrokenPipeError, ConnectionResetError):
            pass
        stream, received = connection.makefile("rb"), []
        while len(received) < answers and "closed" not in received:
            try:
                answer = json.loads(stream.readline() or b'"closed"')
            except ConnectionResetError:
                answer = "closed"
            received.append(answer if answer == "closed" else answer.get("error", {}).get("number") or
                            ("hello" if "protocol" in answer["result"] else answer["result"]))
        return received


class LayoutSocketTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="quillmark-layout-socket-")
        self.addCleanup(shutil.rmtree, self.folder, ignore_errors=True)
        self.environment = dict(os.environ, XDG_RUNTIME_DIR=os.path.join(self.folder, "runtime"))

    def start(self, environment, **options):
        """The server and the file of its messages."""
        messages = tempfile.TemporaryFile("w+", dir=self.folder)
        server = start_server(environment, messages, **options)
        for cleanup in (messages.close, server.stdout.close, server.wait, server.kill):
            self.addCleanup(cleanup)
        return server, messages

    def serve(self, **options):
        words = self.start(self.environment, **options)[0].stdout.readline().split()
        self.assertEqual(words[:1], ["listening"])
        return words[1]

    def test_hostile_clients_leave_the_socket_answering(self):
        def idle_connections(path):
            connections = [connected(path) for _ in range(1100)]
            answers = exchange(path, HELLO + ECHO, 2)
            for connection in connections:
                connection.close()
            return answers

        cases = [  # name, what the client writes (or does), the answers
            ("a request before hello", ECHO + HELLO, [-9, "closed"]),
            ("another protocol", HELLO.replace(b"[1]", b"[2]") + ECHO, [-9, "closed"]),
            ("a protocol that is no number", HELLO.replace(b"[1]", b"[true]") + ECHO, [-9, "closed"]),
            ("several requests in one write", HELLO + ECHO + ECHO, ["hello", [7], [7]]),
            ("NaN is no JSON", HELLO + ECHO.replace(b"7", b"NaN"), ["hello", -3]),
            ("arguments that are no list", HELLO + ECHO.replace(b'["i", 7]', b'"i7"'), ["hello", -3]),
            ("a line past 64 KiB", HELLO + b"x" * (5 * 1024 * 1024), ["hello", "closed"]),
            ("1,100 idle connections under a limit of 1,024 descriptors", idle_connections, ["hello", [7]]),
        ]
        path = self.serve(descriptors=1024)
        for name, client, expected in cases:
            with self.subTest(name):
                answers = client(path) if callable(client) else exchange(path, client, len(expected))
                self.assertEqual(answers, expected)
                self.assertEqual(exchange(path, HELLO + ECHO, 2), ["hello", [7]], "answered afterwards")

    def test_the_socket_goes_when_the_server_ends_by_sigterm(self):
        server, messages = self.start(self.environment)
        path = server.stdout.readline().split()[1]
        server.send_signal(signal.SIGTERM)
        self.assertEqual(server.wait(10), -signal.SIGTERM)
        self.assertFalse(os.path.exists(path))

    def test_a_fallback_folder_that_is_not_the_users_own_is_refused_and_left_alone(self):
        cases = [  # name, how the folder was made before, the reason given
            ("open to every user", lambda folder: os.mkdir(folder, 0o777) or os.chmod(folder, 0o777), "mode is 0777"),
            ("a symbolic link to a shared folder", lambda folder: os.symlink(self.shared, folder), "symbolic link"),
        ]
        if os.getuid() == 0:
            cases.append(("another user's private folder",
                          lambda folder: os.mkdir(folder, 0o700) or os.chown(folder, 4242, -1), "another user"))
        for name, make, reason in cases:
            with self.subTest(name):
                temporary = tempfile.mkdtemp(dir=self.folder)
                self.shared = os.path.join(temporary, "shared")
                os.mkdir(self.shared)
                os.chmod(self.shared, 0o2775)
                folder = os.path.join(temporary, "quillmark-%d" % os.getuid())
                make(folder)
                before = os.lstat(folder)[:5]
                environment = dict(self.environment, TMPDIR=temporary)
                del environment["XDG_RUNTIME_DIR"]
                server, messages = self.start(environment)
                self.assertEqual(server.wait(30), 3)
                messages.seek(0)
                self.assertIn(reason, messages.read())
                self.assertEqual(os.lstat(folder)[:5], before)
                self.assertEqual(stat.S_IMODE(os.stat(self.shared).st_mode), 0o2775)
                self.assertEqual(os.listdir(self.shared), [])


if __name__ == "__main__":
    try:
        import PyQt5.QtNetwork  # noqa: F401
    except ImportError:
        print("skipped: PyQt5 is not installed for %s" % sys.executable)
        sys.exit(SKIP)
    unittest.main()
