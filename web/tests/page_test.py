#!/usr/bin/python3
"""sundrel.html in headless Chromium, opened from file://: its findings for
sets the companion made and then damaged, its merge against the original
file, its division against the companion's pieces, its keyboard use and
narrow layout, and that it makes no network request.

    page_test.py --page build-web/sundrel.html --companion build-native/bin/sundrel --out DIR
"""
import argparse
import hashlib
import json
import os
import pathlib
import random
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

from browser import Browser

ARGS = None
PIECE_LENGTH = 4 + 256 * 4098   # a piece of 1 MiB
CHUNK = 4098

# In-page stand-ins for the pickers, which cannot be clicked headless: files
# are Blobs in window.__out, every call is logged in window.__log. The
# page's code path is the one it takes with the real pickers.
PICKERS = r"""
window.__out = new Map(); window.__log = []; window.__delay = 0;
const handle = (name) => ({
  kind: 'file', name,
  getFile: async () => new File([window.__out.get(name) || new Blob([])], name),
  createWritable: async () => {
    const parts = [];
    window.__log.push('open ' + name);
    return {
      write: async (data) => {
        parts.push(new Blob([data]));
        window.__log.push('write ' + name);
        if (window.__delay) await new Promise((r) => setTimeout(r, window.__delay));
      },
      close: async () => { window.__out.set(name, new Blob(parts)); window.__log.push('close ' + name); },
      abort: async () => { window.__log.push('abort ' + name); },
    };
  },
  remove: async () => { window.__out.delete(name); window.__log.push('remove ' + name); },
});
window.showSaveFilePicker = async (options) => {
  window.__out.set(options.suggestedName, new Blob([]));
  return handle(options.suggestedName);
};
window.showDirectoryPicker = async () => ({
  kind: 'directory', name: 'out',
  keys: async function* () { for (const name of [...window.__out.keys()]) yield name; },
  getFileHandle: async (name) => {
    if (!window.__out.has(name)) window.__out.set(name, new Blob([]));
    return handle(name);
  },
  removeEntry: async (name) => { window.__out.delete(name); window.__log.push('remove ' + name); },
});
"""

# Each set on the page: its state and its findings' kinds and texts.
READ_SETS = r"""
return [...document.querySelectorAll('#sets .set')].map((set) => ({
  state: set.querySelector('.state').dataset.state,
  mergeEnabled: !set.querySelector('button.merge').disabled,
  findings: [...set.querySelectorAll('.finding')].map((f) => [f.dataset.kind, f.textContent]),
}));
"""


def sha256(data):
    return hashlib.sha256(data).hexdigest()


class Data:
    """A source of 2.5 MiB and a bit, divided by the companion into 3 pieces
    of 1 MiB: the bytes Sundrel.exe writes."""

    def __init__(self):
        self.root = pathlib.Path(tempfile.mkdtemp(prefix="sundrel-page-"))
        self.source = self.root / "report.bin"
        self.source.write_bytes(random.Random(7).randbytes((5 << 19) + 1234))
        self.pieces = self.root / "pieces"
        self.pieces.mkdir()
        self.companion_divide(self.pieces, "-s", "1")
        self.names = sorted(p.name for p in self.pieces.iterdir())
        assert len(self.names) == 3, self.names

    def companion_divide(self, folder, *size):
        subprocess.run([ARGS.companion, "divide", str(self.source), *size, "-o", str(folder),
                        "--quiet"], check=True, timeout=60, stdout=subprocess.DEVNULL)

    def variant(self, name, change=None, leave_out=()):
        """A copy of the pieces with one changed or some left out."""
        folder = self.root / name
        shutil.copytree(self.pieces, folder)
        for number in leave_out:
            (folder / self.names[number - 1]).unlink()
        if change:
            change(folder)
        return [str(p) for p in sorted(folder.iterdir())]


def flip_byte(number, offset):
    def change(folder):
        path = folder / ("report.bin(%02d_of_03).divide" % number)
        data = bytearray(path.read_bytes())
        data[offset] ^= 0x40
        path.write_bytes(bytes(data))
    return change


