"""End-to-end rows for the window and its dialogs under user actions: a
dialog that keeps drawing after quick pointer moves, a dialog raised while
the main window is minimised, location edits that are not typed
characters, and locations whose folder cannot be made.

    ORV_BUILD_DIR=build python3 -m unittest discover -s tests/e2e -t tests/e2e
"""
import os
import re
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import *  # noqa: E402,F401,F403  texts, paths, InstallerTestCase
from e2e_support import drv, open_session, close_session  # noqa: E402

SCREEN = (1280, 1024)
PATH_ERROR = (97, 308, 230, 25)         # red "Choose other location!"
CUSTOM_INSTALL = (130, 391, 120, 37)    # the custom panel's Install button
DIALOG_YES = (100, 160, 80, 32)         # around "Yes" of the confirm dialog
DIALOG_REST = (20, 215)                 # a dialog point away from every button
NO_DIALOG_WAIT = 4                      # seconds in which no dialog may appear

session = None
packages = {}


def is_red(p):
    return p[0] >= 200 and p[1] <= 60 and p[2] <= 60


def is_cyan(p):
    return p[0] <= 60 and p[1] >= 170 and p[2] >= 210


def setUpModule():
    global session
    session = open_session(lambda work: make_sample_packages(work, packages))


def tearDownModule():
    close_session()


class ConfirmDialogDrawingTest(InstallerTestCase):
    def test_hover_shows_after_a_quick_sweep_across_the_buttons(self):
        self.start()
        session.click("close")
        dialog = session.find_dialog("^%s$" % re.escape(CONFIRM_EN))
        x, y, _, _ = session.geometry(dialog)

        def yes_pixels(name):
            path = session.screenshot(os.path.join(session.work, name + ".png"), dialog)
            return session.region(path, DIALOG_YES)

        session.xdotool("mousemove", "--sync", x + DIALOG_REST[0], y + DIALOG_REST[1])
        time.sleep(0.5)
        resting = yes_pixels("rest")
        # Faster than the 25 frames a second the dialog draws.
        yes, no = drv.POINTS["dialog_yes"], drv.POINTS["dialog_no"]
        for _ in range(15):
            for point in (yes, no):
                session.xdotool("mousemove", x + point[0], y + point[1])
        session.xdotool("mousemove", "--sync", x + yes[0], y + yes[1])
        hovered = drv.wait_for(lambda: (lambda p: p if p != resting else None)(
            yes_pixels("hover")), 10, what="the hover picture of Yes")
        session.xdotool("mousemove", "--sync", x + DIALOG_REST[0], y + DIALOG_REST[1])
        drv.wait_for(lambda: yes_pixels("left") == resting, 10,
                     what="Yes to be drawn without hover again")
        self.assertNotEqual(hovered, resting)
        session.click("dialog_no", dialog)
        drv.wait_for(lambda: session.dialogs() == [], 10, what="the dialog to close")
        self.assertIsNone(session.installer.poll())


class MinimisedOwnerTest(InstallerTestCase):
    def test_message_raised_while_minimised_lies_on_the_screen(self):
        session.control("answer=malformed&answer_delay_ms=4000")
        self.start()
        first = session.installer
        session.click("minimize")
        # The answer arrives while the window is minimised.
        drv.wait_for(lambda: any(r["kind"] == "request" for r in session.service_records()),
                     30, what="the package request")
        # A second start restores the first, as a click on its button would.
        second = session.start_installer()
        session.installer = first
        try:
            self.assertEqual(second.wait(60), 0)
        finally:
            if second.poll() is None:
                second.kill()
        wid = session.find_dialog("^%s$" % re.escape(SERVER_ERROR), timeout=60)
        dx, dy, dw, dh = session.geometry(wid)
        self.assertTrue(0 <= dx and dx + dw <= SCREEN[0] and 0 <= dy and dy + dh <= SCREEN[1],
                        "the dialog lies at %s" % ((dx, dy, dw, dh),))
        session.click("dialog_quit", wid)
        self.assert_exit(1)
        self.assertEqual(self.downloads(), [])


