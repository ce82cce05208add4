"""Fault matrix: whole installations, driven as a user would, while the
service, the network or the package misbehave. Each row names the fault and
the outcome the installer must reach; every row also checks that nothing
was written outside the install folder and that no package file is left.

    cd tests/e2e && ORV_BUILD_DIR=../../build python3 -m unittest \
        test_fault_matrix.FaultMatrixTest test_fault_matrix.LongFaultMatrixTest
"""
import json
import os
import random
import re
import shutil
import sys
import time
import typing
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import (BUILD, FILE_OCCUPIED, LAUNCHER, LOCATION_LABEL,  # noqa: E402
                         SERVER_ERROR, InstallerTestCase, close_session, drv, make_demo_package,
                         make_sample_packages, open_session, select_field_text)

UNABLE_CONNECT = "Unable connect to server"
INSTALLED = "installed"
PACKAGE_URL = "http://127.0.0.1:%d/pkg/%s"
# Spaces and Chinese characters in every part of the path the user types.
CHINESE_LOCATION = "C:\\Velmora \u6e38\u620f\\\u5b89\u88c5 \u76ee\u5f55\\"

session = None
packages = {}  # name -> path of a package the service can serve
answers = {}   # name -> path of a package-request answer file


class Row(typing.NamedTuple):
    name: str
    outcome: str                  # INSTALLED, or the text of the message dialog
    control: object = ""          # service switches; or a function of the package path
    package: str = "small"
    answer: str = None            # an answer file instead of the service's own
    location: str = None          # typed on the custom panel instead of "Install now"
    fault: str = None             # "service_down" before start, "restart" mid-download
    downloads: object = None      # function of the package size -> expected attempts
    long: bool = False


def drop_points(size):
    return random.Random(20261210).sample(range(size), 20)


def statuses(*codes):
    """Attempts that fail with |codes| (status, nothing counted), then one whole."""
    return lambda size: [(code, None) for code in codes] + [(200, size)]


ROWS = [
    Row("service_down_at_request", SERVER_ERROR, fault="service_down",
        downloads=lambda size: []),
    Row("package_500_then_whole", INSTALLED, "fail_first=3&fail_mode=500",
        downloads=statuses(500, 500, 500)),
    Row("package_404_then_whole", INSTALLED, "fail_first=2&fail_mode=404",
        downloads=statuses(404, 404)),
    Row("package_404_for_good", UNABLE_CONNECT, "fail_first=100000&fail_mode=404",
        downloads=lambda size: [(404, 0)] * 256, long=True),
    Row("status_206_then_200", INSTALLED, "fail_first=2&fail_mode=206",
        downloads=statuses(206, 206)),
    Row("no_content_length_then_whole", INSTALLED, "fail_first=2&fail_mode=no_length",
        downloads=statuses(200, 200)),
    Row("dropped_at_20_points_then_whole", INSTALLED,
        lambda package: "drop_points=" + ",".join(
            map(str, drop_points(os.path.getsize(package)))),
        downloads=lambda size: [(200, n) for n in drop_points(size)] + [(200, size)]),
    # 120 kB/s: each 204800-byte progress step takes more than a second.
    Row("slow_drip", INSTALLED, "rate=120000", package="drip",
        downloads=statuses()),
    Row("service_restarted_mid_download", INSTALLED, "rate=400000", fault="restart"),
    Row("answer_of_2_mib", SERVER_ERROR, answer="big", downloads=lambda size: []),
    Row("answer_nested_5000_deep", SERVER_ERROR, answer="deep", downloads=lambda size: []),
    Row("answer_url_of_60000_characters", SERVER_ERROR, answer="long_url",
        downloads=lambda size: []),
    Row("answer_with_comments_and_unknown_members", INSTALLED, answer="commented",
        downloads=statuses()),
    Row("archive_with_traversal_entry", FILE_OCCUPIED, package="traversal",
        downloads=statuses()),
    Row("archive_with_corrupted_entry", FILE_OCCUPIED, package="corrupt",
        downloads=statuses()),
    Row("location_with_spaces_and_chinese", INSTALLED, location=CHINESE_LOCATION,
        downloads=statuses()),
]


def traversal_package(launcher, out):
    """A sound package but for entries that climb out of the install folder."""
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as zf:
        zf.write(launcher, LAUNCHER)
        zf.writestr("data/first.txt", "unpacked before the bad entry?\r\n")
        zf.writestr("../../velmora_escaped.txt", "outside\r\n")
        zf.writestr("data/..\\..\\..\\velmora_escaped2.txt", "outside\r\n")


def answer_files(work, package):
    """Answers for the small package: one of 2 MiB, one with comments and
    members the installer does not know."""
    size = os.path.getsize(package)
    with zipfile.ZipFile(package) as zf:
        installed = sum(i.file_size for i in zf.infolist())
    url = PACKAGE_URL % (drv.SERVICE_PORT, os.path.basename(package))
    members = {"downloadUrl": url, "zipSize": str(size), "insSize": str(installed)}
    answers["big"] = os.path.join(work, "answer-big.json")
    with open(answers["big"], "w") as f:
        json.dump(dict(members, notes="n" * (2 * 1024 * 1024)), f)
    answers["deep"] = os.path.join(work, "answer-deep.json")
    with open(answers["deep"], "w") as f:
        f.write('{"x": %s%s, %s' % ("[" * 5000, "]" * 5000, json.dumps(members)[1:]))
    answers["long_url"] = os.path.join(work, "answer-long-url.json")
    with open(answers["long_url"], "w") as f:
        json.dump(dict(members, downloadUrl=url + "/" + "a" * 60000), f)
    answers["commented"] = os.path.join(work, "answer-commented.json")
    with open(answers["commented"], "w") as f:
        f.write("// the service's answer\n{\n"
                '  "version": 3, /* not read */ "mirrors": ["http://a", "http://b"],\n'
                '  "downloadUrl": %s, // the package\n'
                '  "zipSize": %s, "insSize": %s,\n'
                '  "extra": {"zipSize": 1, "nested": [null, true, 1.5e3]}\n}\n'
                % tuple(json.dumps(members[k]) for k in ("downloadUrl", "zipSize", "insSize")))


