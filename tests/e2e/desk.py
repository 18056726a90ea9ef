"""What the end-to-end scenarios share: the desk's settings and pictures, running the program and its
tools in an environment of the scenario's own, asking the running program what it shows
(`quillmark --shown`), finding and clicking a picture frame on the screen by its fill colour, alerts,
and the "ok: ..." / "FAIL: ..." report."""

import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback
import xml.etree.ElementTree as ElementTree

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.abspath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(SOURCE, "tests", "layout"))

from scribus_session import SKIP, missing_programs, wait_until  # noqa: E402,F401

BIN = os.environ.get("QUILLMARK_BIN", os.path.join(SOURCE, "build", "bin"))
SHOTS = os.environ.get("QUILLMARK_E2E_SHOTS", os.path.join(SOURCE, "build", "e2e"))
SAMPLE = os.path.join(SOURCE, "resources", "samples", "sample.jpg")
HOT_KEY = "ctrl+alt+b"
# The fill colour of each picture frame of make_document.py, by which a scenario finds it on the screen.
COLOURS = {"Picture1": (255, 0, 255), "Picture2": (0, 255, 255), "Picture3": (255, 255, 0)}
PICTURE_WIDTH = 240.0  # points, as make_document.py makes them
TIMEOUT = 30


class Failed(Exception):
    pass


def publications():
    """The stored default publication, its frames styled with the document's styles, the caption
    further down than the byline, and the drag-and-drop paragraph style "Caption"."""
    with open(os.path.join(SOURCE, "resources", "defaultPublications.json"), encoding="utf-8") as stored:
        daily = json.load(stored)["publications"][0]
    daily["bylines"][0].update(paragraphStyleName="Byline", verticalGutter=6.0, fitFrameToContent=True)
    daily["captions"][0].update(paragraphStyleName="Caption", verticalGutter=40.0, fitFrameToContent=True)
    daily.update(useDragAndDropParagraphStyle=True, dragAndDropParagraphStyle="Caption")
    return {"publications": [daily]}


def story_text(item):
    """A saved frame's text, paragraphs joined with a line feed."""
    parts = []
    for element in item.iter():
        if element.tag == "ITEXT":
            parts.append(element.get("CH", ""))
        elif element.tag in ("para", "breakline"):
            parts.append("\n")
    return "".join(parts).rstrip("\n")


def one_line(text):
    return text.replace("\r\n", "\n").replace("\r", "\n")


def summary(report):
    """What `quillmark --shown` reported, its datasets counted."""
    if not report:
        return "no answer"
    short = {key: value for key, value in report.items() if key not in ("datasets", "selectedRows")}
    short["datasets"] = len(report.get("datasets") or [])
    return json.dumps(short, ensure_ascii=False)


def text_frames(document):
    return [item for item in ElementTree.parse(document).getroot().iter("PAGEOBJECT") if item.get("PTYPE") == "4"]


