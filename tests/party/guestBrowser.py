#!/usr/bin/python3
"""A guest's phone for the party tests and the screenshots: Chromium, headless
and phone-sized, driven by Selenium, taking one command per line of standard
input as JSON and answering each with one line of JSON on standard output.

Commands ({"op": ..., more fields}):
  open url              load a page
  url                   the address the page is at now
  text css              the text of the first element css matches ("" if none)
  texts css             the texts of every element css matches
  html css              the markup inside the first element css matches
  count css             how many elements css matches
  type css text         clear the first matching input and type text into it
  click css [index]     click the index-th (0) element css matches
  wait css text ms      until the first element css matches shows text (or,
                        with "" for text, until it is there and shown)
  eval js               run js in the page; its return value
  until js ms           until js returns a true value
  alert                 the text of an open alert box, or null
  screenshot file       a PNG of the page as the phone shows it
  quit                  end
Every answer is {"ok": true, "value": ...} or {"ok": false, "error": ...}.
"""
import json
import sys
import tempfile
import time

from selenium import webdriver
from selenium.common.exceptions import NoAlertPresentException, WebDriverException
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By


def start_browser(profile):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu", "--disable-dev-shm-usage",
                     "--disable-background-networking", "--disable-component-update", "--disable-sync",
                     "--no-first-run", "--no-default-browser-check", "--window-size=390,844",
                     "--user-data-dir=" + profile):
        options.add_argument(argument)
    # A phone's screen: 390 by 844 CSS pixels, touch, at twice the density.
    options.add_experimental_option("mobileEmulation", {
        "deviceMetrics": {"width": 390, "height": 844, "pixelRatio": 2.0, "touch": True}})
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def first(driver, css):
    found = driver.find_elements(By.CSS_SELECTOR, css)
    return found[0] if found else None


def run(driver, command):
    op = command["op"]
    if op == "open":
        driver.get(command["url"])
        return driver.current_url
    if op == "url":
        return driver.current_url
    if op == "text":
        element = first(driver, command["css"])
        return element.get_attribute("textContent") if element else ""
    if op == "texts":
        return [e.get_attribute("textContent") for e in driver.find_elements(By.CSS_SELECTOR, command["css"])]
    if op == "html":
        element = first(driver, command["css"])
        return element.get_attribute("innerHTML") if element else ""
    if op == "count":
        return len(driver.find_elements(By.CSS_SELECTOR, command["css"]))
    if op == "type":
        element = first(driver, command["css"])
        element.clear()
        element.send_keys(command["text"])
        return True
    if op == "click":
        elements = driver.find_elements(By.CSS_SELECTOR, command["css"])
        elements[command.get("index", 0)].click()
        return True
    if op == "wait":
        deadline = time.monotonic() + command.get("ms", 10000) / 1000.0
        wanted = command.get("text", "")
        seen = ""
        while time.monotonic() < deadline:
            element = first(driver, command["css"])
            if element is not None:
                seen = element.get_attribute("textContent")
                if (wanted and wanted in seen) or (not wanted and element.is_displayed()):
                    return seen
            time.sleep(0.1)
        raise TimeoutError("waited for %r in %s; it shows %r" % (wanted, command["css"], seen))
    if op == "eval":
        return driver.execute_script(command["js"])
    if op == "until":
        deadline = time.monotonic() + command.get("ms", 10000) / 1000.0
        while time.monotonic() < deadline:
            if driver.execute_script(command["js"]):
                return True
            time.sleep(0.1)
        raise TimeoutError("waited for: " + command["js"])
    if op == "alert":
        try:
            return driver.switch_to.alert.text
        except NoAlertPresentException:
            return None
    if op == "screenshot":
        return driver.save_screenshot(command["file"])
    raise ValueError("unknown command " + op)


def main():
    with tempfile.TemporaryDirectory(prefix="vorlen-guest-") as profile:
        driver = start_browser(profile)
        print(json.dumps({"ok": True, "value": "ready"}), flush=True)
        try:
            for line in sys.stdin:
                if not line.strip():
                    continue
                command = json.loads(line)
                if command.get("op") == "quit":
                    print(json.dumps({"ok": True, "value": None}), flush=True)
                    break
                try:
                    answer = {"ok": True, "value": run(driver, command)}
                except (WebDriverException, TimeoutError, ValueError, IndexError, KeyError, AttributeError) as error:
                    answer = {"ok": False, "error": "%s: %s" % (type(error).__name__, error)}
                print(json.dumps(answer), flush=True)
        finally:
            driver.quit()


if __name__ == "__main__":
    main()
