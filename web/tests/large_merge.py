#!/usr/bin/python3
"""A large merge in the page, served from http://127.0.0.1 so that the
Origin Private File System can stand in for the file the user picks: the
merged file is streamed there as into a picked file. Measures the time
beside the companion's merge of the same pieces, and the memory of
Chromium's renderer processes (the page and its worker) before, during and
after: it must not grow with the file. Exits 1 when the merged file differs
or the renderer grew by more than LIMIT_MIB. With --recovery the set gets a
recovery piece (recovery_reference.py) and its last piece a damaged block
near its end: the merge goes straight through, starts its output over and
rebuilds the block.

    large_merge.py --page build-web/sundrel.html --companion build-native/bin/sundrel
                   [--size-mib 1024] [--work DIR] [--limit-mib 256] [--recovery]
"""
import argparse
import functools
import http.server
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile
import threading
import time

from browser import Browser
from recovery_reference import recovery_piece

OPFS_PICKER = """
window.showSaveFilePicker = async (options) =>
  (await navigator.storage.getDirectory()).getFileHandle(options.suggestedName, { create: true });
"""

# The merged file in the OPFS against the original, 16 MiB at a time.
COMPARE = """
const done = arguments[arguments.length - 1];
(async () => {
  const root = await navigator.storage.getDirectory();
  let merged = null;
  for await (const [name, handle] of root.entries()) merged = await handle.getFile();
  const original = document.querySelector('#original').files[0];
  if (!merged || merged.size !== original.size) return done('size ' + (merged && merged.size));
  const step = 16 << 20;
  for (let at = 0; at < original.size; at += step) {
    const a = new Uint8Array(await merged.slice(at, at + step).arrayBuffer());
    const b = new Uint8Array(await original.slice(at, at + step).arrayBuffer());
    for (let i = 0; i < a.length; ++i) if (a[i] !== b[i]) return done('differs at ' + (at + i));
  }
  done('same');
})().catch((error) => done('error ' + error));
"""


def descendants(root):
    children = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open("/proc/%s/stat" % entry) as f:
                    parent = int(f.read().rsplit(")", 1)[1].split()[1])
                children.setdefault(parent, []).append(int(entry))
            except (OSError, IndexError, ValueError):
                pass
    found, todo = [], [root]
    while todo:
        pid = todo.pop()
        for child in children.get(pid, []):
            found.append(child)
            todo.append(child)
    return found


