"""The handlers of the layout script, on Scribus's scripter API. Argument 1 of every request is the
instance name, which names this Scribus; it is not used. Lengths are in points: the document's
unit is switched to points for a request and always put back."""

import contextlib
import os

import scribus

from . import arguments, codes, placement
from .errors import (ScriptError, BAD_REQUEST, NO_DOCUMENT, NO_SELECTION, NOT_A_PICTURE_FRAME, NO_IMAGE, NOT_A_TEXT_FRAME,
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


def front_document_path(instance):
    """The front document's full path; "" for a document that was never saved (Scribus names it
    without a folder then, or not at all)."""
    if not has_document():
        raise ScriptError(NO_DOCUMENT, "No document is open in Scribus.")
    name = scribus.getDocName()
    return os.path.abspath(name) if name and os.path.isabs(name) else ""


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
                  horizontal_justification, text_wrap, select_frame, role=""):
    """A frame beside the selected picture; `role` ("byline", "caption" or "") marks it as that
    picture's, so that a page run later knows it is made."""
    settings = _checked_frame_settings([text, paragraph_style, color_swatch, object_style, position,
                                        independent_dimension, horizontal_gutter, vertical_gutter,
                                        fit_frame_to_content, text_angle, vertical_justification,
                                        horizontal_justification, text_wrap, select_frame], role, allow_no_role=True)
    picture = selected_picture_frame()
    # Scribus moves a frame by selecting it and putting the selection back: with nothing selected
    # meanwhile, its palettes are not redrawn for the picture at each step.
    scribus.deselectAll()
    frame = None
    try:
        with points():
            frame = _frame_beside(picture, settings)
    finally:
        scribus.deselectAll()
        scribus.selectObject(frame if frame and settings["flags"]["select_frame"] else picture)
    return frame


def _checked_frame_settings(values, role, allow_no_role=False):
    """The checked settings of one frame: the 14 values "maketextbox" takes after the instance name.
    Every argument is checked before anything is made: a refused request leaves the page as it was."""
    if not isinstance(values, list) or len(values) != 14:
        raise ScriptError(BAD_REQUEST, "a frame takes 14 settings", "bad argument")
    if role not in placement.ROLES and not (allow_no_role and role == ""):
        raise ScriptError(BAD_REQUEST, "the argument role is not byline or caption", "bad argument")
    (text, paragraph_style, color_swatch, object_style, position, independent_dimension, horizontal_gutter,
     vertical_gutter, fit_frame_to_content, text_angle, vertical_justification, horizontal_justification,
     text_wrap, select_frame) = values
    return {"texts": arguments.texts(text=text, paragraph_style=paragraph_style, color_swatch=color_swatch,
                                     object_style=object_style),
            "codes": arguments.codes(position=position, text_angle=text_angle,
                                     vertical_justification=vertical_justification,
                                     horizontal_justification=horizontal_justification),
            "flags": arguments.flags(fit_frame_to_content=fit_frame_to_content, text_wrap=text_wrap,
                                     select_frame=select_frame),
            "lengths": {"independent_dimension": independent_dimension, "horizontal_gutter": horizontal_gutter,
                        "vertical_gutter": vertical_gutter},
            "role": role}


def _frame_beside(picture, settings):
    """Makes, formats, fits, places and marks one frame beside the picture (in points)."""
    texts, codes_given, flags = settings["texts"], settings["codes"], settings["flags"]
    lengths = arguments.lengths(_page_extent(), **settings["lengths"])
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
        if settings["role"]:
            scribus.setObjectAttributes([placement.mark(settings["role"], picture)], frame)
    except Exception:
        scribus.deleteObject(frame)
        raise
    return frame


# The page commands ---------------------------------------------------------------------------

