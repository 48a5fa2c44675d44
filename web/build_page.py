#!/usr/bin/env python3
"""Builds sundrel.html: one self-contained page with its script, style,
worker and WebAssembly inline, and a Content-Security-Policy that allows
exactly these and no network request."""
import argparse
import base64
import hashlib
import pathlib
import sys


def digest(text):
    return "'sha256-%s'" % base64.b64encode(hashlib.sha256(text.encode()).digest()).decode()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--wasm", required=True)
    parser.add_argument("--out", required=True)
    args = parser.parse_args()
    page = pathlib.Path(__file__).resolve().parent / "page"
    read = lambda name: (page / name).read_text(encoding="utf-8")
    style = read("style.css")
    # page.js last: it starts the page once everything is defined.
    script = "\n".join(read(name) for name in ("texts.js", "jobs.js", "divide.js", "page.js"))
    worker = read("worker.js")
    for name, text in (("style", style), ("script", script), ("worker", worker)):
        if "</s" in text.lower():
            sys.exit("build_page: the %s must not contain '</s'" % name)
    wasm = base64.b64encode(pathlib.Path(args.wasm).read_bytes()).decode()
    csp = "; ".join([
        "default-src 'none'",
        "script-src %s 'wasm-unsafe-eval'" % digest(script),
        "style-src %s" % digest(style),
        "worker-src blob:",
        "connect-src 'none'",
        "img-src data:",
        "object-src 'none'",
        "form-action 'none'",
        "base-uri 'none'",
    ])
    html = read("sundrel.html")
    for key, value in (("@CSP@", csp), ("@STYLE@", style), ("@WORKER@", worker),
                       ("@WASM@", wasm), ("@SCRIPT@", script)):
        if html.count(key) != 1:
            sys.exit("build_page: %s must appear once in the template" % key)
        html = html.replace(key, value)
    pathlib.Path(args.out).write_text(html, encoding="utf-8")


if __name__ == "__main__":
    main()
