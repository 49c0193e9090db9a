"""The page in a real headless Chromium, as a student uses it: an example compiled, stepped,
run and stepped back, an error found from the error list, the language switched, a reload,
and Stop during an endless loop; no test may leave an error in the browser's console.

Run by CTest with the page's folder as the argument; exits with 77 (skipped) when Chromium,
its driver or Selenium is missing."""
import functools
import http.server
import os
import shutil
import sys
import tempfile
import threading
import time
import unittest

try:
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    from selenium.webdriver.common.by import By
    from selenium.webdriver.support.ui import WebDriverWait
except ImportError:
    print("Selenium is missing: the page's tests are skipped")
    sys.exit(77)

CHROMIUM = shutil.which("chromium")
DRIVER = shutil.which("chromedriver")
if CHROMIUM is None or DRIVER is None:
    print("Chromium or its driver is missing: the page's tests are skipped")
    sys.exit(77)

PAGE_DIR = sys.argv.pop(1) if len(sys.argv) > 1 else "build/web"
ENDLESS = "// forever\n.main\nL1: GOTO L1\nHALT\n.end-main\n"


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


class PageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        handler = functools.partial(QuietHandler, directory=PAGE_DIR)
        cls.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        threading.Thread(target=cls.server.serve_forever, daemon=True).start()
        cls.url = "http://127.0.0.1:%d/index.html" % cls.server.server_address[1]
        cls.profile = tempfile.mkdtemp(prefix="tessaro-chromium-")
        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        for flag in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
                     "--no-first-run", "--disable-background-networking",
                     "--disable-component-update", "--disable-sync", "--window-size=1600,1000",
                     "--lang=it", "--user-data-dir=" + cls.profile):
            options.add_argument(flag)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
        cls.driver = webdriver.Chrome(service=Service(executable_path=DRIVER), options=options)

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        cls.server.shutdown()
        shutil.rmtree(cls.profile, ignore_errors=True)

    def setUp(self):
        self.open_page(clear=True)

    def tearDown(self):
        errors = [e for e in self.driver.get_log("browser") if e["level"] == "SEVERE"]
        self.assertEqual(errors, [])

    # -- helpers ------------------------------------------------------------------------------

    def open_page(self, clear=False):
        d = self.driver
        d.get(self.url)
        if clear:
            d.execute_script("localStorage.clear(); localStorage.setItem('tessaro.language', 'it');")
            d.get(self.url)
        self.wait_for(lambda: d.execute_script("return document.body.dataset.ready === 'true'"))

    def wait_for(self, condition, timeout=30):
        return WebDriverWait(self.driver, timeout, poll_frequency=0.02).until(lambda d: condition())

    def click(self, element_id):
        self.driver.find_element(By.ID, element_id).click()

    # The page redraws its lists after every step, so an element found in one call may be gone
    # by the next: these read the text in the page itself, in one call.
    def status(self):
        return self.driver.execute_script("return document.getElementById('status').innerText")

    def register(self, name):
        text = self.driver.execute_script(
            "return document.querySelector('#registers [data-name=\"' + arguments[0] + '\"]')"
            ".innerText", name)
        return int(text.split()[1])

    def lines(self, list_id):
        return self.driver.execute_script(
            "return [...document.querySelectorAll('#' + arguments[0] + ' li')]"
            ".map(li => li.innerText)", list_id)

    def test_an_edited_program_is_not_replaced_without_asking(self):
        self.set_program(ENDLESS)
        self.driver.execute_script("window.confirm = () => false;")
        self.driver.execute_script(
            "document.querySelector('#exampleMenu button').click();")
        self.assertEqual(self.driver.find_element(By.ID, "source").get_attribute("value"), ENDLESS)

    def test_the_microprogram_window_translates_checks_and_restores(self):
        d = self.driver
        d.execute_script("document.querySelector('[data-action=openMicroprogram]').click();")
        original = d.find_element(By.ID, "malSource").get_attribute("value")
        d.execute_script(
            "const t = document.getElementById('malSource'); t.value = ' goto nowhere\\n' + t.value;"
            "t.dispatchEvent(new Event('input'));")
        self.click("translate")
        self.wait_for(lambda: d.find_elements(By.CSS_SELECTOR, "#malProblems li"))
        self.assertTrue(d.find_element(By.CSS_SELECTOR, "#malProblems li").text.startswith("Riga 1:"))
        d.execute_script("window.confirm = () => true;")
        self.click("restore")
        self.assertEqual(d.find_element(By.ID, "malSource").get_attribute("value"), original)
        self.click("check")
        self.wait_for(lambda: "IADD ok" in d.find_element(By.ID, "checkResult").text, timeout=60)
        self.click("translate")
        self.wait_for(lambda: "tradotto e caricato" in d.find_element(By.ID, "malStatus").text)

    def set_program(self, text):
        self.driver.execute_script(
            "const t = document.getElementById('source'); t.value = arguments[0];"
            "t.dispatchEvent(new Event('input'));", text)

    def load_example(self, name):
        self.driver.execute_script(
            "[...document.querySelectorAll('#exampleMenu button')]"
            ".find(b => b.textContent === arguments[0]).click();", name)
        self.compile()

    def compile(self):
        self.driver.execute_script("document.getElementById('status').textContent = ''")
        self.click("compile")
        self.wait_for(lambda: self.status() != "")

    def step(self, button="ijvmStep"):
        count = self.register("count")
        self.click(button)
        self.wait_for(lambda: self.register("count") != count)

    # -- tests --------------------------------------------------------------------------------

    def test_stepping_an_example_moves_pc_and_the_stack_as_on_the_desktop(self):
        self.load_example("hello.jvm")
        self.assertIn("compilato e caricato", self.status())
        self.assertEqual(self.register("PC"), 7)
        self.step()
        self.assertEqual(self.register("PC"), 9)
        self.assertEqual(self.register("TOS"), 72)
        self.assertEqual(self.lines("frame")[0], "2003: 72")
        self.step()
        self.assertEqual(self.register("PC"), 10)
        self.assertEqual(self.lines("frame")[0], "2002: LV PREC  : 2000")
        self.assertTrue(self.driver.execute_script(
            "return document.querySelector('#methodArea li.selected').innerText")
            .endswith("BIPUSH"))

    def test_run_reaches_the_expected_output_and_going_back_undoes_a_step(self):
        self.load_example("hello.jvm")
        self.click("run")
        self.wait_for(lambda: "HALT" in self.status())
        self.assertEqual(self.driver.find_element(By.ID, "output").text, "rld!\u21b5")
        self.load_example("factorial.jvm")
        self.step()
        self.step()
        pc = self.register("PC")
        self.step()
        self.assertNotEqual(self.register("PC"), pc)
        self.step("stepBackIjvm")
        self.assertEqual(self.register("PC"), pc)

    def test_a_breakpoint_set_in_the_margin_stops_the_run(self):
        self.set_program(ENDLESS)
        self.compile()
        marked = ("return [...document.querySelectorAll('#editor .breakpoint[data-line]')]"
                  ".map(row => Number(row.dataset.line))")
        # The comment line passes its mark to the first instruction below it.
        self.driver.execute_script("document.querySelector('#editor [data-line=\"1\"]').click()")
        self.wait_for(lambda: self.driver.execute_script(marked) == [3])
        self.click("run")
        self.wait_for(lambda: "punto di arresto" in self.status())
        self.assertEqual(self.register("PC"), 7)

    def test_an_error_is_marked_and_the_error_list_selects_it(self):
        self.set_program(".main\nBIPUSH 1\nFOO\nHALT\n.end-main\n")
        self.compile()
        marks = self.driver.find_elements(By.CSS_SELECTOR, "#editor .error-mark")
        self.assertTrue(marks)
        errors = self.driver.find_elements(By.CSS_SELECTOR, "#errors li")
        self.assertTrue(errors[0].text.startswith("Riga 3:"), errors[0].text)
        errors[0].click()
        selected = self.driver.execute_script(
            "const t = document.getElementById('source');"
            "return t.value.slice(t.selectionStart, t.selectionEnd);")
        self.assertEqual(selected, "FOO")

    def test_the_language_switches_and_a_reload_keeps_it_and_the_program(self):
        heading = self.driver.find_element(By.CSS_SELECTOR, "#programPane h2:nth-of-type(2)")
        self.assertEqual(heading.text, "Errori")
        self.driver.find_element(By.CSS_SELECTOR, "#language option[value=en]").click()
        self.wait_for(lambda: heading.text == "Errors")
        self.set_program(ENDLESS + "// edited\n")
        self.open_page()
        self.assertEqual(self.driver.find_element(By.ID, "source").get_attribute("value"),
                         ENDLESS + "// edited\n")
        heading = self.driver.find_element(By.CSS_SELECTOR, "#programPane h2:nth-of-type(2)")
        self.assertEqual(heading.text, "Errors")

    def test_stop_ends_an_endless_run_at_once(self):
        self.set_program(ENDLESS)
        self.compile()
        self.click("run")
        self.wait_for(lambda: "In esecuzione" in self.status())
        started = time.monotonic()
        self.click("stop")
        self.wait_for(lambda: "Esecuzione fermata" in self.status(), timeout=5)
        self.assertLess(time.monotonic() - started, 2)
        self.assertTrue(self.driver.find_element(By.ID, "run").is_enabled())


if __name__ == "__main__":
    unittest.main(verbosity=2)
