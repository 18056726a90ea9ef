"""A desk's day: Quillmark starts first, as it does at login, and Scribus (started with quillmark-scribus,
the layout script loaded) some seconds later. Under an Xvfb display of its own with openbox, with its own
HOME, runtime folder and settings file, the day clicks pictures and checks that `quillmark --shown` names
each within a second; makes a byline and caption with the hot key and checks that the panel keeps the
picture; re-captions the picture on disk with quillmark-cli and sees the new caption on the next click;
kills Scribus with SIGKILL, starts it again and follows again; presses the hot key with a Scribus dialog
open (the busy alert), with Scribus stopped by SIGSTOP (`--shown` answers within 300 ms every time, and
the not-answering alert comes) and with a plain `scribus` without the layout script (the set-up alert);
and ends the program with SIGTERM (status 0). One "ok: ..." or "FAIL: ..." line a check; pictures of the
screen go to build/e2e/day/. Exit status 1 when a check failed, 77 when Scribus, Xvfb or the X tools are
missing."""

import json
import os
import shutil
import signal
import subprocess
import sys
import time

from desk import (BIN, HERE, HOT_KEY, SAMPLE, SHOTS, TIMEOUT, Desk, Failed, main, one_line, story_text,
                  text_frames, wait_until)
from scribus_session import Display, make_document_with, system_path

FOLLOW_WITHIN = 1.0  # seconds from a click until --shown names the picture
SHOWN_WITHIN = 0.3  # seconds that `quillmark --shown` may take while Scribus is stopped
SCRIBUS_LATER = 5.0  # seconds between the program's start and Scribus's
BUSY = "Scribus is busy."
NOT_ANSWERING = "Scribus is not answering."
NO_SCRIPT = "Scribus runs without the Quillmark layout script."
NEW_CAPTION = "The ferry leaves the harbour at dawn; re-captioned in another tool."


