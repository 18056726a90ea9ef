"""Where the layout script puts a frame beside a picture; plain geometry, no Scribus needed."""

import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "layout",
                                "scribus"))
from quillmark_scribus import codes, placement  # noqa: E402

PICTURE = placement.Rect(100.0, 200.0, 300.0, 150.0)


class PlacementTest(unittest.TestCase):
    def test_each_position_puts_the_box_on_its_side_at_the_gutter(self):
        # position, independent dimension, box expected for a 40-point-high frame (20 wide when left/right)
        cases = [
            ("below", 0, placement.Rect(100, 356, 300, 40)),
            ("above", 0, placement.Rect(100, 154, 300, 40)),
            ("left", 20, placement.Rect(76, 200, 20, 40)),
            ("right", 20, placement.Rect(404, 200, 20, 40)),
            ("insideBottom", 0, placement.Rect(104, 304, 292, 40)),
            ("insideTop", 0, placement.Rect(104, 206, 292, 40)),
        ]
        for position, independent, expected in cases:
            with self.subTest(position=position):
                width, height = placement.default_box_size(PICTURE, position, independent, 4.0)
                size = (width, 40.0) if position not in ("left", "right") else (20.0, 40.0)
                self.assertEqual(placement.box_at(PICTURE, position, size, 4.0, 6.0), expected)
                if position in ("left", "right"):
                    self.assertEqual((width, height), (20.0, PICTURE.height))

    def test_zero_independent_dimension_takes_the_pictures_own(self):
        self.assertEqual(placement.default_box_size(PICTURE, "below", 0, 0), (300.0, 150.0))
        self.assertEqual(placement.default_box_size(PICTURE, "right", 0, 0), (300.0, 150.0))
        self.assertEqual(placement.default_box_size(PICTURE, "below", 30, 0), (300.0, 30.0))

    def test_a_rotated_frame_covers_the_box_from_the_right_origin(self):
        box = placement.Rect(10.0, 20.0, 30.0, 100.0)
        cases = [(0, (10, 20), (30, 100)), (90, (10, 120), (100, 30)),
                 (180, (40, 120), (30, 100)), (270, (40, 20), (100, 30))]
        for angle, origin, own_size in cases:
            with self.subTest(angle=angle):
                self.assertEqual(placement.frame_origin(box, angle), origin)
                self.assertEqual(placement.text_size((box.width, box.height), angle), own_size)

    def test_codes_follow_the_programs_table_and_unknown_ones_take_the_default(self):
        self.assertEqual(codes.key("position", 3), "right")
        self.assertEqual(codes.key("textAngle", 1), "90")
        self.assertEqual(codes.key("horizontalJustification", 42), "left")



class PageOrderTest(unittest.TestCase):
    def test_pictures_read_in_rows_from_the_top_each_row_left_to_right(self):
        R = placement.Rect
        cases = [
            ("two rows", [("c", R(40, 400, 100, 80)), ("b", R(300, 60, 100, 80)), ("a", R(40, 60, 100, 80))],
             ["a", "b", "c"]),
            ("tops a few points apart are one row", [("right", R(300, 58, 100, 80)), ("left", R(40, 61, 100, 80))],
             ["left", "right"]),
            ("beyond the tolerance the higher comes first", [("left", R(40, 70, 100, 80)),
                                                              ("right", R(300, 60, 100, 80))], ["right", "left"]),
            ("a tall picture beside two stacked", [("small2", R(300, 300, 80, 80)), ("tall", R(40, 60, 200, 400)),
                                                   ("small1", R(300, 60, 80, 80))], ["tall", "small1", "small2"]),
            ("no pictures", [], []),
        ]
        for name, pictures, expected in cases:
            with self.subTest(name):
                self.assertEqual([picture for picture, _ in placement.reading_order(pictures)], expected)

    def test_frames_are_known_as_made_by_their_mark_alone(self):
        other = {"Name": "note", "Type": "string", "Value": "byline:Picture1"}
        cases = [
            ("a marked byline and caption", [[placement.mark("byline", "P1")], [placement.mark("caption", "P1")]],
             {"P1": {"byline", "caption"}}),
            ("a mark beside the user's own attributes", [[other, placement.mark("caption", "P2")]],
             {"P2": {"caption"}}),
            ("frames without the program's mark", [[], [other]], {}),
            ("an unknown role or no picture", [[dict(placement.mark("byline", "P1"), Value="title:P1")],
                                               [dict(placement.mark("byline", "P1"), Value="byline:")]], {}),
            ("a picture name holding a colon", [[placement.mark("byline", "Pic:1")]], {"Pic:1": {"byline"}}),
        ]
        for name, frames, expected in cases:
            with self.subTest(name):
                self.assertEqual(placement.made_roles(frames), expected)


if __name__ == "__main__":
    unittest.main()
