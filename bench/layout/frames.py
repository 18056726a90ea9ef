"""Twenty `quillmark-cli frame caption` runs in a row against a real Scribus under Xvfb, with a
`layout status` between them answered; prints the time of each and the total (target: under 3 s
for the twenty). Then `quillmark-cli frame page` on a page of twelve pictures (target: under 2 s
for the 24 frames), and once more on the same page, which makes none.
usage: python3 bench/layout/frames.py [BUILD_DIR]"""

import os
import subprocess
import sys
import tempfile
import time

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tests", "layout"))
from scribus_session import SKIP, ScribusSession, make_document, make_document_with, missing_programs  # noqa: E402

RUNS = 20
TARGET_SECONDS = 3.0
PAGE_TARGET_SECONDS = 2.0


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
        finally:
            session.close()
        page_ok = page_of_twelve(folder, sample, cli)
        return 0 if total < TARGET_SECONDS and page_ok else 1


def page_of_twelve(folder, sample, cli):
    """`frame page` on twelve pictures: the time of the run that makes 24 frames, and of a second run."""
    document = os.path.join(folder, "page.sla")
    make_document_with(os.path.join(ROOT, "bench", "layout", "make_page.py"), document, [sample],
                       os.path.join(folder, "batch-home"))
    session = ScribusSession(os.path.join(ROOT, "resources", "layout", "scribus"), document,
                             os.path.join(folder, "scribus-page"))
    try:
        environment = dict(os.environ, XDG_RUNTIME_DIR=session.runtime,
                           QUILLMARK_DEFAULTS=os.path.join(folder, "defaults.plist"))
        environment.pop("QUILLMARK_LAYOUT_SOCKET", None)
        times = []
        for _ in range(2):
            started = time.monotonic()
            done = subprocess.run([cli, "frame", "page"], env=environment, capture_output=True, text=True)
            times.append(time.monotonic() - started)
            made = sum(line.startswith("made\t") for line in done.stdout.splitlines())
            print("frame page, 12 pictures: %d frames made in %.2f s (target under %.1f s)%s"
                  % (made, times[-1], PAGE_TARGET_SECONDS, "" if done.returncode == 0 else
                     " - status %d: %s" % (done.returncode, done.stderr.strip()[:200])))
        return times[0] < PAGE_TARGET_SECONDS
    finally:
        session.close()


if __name__ == "__main__":
    sys.exit(main())
