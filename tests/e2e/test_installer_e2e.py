"""End-to-end tests: the built VelmoraInstaller.exe under Wine, driven through
a real X display with mouse and keyboard, against the reference download
service on 127.0.0.1:8600.

    ORV_BUILD_DIR=build python3 -m unittest discover -s tests/e2e -t tests/e2e
"""
import os
import random
import re
import shutil
import sys
import time
import unittest
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import *  # noqa: E402,F401,F403  texts, paths, InstallerTestCase
from e2e_support import ROOT, drv, open_session, close_session  # noqa: E402

# Window regions (x, y, width, height); the panels sit at 6,246.
START_TEXT_ROW = (26, 335, 460, 32)     # Accept / Agreement / Privacy / Custom
PATH_ERROR = (97, 308, 230, 25)         # red "Choose other location!"
CUSTOM_INSTALL = (130, 391, 120, 37)    # the custom panel's Install button
AUTORUN_BOX = (346, 333, 26, 27)        # the autorun check box image
TRY_SHUTDOWN = (156, 274, 230, 29)      # red "Installing... Please wait!~"

session = None  # this program's driver session, also e2e_support.session
packages = {}


def is_red(p):
    return p[0] >= 200 and p[1] <= 60 and p[2] <= 60


def is_cyan(p):
    return p[0] <= 60 and p[1] >= 170 and p[2] >= 210


def many_files_package(launcher, out, count):
    """A package whose unpacking takes a while: thousands of small files."""
    rng = random.Random(7)
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as zf:
        zf.write(launcher, LAUNCHER)
        for i in range(count):
            zf.writestr("data/many/%02d/file%05d.txt" % (i % 50, i), rng.randbytes(64))


def setUpModule():
    global session

    def make_packages(work):
        packages["many"] = os.path.join(work, "VelmoraMany.zip")
        many_files_package(os.path.join(BUILD, LAUNCHER), packages["many"], 6000)
        return make_sample_packages(work, packages)
    session = open_session(make_packages)


def tearDownModule():
    close_session()


class QuickInstallTest(InstallerTestCase):
    def test_installs_files_shortcuts_and_marker(self):
        self.start()
        session.click("install_now")
        self.wait_marker()
        session.click("complete")
        self.assert_exit(1)

        folder = self.folder()
        self.assert_unpacked(packages["small"], folder)
        with open(os.path.join(folder, MARKER), encoding="utf-8") as f:
            self.assertEqual(f.read(), "Velmora Installer")
        self.assertEqual(self.packages_left(), [])
        target = (WIN_FOLDER + "\\" + LAUNCHER).lower()
        for where, link in self.shortcuts().items():
            with self.subTest(shortcut=where):
                self.assertTrue(os.path.isfile(link))
                with open(link, "rb") as f:
                    data = f.read().lower()
                self.assertTrue(target.encode("utf-16-le") in data or
                                target.encode("latin-1") in data, "%s: no launcher path" % link)
        self.assertIsNone(self.run_value())

        records = session.service_records()
        request = [r for r in records if r["kind"] == "request"]
        self.assertEqual(len(request), 1)
        self.assertRegex(request[0]["version"], r"^[0-9]+(\.[0-9]+)*$")
        self.assertTrue(request[0]["mac_address"])
        self.assertTrue(request[0]["platform"])
        self.assertEqual([(r["sign_ok"], r["status"]) for r in self.downloads()],
                         [(True, 200)])


class CustomInstallTest(InstallerTestCase):
    location = "C:\\VelmoraTest\\"

    def setUp(self):
        super().setUp()
        self.target = session.wine_path("VelmoraTest")
        shutil.rmtree(self.target, ignore_errors=True)
        self.addCleanup(shutil.rmtree, self.target, True)
        self.addCleanup(drv.run_wine, session, "reg", "delete", RUN_KEY, "/v", "ORVChina", "/f")

    def custom_panel(self):
        session.click("custom")
        drv.wait_for(lambda: session.geometry()[2:] == (492, 472), 10,
                     what="the custom panel")
        time.sleep(0.5)

    def path_state(self, name):
        """(red error pixels, cyan Install-text pixels) on a fresh screenshot."""
        path = self.shot(name)
        red = sum(map(is_red, session.region(path, PATH_ERROR)))
        cyan = sum(map(is_cyan, session.region(path, CUSTOM_INSTALL)))
        return red, cyan

    def test_location_check_options_and_install(self):
        self.start()
        self.custom_panel()
        red, cyan = self.path_state("valid")
        self.assertEqual(red, 0)
        self.assertGreater(cyan, 0, "the Install button should look enabled")

        session.click("path_edit")
        select_field_text()
        # Typed a piece at a time: each state of the text is checked.
        for typed, valid in [("C:", False), ("\\", True)]:
            session.type(typed)
            time.sleep(0.7)
            red, cyan = self.path_state("after-%s" % ("valid" if valid else "invalid"))
            with self.subTest(text_ends=typed):
                if valid:
                    self.assertEqual(red, 0, "error text still shown")
                    self.assertGreater(cyan, 0, "Install still disabled")
                else:
                    self.assertGreater(red, 0, "no error text")
                    self.assertEqual(cyan, 0, "Install should look disabled")
        select_field_text()
        session.type(self.location)
        time.sleep(0.7)
        self.assertEqual(self.path_state("location")[0], 0)

        # The click that ends editing goes no further.
        session.click(LOCATION_LABEL)
        time.sleep(0.5)
        box = lambda name: session.region(self.shot(name), AUTORUN_BOX)  # noqa: E731
        unticked = box("autorun-off")
        session.click("option_autorun")
        ticked = drv.wait_for(lambda: (lambda b: b if b != unticked else None)(box("autorun-on")),
                              5, what="the autorun box to change")
        session.click("back")
        drv.wait_for(lambda: session.geometry()[2:] == (492, 402), 10, what="the start panel")
        self.custom_panel()
        self.assertTrue(box("autorun-again") == ticked, "autorun box lost its tick")

        session.click("install_custom")
        folder = os.path.join(self.target, "ORVChina")
        self.wait_marker(folder)
        session.click("complete")
        self.assert_exit(1)
        self.assert_unpacked(packages["small"], folder)
        self.assertEqual(self.packages_left(folder), [])
        # Quoted, so a planted C:\Velmora.exe cannot take a blank's place.
        self.assertEqual(self.run_value(), '"C:\\VelmoraTest\\ORVChina\\%s"' % LAUNCHER)


