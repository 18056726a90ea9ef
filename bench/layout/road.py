"""The road a person feels, beside a real Scribus under Xvfb: every figure with its target.

  - click on a picture frame (xdotool) -> the line of `quillmark-cli follow`, and -> the panel of the
    running program painted with the picture's datasets (the time `quillmark --shown` reports for
    that paint); CLICKS clicks alternating between a picture whose parser is cached and one whose
    file is touched before each click (parsed again);
  - `quillmark FILE` of a large JPEG handed to the running program -> its panel painted (a new file
    version each time: first sight);
  - `quillmark-cli frame byline`, process start included;
  - program start (`quillmark FILE`) -> panel painted with the file.

Times are CLOCK_MONOTONIC in this process and in the program. usage:
python3 bench/layout/road.py [BUILD_DIR] [--clicks N]; exit status 1 when a target is missed."""

import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
sys.path.insert(0, os.path.join(ROOT, "tests", "layout"))

import desk  # noqa: E402
from scribus_session import SKIP, ScribusSession, make_document_with, missing_programs, wait_until  # noqa: E402

LARGE_JPEG_MB = 21
# figure: (median target, p95 target) in ms; None where only one is set
TARGETS = {"click -> follow line": (25, 50), "click -> panel painted": (25, 50),
           "quillmark FILE (large JPEG) -> panel painted": (None, 40),
           "quillmark-cli frame byline": (25, None), "program start -> panel painted": (None, 150)}


def percentile(values, fraction):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(fraction * (len(ordered) - 1))))]


