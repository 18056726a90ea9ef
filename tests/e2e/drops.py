"""The walk-through's drops: dataset rows of the panel dragged with xdotool (press, move in steps,
release) onto Scribus's page, at the zoom that fits the page, at 100 % and after scrolling, onto
the caption frame the hot key made and onto a picture. Each drop is checked in the saved document: the text, the
paragraph style and, for a new frame, its top-left corner against the point of the drop."""

import time
import xml.etree.ElementTree as ElementTree

from desk import COLOURS, PICTURE_WIDTH, SHOTS, TIMEOUT, Failed, story_text, wait_until

KEYWORDS = "2:25"
CAPTION = "2:120"
CITY = "2:90"
STYLE = "Caption"  # the publication's drag-and-drop paragraph style (desk.publications)
PAGE_WIDTH, RIGHT_MARGIN = 595.0, 40.0  # make_document.py's pages
# Picture1's left and bottom edges on page 1: its fill colour shows along them (the image covers its top).
PICTURE1_LEFT, PICTURE1_BOTTOM = 40.0, 360.0
PICTURE1_AT = (40.0, 60.0)
TOLERANCE = 3.0  # points between the drop point and the new frame's top-left corner


def edge(pixels, width, start, colour, step):
    """Where a frame's fill colour ends, walking from start by step: half a pixel beyond its last
    pixel, on the frame's outline."""
    x, y = start
    while 0 <= x + step[0] < width and pixels[3 * ((y + step[1]) * width + x + step[0]):][:3] == bytes(colour):
        x, y = x + step[0], y + step[1]
    return (x if step[0] else y) + 0.5 * (step[0] or step[1])


def page_items(document):
    return {item.get("ItemID"): item for item in ElementTree.parse(document).getroot().iter("PAGEOBJECT")}


def last_paragraph_style(item):
    trail = item.find(".//StoryText/trail")
    return trail.get("PARENT") if trail is not None else None


