"""The handlers of the layout script, on Scribus's scripter API. Argument 1 of every request is the
instance name, which names this Scribus; it is not used. Lengths are in points: the document's
unit is switched to points for a request and always put back."""

import contextlib
import os

import scribus

from . import arguments, codes, placement
from .errors import (ScriptError, NO_DOCUMENT, NO_SELECTION, NOT_A_PICTURE_FRAME, NO_IMAGE, NOT_A_TEXT_FRAME,
                     NO_SUCH_STYLE)
from .window import raise_main_window

FIT_PRECISION = 0.5  # points
# Scribus's text flow modes: 0 none, 1 around the frame's shape.
FLOW_AROUND_FRAME = 1
ALIGNMENTS = {"left": "ALIGN_LEFT", "center": "ALIGN_CENTERED", "right": "ALIGN_RIGHT",
              "justified": "ALIGN_BLOCK", "forced": "ALIGN_FORCED"}
VERTICAL_ALIGNMENTS = {"top": "ALIGNV_TOP", "center": "ALIGNV_CENTERED", "bottom": "ALIGNV_BOTTOM"}


@contextlib.contextmanager
def points():
    unit = scribus.getUnit()
    if unit != scribus.UNIT_POINTS:
        scribus.setUnit(scribus.UNIT_POINTS)
    try:
        yield
    finally:
        if scribus.getUnit() != unit:
            scribus.setUnit(unit)


def has_document():
    return scribus.haveDoc() > 0


def front_document_name():
    return os.path.basename(scribus.getDocName()) if has_document() else ""


def selected_object():
    if not has_document():
        return None
    return scribus.getSelectedObject(0) if scribus.selectionCount() > 0 else None


def image_path_of(name):
    if name is None or scribus.getObjectType(name) != "ImageFrame":
        return ""
    path = scribus.getImageFile(name)
    return os.path.abspath(path) if path else ""


def paragraph_style_exists(name):
    return name == "" or (has_document() and name in scribus.getParagraphStyles())


def object_style_exists(name):
    # Scribus has no frame (object) styles: only no name at all is satisfied.
    return name == ""


def color_swatch_exists(name):
    return name == "" or (has_document() and name in scribus.getColorNames())


def selected_picture_frame():
    if not has_document():
        raise ScriptError(NO_DOCUMENT, "No document is open in Scribus.")
    name = selected_object()
    if name is None:
        raise ScriptError(NO_SELECTION, "Nothing is selected in Scribus.")
    if scribus.getObjectType(name) != "ImageFrame":
        raise ScriptError(NOT_A_PICTURE_FRAME, "The selected frame is not a picture frame.")
    return name


# The handlers -------------------------------------------------------------------------------

def activate(instance):
    raise_main_window()


def required_styles_exist(instance, paragraph_style, object_style, color_swatch):
    if not has_document():
        return [False, "", False, "", False, False, False]
    selected = selected_object()
    return [True, front_document_name(), selected is not None, image_path_of(selected),
            paragraph_style_exists(paragraph_style), object_style_exists(object_style),
            color_swatch_exists(color_swatch)]


def selected_picture_frame_image_path(instance):
    path = image_path_of(selected_picture_frame())
    if not path:
        raise ScriptError(NO_IMAGE, "The selected picture frame holds no image.")
    return path


def set_paragraph_style_of_selected_frame(instance, style):
    if not has_document():
        raise ScriptError(NO_DOCUMENT, "No document is open in Scribus.")
    name = selected_object()
    if name is None or scribus.getObjectType(name) != "TextFrame":
        raise ScriptError(NOT_A_TEXT_FRAME, "The selection is not a text frame.")
    if not paragraph_style_exists(style):
        raise ScriptError(NO_SUCH_STYLE, 'The paragraph style "%s" does not exist.' % style)
    if style:
        scribus.setParagraphStyle(style, name)


def make_text_box(instance, text, paragraph_style, color_swatch, object_style, position, independent_dimension,
                  horizontal_gutter, vertical_gutter, fit_frame_to_content, text_angle, vertical_justification,
                  horizontal_justification, text_wrap, select_frame):
    # Every argument is checked before anything is made: a refused request leaves the page as it was.
    texts = arguments.texts(text=text, paragraph_style=paragraph_style, color_swatch=color_swatch,
                            object_style=object_style)
    codes_given = arguments.codes(position=position, text_angle=text_angle,
                                  vertical_justification=vertical_justification,
                                  horizontal_justification=horizontal_justification)
    flags = arguments.flags(fit_frame_to_content=fit_frame_to_content, text_wrap=text_wrap, select_frame=select_frame)
    picture = selected_picture_frame()
    with points():
        lengths = arguments.lengths(_page_extent(), independent_dimension=independent_dimension,
                                    horizontal_gutter=horizontal_gutter, vertical_gutter=vertical_gutter)
        position = codes.key("position", codes_given["position"])
        angle = int(codes.key("textAngle", codes_given["text_angle"]))
        frame = _make_frame(picture, texts["text"], position, lengths["independent_dimension"],
                            lengths["horizontal_gutter"], lengths["vertical_gutter"], angle)
        try:
            _format_frame(frame, texts["paragraph_style"], texts["color_swatch"],
                          codes.key("verticalJustification", codes_given["vertical_justification"]),
                          codes.key("horizontalJustification", codes_given["horizontal_justification"]),
                          flags["text_wrap"])
            if flags["fit_frame_to_content"]:
                _fit_height_to_text(frame)
            _place(frame, picture, position, lengths["horizontal_gutter"], lengths["vertical_gutter"], angle)
        except Exception:
            scribus.deleteObject(frame)
            raise
    scribus.deselectAll()
    scribus.selectObject(frame if flags["select_frame"] else picture)
    return frame