class Road(desk.Desk):
    def __init__(self, folder, clicks):
        super().__init__(folder)
        self.clicks = clicks
        self.session = None
        self.figures = {}
        self.follow_lines = []

    def close(self):
        super().close()
        if self.session:
            self.session.close()

    def run(self):
        try:
            self.prepare()
            self.time_clicks()
            self.time_files_handed_over()
            self.time_frame_byline()
            self.time_starts()
        finally:
            self.close()

    # -- set-up ----------------------------------------------------------------------------------

    def prepare(self):
        pictures = os.path.join(self.folder, "pictures")
        os.makedirs(pictures)
        self.cached, self.touched = (os.path.join(pictures, name) for name in ("cached.jpg", "touched.jpg"))
        for path in (self.cached, self.touched):
            shutil.copy(desk.SAMPLE, path)
        self.large = os.path.join(pictures, "large.jpg")
        size = int((LARGE_JPEG_MB * 1e6 / 1.6) ** 0.5)  # noise at quality 95: about 1.6 bytes a pixel
        subprocess.run(["convert", "-size", "%dx%d" % (size, size), "xc:gray", "+noise", "Random", "-quality", "95",
                        self.large], check=True, timeout=300)
        self.cli("set", self.large, "2:80=Road Bench", "2:120=A large picture.", "2:115=Bench")
        self.desk_settings()
        document = os.path.join(self.folder, "road.sla")
        make_document_with(os.path.join(desk.HERE, "make_document.py"), document,
                           [self.cached, self.touched, self.cached], os.path.join(self.folder, "batch-home"))

        def driver(environment):
            environment["QUILLMARK_LAYOUT_DRIVER"] = os.path.join(ROOT, "tests", "layout", "driver.py")

        self.session = ScribusSession(os.path.join(ROOT, "resources", "layout", "scribus"), document,
                                      os.path.join(self.folder, "scribus"), driver=os.path.join(desk.HERE, "driver.py"),
                                      before_start=driver)
        self.environment.update(self.session.environment)
        for name in ("QUILLMARK_TEST_SCRIPT", "QUILLMARK_LAYOUT_DRIVER"):
            self.environment.pop(name, None)
        self.display = self.session.display
        wait_until(lambda: self.largest_window_of(self.session.scribus.pid), 60, "Scribus's window")
        self.session.result("test.select", "")
        self.session.result("test.showpage")
        self.start_program()
        self.follow = subprocess.Popen([os.path.join(desk.BIN, "quillmark-cli"), "follow"], env=self.environment,
                                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.processes.append(self.follow)
        threading.Thread(target=self.read_follow, daemon=True).start()
        self.centres = {name: wait_until(lambda n=name: self.region_of(n), 60, name)[4]
                        for name in ("Picture1", "Picture2")}

    def start_program(self, *arguments):
        log = open(os.path.join(self.folder, "quillmark.log"), "ab")
        self.program = self.start([os.path.join(desk.BIN, "quillmark"), *arguments], log)
        wait_until(self.shown, 60, "quillmark to answer --shown")
        wait_until(lambda: not self.x("xdotool", "search", "--onlyvisible", "--name", "^About Quillmark$"),
                   60, "the about panel to fade out")

    def read_follow(self):
        for line in self.follow.stdout:
            self.follow_lines.append((time.monotonic(), line.split("\t", 1)[0]))

    def painted_after(self, path, started, timeout=30):
        def painted():
            report = self.shown()
            mark = report and report.get("painted")
            return mark if mark and mark["path"] == path and mark["monotonicSeconds"] > started else None
        return wait_until(painted, timeout, "the panel to paint %s" % os.path.basename(path))["monotonicSeconds"]

    # -- figures ---------------------------------------------------------------------------------

    def time_clicks(self):
        to_line, to_paint = [], []
        for index in range(self.clicks + 2):
            name, path = ("Picture1", self.cached) if index % 2 == 0 else ("Picture2", self.touched)
            if path == self.touched:
                stamp = time.time_ns() + index * 1000
                os.utime(path, ns=(stamp, stamp))
            seen = len(self.follow_lines)
            started = time.monotonic()
            self.x("xdotool", "mousemove", str(self.centres[name][0]), str(self.centres[name][1]), "click", "1")
            line = wait_until(lambda: next((at for at, shown in self.follow_lines[seen:] if shown == path), None),
                              30, "follow to print %s" % name)
            painted = self.painted_after(path, started)
            if index >= 2:  # the first two clicks warm both files and the program up
                to_line.append(1000 * (line - started))
                to_paint.append(1000 * (painted - started))
            time.sleep(0.2)
        self.figures["click -> follow line"] = to_line
        self.figures["click -> panel painted"] = to_paint

    def time_files_handed_over(self, runs=20):
        times = []
        for index in range(runs):
            stamp = time.time_ns() + index * 1000
            os.utime(self.large, ns=(stamp, stamp))
            started = time.monotonic()
            subprocess.run([os.path.join(desk.BIN, "quillmark"), self.large], env=self.environment, timeout=30,
                           capture_output=True)
            times.append(1000 * (self.painted_after(self.large, started) - started))
            self.x("xdotool", "mousemove", str(self.centres["Picture1"][0]), str(self.centres["Picture1"][1]),
                   "click", "1")
            self.painted_after(self.cached, started)
        self.figures["quillmark FILE (large JPEG) -> panel painted"] = times

    def time_frame_byline(self, runs=20):
        self.cli("defaults", "write", "selectCreatedTextFrames", "-bool", "false")
        self.session.result("test.select", "Picture1")
        times = []
        for _ in range(runs):
            started = time.monotonic()
            self.cli("frame", "byline")
            times.append(1000 * (time.monotonic() - started))
        self.figures["quillmark-cli frame byline"] = times

    def time_starts(self, runs=10):
        times = []
        for _ in range(runs):
            self.program.terminate()
            self.program.wait(30)
            started = time.monotonic()
            self.start_program(self.cached)
            times.append(1000 * (self.painted_after(self.cached, started) - started))
        self.figures["program start -> panel painted"] = times

    def report(self):
        missed = 0
        print("%-46s %8s %8s %8s   %s" % ("step", "median", "p95", "max", "target"))
        for name, values in self.figures.items():
            median, p95 = statistics.median(values), percentile(values, 0.95)
            median_target, p95_target = TARGETS[name]
            targets = [("median < %d ms" % median_target) if median_target else "",
                       ("p95 < %d ms" % p95_target) if p95_target else ""]
            met = (not median_target or median < median_target) and (not p95_target or p95 < p95_target)
            missed += not met
            print("%-46s %6.1f ms %5.1f ms %5.1f ms   %s%s" % (name, median, p95, max(values),
                                                             ", ".join(t for t in targets if t),
                                                             "" if met else "  MISSED"))
        return missed


def main():
    arguments = sys.argv[1:]
    clicks = 50
    if "--clicks" in arguments:
        at = arguments.index("--clicks")
        clicks = int(arguments[at + 1])
        del arguments[at:at + 2]
    if arguments:
        desk.BIN = os.path.join(os.path.abspath(arguments[0]), "bin")
    missing = missing_programs() + [name for name in ("xdotool", "import", "convert") if shutil.which(name) is None]
    if missing:
        print("skipped: %s not installed" % ", ".join(missing))
        return SKIP
    folder = tempfile.mkdtemp(prefix="quillmark-road-")
    road = Road(folder, clicks)
    try:
        road.run()
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    return 1 if road.report() else 0


if __name__ == "__main__":
    sys.exit(main())