def other_id(number):
    def change(folder):
        path = folder / ("report.bin(%02d_of_03).divide" % number)
        data = bytearray(path.read_bytes())
        data[0:4] = (int.from_bytes(data[0:4], "little") + 3600).to_bytes(4, "little")
        path.write_bytes(bytes(data))
    return change


def cut(number, bytes_off):
    def change(folder):
        path = folder / ("report.bin(%02d_of_03).divide" % number)
        path.write_bytes(path.read_bytes()[:-bytes_off])
    return change


def companion_verify(piece, locale):
    verify = subprocess.run([ARGS.companion, "verify", "--json", piece], timeout=60,
                            capture_output=True, text=True, env={**os.environ, "LC_ALL": locale})
    # One piece named: one set in the document.
    return json.loads(verify.stdout)["sets"][0]


class PageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.data = Data()
        cls.url = pathlib.Path(ARGS.page).resolve().as_uri()
        cls.browser = Browser("en")

    @classmethod
    def tearDownClass(cls):
        cls.browser.close()
        shutil.rmtree(cls.data.root, ignore_errors=True)

    def tearDown(self):
        self.assertEqual(self.browser.network_requests(self.url), [])
        self.assertEqual(self.browser.errors(), [])

    def load(self, paths, browser=None):
        browser = browser or self.browser
        browser.open(self.url)
        browser.js(PICKERS)
        browser.driver.find_element("id", "pieces-input").send_keys("\n".join(paths))
        browser.wait(lambda: browser.js("return document.body.dataset.survey") == "done",
                     what="the survey")
        return browser.js(READ_SETS)

    def merge(self, browser=None):
        browser = browser or self.browser
        browser.js("document.querySelector('#sets button.merge').click()")
        return browser.wait(lambda: browser.js(
            "return document.querySelector('#sets .result').dataset.outcome"), what="the merge")

    def test_findings_of_sets(self):
        last = "report.bin(03_of_03).divide"
        first = "report.bin(01_of_03).divide"
        second = "report.bin(02_of_03).divide"
        rows = [
            # what, files, expected state, expected (kind, text part) findings
            ("whole set", self.data.variant("whole"), "merges",
             [("ok", first + ": OK, 256 blocks, 1048576 data bytes"), ("ok", second + ": OK"),
              ("ok", last + ": OK, 129 blocks, 525522 data bytes")]),
            ("damaged block", self.data.variant("damaged", flip_byte(2, 4 + 2 * CHUNK + 100)), "cannot",
             [("ok", first), ("damaged", second + ": damaged at block 3 (byte offset %d)" % (4 + 2 * CHUNK)),
              ("ok", last)]),
            ("missing piece", self.data.variant("missing", leave_out=[2]), "cannot",
             [("ok", first), ("ok", last), ("missing", "missing: piece 02 of 03")]),
            ("piece of another division", self.data.variant("foreign", other_id(2)), "cannot",
             [("ok", first), ("foreign-id", second + ": its ID "), ("ok", last)]),
            ("truncated piece", self.data.variant("truncated", cut(1, 1000)), "cannot",
             [("damaged", first + ": damaged at block 256"),
              ("truncated", first + ": truncated: %d bytes" % (PIECE_LENGTH - 1000)),
              ("ok", second), ("ok", last)]),
            ("tail after the last block", self.data.variant("tail", cut(3, 1234)), "cannot",
             [("ok", first), ("ok", second), ("tail", last + ": ends in a 2-byte tail")]),
        ]
        for what, paths, state, expected in rows:
            with self.subTest(what):
                sets = self.load(paths)
                self.assertEqual(len(sets), 1, sets)
                self.assertEqual(sets[0]["state"], state)
                self.assertEqual(sets[0]["mergeEnabled"], state == "merges")
                found = sets[0]["findings"]
                self.assertEqual([kind for kind, _ in found], [kind for kind, _ in expected], found)
                for (kind, text), (_, part) in zip(found, expected):
                    self.assertIn(part, text)
                # The companion's verify of the same folder says the same, word for word.
                companion = companion_verify(paths[0], "C")
                self.assertEqual([[f["kind"], f["message"]] for f in companion["findings"]], found)
                self.assertEqual(companion["mergeable"], state == "merges")

    def test_files_that_are_no_piece_and_two_sets(self):
        extra = self.data.root / "notes.txt"
        extra.write_bytes(b"notes")
        other = self.data.root / "two"
        other.mkdir(exist_ok=True)
        (other / "photo.jpg").write_bytes(b"\xff" * 5000)
        subprocess.run([ARGS.companion, "divide", str(other / "photo.jpg"), "-o", str(other), "--quiet"],
                       check=True, timeout=60, stdout=subprocess.DEVNULL)
        paths = self.data.variant("two-sets") + [str(extra), str(other / "photo.jpg(01_of_01).divide")]
        sets = self.load(paths)
        self.assertEqual([s["state"] for s in sets], ["merges", "merges"])
        self.assertEqual(self.browser.js(
            "return [...document.querySelectorAll('[data-kind=\"not-piece\"]')].map((n) => n.textContent)"),
            ["Not the name of a divided file's piece (NAME(NN_of_MM).divide): notes.txt"])

    def test_merge_streams_into_the_picked_file(self):
        self.load(self.data.variant("merge"))
        self.assertEqual(self.merge(), "merged")
        name = self.browser.js("return [...window.__out.keys()][0]")
        self.assertRegex(name, r"^report\(\d{6}-\d{6}\)\.bin$")
        merged = self.browser.blob_bytes("window.__out.get(%r)" % name)
        self.assertEqual(sha256(merged), sha256(self.data.source.read_bytes()))

    def test_merge_as_a_download_where_files_cannot_be_picked(self):
        downloads = self.data.root / "downloads"
        downloads.mkdir(exist_ok=True)
        self.load(self.data.variant("download"))
        self.browser.driver.execute_cdp_cmd("Page.setDownloadBehavior",
                                            {"behavior": "allow", "downloadPath": str(downloads)})
        self.browser.js("window.showSaveFilePicker = undefined")
        self.assertEqual(self.merge(), "merged")
        merged = self.browser.wait(lambda: [p for p in downloads.iterdir() if p.suffix == ".bin"],
                                   what="the download")
        self.assertRegex(merged[0].name, r"^report\(\d{6}-\d{6}\)\.bin$")
        self.browser.wait(lambda: merged[0].stat().st_size == self.data.source.stat().st_size,
                          what="the whole download")
        self.assertEqual(sha256(merged[0].read_bytes()), sha256(self.data.source.read_bytes()))

    def test_stop_and_failures_leave_no_merged_file(self):
        self.load(self.data.variant("stop"))
        self.browser.js("window.__delay = 300")
        self.browser.js("document.querySelector('#sets button.merge').click()")
        self.browser.wait(lambda: self.browser.js("return window.__log.some((l) => l.startsWith('write'))"),
                          what="the first write")
        self.browser.js("document.querySelector('#sets .stop').click()")
        outcome = self.browser.wait(lambda: self.browser.js(
            "return document.querySelector('#sets .result').dataset.outcome"), what="the stop")
        self.assertEqual(outcome, "stopped")
        log = self.browser.js("return window.__log")
        self.assertTrue(any(l.startswith("abort") for l in log), log)
        self.assertTrue(any(l.startswith("remove") for l in log), log)
        self.assertEqual(self.browser.js("return window.__out.size"), 0)
        self.assertIn("Interrupted; nothing was left behind.",
                      self.browser.js("return document.querySelector('#sets .result').textContent"))

        # A write that fails: the stream is aborted and the file removed.
        self.browser.js("window.__delay = 0; window.__log = [];"
                        "const original = window.showSaveFilePicker;"
                        "window.showSaveFilePicker = async (o) => { const h = await original(o);"
                        "  const open = h.createWritable; h.createWritable = async () => {"
                        "    const w = await open(); let n = 0; const write = w.write;"
                        "    w.write = async (d) => { if (++n == 2) throw new Error('disk full'); return write(d); };"
                        "    return w; }; return h; };")
        self.assertEqual(self.merge(), "write")
        self.assertIn("disk full", self.browser.js("return document.querySelector('#sets .result').textContent"))
        self.assertEqual(self.browser.js("return window.__out.size"), 0)

    def test_stop_removes_the_pieces_a_division_wrote(self):
        self.browser.open(self.url)
        self.browser.js(PICKERS)
        self.browser.js("window.__out.set('keep.txt', new Blob(['mine']))")
        self.browser.driver.find_element("id", "divide-input").send_keys(str(self.data.source))
        self.browser.js("document.querySelector('#piece-mib').value = '1';"
                        "document.querySelector('#piece-mib').dispatchEvent(new Event('input'))")
        self.browser.wait(lambda: self.browser.js(
            "return document.querySelector('#divide-plan').dataset.outcome") == "planned", what="the plan")
        self.browser.js("window.__delay = 300; document.querySelector('#divide').click()")
        self.browser.wait(lambda: self.browser.js("return window.__log.includes('close report.bin(01_of_03).divide')"),
                          what="the first piece")
        self.browser.js("document.querySelector('#divide-progress .stop').click()")
        outcome = self.browser.wait(lambda: self.browser.js(
            "return document.querySelector('#divide-result').dataset.outcome"), what="the stop")
        self.assertEqual(outcome, "stopped")
        self.assertEqual(self.browser.js("return [...window.__out.keys()]"), ["keep.txt"])

    def divide_in_page(self, choose):
        self.browser.open(self.url)
        self.browser.js(PICKERS)
        self.browser.driver.find_element("id", "divide-input").send_keys(str(self.data.source))
        self.browser.js(choose)
        self.browser.wait(lambda: self.browser.js(
            "return document.querySelector('#divide-plan').dataset.outcome") == "planned", what="the plan")
        before = int(time.time())
        self.browser.js("document.querySelector('#divide').click()")
        outcome = self.browser.wait(lambda: self.browser.js(
            "return document.querySelector('#divide-result').dataset.outcome"), what="the division")
        self.assertEqual(outcome, "divided")
        names = sorted(self.browser.js("return [...window.__out.keys()]"))
        return before, {name: self.browser.blob_bytes("window.__out.get(%r)" % name) for name in names}

    def test_divide_equals_the_companion_after_the_id(self):
        set_mib = ("document.querySelector('#piece-mib').value = '1';"
                   "document.querySelector('#piece-mib').dispatchEvent(new Event('input'))")
        set_mail = ("document.querySelector('#size-by-mail').checked = true;"
                    "document.querySelector('#mail-mb').value = '3';"
                    "document.querySelector('#mail-mb').dispatchEvent(new Event('input'))")
        for what, choose, companion_size in (("1 MiB", set_mib, ["-s", "1"]),
                                             ("mail limit 3 MB", set_mail, ["--mail-limit", "3MB"])):
            with self.subTest(what):
                folder = self.data.root / ("companion " + what)
                folder.mkdir()
                self.data.companion_divide(folder, *companion_size)
                expected = {p.name: p.read_bytes() for p in folder.iterdir()}
                before, pieces = self.divide_in_page(choose)
                self.assertEqual(sorted(pieces), sorted(expected))
                ids = {data[:4] for data in pieces.values()}
                self.assertEqual(len(ids), 1)
                self.assertTrue(before <= int.from_bytes(ids.pop(), "little") <= time.time() + 1)
                for name, data in pieces.items():
                    self.assertEqual(data[4:], expected[name][4:], name)

        # Earlier pieces of the same name in the folder go first, when the user agrees.
        self.browser.js("window.__out.set('report.bin(01_of_07).divide', new Blob(['old']));"
                        "window.__out.set('report.bin(copy).divide', new Blob(['keep']));"
                        "window.confirm = () => true;")
        self.browser.js("document.querySelector('#divide').click()")
        self.browser.wait(lambda: self.browser.js(
            "return window.__log.includes('remove report.bin(01_of_07).divide')"
            " && document.querySelector('#divide-result').dataset.outcome === 'divided'"),
            what="the second division")
        self.assertIn("report.bin(copy).divide", self.browser.js("return [...window.__out.keys()]"))

    def test_divide_refuses_what_the_companion_refuses(self):
        self.browser.open(self.url)
        big = self.data.root / "big.bin"
        with big.open("wb") as f:
            f.truncate(100 << 20)
        self.browser.driver.find_element("id", "divide-input").send_keys(str(big))
        rows = [
            ("more than 99 pieces", "mib", "1", "too-many",
             "The file would be divided into 100 pieces, but at most 99 are possible."),
            ("no whole MiB", "mib", "1.5", "bad-size",
             "The piece size must be a whole number of MiB from 1 to 4095: 1.5"),
            ("too many MiB", "mib", "4096", "bad-size", "from 1 to 4095: 4096"),
            ("a mail limit too small for 1 MiB", "mail", "1", "limit-too-small",
             "A mail limit of 1000000 bytes cannot carry even a piece of 1 MiB once it is encoded"),
        ]
        for what, by, value, outcome, text in rows:
            with self.subTest(what):
                box = "#piece-mib" if by == "mib" else "#mail-mb"
                self.browser.js("document.querySelector('#size-by-%s').checked = true;"
                                "document.querySelector(%r).value = %r;"
                                "document.querySelector(%r).dispatchEvent(new Event('input'))"
                                % (by, box, value, box))
                self.browser.wait(lambda: self.browser.js(
                    "return document.querySelector('#divide-plan').dataset.outcome") == outcome,
                    what="the plan")
                self.assertIn(text, self.browser.js("return document.querySelector('#divide-plan').textContent"))
                self.assertTrue(self.browser.js("return document.querySelector('#divide').disabled"))

    def test_keyboard_and_a_phone_wide_screen(self):
        self.browser.open(self.url)
        self.browser.js("window.__chooser = 0; document.querySelector('#pieces-input')"
                        ".addEventListener('click', (e) => { e.preventDefault(); window.__chooser++; })")
        ActionChains(self.browser.driver).send_keys(Keys.TAB).perform()
        self.assertEqual(self.browser.js("return document.activeElement.id"), "drop-zone")
        zone = self.browser.driver.switch_to.active_element
        zone.send_keys("\n")
        zone.send_keys(" ")
        self.assertEqual(self.browser.js("return window.__chooser"), 2)

        self.browser.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": 360, "height": 740, "deviceScaleFactor": 2, "mobile": True})
        try:
            self.load(self.data.variant("narrow", flip_byte(2, 500)))
            self.assertLessEqual(self.browser.js("return document.documentElement.scrollWidth"), 360)
            self.browser.driver.save_screenshot(os.path.join(ARGS.out, "page-360px.png"))
        finally:
            self.browser.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})

    def test_screenshots_in_english_and_japanese(self):
        paths = self.data.variant("screens", flip_byte(3, 5000))
        self.load(paths)
        self.assertEqual(self.browser.js("return document.documentElement.lang"), "en")
        self.browser.driver.save_screenshot(os.path.join(ARGS.out, "page-en.png"))
        japanese = Browser("ja")
        try:
            sets = self.load(paths, japanese)
            self.assertEqual(japanese.js("return document.documentElement.lang"), "ja")
            self.assertIn("ブロック 2", sets[0]["findings"][2][1])
            companion = companion_verify(paths[0], "ja_JP.UTF-8")
            self.assertEqual([[f["kind"], f["message"]] for f in companion["findings"]], sets[0]["findings"])
            japanese.driver.save_screenshot(os.path.join(ARGS.out, "page-ja.png"))
            self.assertEqual(japanese.network_requests(self.url), [])
        finally:
            japanese.close()


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--page", required=True)
    parser.add_argument("--companion", required=True)
    parser.add_argument("--out", required=True)
    ARGS, rest = parser.parse_known_args()
    os.makedirs(ARGS.out, exist_ok=True)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