class LanguageTest(InstallerTestCase):
    def test_confirm_question_and_start_panel_follow_locale(self):
        texts = {}
        for env, question in [({"LC_ALL": "en_US.UTF-8"}, CONFIRM_EN),
                              ({"LC_ALL": "zh_CN.UTF-8"}, CONFIRM_ZH)]:
            with self.subTest(locale=env["LC_ALL"]):
                self.start(env)
                shot = self.shot(env["LC_ALL"])
                texts[env["LC_ALL"]] = session.region(shot, START_TEXT_ROW)
                self.assertEqual(self.close_with_confirm(question), question)
                self.assert_exit(1)
        self.assertNotEqual(texts["en_US.UTF-8"], texts["zh_CN.UTF-8"])


class UnusableAnswerTest(InstallerTestCase):
    def test_server_error_ends_the_program(self):
        for answer in ["malformed", "numbers", "ftp", "empty"]:
            with self.subTest(answer=answer):
                session.control("reset=1&answer=" + answer)
                drv.reset_prefix_state(session)
                self.start()
                self.assertEqual(self.dismiss("^%s$" % re.escape(SERVER_ERROR)), SERVER_ERROR)
                self.assert_exit(1)
                self.assertEqual(self.downloads(), [])
                self.assert_nothing_installed()


class DownloadFailureTest(InstallerTestCase):
    def test_retries_failed_downloads_with_fresh_signatures(self):
        session.control("fail_first=3&fail_mode=500")
        self.start()
        session.click("install_now")
        self.wait_marker()
        session.click("complete")
        self.assert_exit(1)
        downloads = self.downloads()
        self.assertEqual([(r["sign_ok"], r["status"]) for r in downloads],
                         [(True, 500)] * 3 + [(True, 200)])
        self.assertEqual(len({r["t"] for r in downloads}), 4, downloads)
        self.assertEqual(self.packages_left(), [])
        self.assert_unpacked(packages["small"], self.folder())

    def test_oversized_announcement_stops_without_retry(self):
        session.control("content_length=8796093022208")
        self.start()
        session.click("install_now")
        self.assertEqual(self.dismiss("^%s$" % NO_DISK_SPACE), NO_DISK_SPACE)
        self.assert_exit(1)
        self.assertEqual(len(self.downloads()), 1)
        self.assertEqual(self.packages_left(), [])

    def test_shortage_dialog_names_needed_space(self):
        ins_size = 1000000000000000  # beyond any disk, within what an answer may say
        session.control("ins_size=%d" % ins_size)
        zip_size = os.path.getsize(packages["small"])
        needed = "%.2f GB" % ((1073741824 + zip_size + ins_size) / 2 ** 30)
        self.start()
        self.wait_request()
        session.click("install_now")
        self.assertEqual(self.dismiss("^This installation requires"), SHORTAGE % needed)
        time.sleep(1)
        self.assertEqual(self.downloads(), [])
        self.assertEqual(self.close_with_confirm(), CONFIRM_EN)
        self.assert_exit(1)
        self.assert_nothing_installed()

    def test_corrupt_package_reports_occupied_file(self):
        session.control("package=" + packages["corrupt"])
        self.start()
        session.click("install_now")
        self.assertEqual(self.dismiss("^%s$" % FILE_OCCUPIED), FILE_OCCUPIED)
        self.assert_exit(1)
        self.assertEqual(self.packages_left(), [])


