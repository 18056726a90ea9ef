"""Run inside Scribus by the tests: loads the layout script as a user would, then adds handlers the
tests need to select frames and save the document. The product's script has none of these."""

import os
import runpy
import sys
import traceback

import scribus
from PyQt5.QtCore import QEvent, Qt
from PyQt5.QtGui import QKeyEvent
from PyQt5.QtWidgets import QApplication

try:
    runpy.run_path(os.environ["QUILLMARK_TEST_SCRIPT"])
    server = scribus._quillmark_layout_server
    from quillmark_scribus.window import main_window

    def select(instance, name):
        scribus.deselectAll()
        if name:
            scribus.selectObject(name)

    def select_then_release_a_key(instance, name):
        """Selects with the poll stopped, then releases a key: only the release can announce it."""
        server.poll.stop()
        select(instance, name)
        QApplication.postEvent(main_window(), QKeyEvent(QEvent.KeyRelease, Qt.Key_Shift, Qt.NoModifier))

    def save(instance):
        scribus.saveDoc()

    def selected(instance):
        return [scribus.getSelectedObject(index) for index in range(scribus.selectionCount())]

    def overflows(instance, name):
        scribus.layoutText(name)
        return bool(scribus.textOverflows(name, 1))

    def show_page(instance):
        QApplication.processEvents()
        scribus.zoomDocument(-100.0)
        QApplication.processEvents()

    main_window().showMaximized()
    server.handlers.update({"test.select": select, "test.save": save, "test.selected": selected,
                            "test.overflows": overflows, "test.showpage": show_page,
                            "test.selectbykey": select_then_release_a_key,
                            "test.poll": lambda instance: server.poll.start()})
except Exception:  # noqa: BLE001
    sys.stderr.write(traceback.format_exc())
