"""The layout script's socket server outside Scribus, with a handler that echoes its arguments:
for the tests of the socket. Prints "listening PATH" once it listens; exits 3 when it cannot."""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources", "layout",
                                "scribus"))
from PyQt5.QtCore import QCoreApplication  # noqa: E402

from quillmark_scribus.server import LayoutServer  # noqa: E402

application = QCoreApplication(sys.argv)
server = LayoutServer({"echo": lambda instance, *values: list(values)}, "Test", "0", lambda: None, lambda: False)
if not server.listen():
    sys.exit(3)
print("listening", server.path, flush=True)
application.exec_()
