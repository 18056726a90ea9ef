#!/usr/bin/env python3
"""Writes a Scribus 1.5.8 document (.sla) for timing `quillmark-cli report`: PAGES pages in two
sections (roman, then arabic), each page with a text frame of body text and PER_PAGE picture frames
whose images are the JPEGs of IMAGES (relative paths, taken in turn), plus a master page with one
picture that every page of the arabic section uses.

usage: make_document.py OUT.sla IMAGES [--pages 100] [--per-page 6] [--make-images N]
  --make-images N first writes N press JPEGs into IMAGES: an IIM block (by-line, credit, source,
                  copyright notice, transmission reference, object name, caption) and 20-200 KiB
                  of scan data each."""

import argparse
import os
import random
import struct
from xml.sax.saxutils import quoteattr

BODY = ("The harbour woke before the gulls, and the first ferry left on time. " * 40).strip()


def dataset(number, text):
    data = text.encode("utf-8")
    return bytes([0x1C, 2, number]) + struct.pack(">H", len(data)) + data


def press_jpeg(path, number, generator):
    iim = bytes([0x1C, 1, 90, 0, 3]) + b"\x1b%G" + b"".join(dataset(code, text) for code, text in (
        (5, "Harbour %d" % number), (80, "Åsa Öberg"), (80, "Photographer %d" % number), (103, "TT-%06d" % number),
        (110, "TT Nyhetsbyrån"), (115, "TT"), (116, "© TT 2026"), (120, "The harbour at dawn, picture %d." % number)))
    resource = b"8BIM\x04\x04\x00\x00" + struct.pack(">I", len(iim)) + iim + (b"\x00" if len(iim) % 2 else b"")
    app13 = b"Photoshop 3.0\x00" + resource
    scan = generator.randbytes(generator.randint(20, 200) * 1024).replace(b"\xff", b"\x00")
    with open(path, "wb") as out:
        out.write(b"\xff\xd8\xff\xed" + struct.pack(">H", len(app13) + 2) + app13 + b"\xff\xda\x00\x08\x01\x01\x00\x00\x3f\x00")
        out.write(scan + b"\xff\xd9")


def picture(element, page, number, image, x, y):
    return ('<%s XPOS="%d" YPOS="%d" OwnPage="%d" ItemID="%d" PTYPE="2" WIDTH="120" HEIGHT="90" '
            'ANNAME="Picture%d" PFILE=%s LAYER="0" SCALETYPE="0" LOCALSCX="0.5" LOCALSCY="0.5"/>'
            % (element, x, y, page, 100000 + number, number, quoteattr(image), ))


def text_frame(page, number, y):
    return ('<PAGEOBJECT XPOS="60" YPOS="%d" OwnPage="%d" ItemID="%d" PTYPE="4" WIDTH="470" HEIGHT="300" '
            'ANNAME="Text%d" LAYER="0"><StoryText><DefaultStyle/><ITEXT CH=%s/><para/></StoryText></PAGEOBJECT>'
            % (y, page, 900000 + number, number, quoteattr(BODY)))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("out")
    parser.add_argument("images")
    parser.add_argument("--pages", type=int, default=100)
    parser.add_argument("--per-page", type=int, default=6)
    parser.add_argument("--make-images", type=int, default=0)
    options = parser.parse_args()
    os.makedirs(options.images, exist_ok=True)
    generator = random.Random(7)
    for number in range(1, options.make_images + 1):
        press_jpeg(os.path.join(options.images, "press-%05d.jpg" % number), number, generator)
    folder = os.path.dirname(os.path.abspath(options.out))
    images = sorted(os.path.relpath(os.path.join(options.images, name), folder)
                    for name in os.listdir(options.images) if name.endswith(".jpg"))
    front = min(4, options.pages)
    parts = ['<?xml version="1.0" encoding="UTF-8"?>\n<SCRIBUSUTF8NEW Version="1.5.8">',
             '<DOCUMENT ANZPAGES="%d" PAGEWIDTH="595" PAGEHEIGHT="842">' % options.pages,
             '<LAYERS NUMMER="0" LEVEL="0" NAME="Background" SICHTBAR="1" DRUCKEN="1"/>',
             '<Sections>',
             '<Section Number="0" Name="front" From="0" To="%d" Type="Type_i_ii_iii" Start="1" Reversed="0" '
             'Active="1" FillChar="0" FieldWidth="0"/>' % (front - 1),
             '<Section Number="1" Name="body" From="%d" To="%d" Type="Type_1_2_3" Start="1" Reversed="0" '
             'Active="1" FillChar="0" FieldWidth="0"/>' % (front, options.pages - 1),
             '</Sections>',
             '<MASTERPAGE NUM="0" NAM="Normal" MNAM=""/>', '<MASTERPAGE NUM="1" NAM="Body" MNAM=""/>']
    for page in range(options.pages):
        parts.append('<PAGE NUM="%d" NAM="" MNAM="%s" PAGEXPOS="100" PAGEYPOS="%d"/>'
                     % (page, "Normal" if page < front else "Body", 20 + page * 882))
    parts.append(picture("MASTEROBJECT", 1, 0, images[0], 20, 20))
    number = 0
    for page in range(options.pages):
        parts.append(text_frame(page, page, 20 + page * 882 + 400))
        for slot in range(options.per_page):
            number += 1
            parts.append(picture("PAGEOBJECT", page, number, images[number % len(images)],
                                 60 + (slot % 3) * 160, 20 + page * 882 + 60 + (slot // 3) * 120))
    parts.append('</DOCUMENT></SCRIBUSUTF8NEW>\n')
    with open(options.out, "w", encoding="utf-8") as out:
        out.write("\n".join(parts))


if __name__ == "__main__":
    main()
