#!/usr/bin/python3
"""Sets the manual's text sources into one A4 PDF with Pango and Cairo.

    build_pdf.py OUTPUT.pdf [--pictures DIR] SOURCE.txt [SOURCE.txt ...]

The sources use a small plain-text markup, one block per paragraph:

    # Title            starts a new page
    ## Heading
    ### Subheading
    - item             a list item (continuation lines indented)
    1. step            a numbered list item
        literal        lines indented by four spaces, kept as they are
    [picture: NAME]    the picture DIR/NAME-LANG.png, LANG from SOURCE's name
                       (manual.en.txt: en); left out without --pictures
    paragraph text     lines up to a blank line form one paragraph

`text` in backquotes is set in the monospaced font. Each source starts on a
new page (each starts with a title); the fonts come from fontconfig (Noto Sans CJK JP shows Japanese).
"""
import os
import re
import sys

import gi

gi.require_version("Pango", "1.0")
gi.require_version("PangoCairo", "1.0")
import cairo  # noqa: E402
from gi.repository import Pango, PangoCairo  # noqa: E402

PAGE_W, PAGE_H = 595.0, 842.0          # A4 in points
MARGIN_X, MARGIN_TOP, MARGIN_BOTTOM = 62.0, 62.0, 70.0
TEXT_W = PAGE_W - 2 * MARGIN_X
SANS = "Noto Sans CJK JP"
MONO = "Noto Sans Mono CJK JP"
# Screenshots are taken at 96 DPI: 0.75 points a pixel shows them at the
# size they have on such a screen.
PICTURE_SCALE = 0.75
PICTURE_SPACE = 8.0

STYLES = {
    # kind: (font, space before, space after, indent)
    "title": (SANS + " Bold 20", 0, 14, 0),
    "h2": (SANS + " Bold 13.5", 14, 6, 0),
    "h3": (SANS + " Bold 11", 10, 4, 0),
    "para": (SANS + " 9.5", 0, 7, 0),
    "item": (SANS + " 9.5", 0, 4, 16),
    "literal": (MONO + " 8.5", 0, 7, 14),
}


def markup(text, kind):
    """Pango markup of a block's text: escaped, `code` in the mono font."""
    escaped = text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
    if kind == "literal":
        return escaped
    parts = escaped.split("`")
    out = []
    for i, part in enumerate(parts):
        out.append('<span font_family="%s">%s</span>' % (MONO, part) if i % 2 else part)
    return "".join(out)


def parse(path):
    """The blocks of one source as (kind, text) pairs."""
    blocks, lines, kind = [], [], None

    def flush():
        nonlocal lines, kind
        if lines:
            joiner = "\n" if kind == "literal" else " "
            blocks.append((kind, joiner.join(lines)))
        lines, kind = [], None

    with open(path, encoding="utf-8") as source:
        for raw in source:
            line = raw.rstrip("\n").rstrip()
            if not line:
                flush()
            elif line.startswith("    ") and kind in (None, "literal"):
                kind = "literal"
                lines.append(line[4:])
            elif re.fullmatch(r"\[picture: [\w-]+\]", line):
                flush()
                blocks.append(("picture", line[len("[picture: "):-1]))
            elif line.startswith("### "):
                flush()
                blocks.append(("h3", line[4:]))
            elif line.startswith("## "):
                flush()
                blocks.append(("h2", line[3:]))
            elif line.startswith("# "):
                flush()
                blocks.append(("title", line[2:]))
            elif line.startswith("- ") or re.match(r"\d+\. ", line):
                flush()
                kind = "item"
                lines.append(line)
            else:
                if kind is None:
                    kind = "para"
                lines.append(line.strip())
    flush()
    return blocks


