"""Datasets dragged from the program's panel and dropped on Scribus's page.

Scribus 1.5.8 ignores text dropped from other programs. An event filter on each document's canvas
takes the drags that carry the panel's own type (DATASET_TYPE, JSON with the text and the paragraph
style to use) and leaves every other drag to Scribus. A drop on empty page space makes a text frame
at the point, reaching the page's right margin and fitted to its text; a drop on a text frame adds
the text to its story as a new paragraph; a drop on a picture frame makes the frame below the
picture. The new or changed frame is selected. While Scribus shows a modal dialog a drop is refused
without a word. A paragraph style the document lacks is told to the connected programs as the
event "dropMissedParagraphStyle"."""

import json
import sys
import traceback

from PyQt5.QtCore import QEvent, QObject, QTimer, Qt
from PyQt5.QtGui import QCursor

import scribus

from . import canvas, drop_geometry
from .handlers import _fit_height_to_text, _picture_rect, _scribus_text, paragraph_style_exists, points
from .window import modal_dialog_is_open

DATASET_TYPE = "application/x-quillmark-dataset"
MISSED_STYLE_EVENT = "dropMissedParagraphStyle"
DRAG_EVENTS = (QEvent.DragEnter, QEvent.DragMove, QEvent.Drop)
# The property that marks a canvas this filter watches.
WATCHED = "quillmarkDropsWatched"
# How often windows opened since are looked for, in case a signal of the window area was missed.
CANVAS_CHECK_MS = 1000


def log(message):
    sys.stderr.write("quillmark layout script: %s\n" % message)


def dropped_dataset(mime_data):
    """The panel's drag as a dict, or None for a drag that is not the panel's (or not readable)."""
    if mime_data is None or not mime_data.hasFormat(DATASET_TYPE):
        return None
    try:
        data = json.loads(bytes(mime_data.data(DATASET_TYPE)).decode("utf-8"))
    except ValueError:
        return None
    if not isinstance(data, dict) or not isinstance(data.get("text"), str) or not data["text"]:
        return None
    return data


def wanted_style(data):
    style = data.get("paragraphStyle")
    return style if data.get("useParagraphStyle") is True and isinstance(style, str) and style else ""


class DropFilter(QObject):
    """Watches every document canvas; `notify` sends an event line to the connected programs and
    `selected` tells the selection watcher that the program's own frame is now the selection."""

    def __init__(self, notify, selected):
        super().__init__()
        self.notify = notify
        self.selected = selected
        self.timer = QTimer()
        self.timer.setInterval(CANVAS_CHECK_MS)
        self.timer.timeout.connect(self.watch_canvases)

    def start(self):
        self.watch_canvases()
        self.timer.start()

    def watch_canvases(self):
        try:
            for widget in canvas.canvases():
                if widget.property(WATCHED) is not True:
                    widget.installEventFilter(self)
                    widget.setProperty(WATCHED, True)
        except Exception:  # noqa: BLE001 - a slot must not raise
            log(traceback.format_exc())

    def eventFilter(self, watched, event):
        try:
            if event.type() not in DRAG_EVENTS or not canvas.is_canvas(watched):
                return False
            data = dropped_dataset(event.mimeData())
            if data is None:
                return False
            if modal_dialog_is_open() or not scribus.haveDoc():
                event.ignore()
                return True
            event.setDropAction(Qt.CopyAction)
            event.accept()
            if event.type() == QEvent.Drop:
                point = drop_point(watched, event.pos())
                # The frame is made once the drop is answered: the dragging program is not kept waiting.
                QTimer.singleShot(0, lambda: self.place(watched, point, data))
            return True
        except Exception:  # noqa: BLE001 - an exception here would end Scribus
            log(traceback.format_exc())
            return False

    def place(self, widget, point, data):
        try:
            if modal_dialog_is_open() or not scribus.haveDoc():
                return
            style = wanted_style(data)
            with points():
                frame = place_text(widget, point, _scribus_text(data["text"]), style)
            if frame is None:
                return
            scribus.deselectAll()
            scribus.selectObject(frame)
            self.selected()
            if style and not paragraph_style_exists(style):
                self.notify(MISSED_STYLE_EVENT)
        except Exception:  # noqa: BLE001 - a slot must not raise
            log(traceback.format_exc())


def drop_point(widget, reported):
    """Where the pointer was released, on the canvas. The dragging program may not have sent its
    last position before the release (the drop then reports the one before): the pointer itself
    is asked, and the reported point is kept when the pointer has left the canvas's visible part."""
    pointer = widget.mapFromGlobal(QCursor.pos())
    return pointer if widget.visibleRegion().contains(pointer) else reported


def place_text(widget, point, text, style):
    """Places the text for a drop at the canvas point; the frame that holds it, or None."""
    found = canvas.page_under(widget, point)
    if found is None:
        return None
    page, on_page = found
    target = canvas.item_under(page, on_page)
    kind = scribus.getObjectType(target) if target else ""
    if kind == "TextFrame":
        return append_to_story(target, text, style)
    if kind == "ImageFrame":
        return new_frame(drop_geometry.frame_below_picture(_picture_rect(target)), text, style)
    margins = scribus.getPageNMargins(page)
    return new_frame(drop_geometry.frame_at_point(on_page, scribus.getPageNSize(page), margins), text, style)


def new_frame(rect, text, style):
    frame = scribus.createText(rect.x, rect.y, rect.width, rect.height)
    try:
        scribus.setText(text, frame)
        if style and paragraph_style_exists(style):
            scribus.setParagraphStyle(style, frame)
        _fit_height_to_text(frame)
    except Exception:
        scribus.deleteObject(frame)
        raise
    return frame


def append_to_story(frame, text, style):
    """The text as a new paragraph at the end of the frame's story, in the style when given."""
    length = scribus.getTextLength(frame)
    existing = length > 0
    scribus.insertText(("\r" if existing else "") + text, -1, frame)
    if style and paragraph_style_exists(style):
        start = length + 1 if existing else 0
        scribus.selectText(start, scribus.getTextLength(frame) - start, frame)
        scribus.setParagraphStyle(style, frame)
        scribus.selectText(0, 0, frame)
    return frame


def watch(server):
    """Starts taking the panel's drops on every canvas; kept on the server for its lifetime."""

    def notify(event):
        for connection in list(server.connections):
            connection.send({"event": event})

    def selected():
        server.last_selection = server.current_selection()

    drops = DropFilter(notify, selected)
    drops.start()
    server.drops = drops
    return drops