class Day(Desk):
    shots = os.path.join(SHOTS, "day")

    def __init__(self, folder):
        super().__init__(folder)
        self.quillmark = None
        self.scribus = None
        self.scribus_window = None
        self.scribus_starts = 0
        self.pictures = {}

    def close(self):
        super().close()
        if self.display:
            self.display.close()

    # -- the desk --------------------------------------------------------------------------------

    def prepare(self):
        """Two pictures with different datasets, the document showing them side by side, the desk's
        settings, and a display, HOME and runtime folder of the day's own."""
        pictures = os.path.join(self.folder, "pictures")
        os.makedirs(pictures)
        self.pictures = {"Picture1": os.path.join(pictures, "harbour.jpg"),
                         "Picture2": os.path.join(pictures, "market.jpg")}
        for path in self.pictures.values():
            shutil.copy(SAMPLE, path)
        self.cli("set", self.pictures["Picture2"], "2:80=Maria Market", "2:120=Stalls on the square at noon.")
        self.document = os.path.join(self.folder, "Day page.sla")
        make_document_with(os.path.join(HERE, "make_document.py"), self.document,
                           [self.pictures["Picture1"], self.pictures["Picture2"]],
                           os.path.join(self.folder, "batch-home"))
        self.desk_settings()
        home = os.path.join(self.folder, "home")
        self.runtime = os.path.join(self.folder, "runtime")
        for path in (home, self.runtime):
            os.makedirs(path, mode=0o700)
        self.display = Display(self.folder)
        self.environment.update(DISPLAY=self.display.name, PATH=system_path(), HOME=home,
                                XDG_RUNTIME_DIR=self.runtime, XDG_CONFIG_HOME=os.path.join(home, ".config"))
        wait_until(lambda: subprocess.run(["wmctrl", "-m"], env=self.environment, capture_output=True).returncode == 0,
                   TIMEOUT, "openbox")
        self.ok("two pictures, a document showing them, the desk's settings and an X display of the day's own")

    def socket_of(self, process):
        return os.path.join(self.runtime, "quillmark", str(process.pid))

    def start_scribus(self, plain=False):
        """Scribus showing the document, its window maximized: through quillmark-scribus (the layout
        script loaded, its socket waited for) or, `plain`, as its own menu entry starts it."""
        self.scribus_starts += 1
        log = open(os.path.join(self.folder, "scribus-%d.log" % self.scribus_starts), "wb")
        command = (["scribus", "-ns", self.document] if plain
                   else [os.path.join(BIN, "quillmark-scribus"), self.document])
        self.scribus = self.start(command, log)
        if not plain:
            def socket_made():
                if self.scribus.poll() is not None:
                    raise Failed("Scribus ended with status %s" % self.scribus.returncode)
                return os.path.exists(self.socket_of(self.scribus))

            wait_until(socket_made, 60, "the layout script's socket")
            appeared = time.monotonic()
        self.scribus_window = wait_until(lambda: self.largest_window_of(self.scribus.pid), 60, "Scribus's window")
        self.x("wmctrl", "-i", "-r", self.scribus_window, "-b", "add,maximized_vert,maximized_horz")
        wait_until(lambda: self.region_of("Picture1") and self.region_of("Picture2"), TIMEOUT,
                   "both pictures on the screen")
        if not plain:
            time.sleep(max(0.0, appeared + 1.0 - time.monotonic()))  # the program finds it within a second

    def start_program_then_scribus(self):
        log = open(os.path.join(self.folder, "quillmark.log"), "wb")
        self.quillmark = self.start([os.path.join(BIN, "quillmark")], log)
        started = time.monotonic()
        wait_until(self.shown, TIMEOUT, "quillmark to answer --shown")
        wait_until(lambda: not self.x("xdotool", "search", "--onlyvisible", "--name", "^About Quillmark$"),
                   TIMEOUT, "the about panel to fade out")
        time.sleep(max(0.0, started + SCRIBUS_LATER - time.monotonic()))
        self.start_scribus()
        self.shoot("a-scribus-started")
        self.ok("quillmark started first; quillmark-scribus %s %.0f s later, its layout script answering"
                % (os.path.basename(self.document), time.monotonic() - started))

    def check_running(self):
        if self.quillmark.poll() is not None:
            raise Failed("quillmark ended with status %s" % self.quillmark.returncode)

    # -- following clicks ------------------------------------------------------------------------

    def follow(self, picture, condition=lambda report: True, what=None, within=FOLLOW_WITHIN):
        """Clicks the picture; `--shown` must name it (and meet `condition`) within `within` seconds.
        The report and how long it took."""
        path = self.pictures[picture]
        what = what or "the panel to name %s" % os.path.basename(path)
        self.click_on(picture)
        clicked = time.monotonic()
        try:
            report = self.wait_shown(lambda r: r["path"] == path and condition(r), what)
        except Failed as failed:
            raise Failed("%s; quillmark-cli layout selected says %r" % (failed, self.selected_in_scribus()))
        took = time.monotonic() - clicked
        if took > within:
            raise Failed("%s took %.2f s after the click (at most %.1f s)" % (what, took, within))
        return report, took

    def selected_in_scribus(self):
        try:
            return self.cli("layout", "selected").strip()
        except Failed as failed:
            return str(failed)

    def follow_clicks(self, when):
        took = []
        for picture in ("Picture1", "Picture2", "Picture1"):
            report, seconds = self.follow(picture)
            self.compare_rows(report, self.expected_rows(self.pictures[picture]), os.path.basename(report["path"]))
            took.append(seconds)
        self.shoot("b-following" if self.scribus_starts == 1 else "e-following-again")
        self.ok("%s: clicks on the pictures are followed; --shown names each with its datasets %s s after "
                "the click" % (when, ", ".join("%.2f" % seconds for seconds in took)))

    def program_first(self):
        self.follow_clicks("program first, Scribus later")

    # -- the byline ------------------------------------------------------------------------------

    def save_document(self):
        """Saves the document with Ctrl+S in Scribus; its text frames."""
        before = os.stat(self.document).st_mtime_ns
        self.x("xdotool", "windowactivate", "--sync", self.scribus_window, "key", "--clearmodifiers", "ctrl+s")
        wait_until(lambda: os.stat(self.document).st_mtime_ns != before, TIMEOUT, "Scribus to save the document")
        time.sleep(0.3)  # the file written whole
        return text_frames(self.document)

    def byline_keeps_the_picture(self):
        path = self.pictures["Picture1"]
        report, _ = self.follow("Picture1")
        before = {item.get("ItemID") for item in self.save_document()}
        self.x("xdotool", "windowactivate", "--sync", self.scribus_window)
        self.x("xdotool", "key", "--clearmodifiers", HOT_KEY)
        # The program's frames become Scribus's selection; the panel must not follow that change.
        seen = []
        deadline = time.monotonic() + 4
        while time.monotonic() < deadline:
            seen.append(self.shown())
            time.sleep(0.2)
        frames = [item for item in self.save_document() if item.get("ItemID") not in before]
        texts = [story_text(frame) for frame in frames]
        wanted = [one_line(report["byline"]), one_line(report["caption"])]
        if texts != wanted:
            raise Failed("%s made the frames %r, not %r" % (HOT_KEY, texts, wanted))
        lost = [shown for shown in seen if not shown or shown["path"] != path]
        self.shoot("c-byline")
        if lost:
            raise Failed("after %s the panel left the picture: %d of %d answers of --shown name another "
                         "(first: path %r, alert %s)" % (HOT_KEY, len(lost), len(seen),
                                                         lost[0] and lost[0]["path"], lost[0] and lost[0].get("alert")))
        final = self.shown()
        if final["path"] != path or final.get("alert"):
            raise Failed("after %s --shown gives path %r, alert %s" % (HOT_KEY, final["path"], final.get("alert")))
        self.ok("%s makes the byline %r and the caption %r; --shown names %s all along (%d answers in 4 s)"
                % (HOT_KEY, texts[0], texts[1], os.path.basename(path), len(seen)))

    # -- a picture re-captioned in another tool --------------------------------------------------

    def recaptioned(self):
        path = self.pictures["Picture1"]
        old = self.shown()
        self.cli("set", path, "2:120=" + NEW_CAPTION)
        expected = self.expected_rows(path)
        if NEW_CAPTION not in (expected.get("caption") or ""):
            raise Failed("quillmark-cli show gives the caption %r after set" % expected.get("caption"))

        def new_caption(report):
            return any(row["code"] == "2:120" and row["value"] == NEW_CAPTION for row in report["datasets"])

        try:
            report, took = self.follow("Picture1", new_caption, "the new caption", within=TIMEOUT)
        except Failed as failed:
            self.follow("Picture2")
            report, _ = self.follow("Picture1")
            raise Failed("%s (the caption there was %r; after a click on the other picture and back the panel "
                         "shows %r)" % (failed, old["caption"], report["caption"]))
        self.compare_rows(report, expected, os.path.basename(path))
        self.shoot("d-recaptioned")
        self.ok("%s re-captioned on disk with quillmark-cli set: the next click on it shows the new caption "
                "(%.2f s after the click): %r" % (os.path.basename(path), took, report["caption"]))

    # -- Scribus killed and started again --------------------------------------------------------

    def scribus_restarted(self):
        old = self.scribus
        old.send_signal(signal.SIGKILL)
        old.wait()
        self.start_scribus()
        self.follow_clicks("Scribus killed with SIGKILL and started again")
        if os.path.exists(self.socket_of(old)):
            print("note: the killed Scribus's socket %s is still there" % self.socket_of(old), flush=True)

    # -- alerts ----------------------------------------------------------------------------------

    def wait_alert(self, message, what, timeout=TIMEOUT):
        report = self.wait_shown(lambda r: (r.get("alert") or {}).get("message") == message, what, timeout)
        return report["alert"]

    def close_alert(self, message):
        """Presses Return on the alert; --shown then reports none."""
        active = " ".join(self.x("xdotool", "getactivewindow", "getwindowname"))
        print("note: with the alert %r up, the active window is %r" % (message, active), flush=True)
        self.dismiss_alerts()
        report = self.wait_shown(lambda r: not r.get("alert"), "no alert after Return on the alert %r" % message)
        self.check_running()
        return report

    def scribus_windows(self):
        return set(self.x("xdotool", "search", "--onlyvisible", "--pid", str(self.scribus.pid)))

    def busy(self):
        self.dismiss_alerts()
        self.follow("Picture2")
        before = self.scribus_windows()
        self.x("xdotool", "windowactivate", "--sync", self.scribus_window, "key", "--clearmodifiers", "ctrl+o")
        dialog = wait_until(lambda: sorted(self.scribus_windows() - before), TIMEOUT, "Scribus's Open dialog")[0]
        time.sleep(0.5)
        title = " ".join(self.x("xdotool", "getwindowname", dialog))
        self.x("xdotool", "key", "--clearmodifiers", HOT_KEY)
        try:
            alert = self.wait_alert(BUSY, "the alert %r" % BUSY)
            self.shoot("f-busy")
            self.ok("with Scribus's dialog %r up, %s gives the alert %r (%r)" % (title, HOT_KEY, alert["message"],
                                                                             alert.get("informative")))
            self.close_alert(BUSY)
        finally:
            self.shoot("f-busy-closing")
            self.x("xdotool", "windowactivate", "--sync", dialog, "key", "Escape")
            wait_until(lambda: dialog not in self.scribus_windows(), TIMEOUT, "Scribus's dialog to close")

    def stopped(self):
        self.dismiss_alerts()
        self.follow("Picture1")
        frames_before = len(self.save_document())
        self.x("xdotool", "windowactivate", "--sync", self.scribus_window)
        usual = []
        for _ in range(3):
            begun = time.monotonic()
            self.shown()
            usual.append(time.monotonic() - begun)
        self.scribus.send_signal(signal.SIGSTOP)
        try:
            self.x("xdotool", "key", "--clearmodifiers", HOT_KEY)
            pressed = time.monotonic()
            answers, slow, alert, alerted = [], [], None, None
            while time.monotonic() < pressed + TIMEOUT:
                begun = time.monotonic()
                try:
                    report = self.shown(timeout=10)
                except subprocess.TimeoutExpired:
                    report = None
                took = time.monotonic() - begun
                answers.append(took)
                if report is None or took > SHOWN_WITHIN:
                    slow.append("%.2f s%s at %.1f s" % (took, "" if report else " without an answer",
                                                        begun - pressed))
                alert = report and report.get("alert")
                if alerted is None and alert and alert.get("message") == NOT_ANSWERING:
                    alerted = time.monotonic() - pressed
                # Asked several times, for a few seconds at least, also once the alert is up.
                if (alert and alert.get("message") == NOT_ANSWERING and len(answers) >= 10
                        and time.monotonic() > pressed + 3):
                    break
                time.sleep(0.1)
            self.shoot("g-not-answering")
        finally:
            self.scribus.send_signal(signal.SIGCONT)
        timing = ("%d calls of --shown in the %.1f s after %s, the slowest %.2f s (%.2f s before the stop)"
                  % (len(answers), time.monotonic() - pressed, HOT_KEY, max(answers), max(usual)))
        if slow:
            self.fail("Scribus stopped: --shown must answer within %.1f s every time: %s; too slow or no answer: %s"
                      % (SHOWN_WITHIN, timing, "; ".join(slow)))
        else:
            self.ok("Scribus stopped: --shown answers within %.1f s every time: %s" % (SHOWN_WITHIN, timing))
        if not alert or alert.get("message") != NOT_ANSWERING:
            raise Failed("Scribus stopped: no alert %r within %d s of %s; the last alert %s"
                         % (NOT_ANSWERING, TIMEOUT, HOT_KEY, json.dumps(alert)))
        self.ok("Scribus stopped: the alert %r (%r) %.1f s after %s" % (alert["message"], alert.get("informative"),
                                                                       alerted, HOT_KEY))
        self.close_alert(NOT_ANSWERING)
        time.sleep(2)
        frames_after = len(self.save_document())
        if frames_after != frames_before:
            raise Failed("the command given while Scribus was stopped was not dropped: %d new text frames "
                         "after SIGCONT" % (frames_after - frames_before))
        self.ok("after SIGCONT the command given while Scribus was stopped is dropped (no new frame)")

    def without_layout_script(self):
        self.dismiss_alerts()
        self.scribus.send_signal(signal.SIGKILL)
        self.scribus.wait()
        self.start_scribus(plain=True)
        self.click_on("Picture1")
        self.x("xdotool", "windowactivate", "--sync", self.scribus_window)
        self.x("xdotool", "key", "--clearmodifiers", HOT_KEY)
        alert = self.wait_alert(NO_SCRIPT, "the alert %r" % NO_SCRIPT)
        self.shoot("h-no-layout-script")
        if "set up scribus" not in (alert.get("informative") or "").lower():
            raise Failed("the alert %r does not offer Set Up Scribus…: %r" % (NO_SCRIPT, alert.get("informative")))
        self.ok("with a plain scribus (no layout script) %s gives the alert %r: %r" % (HOT_KEY, alert["message"],
                                                                                        alert["informative"]))
        self.close_alert(NO_SCRIPT)

    def end(self):
        self.check_running()
        self.quillmark.send_signal(signal.SIGTERM)
        try:
            status = self.quillmark.wait(15)
        except subprocess.TimeoutExpired:
            raise Failed("quillmark still runs 15 s after SIGTERM")
        if status != 0:
            raise Failed("quillmark ended with status %s on SIGTERM" % status)
        self.ok("SIGTERM ends quillmark with status 0")

    def run(self):
        try:
            if not (self.step("prepare", self.prepare) and self.step("a start", self.start_program_then_scribus)):
                return
            self.step("b program first", self.program_first)
            self.step("c byline", self.byline_keeps_the_picture)
            self.step("d re-caption", self.recaptioned)
            if not self.step("e restart", self.scribus_restarted):
                return
            self.step("f busy", self.busy)
            self.step("g stopped", self.stopped)
            self.step("h plain scribus", self.without_layout_script)
            self.step("i end", self.end)
        finally:
            self.close()


if __name__ == "__main__":
    sys.exit(main(Day, extra_programs=("wmctrl",)))