# Making the frame ---------------------------------------------------------------------------

def _page_extent():
    """The longer side of the current page, in points."""
    width, height = scribus.getPageSize()
    return max(float(width), float(height), 1.0)


def _picture_rect(picture):
    x, y = scribus.getPosition(picture)
    width, height = scribus.getSize(picture)
    return placement.Rect(x, y, width, height)


def _make_frame(picture, text, position, independent_dimension, horizontal_gutter, vertical_gutter, angle):
    box_size = placement.default_box_size(_picture_rect(picture), position, independent_dimension, horizontal_gutter)
    width, height = placement.text_size(box_size, angle)
    x, y = scribus.getPosition(picture)
    frame = scribus.createText(x, y, width, height)
    try:
        scribus.setText(_scribus_text(text), frame)
    except Exception:
        scribus.deleteObject(frame)
        raise
    return frame


def _scribus_text(text):
    # Paragraphs end with a carriage return in Scribus; the layout program's end-of-nested-style
    # character (U+0003) has no meaning here.
    return text.replace("\r\n", "\r").replace("\n", "\r").replace("\x03", "")


def _format_frame(frame, paragraph_style, color_swatch, vertical_justification, horizontal_justification, text_wrap):
    if paragraph_style and paragraph_style_exists(paragraph_style):
        scribus.setParagraphStyle(paragraph_style, frame)
    if color_swatch and color_swatch_exists(color_swatch):
        scribus.setTextColor(color_swatch, frame)
    scribus.setTextAlignment(getattr(scribus, ALIGNMENTS[horizontal_justification]), frame)
    scribus.setTextVerticalAlignment(getattr(scribus, VERTICAL_ALIGNMENTS[vertical_justification]), frame)
    scribus.setTextFlowMode(frame, FLOW_AROUND_FRAME if text_wrap else 0)


def _overflows(frame, width, height):
    scribus.sizeObject(width, height, frame)
    scribus.layoutText(frame)
    return bool(scribus.textOverflows(frame, 1))


def _fit_height_to_text(frame):
    """The least height (within half a point) at which the frame's text does not overflow."""
    width, height = scribus.getSize(frame)
    low, high = 0.0, max(height, 1.0)
    for _ in range(24):
        if not _overflows(frame, width, high):
            break
        low, high = high, high * 2
    while high - low > FIT_PRECISION:
        middle = (low + high) / 2
        if _overflows(frame, width, middle):
            low = middle
        else:
            high = middle
    scribus.sizeObject(width, high, frame)
    scribus.layoutText(frame)


def _place(frame, picture, position, horizontal_gutter, vertical_gutter, angle):
    size = placement.box_size(scribus.getSize(frame), angle)
    box = placement.box_at(_picture_rect(picture), position, size, horizontal_gutter, vertical_gutter)
    x, y = placement.frame_origin(box, angle)
    scribus.moveObjectAbs(x, y, frame)
    if angle:
        scribus.rotateObjectAbs(angle, frame)


HANDLERS = {
    "activateindesign": activate,
    "requiredstylesexist": required_styles_exist,
    "paragraphstyleexists": lambda instance, name: paragraph_style_exists(name),
    "objectstyleexists": lambda instance, name: object_style_exists(name),
    "colorswatchexists": lambda instance, name: color_swatch_exists(name),
    "setparagraphstyleofselectedframe": set_paragraph_style_of_selected_frame,
    "getselectedpictureframeimageposixpath": selected_picture_frame_image_path,
    "maketextbox": make_text_box,
}


def selection_signature():
    """What the program follows of the selection: document, selected objects, the first one's image."""
    if not has_document():
        return None
    count = scribus.selectionCount()
    names = tuple(scribus.getSelectedObject(index) for index in range(count))
    path = image_path_of(names[0]) if names else ""
    return (scribus.getDocName(), names, path, file_version(path))


def selection_event(signature):
    """What the program would ask next of this selection: the selected picture frame's image, or
    "" when the selection is no picture frame with an image."""
    return {"imagePath": signature[2] if signature else ""}


def file_version(path):
    """A selected picture rewritten on disk (re-captioned elsewhere) is a change to follow."""
    try:
        status = os.stat(path) if path else None
    except OSError:
        return None
    return (status.st_size, status.st_mtime_ns, status.st_ino) if status else None
