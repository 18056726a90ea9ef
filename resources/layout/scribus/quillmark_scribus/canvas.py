"""Scribus's page canvas, through PyQt: finding it, and asking Scribus what lies under a point of it.

Each document window holds a widget of class "Canvas": the widget of a QScrollArea (class
"ScribusView") that is as large as the whole scrollable canvas, so a point in its own coordinates
does not change when the view scrolls. Scribus's mapping of such a point to the page is reached
through Scribus itself: a mouse move sent to the canvas makes it show the point in its status bar,
relative to the current page, in the document's unit."""

from PyQt5.QtCore import QEvent, QLocale, QPointF, Qt
from PyQt5.QtGui import QMouseEvent
from PyQt5.QtWidgets import QApplication, QLabel, QWidget

import scribus

from . import drop_geometry
from .window import main_window

CANVAS_CLASS = "Canvas"


def canvases():
    window = main_window()
    if window is None:
        return []
    return [widget for widget in window.findChildren(QWidget) if widget.metaObject().className() == CANVAS_CLASS]


def is_canvas(widget):
    return isinstance(widget, QWidget) and widget.metaObject().className() == CANVAS_CLASS


def _send_move(canvas, point):
    event = QMouseEvent(QEvent.MouseMove, QPointF(point), QPointF(canvas.mapToGlobal(point)), Qt.NoButton,
                        Qt.NoButton, Qt.NoModifier)
    QApplication.sendEvent(canvas, event)


def _position_labels():
    """The status bar's two labels that show the pointer's position: the two after the one titled "Y:"."""
    window = main_window()
    labels = window.statusBar().findChildren(QLabel) if window is not None else []
    titles = [label.text().strip() for label in labels]
    start = titles.index("Y:") + 1 if "Y:" in titles else 3
    return labels[start:start + 2] if len(labels) >= start + 2 else []


def _read(label):
    number = drop_geometry.read_number(label.text(), QLocale().toDouble)
    if number is None:
        number = drop_geometry.read_number(label.text(), QLocale.c().toDouble)
    return number


def point_on_current_page(canvas, point):
    """The point on the current page's coordinates in the document's unit, as Scribus shows it for
    the pointer there; None when the status bar does not show it."""
    _send_move(canvas, point)
    labels = _position_labels()
    values = [_read(label) for label in labels]
    if len(values) != 2 or None in values:
        return None
    return tuple(values)


class KeptView:
    """Keeps what the user sees while the current page is changed for the scripter's coordinates:
    Scribus scrolls to a page made current, and the scroll bars are put back afterwards."""

    def __init__(self, canvas):
        self.view = canvas.parentWidget().parentWidget() if canvas.parentWidget() else None

    def __enter__(self):
        if self.view is not None:
            self.scroll = (self.view.horizontalScrollBar().value(), self.view.verticalScrollBar().value())
        return self

    def __exit__(self, *exception):
        if self.view is not None:
            self.view.horizontalScrollBar().setValue(self.scroll[0])
            self.view.verticalScrollBar().setValue(self.scroll[1])


def page_under(canvas, point):
    """(page number, the point on that page's coordinates) for the page under the canvas point,
    the current page first; the current page and the point on it when no page holds it. The page
    found becomes the current page (lengths in the document's unit)."""
    first = scribus.currentPage()
    on_first = point_on_current_page(canvas, point)
    if on_first is None:
        return None
    if drop_geometry.contains(scribus.getPageNSize(first), on_first):
        return first, on_first
    with KeptView(canvas):
        for page in range(1, scribus.pageCount() + 1):
            if page == first:
                continue
            scribus.gotoPage(page)
            on_page = point_on_current_page(canvas, point)
            if on_page is not None and drop_geometry.contains(scribus.getPageNSize(page), on_page):
                return page, on_page
        scribus.gotoPage(first)
    return first, on_first


def item_under(page, point):
    """The topmost item of the page (1-based) on a visible layer whose box holds the point (page
    coordinates of the current page, which is that page); "" when there is none. Rotation is not
    taken into account; layers count in the order Scribus lists them."""
    found = ""
    for layer in scribus.getLayers():
        if not scribus.isLayerVisible(layer):
            continue
        for name in scribus.getAllObjects(page=page - 1, layer=layer):
            x, y = scribus.getPosition(name)
            width, height = scribus.getSize(name)
            if drop_geometry.contains((width, height), (point[0] - x, point[1] - y)):
                found = name
    return found
