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


if __name__ == "__main__":
    unittest.main()
