"""Where text dropped on Scribus's page goes, and how the status bar's position is read."""

import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "layout",
                                "scribus"))
from quillmark_scribus import drop_geometry as geometry  # noqa: E402
from quillmark_scribus.placement import Rect  # noqa: E402

A4, MARGINS = (595.0, 842.0), (40.0, 30.0, 50.0, 60.0)  # top, left, right, bottom


def c_locale(text):  # as QLocale.c().toDouble answers: (value, ok), group separators accepted
    try:
        return float(text.replace(",", "")), True
    except ValueError:
        return 0.0, False


class DropGeometryTest(unittest.TestCase):
    def test_status_bar_labels_are_read_as_numbers(self):
        for text, expected in [("113.84", 113.84), ("1,144.24", 1144.24), ("-30.00 pt", -30.0), (" ", None),
                               ("n/a", None)]:
            self.assertEqual(geometry.read_number(text, c_locale), expected, text)

    def test_frames_start_at_the_point_and_reach_the_right_margin_or_sit_below_the_picture(self):
        start = geometry.START_HEIGHT
        for point, expected in [((300.0, 640.0), Rect(300.0, 640.0, 245.0, start)),
                                ((500.0, 100.0), Rect(500.0, 100.0, geometry.MIN_WIDTH, start)),  # beyond the margin
                                ((-20.0, 900.0), Rect(-20.0, 900.0, 565.0, start))]:  # off the page
            self.assertEqual(geometry.frame_at_point(point, A4, MARGINS), expected, point)
        self.assertEqual(geometry.frame_below_picture(Rect(40.0, 60.0, 240.0, 300.0)),
                         Rect(40.0, 360.0 + geometry.GUTTER_BELOW_PICTURE, 240.0, start))
        for point, inside in [((0.0, 0.0), True), ((595.0, 842.0), True), ((-0.5, 10.0), False), ((10.0, 843.0), False)]:
            self.assertEqual(geometry.contains(A4, point), inside, point)


if __name__ == "__main__":
    unittest.main()
