"""Where dropped text goes: plain geometry in points on page coordinates (y grows downwards), and
the reading of the coordinates Scribus shows in its status bar."""

from .placement import Rect

# The narrowest frame a drop makes, for a point at or beyond the page's right margin.
MIN_WIDTH = 72.0
# The height a new frame starts with, before it is fitted to its text.
START_HEIGHT = 72.0
# The distance between a picture and the frame a drop on it makes below it.
GUTTER_BELOW_PICTURE = 4.0


def read_number(text, to_double):
    """The number a status-bar label shows ("1,144.24", "-30.00 pt"), read with to_double (a
    locale's reader answering (value, ok)); None when the label holds none."""
    words = text.strip().split()
    if not words:
        return None
    value, ok = to_double(words[0])
    return value if ok else None


def contains(size, point):
    """Whether a page of that (width, height) holds the point, both on the page's coordinates."""
    width, height = size
    x, y = point
    return 0.0 <= x <= width and 0.0 <= y <= height


def frame_at_point(point, page_size, margins):
    """The frame a drop on empty page space makes: its top-left corner at the point, wide enough to
    reach the page's right margin (margins are top, left, right, bottom), never narrower than
    MIN_WIDTH; its height is fitted to the text afterwards."""
    x, y = point
    right_edge = page_size[0] - margins[2]
    return Rect(x, y, max(right_edge - x, MIN_WIDTH), START_HEIGHT)


def frame_below_picture(picture):
    """The frame a drop on a picture frame makes: as wide as the picture, the gutter below it."""
    return Rect(picture.x, picture.y + picture.height + GUTTER_BELOW_PICTURE, picture.width, START_HEIGHT)
