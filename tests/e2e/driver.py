"""Run inside Scribus by the walk-through: the layout tests' driver (tests/layout/driver.py, named by
QUILLMARK_LAYOUT_DRIVER), plus a record of every request the layout script answers, so that the
walk-through can tell which of the program's requests reached it, and handlers that show a page, zoom,
scroll and count the document's text frames."""

import os
import runpy
import sys
import traceback

import scribus
from PyQt5.QtWidgets import QApplication

try:
    runpy.run_path(os.environ["QUILLMARK_LAYOUT_DRIVER"])
    server = scribus._quillmark_layout_server
    calls = []

    def recorded(name, function):
        def handler(*arguments):
            call = {"handler": name, "arguments": list(arguments), "error": None}
            calls.append(call)
            try:
                return function(*arguments)
            except Exception as error:
                call["error"] = str(error)
                raise
        return handler

    for name, function in list(server.handlers.items()):
        if not name.startswith("test."):
            server.handlers[name] = recorded(name, function)

    def show_page(instance, page):
        scribus.gotoPage(page)
        QApplication.processEvents()
        scribus.zoomDocument(-100.0)
        QApplication.processEvents()

    def text_frame_count():
        return sum(len(scribus.getAllObjects(type=scribus.ITEMTYPE_TEXTFRAME, page=index))
                   for index in range(scribus.pageCount()))

    def zoom(instance, percent):  # then the current page's top-left corner shows, as after page navigation
        scribus.zoomDocument(float(percent))
        scribus.gotoPage(scribus.currentPage())
        QApplication.processEvents()

    def scroll(instance, x, y):
        scribus.scrollDocument(int(x), int(y))
        QApplication.processEvents()

    server.handlers.update({"test.calls": lambda instance: calls, "test.gotopage": show_page, "test.zoom": zoom,
                            "test.scroll": scroll, "test.textframes": lambda instance: text_frame_count()})
except Exception:  # noqa: BLE001
    sys.stderr.write(traceback.format_exc())
