"""What the end-to-end test programs share: the installer's texts and
paths, one driver session per test program, and a test case base with the
checks made from outside (files, shortcuts, registry, service records)."""
import glob
import os
import re
import shutil
import sys
import tempfile
import time
import unittest
import zipfile

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
sys.path.insert(0, os.path.join(ROOT, "tools"))
import installer_driver as drv  # noqa: E402
import make_demo_package  # noqa: E402

BUILD = os.path.abspath(os.environ.get("ORV_BUILD_DIR", os.path.join(ROOT, "build")))
USER = os.environ.get("USER", "root")
LAUNCHER = "orvlauncher.exe"
MARKER = ".qlmcps"
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
WIN_APPDATA = "C:\\users\\%s\\AppData\\Roaming" % USER
WIN_FOLDER = WIN_APPDATA + "\\ORVChina"

CONFIRM_EN = "Are you sure to cancel?"
CONFIRM_ZH = "\u60a8\u786e\u5b9a\u8981\u9000\u51fa\u5b89\u88c5\u5417\uff1f"
SERVER_ERROR = "Server error, Try again!"
NO_DISK_SPACE = "Not enough disk space"
FILE_OCCUPIED = "File is occupied"
SHORTAGE = ("This installation requires at least %s hard disk space, "
            "please reSelect the installation directory!")

LOCATION_LABEL = (40, 290)  # "Location:" on the custom panel; a click there ends editing

# The test program's driver session (display and service), made by
# open_session in its setUpModule.
session = None


def open_session(package, installer="VelmoraInstaller.exe", tls=None):
    """Starts a display and the service on |package| (a path, or a function
    that makes the package in the work folder and returns its path) for
    |installer|; |tls| is the service's (certificate, key) pair, or None."""
    global session
    if not os.path.isfile(os.path.join(BUILD, installer)):
        raise unittest.SkipTest("no %s in %s" % (installer, BUILD))
    work = tempfile.mkdtemp(prefix="velmora-e2e-")
    if callable(package):
        package = package(work)
    session = drv.Session(BUILD, work)
    session.installer_name = installer
    try:
        session.start_display()
        session.start_service(package, tls=tls)
    except Exception:
        session.stop()
        raise
    return session


def make_sample_packages(work, packages):
    """The sample game package as "small" (about 2 MB) and, as "corrupt", a
    copy whose stored entry fails its CRC check; returns the small one."""
    packages["small"] = os.path.join(work, "VelmoraGame.zip")
    make_demo_package.main(os.path.join(BUILD, LAUNCHER), packages["small"], 2)
    packages["corrupt"] = os.path.join(work, "VelmoraBroken.zip")
    flip_stored_byte(packages["small"], packages["corrupt"])
    return packages["small"]


def close_session():
    if session:
        session.stop()
        # ORV_E2E_KEEP=1 keeps the screenshots for a look after a failure.
        if os.environ.get("ORV_E2E_KEEP") != "1":
            shutil.rmtree(session.work, ignore_errors=True)


def select_field_text():
    # Wine's single-line EDIT ignores ctrl+a; shift+Home selects as well.
    session.key("End", "shift+Home")


def flip_stored_byte(source, target):
    """A copy of |source| whose stored entry has one data byte changed, so
    its CRC check fails while the archive still lists fine."""
    shutil.copyfile(source, target)
    with zipfile.ZipFile(source) as zf:
        info = next(i for i in zf.infolist()
                    if i.compress_type == zipfile.ZIP_STORED and i.file_size > 4096)
    with open(target, "r+b") as f:
        f.seek(info.header_offset + 26)
        name_len = int.from_bytes(f.read(2), "little")
        extra_len = int.from_bytes(f.read(2), "little")
        where = info.header_offset + 30 + name_len + extra_len + info.file_size // 2
        f.seek(where)
        byte = f.read(1)[0]
        f.seek(where)
        f.write(bytes([byte ^ 0xFF]))


class InstallerTestCase(unittest.TestCase):
    def setUp(self):
        session.control("reset=1")
        drv.reset_prefix_state(session)
        self.addCleanup(session.stop_installer)

    # --- helpers ---------------------------------------------------------------

    def folder(self):
        return os.path.join(session.app_data(), "ORVChina")

    def packages_left(self, folder=None):
        return glob.glob(os.path.join(folder or self.folder(), "AppPackZip*.zip"))

    def start(self, extra_env=None):
        """Starts the installer and waits out the opening animation."""
        session.start_installer(extra_env)
        session.find_window(width=492)
        time.sleep(2)

    def wait_request(self):
        """Waits until the package request was answered."""
        drv.wait_for(lambda: any(r["kind"] == "request" for r in session.service_records()),
                     30, what="the package request")
        time.sleep(1)

    def downloads(self):
        return [r for r in session.service_records() if r["kind"] == "download"]

    def wait_marker(self, folder=None, timeout=120):
        marker = os.path.join(folder or self.folder(), MARKER)
        drv.wait_for(lambda: os.path.exists(marker), timeout, what="the completion panel")
        time.sleep(1)

    def wait_partial_package(self, timeout=60):
        """Waits until the download has written its first bytes."""
        def started():
            return any(os.path.getsize(p) > 0 for p in self.packages_left()
                       if os.path.exists(p))
        drv.wait_for(started, timeout, what="the download to start")

    def dismiss(self, pattern, button="dialog_quit"):
        """Finds the dialog named |pattern|, returns its name, clicks |button|."""
        wid = session.find_dialog(pattern, timeout=60)
        name = session.window_name(wid)
        session.click(button, wid)
        return name

    def assert_exit(self, code=1, timeout=60):
        self.assertEqual(session.wait_exit(timeout), code)

    def assert_nothing_installed(self):
        left = [os.path.relpath(p, self.folder())
                for p in glob.glob(os.path.join(self.folder(), "**"), recursive=True)
                if os.path.isfile(p)]
        left += glob.glob(os.path.join(self.folder(), ".*"))
        self.assertEqual(left, [])
        for link in self.shortcuts().values():
            self.assertFalse(os.path.exists(link), link)

    def shortcuts(self):
        app_data = session.app_data()
        return {
            "desktop": session.wine_path("users", USER, "Desktop", "Velmora.lnk"),
            "start menu": os.path.join(app_data, "Microsoft", "Windows", "Start Menu",
                                       "Velmora.lnk"),
            "taskbar": os.path.join(app_data, "Microsoft", "Internet Explorer",
                                    "Quick Launch", "User Pinned", "TaskBar", "Velmora.lnk"),
        }

    def run_value(self):
        """The ORVChina value under the Run key, or None."""
        out = drv.run_wine(session, "reg", "query", RUN_KEY, "/v", "ORVChina")
        if out.returncode != 0:
            return None
        for line in out.stdout.splitlines():
            parts = line.split(None, 2)
            if len(parts) == 3 and parts[0] == "ORVChina":
                return parts[2].strip()
        return None

    def assert_unpacked(self, package, folder):
        with zipfile.ZipFile(package) as zf:
            for info in zf.infolist():
                path = os.path.join(folder, *info.filename.rstrip("/").split("/"))
                if info.is_dir():
                    self.assertTrue(os.path.isdir(path), info.filename)
                    continue
                with open(path, "rb") as f:
                    self.assertEqual(f.read(), zf.read(info), info.filename)

    def shot(self, name):
        return session.screenshot(os.path.join(session.work, "%s-%s.png" % (self.id(), name)))

    def close_with_confirm(self, question=CONFIRM_EN, answer="dialog_yes"):
        session.click("close")
        return self.dismiss("^%s$" % re.escape(question), answer)
