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


# Pictures whose tops lie within this many points of each other stand in one row.
ROW_TOLERANCE = 4.0


def reading_order(pictures):
    """The (name, Rect) pairs in the order a reader takes them: rows from the top down, each row from
    left to right. A picture joins the row of the topmost picture above it that its top is level
    with (within ROW_TOLERANCE), so pictures a point apart still read left to right."""
    ordered = []
    for name, rect in sorted(pictures, key=lambda picture: (picture[1].y, picture[1].x)):
        if ordered and rect.y - ordered[-1][0] <= ROW_TOLERANCE:
            ordered[-1][1].append((name, rect))
        else:
            ordered.append((rect.y, [(name, rect)]))
    return [picture for _, row in ordered for picture in sorted(row, key=lambda item: item[1].x)]


# The item attribute by which a text frame the program made names its role and its picture.
MARK_NAME = "quillmark"
ROLES = ("byline", "caption")


def mark(role, picture):
    """The attribute a made frame carries: {"Name": "quillmark", "Value": "byline:Picture1", …}."""
    return {"Name": MARK_NAME, "Type": "string", "Value": "%s:%s" % (role, picture), "Parameter": "",
            "Relationship": "none", "RelationshipTo": "", "AutoAddTo": "none"}


def read_mark(attributes):
    """(role, picture) from a frame's attributes, or None for a frame the program did not make."""
    for attribute in attributes:
        if attribute.get("Name") != MARK_NAME:
            continue
        role, _, picture = str(attribute.get("Value", "")).partition(":")
        if role in ROLES and picture:
            return role, picture
    return None


def made_roles(frames_attributes):
    """{picture: set of roles} for the frames whose attributes carry a mark."""
    made = {}
    for attributes in frames_attributes:
        found = read_mark(attributes)
        if found:
            made.setdefault(found[1], set()).add(found[0])
    return made