class Desk:
    """A scenario: `run` calls `steps` in the scenario's environment (its own settings file; the
    display's, HOME's and runtime folder's variables added by the scenario) and ends what it started."""

    shots = SHOTS

    def __init__(self, folder):
        self.folder = folder
        self.failures = 0
        self.processes = []
        self.display = None
        self.environment = dict(os.environ, QUILLMARK_DEFAULTS=os.path.join(folder, "defaults.plist"),
                                LANG=os.environ.get("LANG") or "en_US.UTF-8")
        for name in ("QUILLMARK_LAYOUT_SOCKET", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LANGUAGE", "LC_ALL",
                     "LC_MESSAGES", "QUILLMARK_RESOURCES"):
            self.environment.pop(name, None)

    # -- reporting -------------------------------------------------------------------------------

    def ok(self, what):
        print("ok: " + what, flush=True)

    def fail(self, what):
        self.failures += 1
        print("FAIL: " + what, flush=True)

    def step(self, name, function):
        """Runs one step; a failure is reported with a picture of the screen. True when it passed."""
        failures = self.failures
        try:
            function()
        except (Failed, TimeoutError, RuntimeError, subprocess.SubprocessError, OSError) as error:
            self.fail("%s: %s" % (name, error))
            self.shoot("failure-" + name.split()[0])
        except Exception:  # noqa: BLE001 - one broken step does not hide the others' results
            self.fail("%s: %s" % (name, traceback.format_exc().strip().splitlines()[-1]))
            traceback.print_exc()
            self.shoot("failure-" + name.split()[0])
        return self.failures == failures

    def shoot(self, name):
        if self.display:
            self.display.screenshot(os.path.join(self.shots, name + ".png"))

    # -- processes -------------------------------------------------------------------------------

    def cli(self, *arguments):
        done = subprocess.run([os.path.join(BIN, "quillmark-cli"), *arguments], env=self.environment,
                              capture_output=True, text=True, timeout=TIMEOUT)
        if done.returncode != 0:
            raise Failed("quillmark-cli %s: %s" % (" ".join(arguments), done.stderr.strip()))
        return done.stdout

    def x(self, *command):
        done = subprocess.run(command, env=self.environment, capture_output=True, text=True, timeout=TIMEOUT)
        return done.stdout.split() if done.returncode == 0 else []

    def shown(self, timeout=TIMEOUT):
        done = subprocess.run([os.path.join(BIN, "quillmark"), "--shown"], env=self.environment,
                              capture_output=True, text=True, timeout=timeout)
        return json.loads(done.stdout) if done.returncode == 0 else None

    def wait_shown(self, condition, what, timeout=TIMEOUT):
        last = [None]

        def check():
            last[0] = self.shown()
            return last[0] if last[0] and condition(last[0]) else None

        try:
            return wait_until(check, timeout, what)
        except TimeoutError:
            raise Failed("waited %d s for %s; --shown gives %s" % (timeout, what, summary(last[0])))

    def start(self, command, log):
        process = subprocess.Popen(command, env=self.environment, stdout=log, stderr=subprocess.STDOUT,
                                   start_new_session=True)
        self.processes.append(process)
        return process

    def close(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.send_signal(signal.SIGCONT)
                process.send_signal(signal.SIGTERM)
                try:
                    process.wait(10)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()

    # -- the desk --------------------------------------------------------------------------------

    def desk_settings(self):
        """The publication, the "byline and caption" hot key, and the panel shown on start."""
        path = os.path.join(self.folder, "publications.json")
        with open(path, "w", encoding="utf-8") as out:
            json.dump(publications(), out)
        self.cli("publications", "import", path)
        self.cli("defaults", "write", "hotKeys_MakeBylineAndCaption", "-hotkey", HOT_KEY)
        self.cli("defaults", "write", "showIptcPanelOnStartup", "-bool", "true")

    def expected_rows(self, path):
        """What quillmark-cli shows for the file with the same settings: the panel must show the same."""
        return json.loads(self.cli("show", path, "--json").splitlines()[0])

    def compare_rows(self, report, expected, name):
        rows = [(row["code"], row["value"]) for row in report["datasets"]]
        wanted = [("%d:%d" % (record["record"], record["dataset"]), one_line(record["value"]))
                  for record in expected["records"]]
        if rows != wanted:
            raise Failed("%s: the panel shows %s, quillmark-cli show %s" % (name, rows, wanted))
        if one_line(report["byline"]) != one_line(expected.get("byline") or ""):
            raise Failed("%s: the panel's byline %r, quillmark-cli's %r" % (name, report["byline"],
                                                                             expected.get("byline")))
        if one_line(report["caption"]) != one_line(expected.get("caption") or ""):
            raise Failed("%s: the panel's caption %r, quillmark-cli's %r" % (name, report["caption"],
                                                                              expected.get("caption")))

    # -- the screen ------------------------------------------------------------------------------

    def geometry(self, window):
        values = dict(line.split("=", 1) for line in self.x("xdotool", "getwindowgeometry", "--shell", window))
        try:
            return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])
        except KeyError:
            return None

    def largest_window_of(self, pid):
        best, area = None, 0
        for window in self.x("xdotool", "search", "--onlyvisible", "--pid", str(pid)):
            geometry = self.geometry(window)
            if geometry and geometry[2] * geometry[3] > area:
                best, area = window, geometry[2] * geometry[3]
        return best if area > 400 * 300 else None

    def screen(self):
        data = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=self.environment,
                              capture_output=True, timeout=TIMEOUT, check=True).stdout
        fields = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", data)
        return int(fields.group(1)), data[fields.end():]

    def region_of(self, picture):
        """The screen box (left, top, right, bottom, centre) where the picture frame's fill colour shows."""
        width, pixels = self.screen()
        pattern = b"".join(b"[" + re.escape(bytes([max(0, c - 12)])) + b"-" + re.escape(bytes([min(255, c + 12)]))
                           + b"]" for c in COLOURS[picture])
        points = [(offset // 3 % width, offset // 3 // width)
                  for offset in (match.start() for match in re.finditer(pattern, pixels)) if offset % 3 == 0]
        if len(points) < 400:
            return None
        xs, ys = sorted(p[0] for p in points), sorted(p[1] for p in points)
        return xs[0], ys[0], xs[-1], ys[-1], (xs[len(xs) // 2], ys[len(ys) // 2])

    def click_on(self, picture):
        """Clicks the middle of the picture frame as the screen shows it; its screen box."""
        region = wait_until(lambda: self.region_of(picture), TIMEOUT, "%s on the screen" % picture)
        x, y = region[4]
        self.x("xdotool", "mousemove", str(x), str(y), "click", "1")
        return region

    # -- alerts ----------------------------------------------------------------------------------

    def alerts(self):
        return self.x("xdotool", "search", "--onlyvisible", "--name", "^Quillmark (error|alert)$")

    def dismiss_alerts(self):
        """Presses Return on each alert the program shows, until none comes for a second."""
        while True:
            try:
                alert = wait_until(self.alerts, 1, "an alert")[0]
            except TimeoutError:
                return
            self.x("xdotool", "windowactivate", "--sync", alert, "key", "Return")
            wait_until(lambda: alert not in self.alerts(), TIMEOUT, "the alert to close")


def main(scenario, extra_programs=()):
    """Runs the scenario class in a folder of its own; the process's exit status."""
    missing = missing_programs() + [name for name in ("xdotool", "import", "convert", *extra_programs)
                                    if shutil.which(name) is None]
    if missing:
        print("skipped: %s not installed" % ", ".join(missing))
        return SKIP
    for program in ("quillmark", "quillmark-cli"):
        if not os.access(os.path.join(BIN, program), os.X_OK):
            print("FAIL: %s is not built in %s" % (program, BIN))
            return 1
    os.makedirs(scenario.shots, exist_ok=True)
    for name in os.listdir(scenario.shots):
        if name.endswith(".png"):
            os.unlink(os.path.join(scenario.shots, name))
    folder = tempfile.mkdtemp(prefix="quillmark-e2e-")
    desk = scenario(folder)
    started = time.monotonic()
    try:
        desk.run()
    finally:
        if desk.failures:
            print("the scenario's files are kept in %s (quillmark.log, scribus/scribus.log)" % folder)
        else:
            shutil.rmtree(folder, ignore_errors=True)
    print("%s: %d failed in %.0f s; screenshots in %s" % ("FAIL" if desk.failures else "ok", desk.failures,
                                                         time.monotonic() - started, scenario.shots))
    return 1 if desk.failures else 0
