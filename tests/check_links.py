#!/usr/bin/env python3
"""Every relative link and picture in README.md and docs/*.md names a file that exists, and
every #anchor a heading of the page it points into. Prints each broken one; status 1 if any.

usage: check_links.py SOURCE_FOLDER
"""
import glob
import os
import re
import sys

FENCE = re.compile(r"^(```|~~~).*?^\1", re.M | re.S)
CODE_SPAN = re.compile(r"`[^`\n]*`")
COMMENT = re.compile(r"<!--.*?-->", re.S)
INLINE = re.compile(r"!?\[[^\]]*\]\(\s*<?([^)\s>]+)>?(?:\s+\"[^\"]*\")?\s*\)")
REFERENCE = re.compile(r"^\s*\[[^\]]+\]:\s*<?(\S+?)>?(?:\s|$)", re.M)
HEADING = re.compile(r"^#{1,6}\s+(.*?)\s*#*\s*$", re.M)


def read(path):
    with open(path, encoding="utf-8") as f:
        return f.read()


def prose(path):
    return CODE_SPAN.sub("", FENCE.sub("", COMMENT.sub("", read(path))))


def anchors(path):
    """The anchors a page's headings get, as GitHub makes them."""
    seen = {}
    for title in HEADING.findall(FENCE.sub("", read(path))):
        slug = re.sub(r"[^\w\- ]", "", title.replace("`", "").lower()).replace(" ", "-")
        n = seen.get(slug, 0)
        seen[slug] = n + 1
        yield slug if n == 0 else f"{slug}-{n}"


def main():
    root = sys.argv[1]
    pages = [os.path.join(root, "README.md")] + sorted(glob.glob(os.path.join(root, "docs", "*.md")))
    broken = []
    for page in pages:
        text = prose(page)
        for target in INLINE.findall(text) + REFERENCE.findall(text):
            if re.match(r"^[a-z][a-z0-9+.-]*:", target, re.I):
                continue  # an address with a scheme: not checked here
            name, _, anchor = target.partition("#")
            dest = os.path.normpath(os.path.join(os.path.dirname(page), name)) if name else page
            if not os.path.exists(dest):
                broken.append(f"{os.path.relpath(page, root)}: {target}: no such file")
            elif anchor and dest.endswith(".md") and anchor not in set(anchors(dest)):
                broken.append(f"{os.path.relpath(page, root)}: {target}: no such heading")
    for line in broken:
        print(line)
    print(f"{len(pages)} pages checked, {len(broken)} broken links")
    return 1 if broken or len(pages) < 2 else 0


if __name__ == "__main__":
    sys.exit(main())
