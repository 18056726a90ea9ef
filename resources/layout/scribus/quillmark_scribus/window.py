"""Scribus's own windows, through PyQt."""

from PyQt5.QtCore import Qt
from PyQt5.QtWidgets import QApplication, QMainWindow


def main_window():
    for widget in QApplication.topLevelWidgets():
        if isinstance(widget, QMainWindow) and widget.metaObject().className() == "ScribusMainWindow":
            return widget
    return None


def raise_main_window():
    window = main_window()
    if window is None:
        return
    if window.isMinimized():
        window.setWindowState(window.windowState() & ~Qt.WindowMinimized)
    window.show()
    window.raise_()
    window.activateWindow()


def modal_dialog_is_open():
    return QApplication.activeModalWidget() is not None