def rss_mib(pids, kind):
    """Resident memory of the processes whose command line has --type=kind
    ("" for the browser process itself)."""
    total = 0
    for pid in pids:
        try:
            # Chromium rewrites its children's command lines into one string.
            cmdline = open("/proc/%d/cmdline" % pid, "rb").read().replace(b"\0", b" ").split()
            if not cmdline or not cmdline[0].endswith(b"chromium"):
                continue
            types = [a for a in cmdline if a.startswith(b"--type=")]
            if (types[0][7:].decode() if types else "") != kind:
                continue
            for line in open("/proc/%d/status" % pid):
                if line.startswith("VmRSS:"):
                    total += int(line.split()[1])
        except (OSError, IndexError):
            pass
    return total / 1024


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve(folder):
    handler = functools.partial(QuietHandler, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--page", required=True)
    parser.add_argument("--companion", required=True)
    parser.add_argument("--size-mib", type=int, default=1024)
    parser.add_argument("--work")
    parser.add_argument("--limit-mib", type=int, default=256)
    parser.add_argument("--recovery", action="store_true")
    args = parser.parse_args()
    work = pathlib.Path(tempfile.mkdtemp(prefix="sundrel-large-", dir=args.work))
    server = browser = None
    try:
        source = work / "source.bin"
        with source.open("wb") as f:
            block = b"".join(b"Sundrel page benchmark, line %012d\n" % i for i in range(1 << 15))
            for _ in range(args.size_mib * (1 << 20) // len(block) + 1):
                f.write(block)
            f.truncate(args.size_mib << 20)
        pieces = work / "pieces"
        pieces.mkdir()
        subprocess.run([args.companion, "divide", str(source), "-s", "16", "-o", str(pieces), "--quiet"],
                       check=True, timeout=600, stdout=subprocess.DEVNULL)
        paths = sorted(str(p) for p in pieces.iterdir())

        merged = work / "merged"
        merged.mkdir()
        start = time.monotonic()
        subprocess.run([args.companion, "merge", paths[0], "-o", str(merged), "--quiet"],
                       check=True, timeout=600, stdout=subprocess.DEVNULL)
        companion_seconds = time.monotonic() - start
        shutil.rmtree(merged)
        if args.recovery:
            recovery = pieces / ("source.bin(00_of_%02d).recovery-01-of-01.divide" % len(paths))
            recovery.write_bytes(recovery_piece(source.read_bytes(), [pathlib.Path(p).read_bytes() for p in paths],
                                                16 << 20, 1, 1))
            with open(paths[-1], "r+b") as last:
                last.seek(-100, os.SEEK_END)
                byte = last.read(1)
                last.seek(-1, os.SEEK_CUR)
                last.write(bytes([byte[0] ^ 0x40]))
            paths = sorted(str(p) for p in pieces.iterdir())

        page = pathlib.Path(args.page).resolve()
        server = serve(str(page.parent))
        url = "http://127.0.0.1:%d/%s" % (server.server_address[1], page.name)
        browser = Browser("en")
        browser.open(url)
        browser.js(OPFS_PICKER)
        browser.js("const input = document.createElement('input'); input.type = 'file';"
                   "input.id = 'original'; document.body.append(input);")
        browser.driver.find_element("id", "original").send_keys(str(source))
        browser.driver.find_element("id", "pieces-input").send_keys("\n".join(paths))
        browser.wait(lambda: browser.js("return document.body.dataset.survey") == "done",
                     timeout=600, what="the survey")
        state = browser.js("return document.querySelector('#sets .state').dataset.state")
        if state != ("repairs" if args.recovery else "merges"):
            sys.exit("large_merge: the set does not merge: %s" % state)

        pids = descendants(browser.driver.service.process.pid)
        time.sleep(1)
        before = rss_mib(pids, "renderer")
        browser_before = rss_mib(pids, "")
        peak = before
        browser_peak = browser_before
        browser.js("document.querySelector('#sets button.merge').click()")
        start = time.monotonic()
        outcome = None
        while outcome is None:
            if time.monotonic() - start > 1200:
                sys.exit("large_merge: timed out after 1200 s")
            pids = descendants(browser.driver.service.process.pid)
            peak = max(peak, rss_mib(pids, "renderer"))
            browser_peak = max(browser_peak, rss_mib(pids, ""))
            outcome = browser.js("return document.querySelector('#sets .result').dataset.outcome")
            time.sleep(0.2)
        page_seconds = time.monotonic() - start
        time.sleep(1)
        after = rss_mib(descendants(browser.driver.service.process.pid), "renderer")
        if outcome != "merged":
            sys.exit("large_merge: the page's merge ended in %s" % outcome)
        compared = browser.driver.execute_async_script(COMPARE)
        leaks = browser.network_requests(url)

        size = args.size_mib << 20
        print("page merge of %d MiB (%d files of 16 MiB%s), into the OPFS from http://127.0.0.1"
              % (args.size_mib, len(paths), ", one a recovery piece, the last piece damaged" if args.recovery else ""))
        print("  %-34s %8.2f s %8.1f MB/s" % ("page (headless Chromium)", page_seconds, size / 1e6 / page_seconds))
        print("  %-34s %8.2f s %8.1f MB/s" % ("sundrel merge (whole process)", companion_seconds,
                                              size / 1e6 / companion_seconds))
        print("  renderer RSS: before %.0f MiB, peak during %.0f MiB, after %.0f MiB" % (before, peak, after))
        print("  browser process RSS: before %.0f MiB, peak during %.0f MiB" % (browser_before, browser_peak))
        print("  merged file: %s; network requests: %d" % (compared, len(leaks)))
        ok = compared == "same" and peak - before <= args.limit_mib and not leaks
        print("  %s (the renderer may grow by at most %d MiB)" % ("PASS" if ok else "FAIL", args.limit_mib))
        return 0 if ok else 1
    finally:
        if browser:
            browser.close()
        if server:
            server.shutdown()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
