#!/usr/bin/env python3
"""Reads exported data as a program that is handed its bytes reads them, and
prints every text it holds, one per line in UTF-8:
  xml   an XML parser, which decodes by the document's declaration
        (the series' titles, then each point's text);
  html  an HTML reader, which decodes by a meta charset and else by the
        Western default, windows-1252 (every cell);
  text  delimited text, which carries no declaration: decoded as the medium
        says (argument 3: utf-8 for the clipboard, cp1252 for a file here).
Usage: pasted_texts.py xml|html|text FILE [ENCODING]"""
import html.parser
import re
import sys
import xml.etree.ElementTree as ET

kind, path = sys.argv[1], sys.argv[2]
data = open(path, "rb").read()

if kind == "xml":
    root = ET.fromstring(data)
    series = [root] if root.tag == "series" else root.findall("series")
    for s in series:
        print(s.get("title"))
    for s in series:
        for p in s.iter("point"):
            if p.get("text") is not None:
                print(p.get("text"))
elif kind == "html":
    m = re.search(rb"<meta[^>]*charset\s*=\s*[\"']?([A-Za-z0-9_-]+)", data[:1024], re.I)
    encoding = m.group(1).decode("ascii") if m else "cp1252"

    class Cells(html.parser.HTMLParser):
        def __init__(self):
            super().__init__(convert_charrefs=True)
            self.cell = None

        def handle_starttag(self, tag, attrs):
            if tag == "td":
                self.cell = ""

        def handle_endtag(self, tag):
            if tag == "td" and self.cell is not None:
                print(self.cell)
                self.cell = None

        def handle_data(self, d):
            if self.cell is not None:
                self.cell += d

    Cells().feed(data.decode(encoding))
elif kind == "text":
    for line in data.decode(sys.argv[3]).split("\r\n"):
        for field in line.split("\t"):
            print(field)
else:
    sys.exit("unknown kind " + kind)