class Writer:
    def __init__(self, path, title):
        self.surface = cairo.PDFSurface(path, PAGE_W, PAGE_H)
        self.surface.set_metadata(cairo.PDF_METADATA_TITLE, title)
        self.surface.set_metadata(cairo.PDF_METADATA_CREATOR, "Sundrel build_pdf.py")
        self.cr = cairo.Context(self.surface)
        self.page = 0
        self.y = None   # None: no page started yet

    def new_page(self):
        if self.y is not None:
            self.footer()
            self.cr.show_page()
        self.page += 1
        self.y = MARGIN_TOP

    def footer(self):
        layout = self.layout(SANS + " 8", 0)
        layout.set_text("Sundrel  %d" % self.page, -1)
        layout.set_alignment(Pango.Alignment.CENTER)
        self.cr.move_to(MARGIN_X, PAGE_H - MARGIN_BOTTOM + 30)
        PangoCairo.show_layout(self.cr, layout)

    def layout(self, font, indent):
        layout = PangoCairo.create_layout(self.cr)
        layout.set_font_description(Pango.FontDescription.from_string(font))
        layout.set_width(int((TEXT_W - indent) * Pango.SCALE))
        layout.set_wrap(Pango.WrapMode.WORD_CHAR)
        return layout

    def room(self):
        return PAGE_H - MARGIN_BOTTOM - self.y

    def block(self, kind, text, keep_with_next=0.0):
        font, before, after, indent = STYLES[kind]
        if kind == "title" or self.y is None:
            self.new_page()
        elif self.y > MARGIN_TOP:
            self.y += before
        layout = self.layout(font, indent)
        if kind == "item":
            label, text = text.split(" ", 1)
            text = ("•" if label == "-" else label) + "\t" + text
            # The label hangs in the indent; the text lines up after it.
            tabs = Pango.TabArray.new(1, True)
            tabs.set_tab(0, Pango.TabAlign.LEFT, 12)   # points, from the label
            layout.set_tabs(tabs)
            layout.set_indent(int(-12 * Pango.SCALE))
        layout.set_markup(markup(text, kind), -1)
        _, logical = layout.get_pixel_extents()
        # A heading stays with the first lines of what follows it.
        if kind in ("h2", "h3") and logical.height + keep_with_next > self.room():
            self.new_page()
        # Line by line, so that a long paragraph runs on to the next page.
        it = layout.get_iter()
        top = self.y
        first_line_y = None
        while True:
            _, line_rect = it.get_line_extents()
            line_top = line_rect.y / Pango.SCALE
            line_h = line_rect.height / Pango.SCALE
            if first_line_y is None:
                first_line_y = line_top
            if top + (line_top - first_line_y) + line_h > PAGE_H - MARGIN_BOTTOM:
                self.new_page()
                top = self.y - (line_top - first_line_y)
            baseline = it.get_baseline() / Pango.SCALE
            x = MARGIN_X + indent + line_rect.x / Pango.SCALE
            self.cr.move_to(x, top + (baseline - first_line_y))
            PangoCairo.show_layout_line(self.cr, it.get_line_readonly())
            self.y = top + (line_top - first_line_y) + line_h
            if not it.next_line():
                break
        self.y += after

    def picture(self, path):
        """The picture at its screen size, or narrower to fit the text width."""
        image = cairo.ImageSurface.create_from_png(path)
        scale = min(PICTURE_SCALE, TEXT_W / image.get_width())
        height = image.get_height() * scale
        if self.y is None or height + PICTURE_SPACE > self.room():
            self.new_page()
        self.y += PICTURE_SPACE / 2
        self.cr.save()
        self.cr.translate(MARGIN_X, self.y)
        self.cr.scale(scale, scale)
        self.cr.set_source_surface(image, 0, 0)
        self.cr.paint()
        self.cr.restore()
        self.y += height + PICTURE_SPACE

    def close(self):
        if self.y is not None:
            self.footer()
        self.surface.finish()


def main(argv):
    args = argv[1:]
    pictures = None
    if "--pictures" in args:
        at = args.index("--pictures")
        pictures = args[at + 1] if at + 1 < len(args) else ""
        del args[at:at + 2]
    if len(args) < 2 or pictures == "":
        sys.stderr.write("usage: build_pdf.py OUTPUT.pdf [--pictures DIR] SOURCE.txt [SOURCE.txt ...]\n")
        return 2
    writer = Writer(args[0], "Sundrel")
    for source in args[1:]:
        lang = os.path.basename(source).split(".")[-2]
        blocks = parse(source)
        for i, (kind, text) in enumerate(blocks):
            if kind == "picture":
                if pictures:
                    writer.picture(os.path.join(pictures, "%s-%s.png" % (text, lang)))
                continue
            following = 40.0 if i + 1 < len(blocks) else 0.0
            writer.block(kind, text, following)
    writer.close()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
