"""Random and hostile request lines for the layout script's socket, answered by LayoutServer.answer
with the real handlers over a stand-in for Scribus's scripter API, without Scribus.

    layout_requests.py SECONDS [CRASH_PREFIX]

Checked for every line: the answer is a JSON object that JSON can carry (no NaN), with a result or
an error whose number is an integer; a connection that has not shaken hands gets only "hello"
answered; a "maketextbox" that answers an error leaves no frame, and one that answers a result
leaves exactly one. A line breaking one of these is written to CRASH_PREFIX<n> and the run fails."""

import json
import math
import os
import random
import sys
import time
import types

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "resources", "layout", "scribus"))


class FakeScribus(types.ModuleType):
    """Scribus's scripter API as far as the handlers use it: one page, one picture frame selected."""

    UNIT_POINTS = 1
    scribus_version = "1.5.8"

    def __init__(self):
        super().__init__("scribus")
        self.frames = {"Picture": "ImageFrame"}
        self.unit = 0
        for name in ("ALIGN_LEFT", "ALIGN_CENTERED", "ALIGN_RIGHT", "ALIGN_BLOCK", "ALIGN_FORCED", "ALIGNV_TOP",
                     "ALIGNV_CENTERED", "ALIGNV_BOTTOM"):
            setattr(self, name, name)
        for name in ("setParagraphStyle", "setTextColor", "setTextAlignment", "setTextVerticalAlignment",
                     "setTextFlowMode", "sizeObject", "layoutText", "moveObjectAbs", "rotateObjectAbs", "deselectAll",
                     "selectObject"):
            setattr(self, name, lambda *arguments: None)

    def getUnit(self): return self.unit  # noqa: E704
    def setUnit(self, unit): self.unit = unit  # noqa: E704
    def haveDoc(self): return 1  # noqa: E704
    def getDocName(self): return "/desk/Page.sla"  # noqa: E704
    def selectionCount(self): return 1  # noqa: E704
    def getSelectedObject(self, index=0): return "Picture"  # noqa: E704
    def getObjectType(self, name): return self.frames[name]  # noqa: E704
    def getImageFile(self, name): return "/desk/pics/12:30.jpg"  # noqa: E704
    def getParagraphStyles(self): return ["Byline"]  # noqa: E704
    def getColorNames(self): return ["Black"]  # noqa: E704
    def getPosition(self, name): return (100.0, 200.0)  # noqa: E704
    def getSize(self, name): return (300.0, 150.0)  # noqa: E704
    def getPageSize(self): return (595.0, 842.0)  # noqa: E704
    def textOverflows(self, name, nolinks=0): return 0  # noqa: E704

    def createText(self, x, y, width, height, name=""):
        if not all(math.isfinite(value) for value in (x, y, width, height)):
            raise ValueError("not finite")
        name = "Text%d" % len(self.frames)
        self.frames[name] = "TextFrame"
        return name

    def setText(self, text, name):
        if not isinstance(text, str):
            raise TypeError("text")

    def deleteObject(self, name):
        del self.frames[name]


SCRIBUS = FakeScribus()
sys.modules["scribus"] = SCRIBUS

from PyQt5.QtCore import QCoreApplication  # noqa: E402

from quillmark_scribus import handlers  # noqa: E402
from quillmark_scribus.server import LayoutServer  # noqa: E402

HANDLER_NAMES = sorted(handlers.HANDLERS) + ["hello", "", "nothing", None, 7]


def value(random_source, depth=0):
    choice = random_source.randrange(12 if depth < 2 else 9)
    if choice == 0:
        return random_source.choice([0, 1, -1, 2, 5, 2 ** 31, -2 ** 63, 10 ** 30])
    if choice == 1:
        return random_source.choice([0.0, 12.5, -3.25, 1e308, -1e308, 6e5, 1e-320])
    if choice == 2:
        return random_source.choice(["", "Byline", "Photo: Müller", "a\nb\r\x03", "\ud800", "x" * 300])
    if choice == 3:
        return random_source.choice([True, False, None])
    if choice in (4, 5, 6, 7, 8):
        return random_source.choice([0, 3, 12.0, "", "Byline", True, False])
    if choice == 9:
        return [value(random_source, depth + 1) for _ in range(random_source.randrange(4))]
    return {"k": value(random_source, depth + 1)}