def _page_index(page):
    """The 0-based index of a page given as the user counts (1 up), 0 being the current page."""
    if not has_document():
        raise ScriptError(NO_DOCUMENT, "No document is open in Scribus.")
    if type(page) is not int or page < 0 or page > scribus.pageCount():
        raise ScriptError(BAD_REQUEST, "the document has no page %s" % _shown(page), "bad argument")
    return (page or scribus.currentPage()) - 1


def _shown(value):
    return repr(value)[:40]


def _made_frames():
    """{picture: set of roles} for the frames of the whole document that the program made."""
    frames = []
    for index in range(scribus.pageCount()):
        for name in scribus.getAllObjects(type=scribus.ITEMTYPE_TEXTFRAME, page=index):
            frames.append(scribus.getObjectAttributes(name))
    return placement.made_roles(frames)


def page_pictures(instance, page):
    """The picture frames with an image on the page (1 up; 0: the current page) in reading order, each
    with its image path and the roles ("byline", "caption") of the frames already made for it."""
    index = _page_index(page)
    with points():
        pictures = [(name, _picture_rect(name))
                    for name in scribus.getAllObjects(type=scribus.ITEMTYPE_IMAGEFRAME, page=index)
                    if image_path_of(name)]
    made = _made_frames()
    return {"document": front_document_name(), "page": index + 1, "pages": scribus.pageCount(),
            "pictures": [{"name": name, "image": image_path_of(name), "made": sorted(made.get(name, ()))}
                         for name, _ in placement.reading_order(pictures)]}


def make_page_frames(instance, frames):
    """Makes the listed frames, each {"picture", "role", "settings": the 14 values of "maketextbox"
    after the instance name}, beside its picture, in one request. A role its picture already has a
    frame for is left out. The selection is put back as it was. Answers the names of the frames made."""
    if not isinstance(frames, list) or not all(isinstance(frame, dict) for frame in frames):
        raise ScriptError(BAD_REQUEST, "the argument frames is not a list of frames", "bad argument")
    if not has_document():
        raise ScriptError(NO_DOCUMENT, "No document is open in Scribus.")
    checked = [(_picture_named(frame.get("picture")), _checked_frame_settings(frame.get("settings"), frame.get("role")))
               for frame in frames]
    with points():
        for _, settings in checked:
            arguments.lengths(_page_extent(), **settings["lengths"])
    selection = [scribus.getSelectedObject(index) for index in range(scribus.selectionCount())]
    made, names = _made_frames(), []
    try:
        with points():
            for picture, settings in checked:
                if settings["role"] not in made.setdefault(picture, set()):
                    names.append(_frame_beside(picture, settings))
                    made[picture].add(settings["role"])
    finally:
        scribus.deselectAll()
        for name in selection:
            if scribus.objectExists(name):
                scribus.selectObject(name)
    return names


def _picture_named(name):
    if not isinstance(name, str) or not scribus.objectExists(name) or scribus.getObjectType(name) != "ImageFrame":
        raise ScriptError(NOT_A_PICTURE_FRAME, "%s is not a picture frame" % _shown(name))
    return name


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


def _move_quietly(frame, x, y):
    """Moves the frame to (x, y) on its page by its position properties: Scribus's own move selects
    the frame and redraws its palettes twice, which costs more than all else a frame needs."""
    at_x, at_y = scribus.getPosition(frame)
    scribus.setProperty(frame, "xPos", float(scribus.getProperty(frame, "xPos")) + x - at_x)
    scribus.setProperty(frame, "yPos", float(scribus.getProperty(frame, "yPos")) + y - at_y)


def _place(frame, picture, position, horizontal_gutter, vertical_gutter, angle):
    size = placement.box_size(scribus.getSize(frame), angle)
    box = placement.box_at(_picture_rect(picture), position, size, horizontal_gutter, vertical_gutter)
    x, y = placement.frame_origin(box, angle)
    _move_quietly(frame, x, y)
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
    "frontdocumentpath": front_document_path,
    "maketextbox": make_text_box,
    "pagepictures": page_pictures,
    "makepageframes": make_page_frames,
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
