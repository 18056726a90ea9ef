#!/usr/bin/env python3
"""Writes a Scribus 1.5.8 document (.sla) for timing `quillmark-cli report`: PAGES pages in two
sections (roman, then arabic), each page with a text frame of body text and PER_PAGE picture frames
whose images are the JPEGs of IMAGES (relative paths, taken in turn), plus a master page with one
picture that every page of the arabic section uses.

usage: make_document.py OUT.sla IMAGES [--pages 100] [--per-page 6]"""

import argparse
import os
from xml.sax.saxutils import quoteattr

BODY = ("The harbour woke before the gulls, and the first ferry left on time. " * 40).strip()


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
    options = parser.parse_args()
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
