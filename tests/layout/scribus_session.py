"""A Scribus running the layout script under its own Xvfb and openbox, with its own HOME and
runtime folder, for the tests of the layout script."""

import json
import os
import shutil
import signal
import socket
import subprocess
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SKIP = 77  # ctest's skip code for a machine without Scribus or Xvfb


def missing_programs():
    return [name for name in ("scribus", "Xvfb", "openbox") if shutil.which(name) is None]


def system_path():
    """PATH without Python version managers' folders: Scribus's embedded Python takes its library
    from the first python3 on PATH, and it must be the system's, which has PyQt5."""
    folders = os.environ.get("PATH", "/usr/bin:/bin").split(os.pathsep)
    return os.pathsep.join(folder for folder in folders if "/.pyenv/" not in folder and "/.venv" not in folder)


def make_document(path, first_image, second_image, home, script=os.path.join(HERE, "make_document.py")):
    """The tests' document (make_document.py, or another script taking the same arguments), made by
    Scribus without a display."""
    make_document_with(script, path, [first_image, second_image], home)


def make_document_with(script, path, images, home):
    """Runs `scribus -g -py SCRIPT PATH IMAGE...` without a display; the script saves PATH."""
    environment = dict(os.environ, QT_QPA_PLATFORM="offscreen", HOME=home, PATH=system_path())
    subprocess.run(["scribus", "-g", "-ns", "-py", script, path, *images], env=environment,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120, check=False)
    if not os.path.exists(path):
        raise RuntimeError("Scribus did not make the test document")


def wait_until(condition, timeout, what):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        result = condition()
        if result:
            return result
        time.sleep(0.05)
    raise TimeoutError("waited %.0f s for %s" % (timeout, what))


class Display:
    """Xvfb on a free display number, with openbox managing its windows."""

    def __init__(self, folder):
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1600x1000x24",
                                      "-nolisten", "tcp"], pass_fds=(write_end,), stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            self.name = ":" + pipe.readline().strip()
        self.environment = dict(os.environ, DISPLAY=self.name, PATH=system_path())
        self.openbox = subprocess.Popen(["openbox", "--sm-disable"], env=self.environment,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def screenshot(self, path):
        if shutil.which("import"):
            subprocess.run(["import", "-window", "root", path], env=self.environment, check=False,
                           stderr=subprocess.DEVNULL)

    def close(self):
        for process in (self.openbox, self.xvfb):
            process.terminate()
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()


class ScribusSession:
    """Scribus showing `document`, the layout script loaded through tests/layout/driver.py (or the
    driver script named by `driver`; with `driver` False, however Scribus's own preferences say;
    `before_start` gets the session's environment to prepare them); `program` is what starts Scribus."""

    def __init__(self, script_folder, document, folder=None, driver=True, before_start=None, program="scribus"):
        self.folder = folder or tempfile.mkdtemp(prefix="quillmark-scribus-")
        self.home = os.path.join(self.folder, "home")
        self.runtime = os.path.join(self.folder, "runtime")
        for path in (self.home, self.runtime):
            os.makedirs(path, mode=0o700, exist_ok=True)
        self.display = Display(self.folder)
        self.environment = dict(self.display.environment, HOME=self.home, XDG_RUNTIME_DIR=self.runtime,
                                XDG_CONFIG_HOME=os.path.join(self.home, ".config"),
                                QUILLMARK_TEST_SCRIPT=os.path.join(script_folder, "quillmark_layout.py"))
        if before_start:
            before_start(self.environment)
        self.log = open(os.path.join(self.folder, "scribus.log"), "wb")
        script = ["-py", driver if isinstance(driver, str) else os.path.join(HERE, "driver.py")] if driver else []
        self.scribus = subprocess.Popen([program, "-ns", document, *script],
                                        env=self.environment, stdout=self.log, stderr=subprocess.STDOUT)
        self.socket_path = os.path.join(self.runtime, "quillmark", str(self.scribus.pid))
        wait_until(self.answers, 60, "the layout script's socket")
        self.next_id = 1

    def answers(self):
        try:
            with socket.socket(socket.AF_UNIX) as connection:
                connection.connect(self.socket_path)
            return True
        except OSError:
            if self.scribus.poll() is not None:
                raise RuntimeError("Scribus ended with status %s" % self.scribus.returncode)
            return False

    def call(self, handler, *arguments, timeout=10):
        """One request on a fresh connection, as the program makes it; the answer's object."""
        with socket.socket(socket.AF_UNIX) as connection:
            connection.settimeout(timeout)
            connection.connect(self.socket_path)
            stream = connection.makefile("rwb")
            for request in ({"id": 0, "handler": "hello", "arguments": [1]},
                            {"id": self.next_id, "handler": handler, "arguments": ["scribus", *arguments]}):
                stream.write(json.dumps(request).encode() + b"\n")
                stream.flush()
                answer = self._read_answer(stream, request["id"])
            self.next_id += 1
            return answer

    @staticmethod
    def _read_answer(stream, request_id):
        while True:
            message = json.loads(stream.readline())
            if message.get("id") == request_id:
                return message

    def result(self, handler, *arguments):
        answer = self.call(handler, *arguments)
        if "error" in answer:
            raise RuntimeError("%s: %s" % (handler, answer["error"]))
        return answer["result"]

    def close(self):
        if self.scribus.poll() is None:
            self.scribus.send_signal(signal.SIGTERM)
            try:
                self.scribus.wait(15)
            except subprocess.TimeoutExpired:
                self.scribus.kill()
                self.scribus.wait()
        self.display.close()
        self.log.close()
