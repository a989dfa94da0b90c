"""The web panel in a real browser: headless Chromium signs in, sees the eight outputs,
switches output 3 on and sees the board's read-back follow within a second, on a phone's
width and a desktop's, neither wider than its window. Screenshots go to the given folder."""

import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "support"))
from kestrum_program import KestrumProgram  # noqa: E402

from selenium import webdriver  # noqa: E402
from selenium.webdriver.chrome.service import Service  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402
from selenium.webdriver.support import expected_conditions  # noqa: E402
from selenium.webdriver.support.ui import WebDriverWait  # noqa: E402

PASSWORD = "pumbad ja küttekehad"


def browser(profile):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu",
                     "--disable-background-networking", "--disable-component-update",
                     "--disable-sync", "--no-first-run", "--disable-dev-shm-usage",
                     f"--user-data-dir={profile}"):
        options.add_argument(argument)
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def fail(message, program):
    print("FAIL:", message, "\n--- kestrum\n" + program.output(), file=sys.stderr)
    sys.exit(1)


def page_fits(driver):
    return driver.execute_script(
        "return document.documentElement.scrollWidth <= window.innerWidth")


def main(binary, shots):
    with KestrumProgram(binary, PASSWORD) as program, tempfile.TemporaryDirectory() as profile:
        driver = browser(profile)
        try:
            driver.set_window_size(375, 812)
            driver.get(program.url("/"))
            wait = WebDriverWait(driver, 10)
            wait.until(expected_conditions.url_contains("/login"))
            driver.find_element(By.ID, "password").send_keys(PASSWORD)
            driver.find_element(By.CSS_SELECTOR, "#login button").click()
            wait.until(lambda d: len(d.find_elements(By.CSS_SELECTOR, ".output")) == 8)
            wait.until(lambda d: "unknown" not in
                       d.find_element(By.CSS_SELECTOR, "#output3 .lamp").get_attribute("class"))

            driver.find_element(By.CSS_SELECTOR, "#output3 .switch").click()
            clicked = time.monotonic()
            lamp_on = lambda d: "on" in d.find_element(  # noqa: E731
                By.CSS_SELECTOR, "#output3 .lamp").get_attribute("class").split()
            WebDriverWait(driver, 1.5, poll_frequency=0.02).until(lamp_on)
            took = time.monotonic() - clicked
            if took > 1.0:
                fail(f"the board state showed ON after {took:.2f} s", program)
            print(f"output 3 showed the board ON {took * 1000:.0f} ms after the click")

            driver.find_element(By.ID, "logRefresh").click()
            wait.until(lambda d: "KOORMUS_3_SISSE_KOHE" in d.find_element(By.ID, "log").text)

            for width, height in ((375, 812), (1280, 800)):
                driver.set_window_size(width, height)
                driver.execute_script("window.scrollTo(0, 0)")
                time.sleep(0.3)
                if not page_fits(driver):
                    fail(f"the page is wider than a {width} px window", program)
                shot = os.path.join(shots, f"web-panel-{width}x{height}.png")
                driver.save_screenshot(shot)
                print("screenshot", shot)
        finally:
            driver.quit()
    print("PASS")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