class Drops:
    """Mixed into the walk-through, which provides session, document, shots and the panel report."""

    def drag_row(self, code, target):
        """Drags the panel's row of the dataset code to the screen point; the row dragged."""
        report = self.shown()
        rows = [row for row in report["datasets"] if row["code"] == code]
        if not rows:
            raise Failed("the panel shows no %s row: %s" % (code, [row["code"] for row in report["datasets"]]))
        x, y, width, height = rows[0]["screen"]
        start = (x + min(width // 2, 60), y + height // 2)
        self.x("xdotool", "mousemove", str(start[0]), str(start[1]), "click", "1")  # that row alone
        self.x("xdotool", "mousedown", "1")
        for fraction in [index / 24 for index in range(1, 25)]:
            self.x("xdotool", "mousemove", str(int(start[0] + (target[0] - start[0]) * fraction)),
                   str(int(start[1] + (target[1] - start[1]) * fraction)))
            time.sleep(0.03)  # pointer motion as a hand makes it: the drag protocol follows it step by step
        self.x("xdotool", "mousemove", str(target[0]), str(target[1]))
        time.sleep(0.2)
        self.x("xdotool", "mouseup", "1")
        return rows[0]

    def screen_point(self, page_point):
        """The screen pixel showing a point of page 1, measured on the screen at the edges of
        Picture1's fill (never selected here: the selection's handles would cover them)."""
        region = wait_until(lambda: self.region_of("Picture1"), TIMEOUT, "the first picture on the screen")
        width, pixels = self.screen()
        left, right, bottom = (edge(pixels, width, region[4], COLOURS["Picture1"], step)
                               for step in ((-1, 0), (1, 0), (0, 1)))
        zoom = (right - left) / PICTURE_WIDTH
        return (int(round(left + (page_point[0] - PICTURE1_LEFT) * zoom)),
                int(round(bottom + (page_point[1] - PICTURE1_BOTTOM) * zoom))), zoom

    def page_position(self, item, items):
        picture = next(other for other in items.values() if other.get("ANNAME") == "Picture1")
        return (float(item.get("XPOS")) - float(picture.get("XPOS")) + PICTURE1_AT[0],
                float(item.get("YPOS")) - float(picture.get("YPOS")) + PICTURE1_AT[1])

    def saved(self):
        self.session.result("test.save")
        return page_items(self.document)

    def new_frame_from_drop(self, code, page_point, shot, how):
        before = self.saved()
        target, zoom = self.screen_point(page_point)
        self.shoot(shot + "-before")
        row = self.drag_row(code, target)
        items = wait_until(lambda: self.new_items(before), TIMEOUT, "a new frame after the drop (%s)" % how)
        self.shoot(shot)
        if len(items) != 1 or items[0].get("PTYPE") != "4":
            raise Failed("the drop %s made %s" % (how, [(item.get("PTYPE"), story_text(item)) for item in items]))
        frame = items[0]
        x, y = self.page_position(frame, self.saved())
        right = x + float(frame.get("WIDTH"))
        problems = []
        if story_text(frame) != row["value"]:
            problems.append("holds %r, not %r" % (story_text(frame), row["value"]))
        if last_paragraph_style(frame) != STYLE:
            problems.append("has the paragraph style %r" % last_paragraph_style(frame))
        if abs(x - page_point[0]) > TOLERANCE or abs(y - page_point[1]) > TOLERANCE:
            problems.append("is at (%.1f, %.1f), the drop at (%.1f, %.1f)" % (x, y, page_point[0], page_point[1]))
        if abs(right - (PAGE_WIDTH - RIGHT_MARGIN)) > 0.5:
            problems.append("ends at %.1f, not at the right margin" % right)
        if problems:
            raise Failed("the frame from the drop %s %s (dropped at the screen's %s; after the drop the screen "
                         "shows that point at %s)" % (how, "; ".join(problems), target, self.screen_point(page_point)[0]))
        self.no_alert(how)
        self.ok("the %s row dropped %s (%.2f pixels a point) makes a frame at (%.1f, %.1f) for the drop at "
                "(%.1f, %.1f), reaching the right margin, %.1f points high, styled %s, holding %r"
                % (row["label"], how, zoom, x, y, page_point[0], page_point[1], float(frame.get("HEIGHT")), STYLE,
                   row["value"]))

    def new_items(self, before):
        items = self.saved()
        return [item for key, item in items.items() if key not in before] or None

    def no_alert(self, how):
        try:
            wait_until(self.alerts, 2, "an alert")
        except TimeoutError:
            return
        self.shoot("d-unexpected-alert")
        self.dismiss_alerts()
        raise Failed("an alert came after the drop %s (%s)" % (how, SHOTS))

    def drop_on_caption_frame(self):
        before = self.saved()
        frame = before[self.caption_frame]
        x, y = self.page_position(frame, before)
        centre = (x + float(frame.get("WIDTH")) / 2, y + float(frame.get("HEIGHT")) / 2)
        old_text = story_text(frame)
        target, _ = self.screen_point(centre)
        row = self.drag_row(CAPTION, target)
        wanted = old_text + "\n" + row["value"]

        def changed():
            item = self.saved().get(self.caption_frame)
            return item if item is not None and story_text(item) != old_text else None

        item = wait_until(changed, TIMEOUT, "the caption frame's story to grow")
        self.shoot("d-dropped-on-caption")
        added = self.new_items(before)
        if story_text(item) != wanted or last_paragraph_style(item) != STYLE or added:
            raise Failed("the caption frame holds %r (last paragraph %r), not %r; new items: %s"
                         % (story_text(item), last_paragraph_style(item), wanted, added))
        self.no_alert("on the caption frame")
        self.ok("the %s row dropped on the caption frame adds %r to its story as a new paragraph styled %s, "
                "and makes no new frame" % (row["label"], row["value"], STYLE))

    def drop_on_picture(self):
        """The City row dropped on Picture2 makes a frame below it, as wide as it."""
        before = self.saved()
        target, _ = self.screen_point((430.0, 300.0))  # inside Picture2 (310, 60, 240 × 300)
        row = self.drag_row(CITY, target)
        items = wait_until(lambda: self.new_items(before), TIMEOUT, "a new frame after the drop on the picture")
        self.shoot("d-dropped-on-picture")
        frame = items[0]
        x, y = self.page_position(frame, self.saved())
        if (len(items) != 1 or story_text(frame) != row["value"] or abs(x - 310.0) > 0.5 or not 360.0 < y < 370.0
                or abs(float(frame.get("WIDTH")) - 240.0) > 0.5):
            raise Failed("the drop on Picture2 made %s at (%.1f, %.1f), %s wide"
                         % ([story_text(item) for item in items], x, y, frame.get("WIDTH")))
        self.no_alert("on a picture")
        self.ok("the %s row dropped on the second picture makes a frame holding %r below it at (%.1f, %.1f), "
                "as wide as the picture" % (row["label"], row["value"], x, y))

    def drops(self):
        self.click_picture("Picture2")
        self.wait_shown(lambda r: r["path"] == self.pictures["Picture2"] and r["visible"], "the panel to show Picture2")
        self.session.result("test.showpage")
        self.new_frame_from_drop(KEYWORDS, (300.0, 640.0), "d-dropped-fit", "on empty page space at the fitting zoom")
        self.drop_on_caption_frame()
        self.drop_on_picture()
        self.session.result("test.zoom", 100)
        self.new_frame_from_drop(KEYWORDS, (330.0, 385.0), "d-dropped-100", "at 100 %")
        self.session.result("test.scroll", 30, 60)
        self.new_frame_from_drop(KEYWORDS, (330.0, 450.0), "d-dropped-scrolled", "at 100 % scrolled")
        self.session.result("test.showpage")
        self.click_picture("Picture2")  # the picture the next step expects
