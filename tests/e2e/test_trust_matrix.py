"""Trust matrix: whole installations by the installer built for a service on
HTTPS (VelmoraInstallerTls.exe, endpoint https://localhost:8643), driven as
a user would, while the network or the service tries to hand it something
else than the package the service vouched for. Each row names the attack
and the outcome; every row also checks the service's record of what was
fetched, and over which scheme.

The test CA (build/tls, made at build time) is trusted by the test prefix;
the service's plain-HTTP port 8600 stands for the attacker's downgrade.

    cd tests/e2e && ORV_BUILD_DIR=../../build python3 -m unittest test_trust_matrix
"""
import os
import re
import sys
import typing
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from e2e_support import (BUILD, LAUNCHER, SERVER_ERROR, InstallerTestCase,  # noqa: E402
                         close_session, drv, make_sample_packages, open_session)

UNABLE_CONNECT = "Unable connect to server"
INSTALLED = "installed"
TLS_DIR = os.path.join(BUILD, "tls")
TRUSTED = (os.path.join(TLS_DIR, "localhost.pem"), os.path.join(TLS_DIR, "localhost.key"))
UNTRUSTED = (os.path.join(TLS_DIR, "untrusted.pem"), os.path.join(TLS_DIR, "untrusted.key"))
PLAIN_PACKAGE_URL = "http://localhost:{plain_port}/pkg/VelmoraGame.zip"
SUBSTITUTE_ONLY = "substitute-only.txt"  # a file only the substituted package has

session = None
packages = {}


class Row(typing.NamedTuple):
    name: str
    outcome: str         # INSTALLED, or the text of the message dialog
    control: str = ""    # service switches
    certificate: tuple = TRUSTED
    # (scheme, status, substituted) of each download attempt, in order
    downloads: list = None


def https(status=200, substituted=False):
    return ("https", status, substituted)


ROWS = [
    Row("install_over_https", INSTALLED, downloads=[https()]),
    Row("untrusted_certificate", SERVER_ERROR, certificate=UNTRUSTED, downloads=[]),
    Row("plain_http_package_without_sha256", SERVER_ERROR,
        "sha256=none&download_url=" + PLAIN_PACKAGE_URL, downloads=[]),
    # A digest vouched for over HTTPS makes the plain-HTTP bytes checkable.
    Row("plain_http_package_with_sha256", INSTALLED,
        "download_url=" + PLAIN_PACKAGE_URL, downloads=[("http", 200, False)]),
    # Redirects to plain HTTP are refused, never followed: the attempts fail
    # and the next one, served straight, installs.
    Row("https_package_redirected_to_http", INSTALLED,
        "redirect_first=2&redirect_to=http://localhost:{plain_port}",
        downloads=[https(302), https(302), https()]),
    Row("substituted_package_on_the_first_attempt", INSTALLED,
        "substitute_first=1", downloads=[https(substituted=True), https()]),
    Row("wrong_sha256_on_every_attempt", UNABLE_CONNECT, "sha256=" + "0" * 64,
        downloads=[https()] * 3),
]


def substitute_package(launcher, out):
    """A valid package, but not the one the service vouched for."""
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as zf:
        zf.write(launcher, LAUNCHER)
        zf.writestr(SUBSTITUTE_ONLY, "unpacked from a package nobody vouched for\r\n")


def setUpModule():
    global session
    for path in TRUSTED + UNTRUSTED:
        if not os.path.isfile(path):
            raise AssertionError("missing test certificate %s (made by the build)" % path)

    def make_packages(work):
        make_sample_packages(work, packages)
        packages["substitute"] = os.path.join(work, "VelmoraSubstitute.zip")
        substitute_package(os.path.join(BUILD, LAUNCHER), packages["substitute"])
        return packages["small"]
    session = open_session(make_packages, installer="VelmoraInstallerTls.exe", tls=TRUSTED)


def tearDownModule():
    close_session()


class TrustMatrixTest(InstallerTestCase):
    def run_row(self, row):
        if row.certificate != TRUSTED:
            self.restart_service(row.certificate)
            self.addCleanup(self.restart_service, TRUSTED)
        control = "package=" + packages["small"] + "&substitute=" + packages["substitute"]
        if row.control:
            control += "&" + row.control
        session.control(control)

        self.start()
        if row.outcome != SERVER_ERROR:
            session.click("install_now")
        if row.outcome == INSTALLED:
            self.wait_marker()
            session.click("complete")
        else:
            wid = session.find_dialog("^%s$" % re.escape(row.outcome), timeout=90)
            self.assertEqual(session.window_name(wid), row.outcome)
            session.click("dialog_quit", wid)
        self.assert_exit(1)

        if row.outcome == INSTALLED:
            self.assert_unpacked(packages["small"], self.folder())
        else:
            self.assert_nothing_installed()
        self.assertFalse(os.path.exists(os.path.join(self.folder(), SUBSTITUTE_ONLY)),
                         "the substituted package was unpacked")
        self.assertEqual(self.packages_left(), [])
        requests = [r for r in session.service_records() if r["kind"] == "request"]
        if row.certificate == TRUSTED:
            self.assertEqual([r["scheme"] for r in requests], ["https"])
        else:
            self.assertEqual(requests, [], "answered over a certificate nobody trusts")
        got = [(r["scheme"], r["status"], r.get("substituted", False)) for r in self.downloads()]
        self.assertEqual(got, row.downloads)

    def restart_service(self, certificate):
        session.stop_service()
        session.start_service(packages["small"], tls=certificate)


def _add_rows():
    for row in ROWS:
        def test(self, row=row):
            self.run_row(row)
        test.__name__ = "test_" + row.name
        setattr(TrustMatrixTest, test.__name__, test)


_add_rows()
