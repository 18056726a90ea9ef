"""Where text dropped on Scribus's page goes, and how the status bar's position is read; plain
geometry, no Scribus needed."""

import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "layout",
                                "scribus"))
from quillmark_scribus import drop_geometry  # noqa: E402
from quillmark_scribus.placement import Rect  # noqa: E402

A4 = (595.0, 842.0)
MARGINS = (40.0, 30.0, 50.0, 60.0)  # top, left, right, bottom


def c_locale(text):
    """A reader as QLocale.c().toDouble answers: (value, ok), group separators accepted."""
    try:
        return float(text.replace(",", "")), True
    except ValueError:
        return 0.0, False


class DropGeometryTest(unittest.TestCase):
    def test_status_bar_labels_are_read_as_numbers(self):
        cases = [("113.84", 113.84), ("1,144.24", 1144.24), ("-30.00", -30.0), ("12.5 pt", 12.5), ("", None),
                 ("   ", None), ("n/a", None)]
        for text, expected in cases:
            with self.subTest(text=text):
                self.assertEqual(drop_geometry.read_number(text, c_locale), expected)

    def test_a_page_holds_points_on_it_and_its_edges_only(self):
        cases = [((0.0, 0.0), True), ((595.0, 842.0), True), ((300.0, 400.0), True), ((-0.5, 10.0), False),
                 ((10.0, 842.5), False), ((596.0, 10.0), False)]
        for point, expected in cases:
            with self.subTest(point=point):
                self.assertEqual(drop_geometry.contains(A4, point), expected)

    def test_a_frame_on_empty_space_starts_at_the_point_and_reaches_the_right_margin(self):
        cases = [
            ((300.0, 640.0), Rect(300.0, 640.0, 245.0, 72.0)),
            ((30.0, 40.0), Rect(30.0, 40.0, 515.0, 72.0)),
            ((500.0, 100.0), Rect(500.0, 100.0, 72.0, 72.0)),  # beyond the margin: the narrowest frame
            ((-20.0, 900.0), Rect(-20.0, 900.0, 565.0, 72.0)),  # off the page: the current page's margin
        ]
        for point, expected in cases:
            with self.subTest(point=point):
                self.assertEqual(drop_geometry.frame_at_point(point, A4, MARGINS), expected)

    def test_a_frame_for_a_picture_goes_below_it_as_wide_as_it(self):
        picture = Rect(40.0, 60.0, 240.0, 300.0)
        self.assertEqual(drop_geometry.frame_below_picture(picture),
                         Rect(40.0, 360.0 + drop_geometry.GUTTER_BELOW_PICTURE, 240.0, drop_geometry.START_HEIGHT))


if __name__ == "__main__":
    unittest.main()