# Arguments of a "maketextbox" that makes a frame.
GOOD_FRAME = ["scribus", "Photo: Müller", "Byline", "Black", "", 0, 0.0, 6.0, 6.0, True, 0, 0, 0, False, True]


def arguments_for(random_source, handler):
    if handler == "maketextbox" and random_source.random() < 0.7:
        arguments = list(GOOD_FRAME)
        for _ in range(random_source.randrange(3)):
            arguments[random_source.randrange(1, len(arguments))] = value(random_source)
        return arguments
    count = random_source.randrange(6)
    return ["scribus"] + [value(random_source) for _ in range(count - 1)] if count else []


def request_line(random_source):
    handler = random_source.choice(HANDLER_NAMES)
    arguments = arguments_for(random_source, handler)
    if handler == "hello" and random_source.random() < 0.5:
        arguments = [1]
    request = {"id": value(random_source), "handler": handler, "arguments": arguments}
    text = json.dumps(request, ensure_ascii=random_source.random() < 0.5)
    mutation = random_source.randrange(8)
    if mutation == 0:
        text = text.replace("1e+308", random_source.choice(["NaN", "Infinity", "-Infinity", "1e999"]))
    elif mutation == 1:
        text = text[:random_source.randrange(len(text) + 1)]
    elif mutation == 2:
        return bytes(random_source.randrange(256) for _ in range(random_source.randrange(40)))
    elif mutation == 3:
        text = random_source.choice(["[]", "null", "7", '"hello"', "{}", '{"handler": "hello"}', "[" * 5000])
    return text.encode("utf-8", "surrogatepass")


def check(server, line, greeted):
    frames_before = len(SCRIPT_FRAMES())
    answer = server.answer(line, greeted=greeted)
    json.dumps(answer, ensure_ascii=False, allow_nan=False).encode("utf-8", "replace")  # as the server sends it
    assert isinstance(answer, dict) and set(answer) in ({"id", "result"}, {"id", "error"}), answer
    made = len(SCRIPT_FRAMES()) - frames_before
    if "error" in answer:
        assert isinstance(answer["error"]["number"], int), answer
        assert made == 0, "a refused request made %d frames" % made
    else:
        assert greeted or b'"hello"' in line, "answered before the handshake"
        assert made == (1 if b'"maketextbox"' in line else 0), "an answered request made %d frames" % made


def SCRIPT_FRAMES():
    return [name for name, kind in SCRIBUS.frames.items() if kind == "TextFrame"]


def main():
    seconds = int(sys.argv[1]) if len(sys.argv) > 1 else 10
    crash_prefix = sys.argv[2] if len(sys.argv) > 2 else os.path.join(HERE, "out", "crashes", "layout_requests-")
    application = QCoreApplication(sys.argv[:1])  # noqa: F841 - the server's Qt objects need one
    server = LayoutServer(handlers.HANDLERS, "Scribus", "1.5.8", lambda: None, lambda: False)
    random_source = random.Random(int(os.environ.get("SEED", time.time())))
    deadline, runs = time.monotonic() + seconds, 0
    while time.monotonic() < deadline:
        line = request_line(random_source)
        runs += 1
        try:
            check(server, line, greeted=random_source.random() < 0.7)
        except (AssertionError, ValueError, TypeError) as failure:
            os.makedirs(os.path.dirname(crash_prefix), exist_ok=True)
            with open("%s%d" % (crash_prefix, runs), "wb") as out:
                out.write(line)
            print("layout_requests: %s\n  line: %r" % (failure, line[:300]))
            return 1
    print("layout_requests: %d s, %d runs, %d frames made" % (seconds, runs, len(SCRIPT_FRAMES())))
    return 0


if __name__ == "__main__":
    sys.exit(main())
