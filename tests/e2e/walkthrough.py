"""Quillmark beside a real Scribus, worked as a person works it: under an Xvfb display of its own with
openbox, Scribus shows a two-page document with three pictures (the bundled sample, a JPEG whose IPTC
text is in Mac OS Roman, and a TIFF), the layout script loaded; `quillmark` runs beside it. The
walk-through clicks pictures, presses the hot key, drags dataset rows onto the page (drops.py) and
switches to another program with xdotool, and checks what the panel shows (asking the running program with
`quillmark --shown`), what reaches the layout script and what the saved document holds. Each check
prints one line, "ok: ..." or "FAIL: ..."; pictures of the screen go to build/e2e/. Exit status 1
when a check failed, 77 when Scribus, Xvfb or the X tools are missing."""

import os
import re
import shutil
import subprocess
import sys
import time
import xml.etree.ElementTree as ElementTree

from desk import (BIN, HERE, HOT_KEY, SAMPLE, SOURCE, TIMEOUT, Desk, Failed, main, one_line,
                  story_text, text_frames, wait_until)
from drops import Drops
from scribus_session import ScribusSession, make_document_with

MAC_OS_ROMAN = 30
# Read in the default encoding (Windows Latin 1), Mac OS Roman's ä, ö, ü and é are these characters:
# the setting a desk that receives Mac OS Roman pictures makes.
MAC_ROMAN_SIGNS = "ŠšŸŽ"
MAC_ROMAN_DATASETS = {"2:80": "Jörg Bäcker", "2:105": "Fähren über den Öresund",
                      "2:120": "Die Fähre nach Malmö legt ab.", "2:90": "Malmö", "2:115": "Bildbyrån Süd"}
# No Source (2:115), which the byline's rules use: showing the TIFF's byline raises the alert.
TIFF_DATASETS = {"2:80": "Tina Tiff", "2:120": "A picture from a TIFF file.", "2:90": "Lund"}
# Page 3: two pictures with everything the byline and caption need, and one without By-line (2:80).
PAGE_HOT_KEY = "ctrl+alt+p"
NO_BYLINE = "no byline.tif"
NO_BYLINE_DATASETS = {"2:120": "A picture nobody signed.", "2:115": "Desk archive", "2:90": "Ystad"}