def setUpModule():
    global session

    def make_packages(work):
        launcher = os.path.join(BUILD, LAUNCHER)
        make_sample_packages(work, packages)
        packages["drip"] = os.path.join(work, "VelmoraDrip.zip")
        make_demo_package.main(launcher, packages["drip"], 1)
        packages["traversal"] = os.path.join(work, "VelmoraTraversal.zip")
        traversal_package(launcher, packages["traversal"])
        answer_files(work, packages["small"])
        return packages["small"]
    session = open_session(make_packages)


def tearDownModule():
    close_session()


def snapshot(root):
    """Every file (with size and modification time) and folder under |root|."""
    entries = {}
    for folder, dirs, files in os.walk(root):
        for name in dirs:
            entries[os.path.join(folder, name)] = "dir"
        for name in files:
            path = os.path.join(folder, name)
            try:
                st = os.lstat(path)
            except FileNotFoundError:
                continue
            entries[path] = (st.st_size, st.st_mtime_ns)
    return entries


class FaultMatrixCase(InstallerTestCase):
    def run_row(self, row):
        package = packages[row.package]
        control = row.control(package) if callable(row.control) else row.control
        query = "package=" + package
        if row.answer:
            query += "&answer_file=" + answers[row.answer]
        session.control(query + ("&" + control if control else ""))
        folder = self.install_folder(row)
        before = snapshot(session.wine_path())
        if row.fault == "service_down":
            self.addCleanup(self.restart_service)
            session.stop_service()

        self.start()
        if row.location:
            self.type_location(row.location)
            session.click("install_custom")
        elif row.outcome != SERVER_ERROR:
            session.click("install_now")
        if row.fault == "restart":
            self.wait_partial_package()
            session.stop_service()
            time.sleep(2)  # attempts meanwhile find the port closed
            self.restart_service()

        if row.outcome == INSTALLED:
            self.wait_marker(folder)
            session.click("complete")
        else:
            # 256 attempts a second apart before the last message.
            wid = session.find_dialog("^%s$" % re.escape(row.outcome), timeout=400 if row.long else 90)
            self.assertEqual(session.window_name(wid), row.outcome)
            session.click("dialog_quit", wid)
        self.assert_exit(1)
        if row.fault == "service_down":
            self.restart_service()

        if row.outcome == INSTALLED:
            self.assert_unpacked(package, folder)
        if row.package == "traversal":
            self.assertEqual(self.files_under(folder), [], "unpacked despite a bad name")
        self.assertEqual(self.packages_left(folder), [])
        self.assert_nothing_outside(before, folder, row.outcome == INSTALLED)
        if row.downloads:
            self.assert_downloads(row.downloads(os.path.getsize(package)))
        elif row.fault == "restart":
            # The restarted service saw the attempts after its start.
            last = self.downloads()[-1]
            self.assertEqual((last["status"], last["bytes_sent"]),
                             (200, os.path.getsize(package)))

    # --- helpers ---------------------------------------------------------------

    def install_folder(self, row):
        if not row.location:
            return self.folder()
        parts = row.location.rstrip("\\").split("\\")[1:]
        top = session.wine_path(parts[0])
        shutil.rmtree(top, ignore_errors=True)
        self.addCleanup(shutil.rmtree, top, True)
        return session.wine_path(*parts, "ORVChina")

    def type_location(self, location):
        session.click("custom")
        drv.wait_for(lambda: session.geometry()[2:] == (492, 472), 10, what="the custom panel")
        time.sleep(0.5)
        session.click("path_edit")
        select_field_text()
        session.type(location)
        time.sleep(0.7)
        session.click(LOCATION_LABEL)  # ends editing
        time.sleep(0.5)

    def restart_service(self):
        if not session.service or session.service.poll() is not None:
            session.start_service(packages["small"])

    def files_under(self, folder):
        return sorted(os.path.relpath(os.path.join(d, f), folder)
                      for d, _, files in os.walk(folder) for f in files)

    def assert_nothing_outside(self, before, folder, installed):
        """Only the install folder (and its parents) and, once installed, the
        shortcuts differ between the snapshots."""
        allowed = set(self.shortcuts().values()) if installed else set()
        parent = folder
        while parent != session.wine_path():
            allowed.add(parent)
            parent = os.path.dirname(parent)
        after = snapshot(session.wine_path())
        changed = sorted(
            path for path in set(before) | set(after)
            if before.get(path) != after.get(path) and path not in allowed and
            not path.startswith(folder + os.sep))
        self.assertEqual(changed, [])

    def assert_downloads(self, expected):
        got = [(r["status"], r["bytes_sent"]) for r in self.downloads()]
        expected = [(s, got[i][1] if n is None and i < len(got) else n)
                    for i, (s, n) in enumerate(expected)]
        self.assertEqual(got, expected)
        self.assertTrue(all(r["sign_ok"] for r in self.downloads()))


class FaultMatrixTest(FaultMatrixCase):
    pass


class LongFaultMatrixTest(FaultMatrixCase):
    """Rows that take minutes (hundreds of retries a second apart)."""


def _add_rows():
    for row in ROWS:
        def test(self, row=row):
            self.run_row(row)
        test.__name__ = "test_" + row.name
        setattr(LongFaultMatrixTest if row.long else FaultMatrixTest, test.__name__, test)


_add_rows()
