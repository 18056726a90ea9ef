"""Run by `scribus -g -py make_document.py OUT.sla IMAGE1 IMAGE2`: the tests' document, two A4 pages
with a picture frame on each, the paragraph style "Byline" and the colour "Credit Red"."""

import sys
import traceback

import scribus

try:
    out, first_image, second_image = sys.argv[1:4]
    scribus.newDocument((595.0, 842.0), (40.0, 40.0, 40.0, 40.0), scribus.PORTRAIT, 1, scribus.UNIT_POINTS,
                        scribus.NOFACINGPAGES, scribus.FIRSTPAGERIGHT, 2)
    scribus.defineColorRGB("Credit Red", 200, 20, 20)
    scribus.createParagraphStyle("Byline")
    scribus.createParagraphStyle("Caption")
    for page, name, image in ((1, "Picture1", first_image), (2, "Picture2", second_image)):
        scribus.gotoPage(page)
        frame = scribus.createImage(150.0, 200.0, 300.0, 200.0, name)
        scribus.loadImage(image, frame)
        scribus.setScaleImageToFrame(True, True, frame)
    scribus.gotoPage(1)
    scribus.saveDocAs(out)
except Exception:  # noqa: BLE001 - a batch run reports and ends
    traceback.print_exc()
