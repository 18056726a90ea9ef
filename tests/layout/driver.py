"""Run inside Scribus by the tests: loads the layout script as a user would, then adds handlers the
tests need to select frames and save the document. The product's script has none of these."""

import os
import runpy
import sys
import traceback

import scribus

try:
    runpy.run_path(os.environ["QUILLMARK_TEST_SCRIPT"])
    server = scribus._quillmark_layout_server

    def select(instance, name):
        scribus.deselectAll()
        if name:
            scribus.selectObject(name)

    def save(instance):
        scribus.saveDoc()

    def frames(instance):
        return [name for name in scribus.getAllObjects()]

    server.handlers.update({"test.select": select, "test.save": save, "test.frames": frames})
except Exception:  # noqa: BLE001
    sys.stderr.write(traceback.format_exc())
