"""Checks of a request's arguments, made before a handler changes anything. A failed check is the
error BAD_REQUEST with a message naming the argument."""

import math

from .errors import BAD_REQUEST, ScriptError

# A length may reach this many times the page's longer side, in either direction; beyond that it
# is no placement a page can show.
PAGE_EXTENTS = 10


def _refuse(name, message):
    raise ScriptError(BAD_REQUEST, "the argument %s %s" % (name, message), "bad argument")


def _is_number(value):
    return isinstance(value, (int, float)) and not isinstance(value, bool)


def texts(**values):
    for name, value in values.items():
        if not isinstance(value, str):
            _refuse(name, "is not a text")
    return values


def _is_whole(value):
    return _is_number(value) and math.isfinite(value) and value == int(value)


def codes(**values):
    for name, value in values.items():
        if not _is_whole(value):
            _refuse(name, "is not a whole number")
    return {name: int(value) for name, value in values.items()}


def flags(**values):
    for name, value in values.items():
        if not isinstance(value, (bool, int)) or isinstance(value, float):
            _refuse(name, "is not true or false")
    return {name: bool(value) for name, value in values.items()}


def lengths(page_extent, **values):
    """Lengths in points, each finite and within PAGE_EXTENTS times the page's longer side."""
    limit = PAGE_EXTENTS * page_extent
    for name, value in values.items():
        if not _is_number(value) or not math.isfinite(value):
            _refuse(name, "is not a finite number")
        if abs(value) > limit:
            _refuse(name, "(%g points) is far beyond the page's size" % value)
    return {name: float(value) for name, value in values.items()}
