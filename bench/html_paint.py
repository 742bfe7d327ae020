#!/usr/bin/env python3
"""Open an HTML report in headless Chromium RUNS times, each in a fresh
profile, and print the medians, in milliseconds from the start of the
navigation, of its first contentful paint and of the moment its script has
shown the summary and the first page of each open section ("mv-ready");
then scroll the open page through its first 30,000 pixels, 40 pixels a
frame, and print the longest frame and the frames of more than 50 ms.

Usage: html_paint.py FILE [RUNS]
Prints one line: fcp=MS ready=MS load=MS longest-frame=MS slow-frames=N/M"""

import shutil
import statistics
import sys
import tempfile


def main():
    path = sys.argv[1]
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    chromium = shutil.which("chromium") or shutil.which("chromium-browser")
    if not chromium:
        sys.exit("Chromium is not installed")
    fcp, ready, load, frames = [], [], [], None
    for run in range(runs):
        profile = tempfile.mkdtemp()
        options = webdriver.ChromeOptions()
        options.binary_location = chromium
        for argument in ("--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
                         "--disable-background-networking", "--disable-component-update",
                         "--disable-sync", "--user-data-dir=" + profile,
                         "--window-size=1280,900"):
            options.add_argument(argument)
        driver = webdriver.Chrome(service=Service(shutil.which("chromedriver")), options=options)
        try:
            driver.get("file://" + path)
            driver.execute_script("""
              return new Promise(done => {
                const wait = () => window.marvolen && window.marvolen.ready ? done()
                                                                            : setTimeout(wait, 10);
                wait();
              });""")
            fcp.append(driver.execute_script(
                "return performance.getEntriesByName('first-contentful-paint')[0].startTime"))
            ready.append(driver.execute_script(
                "return performance.getEntriesByName('mv-ready')[0].startTime"))
            load.append(driver.execute_script(
                "const n = performance.getEntriesByType('navigation')[0];"
                "return n.loadEventEnd || n.domComplete"))
            if run == 0:
                frames = driver.execute_script("""
                  return new Promise(done => {
                    const times = []; let last = performance.now(), y = 0;
                    const step = now => {
                      times.push(now - last); last = now; y += 40; window.scrollTo(0, y);
                      if (times.length < 750 && y < document.body.scrollHeight) {
                        requestAnimationFrame(step);
                      } else {
                        done(times.slice(1));
                      }
                    };
                    requestAnimationFrame(step);
                  });""")
        finally:
            driver.quit()
            shutil.rmtree(profile, ignore_errors=True)
    slow = sum(1 for f in frames if f > 50)
    print("fcp=%.0f ready=%.0f load=%.0f longest-frame=%.0f slow-frames=%d/%d" % (
        statistics.median(fcp), statistics.median(ready), statistics.median(load),
        max(frames) if frames else 0, slow, len(frames)))


if __name__ == "__main__":
    main()
