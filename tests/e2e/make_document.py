"""Run by `scribus -g -py make_document.py OUT.sla IMAGE1 IMAGE2 IMAGE3 [IMAGE4 IMAGE5 IMAGE6]`: the
walk-through's document, three A4 pages, the first two pictures side by side on page 1, the third on
page 2, and on page 3 the fourth and fifth side by side with the sixth below them. Each picture
frame is taller than its picture and filled with a colour of its own, by which the walk-through
finds it on the screen. Paragraph styles "Byline" and "Caption"."""

import sys
import traceback

import scribus

WIDTH, HEIGHT = 240.0, 300.0
# name, page, x, y (points from the page's top left), fill colour
FRAMES = (("Picture1", 1, 40.0, 60.0, ("Walk Magenta", 255, 0, 255)),
          ("Picture2", 1, 310.0, 60.0, ("Walk Cyan", 0, 255, 255)),
          ("Picture3", 2, 40.0, 60.0, ("Walk Yellow", 255, 255, 0)),
          ("Picture4", 3, 40.0, 60.0, ("Walk Green", 0, 200, 0)),
          ("Picture5", 3, 310.0, 60.0, ("Walk Blue", 0, 0, 255)),
          ("Picture6", 3, 40.0, 440.0, ("Walk Red", 255, 0, 0)))

try:
    out, *images = sys.argv[1:]
    scribus.newDocument((595.0, 842.0), (40.0, 40.0, 40.0, 40.0), scribus.PORTRAIT, 1, scribus.UNIT_POINTS,
                        scribus.NOFACINGPAGES, scribus.FIRSTPAGERIGHT, 3)
    scribus.createParagraphStyle("Byline")
    scribus.createParagraphStyle("Caption")
    for (name, page, x, y, (colour, red, green, blue)), image in zip(FRAMES, images):
        scribus.defineColorRGB(colour, red, green, blue)
        scribus.gotoPage(page)
        frame = scribus.createImage(x, y, WIDTH, HEIGHT, name)
        scribus.setFillColor(colour, frame)
        scribus.loadImage(image, frame)
        scribus.setScaleImageToFrame(True, True, frame)
    scribus.gotoPage(1)
    scribus.saveDocAs(out)
except Exception:  # noqa: BLE001 - a batch run reports and ends
    traceback.print_exc()
