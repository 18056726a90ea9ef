"""Run by `scribus -g -py make_page.py OUT.sla IMAGE...`: one A3 page with twelve pictures in four
rows of three, the images taken in turn from those given. Paragraph styles "Byline" and "Caption"."""

import sys
import traceback

import scribus

COLUMNS, ROWS = 3, 4
WIDTH, HEIGHT = 240.0, 180.0

try:
    out, *images = sys.argv[1:]
    scribus.newDocument((842.0, 1191.0), (40.0, 40.0, 40.0, 40.0), scribus.PORTRAIT, 1, scribus.UNIT_POINTS,
                        scribus.NOFACINGPAGES, scribus.FIRSTPAGERIGHT, 1)
    scribus.createParagraphStyle("Byline")
    scribus.createParagraphStyle("Caption")
    for index in range(COLUMNS * ROWS):
        row, column = divmod(index, COLUMNS)
        frame = scribus.createImage(40.0 + column * 260.0, 40.0 + row * 280.0, WIDTH, HEIGHT, "Picture%d" % (index + 1))
        scribus.loadImage(images[index % len(images)], frame)
        scribus.setScaleImageToFrame(True, True, frame)
    scribus.saveDocAs(out)
except Exception:  # noqa: BLE001 - a batch run reports and ends
    traceback.print_exc()