class CloseTest(InstallerTestCase):
    def rate_for(self, seconds):
        return max(os.path.getsize(packages["small"]) // seconds, 1)

    def test_no_lets_the_download_complete(self):
        session.control("rate=%d" % self.rate_for(6))
        self.start()
        session.click("install_now")
        self.wait_partial_package()
        self.assertEqual(self.close_with_confirm(answer="dialog_no"), CONFIRM_EN)
        self.wait_marker()
        session.click("complete")
        self.assert_exit(1)
        self.assert_unpacked(packages["small"], self.folder())

    def test_yes_ends_and_removes_the_partial_package(self):
        session.control("rate=%d" % self.rate_for(6))
        self.start()
        session.click("install_now")
        self.wait_partial_package()
        self.assertEqual(self.close_with_confirm(answer="dialog_yes"), CONFIRM_EN)
        self.assert_exit(1)
        self.assertEqual(self.packages_left(), [])
        self.assertFalse(os.path.exists(os.path.join(self.folder(), MARKER)))

    def test_download_done_while_asking_installs_after_no(self):
        size = os.path.getsize(packages["small"])
        session.control("rate=%d" % (size * 2 // 3))  # about 1.5 s
        self.start()
        session.click("install_now")
        self.wait_partial_package()
        session.click("close")
        dialog = session.find_dialog("^%s$" % re.escape(CONFIRM_EN))
        drv.wait_for(lambda: [r["bytes_sent"] for r in self.downloads()] == [size], 30,
                     what="the download to finish")
        time.sleep(2)
        # Nothing is unpacked while the question is open.
        self.assertFalse(os.path.exists(os.path.join(self.folder(), LAUNCHER)))
        session.click("dialog_no", dialog)
        self.wait_marker()
        session.click("complete")
        self.assert_exit(1)
        self.assert_unpacked(packages["small"], self.folder())

    def test_close_while_installing_keeps_the_window(self):
        session.control("package=" + packages["many"])
        self.start()
        session.click("install_now")
        launcher = os.path.join(self.folder(), LAUNCHER)
        drv.wait_for(lambda: os.path.exists(launcher), 60, what="unpacking to start")
        marker = os.path.join(self.folder(), MARKER)
        # The red text shows only while the window shakes (about 0.5 s), so
        # the click is repeated until a screenshot catches it.
        seen = False
        while not seen and not os.path.exists(marker):
            session.click("close")
            shot = self.shot("installing")
            if os.path.exists(marker):
                break
            seen = sum(map(is_red, session.region(shot, TRY_SHUTDOWN))) > 0
            self.assertEqual(session.dialogs(), [])
            self.assertIsNone(session.installer.poll(), "closed while installing")
        if not seen:
            self.skipTest("unpacking ended before a screenshot caught the text")
        self.wait_marker(timeout=180)
        session.click("complete")
        self.assert_exit(1)
        self.assert_unpacked(packages["many"], self.folder())


class SecondInstanceTest(InstallerTestCase):
    def start_panel_drawn(self):
        # Without a window manager a minimized Wine window stays mapped, drawn black.
        pixels = session.region(self.shot("state"), START_TEXT_ROW)
        return sum(1 for p in pixels if max(p) > 100) > 50

    def test_second_instance_restores_the_first(self):
        self.start()
        first = session.installer
        main = session.window
        self.assertTrue(self.start_panel_drawn())
        session.click("minimize")
        drv.wait_for(lambda: not self.start_panel_drawn(), 10, what="the window to minimize")
        second = session.start_installer()
        session.installer = first
        try:
            self.assertEqual(second.wait(60), 0)
        finally:
            if second.poll() is None:
                second.kill()
        drv.wait_for(self.start_panel_drawn, 10, what="the window to come back")
        self.assertTrue(session.is_viewable(main))
        self.assertIsNone(first.poll())
        self.assertEqual(self.close_with_confirm(), CONFIRM_EN)
        self.assert_exit(1)


class UseNowTest(InstallerTestCase):
    def test_use_now_starts_the_launcher_in_the_install_folder(self):
        log_dir = session.wine_path("velmora_e2e")
        shutil.rmtree(log_dir, ignore_errors=True)
        os.makedirs(log_dir)
        self.addCleanup(shutil.rmtree, log_dir, True)
        log = os.path.join(log_dir, "launcher.log")
        self.start({"ORV_LAUNCHER_LOG": "C:\\velmora_e2e\\launcher.log"})
        session.click("install_now")
        self.wait_marker()
        session.click("use_now")
        self.assert_exit(1)
        drv.wait_for(lambda: os.path.exists(log), 30, what="the launcher's log")
        with open(log, encoding="utf-8") as f:
            lines = [dict(field.split("=", 1) for field in line.rstrip("\n").split("\t"))
                     for line in f if line.strip()]
        self.assertEqual(len(lines), 1, lines)
        self.assertEqual(lines[0]["cmd"], '"%s\\%s"' % (WIN_FOLDER, LAUNCHER))
        self.assertEqual(lines[0]["cwd"].rstrip("\\"), WIN_FOLDER)


if __name__ == "__main__":
    unittest.main()
