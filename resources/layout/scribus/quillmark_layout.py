"""Quillmark's layout script: run it inside Scribus (Script > Execute Script, the Scripter's
start-up script, or `scribus -py quillmark_layout.py`). It stays resident and answers the program
on a socket in $XDG_RUNTIME_DIR/quillmark/ named after Scribus's process id; running it again in the
same Scribus does nothing more."""

import os
import sys
import traceback

FOLDER = os.path.dirname(os.path.abspath(__file__))
if FOLDER not in sys.path:
    sys.path.insert(0, FOLDER)


def start():
    import scribus
    from quillmark_scribus import drops, handlers, window
    from quillmark_scribus.server import LayoutServer

    if getattr(scribus, "_quillmark_layout_server", None) is not None:
        return scribus._quillmark_layout_server
    server = LayoutServer(handlers.HANDLERS, "Scribus", scribus.scribus_version, handlers.selection_signature,
                          window.modal_dialog_is_open, handlers.selection_event)
    if server.listen():
        # Kept on the scribus module so that it outlives this script's run, and a second run finds it.
        scribus._quillmark_layout_server = server
        drops.watch(server)
    return server


try:
    start()
except Exception:  # noqa: BLE001 - an exception leaving a start-up script opens a modal box in Scribus
    sys.stderr.write("quillmark layout script: %s\n" % traceback.format_exc())
