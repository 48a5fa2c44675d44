"""Debian's Chromium, headless through chromedriver, for the page's tests:
no network of its own, a fresh profile, every wait bounded."""
import base64
import json
import shutil
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"


class Browser:
    def __init__(self, language="en", width=1000, height=900):
        self.profile = tempfile.mkdtemp(prefix="sundrel-chromium-")
        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                     "--no-first-run", "--disable-background-networking",
                     "--disable-component-update", "--disable-sync",
                     "--user-data-dir=" + self.profile, "--lang=" + language,
                     "--window-size=%d,%d" % (width, height)):
            options.add_argument(flag)
        options.add_experimental_option("prefs", {"intl.accept_languages": language})
        options.set_capability("goog:loggingPrefs", {"performance": "ALL", "browser": "ALL"})
        options.add_experimental_option("perfLoggingPrefs", {"enableNetwork": True, "enablePage": False})
        self.driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
        self.driver.set_page_load_timeout(30)
        self.driver.set_script_timeout(60)
        self.requests = []

    def close(self):
        try:
            self.collect_requests()
            self.driver.quit()
        finally:
            shutil.rmtree(self.profile, ignore_errors=True)

    def wait(self, condition, timeout=30, what="condition"):
        end = time.monotonic() + timeout
        while True:
            value = condition()
            if value:
                return value
            if time.monotonic() > end:
                raise AssertionError("timed out after %s s waiting for %s" % (timeout, what))
            time.sleep(0.05)

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def open(self, url):
        self.driver.get(url)
        self.wait(lambda: self.js("return document.body.dataset.ready") == "true", what="the page's core")

    def blob_bytes(self, expression):
        """The bytes of a Blob the page holds, through base64."""
        encoded = self.driver.execute_async_script(
            "const done = arguments[arguments.length - 1];"
            "const blob = %s; const reader = new FileReader();"
            "reader.onload = () => done(reader.result.split(',')[1] || '');"
            "reader.readAsDataURL(blob);" % expression)
        return base64.b64decode(encoded)

    def network_requests(self, page_url):
        """Requests that left the page: anything but the page itself, its
        blob: and data: URLs, and Chromium's own chrome:// start page."""
        return [url for url in self.collect_requests()
                if url != page_url and not url.startswith(("blob:", "data:", "chrome://"))]

    def errors(self):
        """Console errors since the last call: script errors and policy violations."""
        return [entry["message"] for entry in self.driver.get_log("browser") if entry["level"] == "SEVERE"]

    def collect_requests(self):
        """URLs of every request Chrome's network domain saw so far."""
        for entry in self.driver.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            if message["method"] in ("Network.requestWillBeSent", "Network.webSocketCreated"):
                params = message["params"]
                self.requests.append(params.get("request", {}).get("url") or params.get("url"))
        return self.requests