class CustomPanelTestCase(InstallerTestCase):
    """The custom panel's location field, its error text and its button."""

    def setUp(self):
        super().setUp()
        self.clipboard = None
        self.addCleanup(self.stop_clipboard)

    def stop_clipboard(self):
        if self.clipboard and self.clipboard.poll() is None:
            self.clipboard.kill()
            self.clipboard.wait(10)

    def set_clipboard(self, text):
        """Offers |text| as the X clipboard until the next set or the test's end."""
        self.stop_clipboard()
        self.clipboard = subprocess.Popen(
            ["xclip", "-quiet", "-selection", "clipboard"], env=session.env,
            stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.clipboard.stdin.write(text.encode("utf-8"))
        self.clipboard.stdin.close()
        drv.wait_for(lambda: subprocess.run(
            ["xclip", "-o", "-selection", "clipboard"], env=session.env, capture_output=True,
            timeout=10).stdout == text.encode("utf-8"), 10, what="the clipboard")

    def custom_panel(self):
        session.click("custom")
        drv.wait_for(lambda: session.geometry()[2:] == (492, 472), 10,
                     what="the custom panel")
        time.sleep(0.5)

    def path_state(self, name):
        """(red error pixels, cyan Install-text pixels) on a fresh screenshot."""
        path = self.shot(name)
        return (sum(map(is_red, session.region(path, PATH_ERROR))),
                sum(map(is_cyan, session.region(path, CUSTOM_INSTALL))))

    def wait_path_error(self, name):
        drv.wait_for(lambda: (lambda s: s[0] > 0 and s[1] == 0)(self.path_state(name)), 10,
                     what="the path error with Install disabled")

    def paste(self, text):
        self.set_clipboard(text)
        session.key("ctrl+v")

    def assert_install_starts_nothing(self):
        session.click(LOCATION_LABEL)  # ends editing; that click goes no further
        session.click("install_custom")
        deadline = time.monotonic() + NO_DIALOG_WAIT
        while time.monotonic() < deadline:
            self.assertEqual(session.dialogs(), [])
            self.assertEqual(session.geometry()[2:], (492, 472), "the custom panel went")
            time.sleep(0.5)
        self.wait_path_error("after-install")
        self.assertEqual(self.downloads(), [])
        self.assertIsNone(session.installer.poll())


class LocationEditTest(CustomPanelTestCase):
    """Changes of the location text other than typed characters."""

    def test_invalid_text_from_delete_or_paste_shows_the_error(self):
        self.start()
        self.wait_request()
        self.custom_panel()
        for how in ["delete", "paste"]:
            with self.subTest(how=how):
                session.click("path_edit")
                select_field_text()
                if how == "delete":
                    session.type("C:\\Games")
                    session.key("Home", "Delete")  # ":\Games"
                else:
                    self.paste("C:Games")
                self.wait_path_error(how)
                self.assert_install_starts_nothing()


class UnmakeableFolderTest(CustomPanelTestCase):
    def setUp(self):
        super().setUp()
        self.blocker = session.wine_path("blocker")
        with open(self.blocker, "w") as f:
            f.write("a file, not a folder\n")
        self.addCleanup(os.remove, self.blocker)

    def test_custom_location_below_a_file_or_too_long_shows_the_error(self):
        long_name = "v" * 240
        self.addCleanup(shutil.rmtree, session.wine_path(long_name), True)
        for text, left in [("C:\\blocker\\Games", None), ("C:\\" + long_name, long_name)]:
            with self.subTest(location=text[:24]):
                session.control("reset=1")
                self.start()
                self.wait_request()
                self.custom_panel()
                session.click("path_edit")
                select_field_text()
                if len(text) < 40:
                    session.type(text)
                else:
                    self.paste(text)
                session.click(LOCATION_LABEL)
                red, cyan = self.path_state("typed")
                self.assertEqual((red > 0, cyan > 0), (False, True), "the text itself is valid")
                session.click("install_custom")
                self.wait_path_error("cannot-make")
                self.assertEqual(session.geometry()[2:], (492, 472), "the custom panel went")
                self.assertEqual(session.dialogs(), [])
                self.assertEqual(self.downloads(), [])
                if left:
                    self.assertFalse(os.path.exists(session.wine_path(left)),
                                     "a folder was left behind")
                self.assertTrue(os.path.isfile(self.blocker))
                session.stop_installer()

    def test_default_location_that_cannot_be_made_reports_an_occupied_file(self):
        # The install folder's name is taken by a file.
        taken = self.folder()
        shutil.rmtree(taken, ignore_errors=True)
        with open(taken, "w") as f:
            f.write("in the way\n")
        self.addCleanup(lambda: os.path.isfile(taken) and os.remove(taken))
        self.start()
        self.wait_request()
        session.click("install_now")
        self.assertEqual(self.dismiss("^%s$" % re.escape(FILE_OCCUPIED), button="dialog_quit"),
                         FILE_OCCUPIED)
        self.assert_exit(1)
        self.assertEqual(self.downloads(), [])
        self.assertTrue(os.path.isfile(taken))
