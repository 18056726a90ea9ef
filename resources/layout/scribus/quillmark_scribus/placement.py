"""Where a text frame goes beside a picture: plain geometry in points, on page coordinates (y grows
downwards). Scribus rotates a frame about its top-left corner, so a rotated frame's origin is not
the top-left corner of the box it covers."""

from collections import namedtuple

Rect = namedtuple("Rect", "x y width height")


def default_box_size(picture, position, independent_dimension, horizontal_gutter):
    """The (width, height) of the box the frame covers before it is fitted to its text."""
    across = independent_dimension if independent_dimension > 0 else None
    if position in ("left", "right"):
        return (across or picture.width, picture.height)
    width = picture.width
    if position in ("insideBottom", "insideTop"):
        width = max(picture.width - 2 * horizontal_gutter, 1.0)
    return (width, across or picture.height)


def box_at(picture, position, size, horizontal_gutter, vertical_gutter):
    """The box of that size at its place: its side facing the picture (or, inside, the picture's
    edge it sits on) keeps the gutter's distance whatever the size."""
    width, height = size
    if position == "above":
        return Rect(picture.x, picture.y - vertical_gutter - height, width, height)
    if position == "left":
        return Rect(picture.x - horizontal_gutter - width, picture.y, width, height)
    if position == "right":
        return Rect(picture.x + picture.width + horizontal_gutter, picture.y, width, height)
    if position == "insideBottom":
        return Rect(picture.x + horizontal_gutter, picture.y + picture.height - vertical_gutter - height, width, height)
    if position == "insideTop":
        return Rect(picture.x + horizontal_gutter, picture.y + vertical_gutter, width, height)
    return Rect(picture.x, picture.y + picture.height + vertical_gutter, width, height)


def is_upright(angle):
    return angle % 180 == 0


def text_size(box_size, angle):
    """The frame's own (width, height) for a box it covers once rotated."""
    width, height = box_size
    return (width, height) if is_upright(angle) else (height, width)


def box_size(text_frame_size, angle):
    """The size of the box a frame of its own (width, height) covers once rotated."""
    return text_size(text_frame_size, angle)


def frame_origin(box, angle):
    """Where the frame's own top-left corner goes so that, rotated counter-clockwise by angle about
    that corner, it covers the box."""
    angle %= 360
    if angle == 90:
        return (box.x, box.y + box.height)
    if angle == 180:
        return (box.x + box.width, box.y + box.height)
    if angle == 270:
        return (box.x + box.width, box.y)
    return (box.x, box.y)
