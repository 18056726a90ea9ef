"""The walk-through's drops: dataset rows of the panel dragged with xdotool (press, move in steps,
release) onto Scribus's page at the zoom that fits it, at 100 % and scrolled, onto the caption frame
the hot key made and onto a picture, each checked in the saved document: text, paragraph style and
where the frame went (its top-left corner against the drop point, within TOLERANCE points)."""

import time
import xml.etree.ElementTree as ElementTree

from desk import COLOURS, PICTURE_WIDTH, TIMEOUT, Failed, story_text, wait_until

STYLE = "Caption"  # the publication's drag-and-drop paragraph style (desk.publications)
MARGIN_RIGHT = 555.0  # make_document.py's A4 page less its 40-point margin
PICTURE1 = (40.0, 60.0, 360.0)  # its left, top and bottom edges; its fill shows along left, right and bottom
TOLERANCE = 3.0


def edge(pixels, width, start, colour, step):
    """Half a pixel beyond the last pixel of the colour, walking from start by step."""
    x, y = start
    while 0 <= x + step[0] < width and pixels[3 * ((y + step[1]) * width + x + step[0]):][:3] == bytes(colour):
        x, y = x + step[0], y + step[1]
    return (x if step[0] else y) + 0.5 * (step[0] or step[1])


class Drops:
    """Mixed into the walk-through: (dataset code, page point, what the drop makes, screenshot)."""

    def drags(self):
        caption = lambda items: self.page_box(items[self.caption_frame], items)  # noqa: E731
        return [
            ("2:25", lambda items: (300.0, 640.0), "frame at the point", "d-dropped-fit"),
            ("2:120", lambda items: (caption(items)[0] + 20, caption(items)[1] + 10), "paragraph", "d-on-caption"),
            ("2:90", lambda items: (430.0, 300.0), "frame below Picture2", "d-on-picture"),
            ("zoom", 100), ("2:25", lambda items: (330.0, 385.0), "frame at the point", "d-dropped-100"),
            ("scroll", 30, 60), ("2:25", lambda items: (330.0, 450.0), "frame at the point", "d-dropped-scrolled"),
        ]

    def drops(self):
        self.click_picture("Picture2")  # Picture1 stays unselected: selection handles would cover its edges
        self.wait_shown(lambda r: r["path"] == self.pictures["Picture2"] and r["visible"], "the panel to follow")
        self.session.result("test.showpage")
        for case in self.drags():
            if case[0] in ("zoom", "scroll"):
                self.session.result("test." + case[0], *case[1:])
            else:
                self.drop(*case)
        self.session.result("test.showpage")
        self.click_picture("Picture2")

    def drop(self, code, where, makes, shot):
        before = self.saved()
        point = where(before)
        target, zoom = self.screen_point(point)
        row = self.drag_row(code, target)
        changed = wait_until(lambda: self.changed(before), TIMEOUT, "the drop's frame (%s)" % shot)
        self.shoot(shot)
        frame = changed[0]
        x, y, width = self.page_box(frame, self.saved())
        old = story_text(before[frame.get("ItemID")]) + "\n" if frame.get("ItemID") in before else ""
        wanted = {"frame at the point": (point[0], point[1], MARGIN_RIGHT - point[0]),
                  "frame below Picture2": (310.0, 364.0, 240.0), "paragraph": (x, y, width)}[makes]
        trail = frame.find(".//StoryText/trail")
        if (len(changed) != 1 or story_text(frame) != old + row["value"] or trail.get("PARENT") != STYLE
                or any(abs(a - b) > TOLERANCE for a, b in zip((x, y, width), wanted)) or self.alerts()):
            raise Failed("the %s row dropped at %s (screen %s) changed %s: %r at (%.1f, %.1f), %.1f wide, style %s; "
                         "alerts %s" % (row["label"], point, target, len(changed), story_text(frame), x, y, width,
                                        trail.get("PARENT"), self.alerts()))
        self.ok("the %s row dropped at (%.0f, %.0f), %.2f pixels a point, makes a %s: %r at (%.1f, %.1f), %.1f "
                "wide, styled %s, no alert" % (row["label"], point[0], point[1], zoom, makes, row["value"], x, y,
                                               width, STYLE))

    def drag_row(self, code, target):
        """Drags the panel's row of the dataset code to the screen point; the row dragged."""
        row = next(row for row in self.shown()["datasets"] if row["code"] == code)
        x, y, width, height = row["screen"]
        start = (x + min(width // 2, 60), y + height // 2)
        self.x("xdotool", "mousemove", str(start[0]), str(start[1]), "click", "1", "mousedown", "1")
        for step in range(1, 25):
            self.x("xdotool", "mousemove", str(int(start[0] + (target[0] - start[0]) * step / 24)),
                   str(int(start[1] + (target[1] - start[1]) * step / 24)))
            time.sleep(0.03)  # pointer motion as a hand makes it: the drag protocol follows it step by step
        time.sleep(0.2)
        self.x("xdotool", "mouseup", "1")
        return row

    def screen_point(self, page_point):
        """The screen pixel of a point of page 1, from the edges of Picture1's fill on the screen."""
        region = wait_until(lambda: self.region_of("Picture1"), TIMEOUT, "the first picture on the screen")
        width, pixels = self.screen()
        left, right, bottom = (edge(pixels, width, region[4], COLOURS["Picture1"], step)
                               for step in ((-1, 0), (1, 0), (0, 1)))
        zoom = (right - left) / PICTURE_WIDTH
        return (int(round(left + (page_point[0] - PICTURE1[0]) * zoom)),
                int(round(bottom + (page_point[1] - PICTURE1[2]) * zoom))), zoom

    def page_box(self, item, items):
        """An item's left, top (on page 1, from Picture1's place) and width."""
        picture = next(other for other in items.values() if other.get("ANNAME") == "Picture1")
        return (float(item.get("XPOS")) - float(picture.get("XPOS")) + PICTURE1[0],
                float(item.get("YPOS")) - float(picture.get("YPOS")) + PICTURE1[1], float(item.get("WIDTH")))

    def saved(self):
        self.session.result("test.save")
        return {item.get("ItemID"): item for item in ElementTree.parse(self.document).getroot().iter("PAGEOBJECT")}

    def changed(self, before):
        """The items added or whose text changed since before."""
        return [item for key, item in self.saved().items()
                if key not in before or story_text(item) != story_text(before[key])] or None
