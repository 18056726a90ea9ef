"""Twenty `quillmark-cli frame caption` runs in a row against a real Scribus under Xvfb, with a
`layout status` between them answered; prints the time of each and the total (target: under 3 s
for the twenty). usage: python3 bench/layout/frames.py [BUILD_DIR]"""

import os
import subprocess
import sys
import tempfile
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "layout"))
from scribus_session import SKIP, ScribusSession, make_document, missing_programs  # noqa: E402

RUNS = 20
TARGET_SECONDS = 3.0


def main():
    if missing_programs():
        print("skipped: %s not installed" % ", ".join(missing_programs()))
        return SKIP
    cli = os.path.join(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build"), "bin", "quillmark-cli")
    sample = os.path.join(ROOT, "resources", "samples", "sample.jpg")
    with tempfile.TemporaryDirectory(prefix="quillmark-bench-") as folder:
        document = os.path.join(folder, "bench.sla")
        make_document(document, sample, sample, os.path.join(folder, "batch-home"))
        session = ScribusSession(os.path.join(ROOT, "resources", "layout", "scribus"), document,
                                 os.path.join(folder, "scribus"))
        try:
            session.result("test.select", "Picture1")
            environment = dict(os.environ, XDG_RUNTIME_DIR=session.runtime,
                               QUILLMARK_DEFAULTS=os.path.join(folder, "defaults.plist"))
            environment.pop("QUILLMARK_LAYOUT_SOCKET", None)
            run = lambda *arguments: subprocess.run([cli, *arguments], env=environment, check=True,  # noqa: E731
                                                    capture_output=True, text=True)
            run("defaults", "write", "selectCreatedTextFrames", "-bool", "false")
            total = 0.0
            for index in range(RUNS):
                started = time.monotonic()
                run("frame", "caption")
                total += time.monotonic() - started
                if index == RUNS // 2:
                    assert "running\ttrue" in run("layout", "status").stdout
            print("frame caption x%d: %.2f s in all, %.0f ms each (target under %.1f s)"
                  % (RUNS, total, 1000 * total / RUNS, TARGET_SECONDS))
            return 0 if total < TARGET_SECONDS else 1
        finally:
            session.close()


if __name__ == "__main__":
    sys.exit(main())
