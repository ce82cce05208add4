"""The skinned main window under a real X display: it appears after its
opening animation, and the picture strip drags it.

    ORV_BUILD_DIR=build python3 -m unittest discover -s tests/e2e -t tests/e2e
"""
import os
import shutil
import sys
import time
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tools"))
import installer_driver as drv  # noqa: E402
import make_demo_package  # noqa: E402

BUILD = os.path.abspath(os.environ.get("ORV_BUILD_DIR", os.path.join(ROOT, "build")))


class MainWindowTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.session = drv.Session(BUILD)
        cls.package = os.path.join(cls.session.work, "small.zip")
        make_demo_package.main(os.path.join(BUILD, "orvlauncher.exe"), cls.package, 1)
        cls.session.start_display()
        cls.session.start_service(cls.package)

    @classmethod
    def tearDownClass(cls):
        cls.session.stop()
        shutil.rmtree(cls.session.work, ignore_errors=True)

    def tearDown(self):
        self.session.stop_installer()

    def test_appears_after_the_opening_animation_and_the_picture_strip_drags_it(self):
        s = self.session
        s.start_installer()
        s.find_window(width=492)
        # The animation grows the window by 20 pixels a side and shrinks it
        # back; it ends at the skin's size.
        drv.wait_for(lambda: s.geometry()[2:] == (492, 402), 15, what="the final size")
        time.sleep(1)
        x, y, _, _ = s.geometry()
        shot = s.screenshot(os.path.join(s.work, "opened.png"))
        # The logo is drawn: its gold lettering near (40, 40).
        self.assertTrue(any(min(p) < 250 and p[0] > 150 and p[2] < 140
                            for p in (s.pixel(shot, 30 + dx, 36) for dx in range(0, 60, 3))))

        # A point of the banner, away from every element, is caption.
        s.drag((246, 120), (60, 40))
        drv.wait_for(lambda: s.geometry()[:2] != (x, y), 10, what="the window to move")
        nx, ny, _, _ = s.geometry()
        self.assertEqual((nx - x, ny - y), (60, 40))

        # Pressing on a button does not drag.
        s.drag((246, 295), (30, 30))
        self.assertEqual(s.geometry()[:2], (nx, ny))


if __name__ == "__main__":
    unittest.main()
