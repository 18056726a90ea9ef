"""The layout script in a real Scribus under Xvfb, driven through quillmark-cli as the program
drives it; results are read back from the saved document."""

import copy
import json
import math
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import unittest
import uuid
import xml.etree.ElementTree as ElementTree

from scribus_session import HERE, SKIP, ScribusSession, make_document, missing_programs, wait_until

SOURCE = os.environ.get("QUILLMARK_SOURCE_DIR", os.path.join(HERE, "..", ".."))
CLI = os.environ.get("QUILLMARK_CLI", os.path.join(SOURCE, "build", "bin", "quillmark-cli"))
SCRIPT_FOLDER = os.path.join(SOURCE, "resources", "layout", "scribus")
SHOTS = os.environ.get("QUILLMARK_SCREENSHOTS", os.path.join(SOURCE, "build", "layout-screenshots"))
SAMPLE = os.path.join(SOURCE, "resources", "samples", "sample.jpg")
BYLINE = "Photo: Jürgen Müller / RZ Bildredaktion"
GUTTER = 6.0
POSITIONS = ["below", "above", "left", "right", "insideBottom", "insideTop"]


def publications():
    """The stored default publication's rules, with frame settings: the byline in "Byline" and
    "Credit Red" below the picture, fitted; one byline for each position code; a turned one."""
    with open(os.path.join(SOURCE, "resources", "defaultPublications.json"), encoding="utf-8") as stored:
        daily = json.load(stored)["publications"][0]
    byline = dict(daily["bylines"][0], name="Photographer", paragraphStyleName="Byline",
                  textColorSwatchName="Credit Red", verticalGutter=GUTTER, horizontalGutter=GUTTER,
                  fitFrameToContent=True)
    bylines = [byline]
    for code, key in enumerate(POSITIONS):
        bylines.append(dict(copy.deepcopy(byline), name=key, position=code, frameIndependentDimension=60.0,
                            uniqueIDString=str(uuid.uuid4()).upper()))
    bylines.append(dict(copy.deepcopy(byline), name="turned", position=3, textAngle=1,
                        uniqueIDString=str(uuid.uuid4()).upper()))
    caption = dict(daily["captions"][0], name="Caption", paragraphStyleName="Caption", position=0,
                   verticalGutter=40.0, fitFrameToContent=True)
    desk = {"name": "Desk", "bylines": bylines, "captions": [caption],
            "defaultByline": "Photographer", "defaultCaption": "Caption"}
    return {"publications": [desk]}


def frame_box(item):
    """The page-independent box a saved frame covers: Scribus turns it clockwise by ROT degrees about
    its origin (y grows downwards)."""
    x, y = float(item.get("XPOS")), float(item.get("YPOS"))
    width, height = float(item.get("WIDTH")), float(item.get("HEIGHT"))
    turn = math.radians(float(item.get("ROT", "0")))
    corners = [(u * math.cos(turn) - v * math.sin(turn), u * math.sin(turn) + v * math.cos(turn))
               for u, v in ((0, 0), (width, 0), (0, height), (width, height))]
    left, top = min(c[0] for c in corners), min(c[1] for c in corners)
    return (x + left, y + top, max(c[0] for c in corners) - left, max(c[1] for c in corners) - top)


class SavedDocument:
    def __init__(self, path):
        root = ElementTree.parse(path).getroot()
        self.items = root.findall(".//PAGEOBJECT")

    def item_named(self, name):
        return next(item for item in self.items if item.get("ANNAME") == name)

    def text_frames(self):
        return [item for item in self.items if item.get("PTYPE") == "4"]

    @staticmethod
    def text_of(item):
        return "".join(part.get("CH", "") for part in item.iter("ITEXT"))


class ScribusLayoutTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp(prefix="quillmark-layout-")
        cls.addClassCleanup(shutil.rmtree, cls.folder, ignore_errors=True)
        pictures = os.path.join(cls.folder, "Bilder für Seite 1")
        os.makedirs(pictures)
        cls.image = os.path.join(pictures, "Jürgen Müller.jpg")
        shutil.copy(SAMPLE, cls.image)
        cls.document = os.path.join(cls.folder, "Test page.sla")
        make_document(cls.document, cls.image, SAMPLE, os.path.join(cls.folder, "batch-home"))
        cls.session = ScribusSession(SCRIPT_FOLDER, cls.document, os.path.join(cls.folder, "scribus"))
        cls.addClassCleanup(cls.session.close)
        cls.environment = dict(os.environ, XDG_RUNTIME_DIR=cls.session.runtime,
                               QUILLMARK_DEFAULTS=os.path.join(cls.folder, "defaults.plist"))
        cls.environment.pop("QUILLMARK_LAYOUT_SOCKET", None)
        settings = os.path.join(cls.folder, "publications.json")
        with open(settings, "w", encoding="utf-8") as out:
            json.dump(publications(), out)
        cls.cli("publications", "import", settings)

    @classmethod
    def cli(cls, *arguments, check=True):
        done = subprocess.run([CLI, *arguments], env=cls.environment, capture_output=True, text=True, timeout=30)
        if check and done.returncode != 0:
            raise AssertionError("quillmark-cli %s: %d\n%s" % (" ".join(arguments), done.returncode, done.stderr))
        return done

    def setUp(self):
        self.session.result("test.select", "Picture1")

    def saved(self):
        self.session.result("test.save")
        return SavedDocument(self.document)

    def new_frames(self, *arguments):
        before = {item.get("ItemID") for item in self.saved().text_frames()}
        self.cli(*arguments)
        return [item for item in self.saved().text_frames() if item.get("ItemID") not in before]

    def picture_box(self):
        return frame_box(self.saved().item_named("Picture1"))

    def test_status_and_selected_report_the_document_the_picture_and_the_styles(self):
        status = self.cli("layout", "status").stdout
        for line in ("instance\tscribus", "running\ttrue", "document\tTest page.sla", "selection\ttrue",
                     "image\t" + self.image, "byline\tparagraph-style\tByline\ttrue",
                     "byline\tcolor-swatch\tCredit Red\ttrue", "caption\tparagraph-style\tCaption\ttrue",
                     "byline\tobject-style\t-\t-"):
            self.assertIn(line + "\n", status)
        self.assertEqual(self.cli("layout", "selected").stdout, self.image + "\n")

    def test_nothing_selected_is_told_plainly(self):
        self.session.result("test.select", "")
        done = self.cli("layout", "selected", check=False)
        self.assertEqual(done.returncode, 1)
        self.assertIn("Nothing is selected in Scribus", done.stderr)
        self.assertIn("selection\tfalse", self.cli("layout", "status").stdout)

    def test_a_byline_goes_below_the_picture_styled_fitted_and_selected(self):
        (frame,) = self.new_frames("frame", "byline")
        x, y, width, height = frame_box(frame)
        px, py, pwidth, pheight = self.picture_box()
        self.assertEqual(SavedDocument.text_of(frame), BYLINE)
        self.assertAlmostEqual(y, py + pheight + GUTTER, places=2)
        self.assertAlmostEqual(x, px, places=2)
        self.assertAlmostEqual(width, pwidth, places=2)
        self.assertEqual(frame.find(".//DefaultStyle").get("PARENT"), "Byline")
        self.assertEqual({text.get("FCOLOR") for text in frame.iter("ITEXT")}, {"Credit Red"})
        (selected,) = self.session.result("test.selected")
        self.assertFalse(self.session.result("test.overflows", selected))
        self.assertLess(height, 2 * 14.5, "more than one line of empty space")
        self.session.result("test.showpage")
        self.shoot("byline")

    def test_both_make_two_frames_and_leave_the_picture_selected(self):
        frames = self.new_frames("frame", "both")
        self.assertEqual(len(frames), 2)
        self.assertEqual(SavedDocument.text_of(frames[0]), BYLINE)
        self.assertEqual(frames[1].find(".//DefaultStyle").get("PARENT"), "Caption")
        self.assertEqual(self.session.result("test.selected"), ["Picture1"])

    def test_each_position_code_places_the_frame_on_its_side(self):
        px, py, pwidth, pheight = self.picture_box()
        right, bottom = px + pwidth, py + pheight
        expectations = {  # what each position fixes of the frame's box (x, y, width, height)
            "below": lambda b: (b[0], b[1]) == approx(px, bottom + GUTTER),
            "above": lambda b: (b[0], b[1] + b[3]) == approx(px, py - GUTTER),
            "left": lambda b: (b[0] + b[2], b[1], b[2]) == approx(px - GUTTER, py, 60.0),
            "right": lambda b: (b[0], b[1], b[2]) == approx(right + GUTTER, py, 60.0),
            "insideBottom": lambda b: (b[0], b[1] + b[3], b[2]) == approx(px + GUTTER, bottom - GUTTER,
                                                                          pwidth - 2 * GUTTER),
            "insideTop": lambda b: (b[0], b[1]) == approx(px + GUTTER, py + GUTTER),
        }
        for position, expected in expectations.items():
            with self.subTest(position=position):
                self.session.result("test.select", "Picture1")
                (frame,) = self.new_frames("frame", "byline", "--byline", position)
                self.assertTrue(expected(frame_box(frame)), "%s: %s" % (position, frame_box(frame)))
        self.session.result("test.showpage")
        self.shoot("positions")

    def test_angle_90_turns_the_frame_along_the_pictures_right_edge(self):
        (frame,) = self.new_frames("frame", "byline", "--byline", "turned")
        px, py, pwidth, pheight = self.picture_box()
        x, y, width, height = frame_box(frame)
        self.assertEqual(frame.get("ROT"), "270")  # Scribus keeps a counter-clockwise quarter turn so
        self.assertEqual((x, y, height), approx(px + pwidth + GUTTER, py, pheight))
        self.assertLess(width, 2 * 14.5)

    def test_requests_between_frames_are_answered(self):
        for _ in range(3):
            self.session.result("test.select", "Picture1")
            self.cli("frame", "caption")
            self.assertIn("selection\ttrue\n", self.cli("layout", "status").stdout)

    def test_a_connected_program_hears_of_each_selection_change_with_its_picture(self):
        with socket.socket(socket.AF_UNIX) as connection:
            connection.settimeout(10)
            connection.connect(self.session.socket_path)
            stream = connection.makefile("rwb")
            stream.write(b'{"id": 0, "handler": "hello", "arguments": [1]}\n')
            stream.flush()
            self.assertEqual(json.loads(stream.readline())["result"]["protocol"], 1)
            self.session.result("test.select", "Picture2")
            picture = self.session.result("getselectedpictureframeimageposixpath")
            self.assertEqual(json.loads(stream.readline()), {"event": "selectionChanged", "imagePath": picture})
            # A key release announces the change at once; the slow poll is stopped here.
            self.session.result("test.selectbykey", "")
            self.assertEqual(json.loads(stream.readline()), {"event": "selectionChanged", "imagePath": ""})
            self.session.result("test.poll")

    def test_a_change_is_heard_also_when_another_connection_comes_right_after_it(self):
        with socket.socket(socket.AF_UNIX) as connection:
            connection.settimeout(10)
            connection.connect(self.session.socket_path)
            stream = connection.makefile("rwb")
            stream.write(b'{"id": 0, "handler": "hello", "arguments": [1]}\n')
            stream.flush()
            self.assertEqual(json.loads(stream.readline())["result"]["protocol"], 1)
            for picture in ("Picture2", "Picture1"):
                self.session.result("test.select", picture)
                self.session.result("test.selected")  # another program asks before the next poll
                self.assertEqual(json.loads(stream.readline())["event"], "selectionChanged", picture)

    def test_an_endless_line_closes_its_connection_and_others_are_still_answered(self):
        with socket.socket(socket.AF_UNIX) as connection:
            connection.settimeout(30)
            connection.connect(self.session.socket_path)
            try:
                connection.sendall(b"x" * (17 * 1024 * 1024))
                closed = connection.recv(1) == b""
            except (BrokenPipeError, ConnectionResetError):
                closed = True
            self.assertTrue(closed)
        self.assertEqual(self.session.result("requiredstylesexist", "", "", "")[1], "Test page.sla")

    def shoot(self, name):
        os.makedirs(SHOTS, exist_ok=True)
        self.session.display.screenshot(os.path.join(SHOTS, name + ".png"))


