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
    """The answers (JSON objects) to the data written at once, then "closed" when the server
    closes the connection instead of answering more."""
    with connected(path) as connection:
        try:
            connection.sendall(data)
        except (BrokenPipeError, ConnectionResetError):
            pass
        stream, received = connection.makefile("rb"), []
        while len(received) < answers:
            try:
                line = stream.readline()
            except ConnectionResetError:
                line = b""
            if not line:
                return received + ["closed"]
            received.append(json.loads(line))
        return received


def summary(answers):
    """Each answer as its result, or its error's number."""
    return [answer if answer == "closed" else answer.get("result", answer.get("error", {}).get("number"))
            for answer in answers]


class LayoutSocketTest(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="quillmark-layout-socket-")
        self.addCleanup(shutil.rmtree, self.folder, ignore_errors=True)
        self.environment = dict(os.environ, XDG_RUNTIME_DIR=os.path.join(self.folder, "runtime"))

    def start(self, environment, **options):
        """The server and the file of its messages."""
        messages = tempfile.TemporaryFile("w+", dir=self.folder)
        self.addCleanup(messages.close)
        server = start_server(environment, messages, **options)
        self.addCleanup(server.stdout.close)
        self.addCleanup(server.wait)
        self.addCleanup(server.kill)
        return server, messages

    def serve(self, **options):
        server, messages = self.start(self.environment, **options)
        words = server.stdout.readline().split()
        self.assertEqual(words[:1], ["listening"])
        return server, words[1]

    def test_hostile_clients_leave_the_socket_answering(self):
        def idle_connections(path, count=1100):
            connections = [connected(path) for _ in range(count)]
            answers = exchange(path, HELLO + ECHO, 2)
            for connection in connections:
                connection.close()
            return answers

        hello_result = {"protocol": 1, "application": "Test", "version": "0", "pid": None}
        cases = [  # name, client, each answer's result or error number
            ("a request before hello", lambda path: exchange(path, ECHO + HELLO, 2), [-9, "closed"]),
            ("another protocol", lambda path: exchange(path, HELLO.replace(b"[1]", b"[2]") + ECHO, 2), [-9, "closed"]),
            ("a protocol that is no number", lambda path: exchange(path, HELLO.replace(b"[1]", b"[true]"), 2),
             [-9, "closed"]),
            ("several requests in one write", lambda path: exchange(path, HELLO + ECHO + ECHO, 3),
             [hello_result, [7], [7]]),
            ("NaN is no JSON", lambda path: exchange(path, HELLO + ECHO.replace(b"7", b"NaN"), 2), [hello_result, -3]),
            ("arguments that are no list", lambda path: exchange(path, HELLO + ECHO.replace(b'["i", 7]', b'"i7"'), 2),
             [hello_result, -3]),
            ("a line past 64 KiB", lambda path: exchange(path, HELLO + b"x" * (300 * 1024 * 1024 // 64), 2),
             [hello_result, "closed"]),
            ("1,100 idle connections under a limit of 1,024 descriptors", idle_connections, [hello_result, [7]]),
        ]
        server, path = self.serve(descriptors=1024)
        for name, client, expected in cases:
            with self.subTest(name):
                answers = summary(client(path))
                if isinstance(answers[0], dict):
                    answers[0]["pid"] = None
                self.assertEqual(answers, expected)
                self.assertEqual(summary(exchange(path, HELLO + ECHO, 2))[1], [7], "answered afterwards")
        self.assertIsNone(server.poll())

    def test_the_socket_goes_when_the_server_ends_by_sigterm(self):
        server, path = self.serve()
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
