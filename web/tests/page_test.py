#!/usr/bin/python3
"""sundrel.html in headless Chromium, opened from file://: its findings for
sets the companion made and then damaged, its merge against the original
file, its division against the companion's pieces, its keyboard use and
narrow layout, its sets with recovery pieces (merge with rebuilt pieces,
repair, divisions with recovery pieces against recovery_reference.py; in a
browser without promise integration, proven but not rebuilt), and that it
makes no network request.

    page_test.py --page build-web/sundrel.html --companion build-native/bin/sundrel --out DIR
"""
import argparse
import os
import pathlib
import shutil
import subprocess
import sys
import time
import unittest

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.keys import Keys

from browser import Browser
from page_support import (CHUNK, PICKERS, PIECE_LENGTH, READ_SETS, Data, companion_verify, cut,
                          flip_byte, flip_recovery, other_id, sha256)
from recovery_reference import recovery_piece

ARGS = None


class PageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.data = Data(ARGS.companion)
        cls.url = pathlib.Path(ARGS.page).resolve().as_uri()
        cls.browser = Browser("en")

    @classmethod
    def tearDownClass(cls):
        cls.browser.close()
        shutil.rmtree(cls.data.root, ignore_errors=True)

    def tearDown(self):
        self.assertEqual(self.browser.network_requests(self.url), [])
        self.assertEqual(self.browser.errors(), [])

    def load(self, paths, browser=None, url=None):
        browser = browser or self.browser
        browser.open(url or self.url)
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
                companion = companion_verify(ARGS.companion, paths[0], "C")
                self.assertEqual([[f["kind"], f["message"]] for f in companion["findings"]], found)
                self.assertEqual(companion["mergeable"], state == "merges")

    def test_sets_with_a_recovery_piece(self):
        source = sha256(self.data.source.read_bytes())
        second = "report.bin(02_of_03).divide"
        recovery = "report.bin(00_of_03).recovery-01-of-01.divide"
        pieces = self.data.piece_bytes()
        usable = ("recovery-usable", recovery + ": recovery piece 01 of 01, usable")
        rows = [
            # what, files, state, state text part, the recovery piece's finding, merge
            # outcome, repaired pieces, whether the merge starts its output over
            ("whole set", self.data.variant("rec-whole", recovery=True), "merges",
             "The set would merge: 3 pieces, 2622674 data bytes.", usable, "merged", [], False),
            ("missing piece", self.data.variant("rec-missing", leave_out=[2], recovery=True), "repairs",
             "pieces 02 would be rebuilt", usable, "merged", [2], False),
            ("damaged piece", self.data.variant("rec-damaged", flip_byte(2, 4 + 2 * CHUNK + 100), recovery=True),
             "repairs", "pieces 02 would be rebuilt", usable, "merged", [2], True),
            ("two pieces lost", self.data.variant("rec-two", leave_out=[1, 3], recovery=True), "cannot",
             "1 more recovery pieces are needed", usable, None, [], False),
            ("damaged recovery piece and piece", self.data.variant(
                "rec-both", lambda f: (flip_byte(2, 100)(f), flip_recovery(f, 1000 + 2 * CHUNK)), recovery=True),
             "repairs", "pieces 02 would be rebuilt",
             ("recovery-damaged", recovery + ": recovery piece 01 of 01, damaged: 1 of its blocks cannot be used"),
             "merged", [2], True),
            ("a piece the manifest does not prove", self.data.variant(
                "rec-other-data", lambda f: (f / second).write_bytes((f / second).read_bytes()[:4] + pieces[0][4:]),
                recovery=True), "repairs", "pieces 02 would be rebuilt",
             ("sha256-mismatch", second + ": its blocks pass, but it is not the piece the manifest proves"),
             "merged", [2], True),
            ("no manifest in the recovery piece", self.data.variant(
                "rec-unreadable", lambda f: (f / recovery).write_bytes(b"x" * 5000), recovery=True), "merges",
             "The set would merge: 3 pieces", ("recovery-unreadable", recovery + ": no recovery piece can be "
                                               "read from it (no manifest)"), "merged", [], False),
        ]
        for what, paths, state, text, (kind, finding), outcome, repaired, restarts in rows:
            with self.subTest(what):
                sets = self.load(paths)
                self.assertEqual(len(sets), 1, sets)
                self.assertEqual(sets[0]["state"], state)
                self.assertIn(text, self.browser.js("return document.querySelector('#sets .state').textContent"))
                self.assertIn([kind, finding], sets[0]["findings"])
                self.assertEqual(sets[0]["mergeEnabled"], outcome is not None)
                if outcome is None:
                    continue
                self.assertEqual(self.merge(), outcome)
                self.assertEqual(self.browser.js("return window.__log.some((l) => l.startsWith('truncate'))"),
                                 restarts)
                name = self.browser.js("return [...window.__out.keys()][0]")
                self.assertEqual(sha256(self.browser.blob_bytes("window.__out.get(%r)" % name)), source)
                result = self.browser.js("return document.querySelector('#sets .result').textContent")
                if repaired:
                    self.assertIn("rebuilt from the recovery files: " + second, result)
                else:
                    self.assertNotIn("rebuilt", result)
                # Repair writes each piece that is not whole as the division wrote it.
                self.browser.js("window.__out.clear()")
                buttons = self.browser.js("return document.querySelectorAll('#sets button.repair').length")
                self.assertEqual(buttons, 1 if repaired else 0)
                if not repaired:
                    continue
                self.browser.js("document.querySelector('#sets button.repair').click()")
                self.assertEqual(self.browser.wait(lambda: self.browser.js(
                    "return document.querySelector('#sets .result').dataset.outcome"), what="the repair"),
                    "repaired")
                written = sorted(self.browser.js("return [...window.__out.keys()]"))
                self.assertEqual(written, [self.data.names[n - 1] for n in repaired])
                for n in repaired:
                    self.assertEqual(self.browser.blob_bytes("window.__out.get(%r)" % self.data.names[n - 1]),
                                     pieces[n - 1])

    def test_without_promise_integration_sets_are_proven_not_rebuilt(self):
        # The page as a browser without WebAssembly JavaScript promise
        # integration runs it: its worker started without it.
        page = pathlib.Path(ARGS.page).read_text(encoding="utf-8")
        tag = '<script type="text/plain" id="worker-source">'
        self.assertIn(tag, page)
        without = self.data.root / "sundrel-without-jspi.html"
        without.write_text(page.replace(tag, tag + "delete WebAssembly.Suspending;\n", 1), encoding="utf-8")
        url = without.resolve().as_uri()
        second = "report.bin(02_of_03).divide"
        first_data = self.data.piece_bytes()[0][4:]
        rows = [
            # what, files, state, whether Merge is offered
            ("whole set", self.data.variant("plain-whole", recovery=True), "merges", True),
            ("missing piece", self.data.variant("plain-missing", leave_out=[2], recovery=True), "repairs", False),
            ("a piece the manifest does not prove", self.data.variant(
                "plain-other-data", lambda f: (f / second).write_bytes((f / second).read_bytes()[:4] + first_data),
                recovery=True), "repairs", False),
        ]
        try:
            for what, paths, state, mergeable in rows:
                with self.subTest(what):
                    sets = self.load(paths, url=url)
                    self.assertEqual(sets[0]["state"], state)
                    self.assertEqual(sets[0]["mergeEnabled"], mergeable)
                    self.assertEqual(self.browser.js("return document.querySelectorAll('#sets button.repair').length"), 0)
                    if not mergeable:
                        self.assertIn("Promise Integration is needed", self.browser.js(
                            "return document.querySelector('#sets .state').textContent"))
                        continue
                    self.assertEqual(self.merge(), "merged")
                    name = self.browser.js("return [...window.__out.keys()][0]")
                    self.assertEqual(sha256(self.browser.blob_bytes("window.__out.get(%r)" % name)),
                                     sha256(self.data.source.read_bytes()))
            with self.subTest("divide with a recovery piece"):
                self.browser.driver.find_element("id", "divide-input").send_keys(str(self.data.source))
                self.browser.js("document.querySelector('#recovery-count').value = '1';"
                                "document.querySelector('#recovery-count').dispatchEvent(new Event('input'))")
                self.assertEqual(self.browser.wait(lambda: self.browser.js(
                    "return document.querySelector('#divide-plan').dataset.outcome"), what="the plan"),
                    "bad-recovery")
        finally:
            # The altered page's own loads are no network requests; the run's log keeps the rest.
            self.browser.requests = [r for r in self.browser.collect_requests() if r != url]

    def test_merge_and_repair_through_recovery_as_downloads(self):
        downloads = self.data.root / "downloads-recovery"
        downloads.mkdir(exist_ok=True)
        self.load(self.data.variant("rec-download", flip_byte(3, 4 + 5 * CHUNK), recovery=True))
        self.browser.driver.execute_cdp_cmd("Page.setDownloadBehavior",
                                            {"behavior": "allow", "downloadPath": str(downloads)})
        self.browser.js("window.showSaveFilePicker = undefined; window.showDirectoryPicker = undefined")
        # The straight pass meets the damage: the collected parts go and the merge starts over.
        self.assertEqual(self.merge(), "merged")
        merged = self.browser.wait(lambda: [p for p in downloads.iterdir() if p.suffix == ".bin"],
                                   what="the download")
        self.browser.wait(lambda: merged[0].stat().st_size == self.data.source.stat().st_size,
                          what="the whole download")
        self.assertEqual(sha256(merged[0].read_bytes()), sha256(self.data.source.read_bytes()))

        self.browser.js("document.querySelector('#sets button.repair').click()")
        self.assertEqual(self.browser.wait(lambda: self.browser.js(
            "return document.querySelector('#sets .result').dataset.outcome"), what="the repair"), "repaired")
        original = self.data.piece_bytes()[2]
        repaired = downloads / self.data.names[2]
        self.browser.wait(lambda: repaired.exists() and repaired.stat().st_size == len(original),
                          what="the repaired piece")
        self.assertEqual(repaired.read_bytes(), original)

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
        rows = [
            # what, files, the write that fails
            ("pieces alone", self.data.variant("stop"), 2),
            ("through a recovery piece", self.data.variant("stop-rec", flip_byte(2, 100), recovery=True), 1),
        ]
        for what, paths, failing in rows:
            with self.subTest(what):
                self.stop_and_fail_merge(paths, failing)

    def stop_and_fail_merge(self, paths, failing):
        self.load(paths)
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
                        "    w.write = async (d) => { if (++n == %d) throw new Error('disk full'); return write(d); };"
                        "    return w; }; return h; };" % failing)
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

        # With recovery pieces: after the pieces, those recovery_reference.py writes for them.
        set_recovery = set_mib + (";document.querySelector('#recovery-count').value = '2';"
                                  "document.querySelector('#recovery-count').dispatchEvent(new Event('input'))")
        with self.subTest("2 recovery pieces"):
            _, pieces = self.divide_in_page(set_recovery)
            names = self.data.names + ["report.bin(00_of_03).recovery-%02d-of-02.divide" % j for j in (1, 2)]
            self.assertEqual(sorted(pieces), sorted(names))
            source = self.data.source.read_bytes()
            for j in (1, 2):
                self.assertEqual(pieces[names[2 + j]], recovery_piece(
                    source, [pieces[name] for name in self.data.names], 1 << 20, j, 2), names[2 + j])

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
        repairable = self.data.variant("screens-recovery", leave_out=[3], recovery=True)
        self.load(repairable)
        self.browser.driver.save_screenshot(os.path.join(ARGS.out, "page-recovery-en.png"))
        japanese = Browser("ja")
        try:
            sets = self.load(paths, japanese)
            self.assertEqual(japanese.js("return document.documentElement.lang"), "ja")
            self.assertIn("ブロック 2", sets[0]["findings"][2][1])
            companion = companion_verify(ARGS.companion, paths[0], "ja_JP.UTF-8")
            self.assertEqual([[f["kind"], f["message"]] for f in companion["findings"]], sets[0]["findings"])
            japanese.driver.save_screenshot(os.path.join(ARGS.out, "page-ja.png"))
            self.load(repairable, japanese)
            japanese.driver.save_screenshot(os.path.join(ARGS.out, "page-recovery-ja.png"))
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