def approx(*values):
    return tuple(Near(value) for value in values)


class Near(float):
    def __eq__(self, other):
        return abs(float(self) - float(other)) < 0.01

    __hash__ = float.__hash__


class StartupScriptTest(unittest.TestCase):
    def test_after_install_scribus_a_plain_scribus_answers_and_remove_waits_until_it_quits(self):
        folder = tempfile.mkdtemp(prefix="quillmark-layout-startup-")
        self.addCleanup(shutil.rmtree, folder, ignore_errors=True)
        document = os.path.join(folder, "Startup.sla")
        make_document(document, SAMPLE, SAMPLE, os.path.join(folder, "batch-home"))
        setup = lambda environment, *flags: subprocess.run(  # noqa: E731
            [CLI, "layout", "install-scribus", *flags], env=environment, check=True, capture_output=True)
        session = ScribusSession(SCRIPT_FOLDER, document, os.path.join(folder, "scribus"), driver=False,
                                 before_start=setup)
        self.addCleanup(session.close)
        self.assertEqual(session.result("requiredstylesexist", "", "", "")[1], "Startup.sla")
        refused = subprocess.run([CLI, "layout", "install-scribus", "--remove"], env=session.environment,
                                 capture_output=True, text=True)
        self.assertEqual(refused.returncode, 1)
        self.assertIn("quit it first", refused.stderr)


    def test_the_launcher_starts_scribus_with_the_layout_script(self):
        folder = tempfile.mkdtemp(prefix="quillmark-layout-launcher-")
        self.addCleanup(shutil.rmtree, folder, ignore_errors=True)
        document = os.path.join(folder, "Launched.sla")
        make_document(document, SAMPLE, SAMPLE, os.path.join(folder, "batch-home"))
        launcher = os.path.join(os.path.dirname(CLI), "quillmark-scribus")
        session = ScribusSession(SCRIPT_FOLDER, document, os.path.join(folder, "scribus"), driver=False,
                                 program=launcher)
        self.addCleanup(session.close)
        self.assertEqual(session.result("requiredstylesexist", "", "", "")[1], "Launched.sla")