class Walk(Drops, Desk):
    def __init__(self, folder):
        super().__init__(folder)
        self.session = None
        self.pictures = {}
        self.caption_frame = None  # the ItemID of the caption frame the hot key made

    def close(self):
        super().close()
        if self.session:
            self.session.close()

    # -- the pictures and the document -----------------------------------------------------------

    def make_pictures(self):
        """The sample; a copy of it whose texts quillmark-cli stores in Mac OS Roman; a TIFF made with
        ImageMagick whose datasets quillmark-cli writes."""
        pictures = os.path.join(self.folder, "pictures")
        os.makedirs(pictures)
        sample = os.path.join(pictures, "sample.jpg")
        mac_roman = os.path.join(pictures, "ferry mac roman.jpg")
        tiff = os.path.join(pictures, "lund.tif")
        shutil.copy(SAMPLE, sample)
        shutil.copy(SAMPLE, mac_roman)
        subprocess.run(["convert", "-size", "480x320", "gradient:orange-brown", tiff], check=True, timeout=TIMEOUT)
        for path, datasets, options in ((mac_roman, MAC_ROMAN_DATASETS, ["--encoding", str(MAC_OS_ROMAN)]),
                                        (tiff, TIFF_DATASETS, [])):
            self.cli("set", path, *["%s=%s" % item for item in datasets.items()], *options)
        with open(mac_roman, "rb") as written:
            if "Jörg Bäcker".encode("mac_roman") not in written.read():
                raise Failed("quillmark-cli set did not store the By-line in Mac OS Roman")
        no_byline = os.path.join(pictures, NO_BYLINE)
        subprocess.run(["convert", "-size", "480x320", "gradient:skyblue-navy", no_byline], check=True,
                       timeout=TIMEOUT)
        self.cli("set", no_byline, *["%s=%s" % item for item in NO_BYLINE_DATASETS.items()])
        page_copy = os.path.join(pictures, "ferry again.jpg")
        shutil.copy(mac_roman, page_copy)
        self.pictures.update({"Picture1": sample, "Picture2": mac_roman, "Picture3": tiff, "Picture4": page_copy,
                              "Picture5": no_byline, "Picture6": sample})
        self.ok("pictures made: the sample, a copy whose texts are in Mac OS Roman, and a TIFF with datasets")

    def settings(self):
        """The desk's settings: the publication, the hot key, the Mac OS Roman encoding rule, the panel
        hidden while another program is in front."""
        self.desk_settings()
        self.cli("defaults", "encoding-spec", "add", MAC_ROMAN_SIGNS, str(MAC_OS_ROMAN))
        self.cli("defaults", "write", "iptcPanelHideOnSuspend", "-bool", "true")
        self.cli("defaults", "write", "hotKeys_MakePage", "-hotkey", PAGE_HOT_KEY)

    def start_desk(self):
        self.document = os.path.join(self.folder, "Walk page.sla")
        make_document_with(os.path.join(HERE, "make_document.py"), self.document,
                           [self.pictures["Picture%d" % number] for number in range(1, 7)],
                           os.path.join(self.folder, "batch-home"))

        def prepare(environment):
            environment["QUILLMARK_LAYOUT_DRIVER"] = os.path.join(SOURCE, "tests", "layout", "driver.py")

        self.session = ScribusSession(os.path.join(SOURCE, "resources", "layout", "scribus"), self.document,
                                      os.path.join(self.folder, "scribus"), driver=os.path.join(HERE, "driver.py"),
                                      before_start=prepare)
        self.environment.update(self.session.environment)
        self.display = self.session.display
        self.environment.pop("QUILLMARK_TEST_SCRIPT", None)
        self.environment.pop("QUILLMARK_LAYOUT_DRIVER", None)
        self.scribus_window = wait_until(self.largest_window_of_scribus, TIMEOUT, "Scribus's window")
        self.session.result("test.select", "")
        self.session.result("test.showpage")
        self.quillmark_log = open(os.path.join(self.folder, "quillmark.log"), "wb")
        self.quillmark = self.start([os.path.join(BIN, "quillmark")], self.quillmark_log)
        wait_until(self.shown, TIMEOUT, "quillmark to answer --shown")
        wait_until(lambda: not self.x("xdotool", "search", "--onlyvisible", "--name", "^About Quillmark$"),
                   TIMEOUT, "the about panel to fade out")
        self.ok("Scribus shows the document with the layout script loaded; quillmark runs beside it")

    def largest_window_of_scribus(self):
        return self.largest_window_of(self.session.scribus.pid)

    def click_picture(self, picture):
        region = self.click_on(picture)
        wait_until(lambda: self.session.result("test.selected") == [picture], TIMEOUT,
                   "Scribus to select %s" % picture)
        return region

    # -- the steps -------------------------------------------------------------------------------

    def first_picture(self):
        path = self.pictures["Picture1"]
        self.click_picture("Picture1")
        report = self.wait_shown(lambda r: r["path"] == path and r["visible"] and r["datasets"],
                                 "the panel to show the first picture")
        expected = self.expected_rows(path)
        self.compare_rows(report, expected, "sample.jpg")
        wait_until(lambda: self.x("xdotool", "search", "--onlyvisible", "--name", "^sample.jpg$"), TIMEOUT,
                   "the panel titled sample.jpg on the screen")
        self.shoot("a-first-picture")
        self.ok("a click on the first picture in Scribus shows its %d datasets in the panel (encoding %s, "
                "byline %r), as quillmark-cli show does" % (len(report["datasets"]), report["encoding"],
                                                            report["byline"]))
        self.first_report = report

    def saved_text_frames(self):
        self.session.result("test.save")
        return text_frames(self.document)

    def hot_key(self):
        before = {item.get("ItemID") for item in self.saved_text_frames()}
        calls_before = len(self.session.result("test.calls"))
        self.x("xdotool", "windowactivate", "--sync", self.scribus_window)
        self.x("xdotool", "key", "--clearmodifiers", HOT_KEY)

        # Saving runs Scribus's event loop, where a request of the program would be answered "busy":
        # the document is saved once the program's two frames are made.
        def frames_made():
            calls = [call for call in self.session.result("test.calls")[calls_before:]
                     if call["handler"] == "maketextbox"]
            return calls if len(calls) >= 2 else None

        calls = wait_until(frames_made, TIMEOUT, "two maketextbox requests after %s" % HOT_KEY)
        if any(call["error"] for call in calls):
            raise Failed("the layout script failed: %s" % [call["error"] for call in calls])
        frames = [item for item in self.saved_text_frames() if item.get("ItemID") not in before]
        if len(frames) != 2:
            raise Failed("the saved document has %d new text frames" % len(frames))
        texts = [story_text(frame) for frame in frames]
        wanted = [one_line(self.first_report["byline"]), one_line(self.first_report["caption"])]
        if texts != wanted:
            raise Failed("the new frames hold %r, the panel shows %r" % (texts, wanted))
        styles = [frame.find(".//DefaultStyle").get("PARENT") if frame.find(".//DefaultStyle") is not None
                  else None for frame in frames]
        if styles != ["Byline", "Caption"]:
            raise Failed("the new frames' paragraph styles are %s" % styles)
        self.caption_frame = frames[1].get("ItemID")
        picture = next(item for item in ElementTree.parse(self.document).getroot().iter("PAGEOBJECT")
                       if item.get("ANNAME") == "Picture1")
        below = float(picture.get("YPOS")) + float(picture.get("HEIGHT"))
        if not all(float(frame.get("YPOS")) >= below for frame in frames):
            raise Failed("the frames are not below the picture")
        self.session.result("test.showpage")
        self.shoot("b-hot-key")
        self.ok("%s makes two text frames below the first picture, styled Byline and Caption, with the byline "
                "%r and the caption %r the panel shows" % (HOT_KEY, texts[0], texts[1]))

    def second_picture(self):
        path = self.pictures["Picture2"]
        self.click_picture("Picture2")
        report = self.wait_shown(lambda r: r["path"] == path and r["datasets"], "the panel to follow")
        if report["encoding"] != MAC_OS_ROMAN:
            raise Failed("the panel's encoding is %s (%s), not Mac OS Roman" % (report["encoding"],
                                                                               report["encodingName"]))
        values = {row["code"]: row["value"] for row in report["datasets"]}
        for code, text in MAC_ROMAN_DATASETS.items():
            if values.get(code) != text:
                raise Failed("dataset %s shows %r, not %r" % (code, values.get(code), text))
        self.compare_rows(report, self.expected_rows(path), os.path.basename(path))
        self.shoot("c-second-picture")
        self.ok("a click on the second picture: the panel follows, encoding guessed as %s (%d), By-line %r"
                % (report["encodingName"], report["encoding"], values["2:80"]))
        self.second_report = report

    def third_picture(self):
        self.session.result("test.gotopage", 2)
        try:
            self.show_third_picture()
        finally:
            self.session.result("test.gotopage", 1)

    def show_third_picture(self):
        path = self.pictures["Picture3"]
        self.click_picture("Picture3")
        report = self.wait_shown(lambda r: r["path"] == path and r["datasets"], "the panel to show the TIFF")
        values = {row["code"]: row["value"] for row in report["datasets"]}
        for code, text in TIFF_DATASETS.items():
            if values.get(code) != text:
                raise Failed("TIFF dataset %s shows %r, not %r" % (code, values.get(code), text))
        self.ok("a click on the TIFF on page 2: the panel shows its %d datasets" % len(report["datasets"]))
        wait_until(self.alerts, TIMEOUT, "the alert of the missing Source")
        self.shoot("c-third-picture-alert")
        self.dismiss_alerts()
        report = self.wait_shown(lambda r: r["path"] == path and r["byline"] == "Photo: Tina Tiff",
                                 "the TIFF's byline without its Source")
        self.compare_rows(report, self.expected_rows(path), os.path.basename(path))
        self.shoot("c-third-picture")
        self.ok("the TIFF has no Source, which the byline needs: an alert says so and closes with Return; the "
                "panel then shows the byline %r and the encoding %s" % (report["byline"], report["encodingName"]))

    def switch_away_and_back(self):
        self.x("xdotool", "windowactivate", "--sync", self.scribus_window)
        self.wait_shown(lambda r: r["visible"], "the panel to show while Scribus is in front")
        other_log = open(os.path.join(self.folder, "xmessage.log"), "wb")
        other = self.start(["xmessage", "-geometry", "+80+80", "Another program"], other_log)
        window = wait_until(lambda: self.x("xdotool", "search", "--onlyvisible", "--class", "Xmessage"), TIMEOUT,
                            "the other program's window")[0]
        self.x("xdotool", "windowactivate", "--sync", window)
        self.wait_shown(lambda r: not r["visible"], "the panel to hide while another program is in front")
        title = "^%s$" % re.escape(os.path.basename(self.pictures["Picture2"]))
        if self.x("xdotool", "search", "--onlyvisible", "--name", title):
            raise Failed("the panel is still on the screen")
        self.shoot("e-other-program")
        self.ok("with another program in front the panel hides")
        self.x("xdotool", "windowactivate", "--sync", self.scribus_window)
        self.wait_shown(lambda r: r["visible"], "the panel to show again with Scribus in front")
        wait_until(lambda: self.x("xdotool", "search", "--onlyvisible", "--name", title), TIMEOUT,
                   "the panel on the screen")
        self.shoot("e-back-to-scribus")
        self.ok("back to Scribus the panel shows again")
        other.terminate()

    def page_command(self):
        """The page hot key on page 3: frames for the two good pictures, one alert naming the third; a
        second press makes nothing more."""
        self.session.result("test.gotopage", 3)
        try:
            self.page_runs()
        finally:
            self.session.result("test.gotopage", 1)

    def press_page_hot_key(self):
        calls_before = len(self.session.result("test.calls"))
        self.x("xdotool", "windowactivate", "--sync", self.scribus_window)
        self.x("xdotool", "key", "--clearmodifiers", PAGE_HOT_KEY)
        alert = self.wait_shown(lambda r: (r.get("alert") or {}).get("informative"), "the page command's alert")
        calls = [call for call in self.session.result("test.calls")[calls_before:]
                 if call["handler"] in ("pagepictures", "makepageframes")]
        if any(call["error"] for call in calls):
            raise Failed("the layout script failed: %s" % [call["error"] for call in calls])
        return alert["alert"], calls

    def page_runs(self):
        before = {item.get("ItemID") for item in self.saved_text_frames()}
        self.shoot("f-page-before")
        alert, calls = self.press_page_hot_key()
        self.shoot("f-page-alert")
        if NO_BYLINE not in alert["informative"] or "By-line" not in alert["informative"]:
            raise Failed("the alert says %r" % alert)
        for good in ("Picture4", "Picture6"):
            if os.path.basename(self.pictures[good]) in alert["informative"]:
                raise Failed("the alert names %s, which has every field" % good)
        self.dismiss_alerts()
        self.session.result("test.select", "")
        self.session.result("test.showpage")
        self.shoot("f-page-after")
        made = [call for call in calls if call["handler"] == "makepageframes"]
        planned = [(frame["picture"], frame["role"]) for frame in made[0]["arguments"][1]] if made else []
        wanted = [("Picture4", "byline"), ("Picture4", "caption"), ("Picture6", "byline"), ("Picture6", "caption")]
        if planned != wanted:
            raise Failed("one makepageframes request was to make %s, not %s" % (planned, wanted))
        frames = [item for item in self.saved_text_frames() if item.get("ItemID") not in before]
        texts = sorted(story_text(frame) for frame in frames)
        expected = []
        for picture in ("Picture4", "Picture6"):
            shown = self.expected_rows(self.pictures[picture])
            expected += [one_line(shown["byline"]), one_line(shown["caption"])]
        if texts != sorted(expected):
            raise Failed("the page's new frames hold %r, the panel's texts are %r" % (texts, expected))
        self.ok("%s on page 3 makes the byline and caption of the two good pictures in one request (%s) and one "
                "alert: %r" % (PAGE_HOT_KEY, ", ".join("%s %s" % item for item in planned),
                               one_line(alert["informative"])))
        count = self.session.result("test.textframes")
        alert, calls = self.press_page_hot_key()
        self.dismiss_alerts()
        again = [call for call in calls if call["handler"] == "makepageframes"]
        if again or self.session.result("test.textframes") != count:
            raise Failed("the second run made frames: %s" % again)
        self.ok("a second %s makes no frame (no makepageframes request) and names %s again" % (PAGE_HOT_KEY, NO_BYLINE))
        self.measure_undo(count, len(planned))

    def measure_undo(self, count, made):
        """How many presses of Scribus's Ctrl+Z take the page run's frames back (a note, not a check)."""
        self.x("xdotool", "windowactivate", "--sync", self.scribus_window)
        presses, left = 0, count
        while presses < 400 and left > count - made:
            step = 1 if presses < 3 else 20
            self.x("xdotool", "key", "--repeat", str(step), "--delay", "30", "ctrl+z")
            presses += step
            time.sleep(0.5)
            left = self.session.result("test.textframes")
            if presses == 1:
                print("note: one Ctrl+Z in Scribus after the page run leaves %d of its %d text frames"
                      % (left - (count - made), made), flush=True)
        self.shoot("f-page-undone")
        print("note: %d presses of Ctrl+Z took the page run's %d frames back (%d of them left)"
              % (presses, made, max(left - (count - made), 0)), flush=True)

    def run(self):
        try:
            self.step("pictures", self.make_pictures)
            self.step("settings", self.settings)
            self.step("start", self.start_desk)
            if self.failures:
                return
            self.step("a first picture", self.first_picture)
            self.step("b hot key", self.hot_key)
            self.step("c second picture", self.second_picture)
            self.step("c third picture", self.third_picture)
            self.step("d drops", self.drops)
            self.step("e switch", self.switch_away_and_back)
            self.step("f page", self.page_command)
            if self.quillmark.poll() is not None:
                self.fail("quillmark ended with status %s" % self.quillmark.returncode)
        finally:
            self.close()


if __name__ == "__main__":
    sys.exit(main(Walk, extra_programs=("xmessage",)))
