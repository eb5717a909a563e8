#!/usr/bin/env python3
"""Puts one benchmark's section into docs/benchmarks.md and leaves every other section alone.

    page_section.py NAME [PAGE] < SECTION.md

A section is the text between the lines `<!-- begin NAME -->` and `<!-- end NAME -->`. An
existing section of that name is replaced where it stands; a new one goes to the end of the page.
The page is written through a temporary file and a rename, so an interrupted run never leaves
half a page behind. Each benchmark script pipes its own section here; none writes the page whole.
"""
import os
import re
import sys

HEADER = """# Benchmarks

Each section below is written by the benchmark it names, between its own `<!-- begin NAME -->`
and `<!-- end NAME -->` lines (`bench/page_section.py`): rerunning one benchmark replaces only its
section and keeps every other figure on the page. `bench/run.sh` runs them all.
"""


def put_section(page_text, name, body):
    if not re.fullmatch(r"[a-z0-9-]+", name):
        raise ValueError("section names are lower-case words joined by '-': %r" % name)
    begin = "<!-- begin %s -->" % name
    end = "<!-- end %s -->" % name
    block = "%s\n%s\n%s" % (begin, body.strip("\n"), end)
    pattern = re.compile(r"^%s\n.*?^%s$" % (re.escape(begin), re.escape(end)), re.M | re.S)
    if pattern.search(page_text):
        # A function as the replacement: backslashes in the section stay as they are.
        return pattern.sub(lambda _: block, page_text, count=1)
    return page_text.rstrip("\n") + "\n\n" + block + "\n"


def main(argv):
    if len(argv) not in (2, 3):
        sys.stderr.write("usage: page_section.py NAME [PAGE] < SECTION.md\n")
        return 2
    name = argv[1]
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    page = argv[2] if len(argv) == 3 else os.path.join(root, "docs", "benchmarks.md")
    body = sys.stdin.read()
    if not body.strip():
        # A benchmark that measured nothing keeps its last figures rather than blanking them.
        sys.stderr.write("page_section.py: empty section %s: the page is unchanged\n" % name)
        return 1
    text = open(page).read() if os.path.exists(page) else HEADER
    text = put_section(text, name, body)
    temporary = page + ".tmp"
    with open(temporary, "w") as out:
        out.write(text)
    os.replace(temporary, page)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