class ScribusEndsTest(unittest.TestCase):
    """How the socket goes with Scribus."""

    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="quillmark-layout-ends-")
        self.addCleanup(shutil.rmtree, self.folder, ignore_errors=True)
        self.document = os.path.join(self.folder, "Ends.sla")
        make_document(self.document, SAMPLE, SAMPLE, os.path.join(self.folder, "batch-home"))
        self.session = ScribusSession(SCRIPT_FOLDER, self.document, os.path.join(self.folder, "scribus"))
        self.addCleanup(self.session.close)
        self.environment = dict(os.environ, XDG_RUNTIME_DIR=self.session.runtime,
                                QUILLMARK_DEFAULTS=os.path.join(self.folder, "defaults.plist"))
        self.environment.pop("QUILLMARK_LAYOUT_SOCKET", None)

    def scribus_window(self):
        return subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid", str(self.session.scribus.pid)],
                              env=self.session.environment, capture_output=True, text=True,
                              timeout=30).stdout.split()[0]

    def test_quitting_from_the_menu_removes_the_socket_without_a_crash(self):
        window = self.scribus_window()
        subprocess.run(["xdotool", "windowactivate", "--sync", window, "key", "--clearmodifiers", "ctrl+q"],
                       env=self.session.environment, check=True, timeout=30)
        self.assertEqual(self.session.scribus.wait(30), 0)
        self.assertFalse(os.path.exists(self.session.socket_path))

    def test_a_killed_scribus_leaves_a_socket_that_the_next_call_removes(self):
        self.session.scribus.send_signal(signal.SIGKILL)
        self.session.scribus.wait(10)
        self.assertTrue(os.path.exists(self.session.socket_path))
        done = subprocess.run([CLI, "layout", "status"], env=self.environment, capture_output=True, text=True,
                              timeout=30)
        self.assertEqual(done.returncode, 1)
        self.assertIn("running\tfalse", done.stdout)
        self.assertFalse(os.path.exists(self.session.socket_path))

    def test_activation_brings_scribus_to_the_front(self):
        run = lambda *command: subprocess.run(command, env=self.session.environment, capture_output=True,  # noqa: E731
                                              text=True, timeout=30).stdout.split()
        window = self.scribus_window()
        other = subprocess.Popen(["xmessage", "in front"], env=self.session.environment)
        self.addCleanup(other.wait)
        self.addCleanup(other.kill)
        wait_until(lambda: run("xdotool", "getactivewindow") != [window], 30, "another window in front")
        self.session.result("activateindesign")
        wait_until(lambda: run("xdotool", "getactivewindow") == [window], 30, "Scribus in front")

    def test_a_modal_dialog_makes_requests_busy(self):
        window = self.scribus_window()
        subprocess.run(["xdotool", "windowactivate", "--sync", window, "key", "--clearmodifiers", "ctrl+o"],
                       env=self.session.environment, check=True, timeout=30)
        busy = wait_until(lambda: self.session.call("requiredstylesexist", "", "", "").get("error"), 30,
                          "the open dialog")
        self.assertEqual(busy["message"], "busy")
        subprocess.run(["xdotool", "key", "Escape"], env=self.session.environment, check=True, timeout=30)
        wait_until(lambda: "result" in self.session.call("requiredstylesexist", "", "", ""), 30,
                   "the dialog to close")


if __name__ == "__main__":
    missing = missing_programs()
    if missing:
        print("skipped: %s not installed" % ", ".join(missing))
        sys.exit(SKIP)
    unittest.main()
