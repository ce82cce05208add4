"""Drives the built VelmoraInstaller.exe under Wine as a user would: a real
X display (Xvfb unless DISPLAY is set), the reference download service on
127.0.0.1, real mouse and keyboard input through xdotool, screenshots
through ImageMagick's import.

Used by tools/demo.py and the end-to-end tests. Python 3 standard library
plus the xdotool, Xvfb and import programs.
"""
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SERVICE_PORT = 8600  # the endpoint compiled into the default build
TLS_PORT = 8643  # https://localhost:8643 when the service runs with TLS
DIALOG_SIZE = (382, 232)  # message and confirm dialogs

# Click targets in window coordinates (English skin; the panels sit at 6,246).
POINTS = {
    "install_now": (246, 295),
    "accept": (32, 348),
    "custom": (420, 352),
    "close": (464, 27),
    "minimize": (421, 27),
    "path_edit": (225, 288),
    "option_desktop": (32, 346),
    "option_taskbar": (177, 346),
    "option_autorun": (352, 346),
    "install_custom": (190, 409),
    "back": (316, 409),
    "use_now": (178, 356),
    "complete": (319, 356),
    "dialog_yes": (140, 176),   # in the 382 x 232 dialog
    "dialog_no": (243, 176),
    "dialog_quit": (193, 176),
}


class DriverError(Exception):
    pass


def wait_for(predicate, timeout, step=0.2, what="condition"):
    """Polls until predicate() is true; raises DriverError after timeout s."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            raise DriverError("timed out waiting for %s" % what)
        time.sleep(step)


class Session:
    def __init__(self, build_dir, work_dir=None):
        self.build = os.path.abspath(build_dir)
        self.prefix = os.path.join(self.build, "wineprefix")
        self.work = work_dir or tempfile.mkdtemp(prefix="velmora-e2e-")
        os.makedirs(self.work, exist_ok=True)
        self.env = dict(os.environ, ORV_WINEPREFIX=self.prefix, WINEDEBUG="-all")
        self.xvfb = None
        self.service = None
        self.installer = None
        self.installer_name = "VelmoraInstaller.exe"
        self.window = None

    # --- display, service, installer -----------------------------------------

    def start_display(self):
        if os.environ.get("DISPLAY"):
            return
        for number in range(70, 90):
            if not os.path.exists("/tmp/.X11-unix/X%d" % number) and \
                    not os.path.exists("/tmp/.X%d-lock" % number):
                break
        else:
            raise DriverError("no free X display number")
        self.xvfb = subprocess.Popen(
            ["Xvfb", ":%d" % number, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.env["DISPLAY"] = ":%d" % number
        wait_for(lambda: os.path.exists("/tmp/.X11-unix/X%d" % number), 10, what="Xvfb")

    def start_service(self, package, *options, tls=None):
        """Starts the reference service on 127.0.0.1:8600 with |package|.
        With tls=(cert, key) the service speaks HTTPS on TLS_PORT and plain
        HTTP on 8600 still, where control() and the records go."""
        port_file = os.path.join(self.work, "service.port")
        if os.path.exists(port_file):
            os.remove(port_file)
        self.records_file = os.path.join(self.work, "records.jsonl")
        if os.path.exists(self.records_file):
            os.remove(self.records_file)
        ports = ["--port", str(SERVICE_PORT)]
        if tls:
            ports = ["--tls", tls[0], tls[1], "--port", str(TLS_PORT),
                     "--plain-port", str(SERVICE_PORT)]
        with open(os.path.join(self.work, "service.log"), "w") as log:
            self.service = subprocess.Popen(
                [sys.executable, os.path.join(ROOT, "tools", "download_service.py"),
                 "--package", package, "--port-file", port_file,
                 "--record-file", self.records_file] + ports + list(options),
                stdout=subprocess.DEVNULL, stderr=log)

        def ready():
            if self.service.poll() is not None:
                raise DriverError("the download service did not start (port %s busy?)"
                                  % ("%d or %d" % (TLS_PORT, SERVICE_PORT) if tls
                                     else SERVICE_PORT))
            return os.path.exists(port_file)
        wait_for(ready, 15, what="the download service")

    def control(self, query):
        import urllib.request
        with urllib.request.urlopen("http://127.0.0.1:%d/_control?%s" % (SERVICE_PORT, query),
                                    timeout=10) as reply:
            return json.loads(reply.read())

    def records(self):
        if not os.path.exists(self.records_file):
            return []
        with open(self.records_file, encoding="utf-8") as f:
            return [json.loads(line) for line in f if line.strip()]

    def service_records(self):
        """The running service's records since its last reset=1."""
        import urllib.request
        with urllib.request.urlopen("http://127.0.0.1:%d/_records" % SERVICE_PORT,
                                    timeout=10) as reply:
            return json.loads(reply.read())

    def wine_path(self, *parts):
        """A path inside the prefix's C: drive, as a Linux path."""
        return os.path.join(self.prefix, "drive_c", *parts)

    def app_data(self):
        return self.wine_path("users", os.environ.get("USER", "root"), "AppData", "Roaming")

    def start_installer(self, extra_env=None):
        env = dict(self.env, **(extra_env or {}))
        exe = os.path.join(self.build, self.installer_name)
        self.installer = subprocess.Popen(
            [os.path.join(ROOT, "cmake", "wine-run.sh"), exe], env=env,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return self.installer

    def stop_installer(self):
        """Ends a still running installer (the display and service stay)."""
        if self.installer and self.installer.poll() is None:
            self.installer.kill()
            try:
                self.installer.wait(10)
            except subprocess.TimeoutExpired:
                pass
        self.window = None

    def wait_exit(self, timeout=60):
        try:
            return self.installer.wait(timeout)
        except subprocess.TimeoutExpired:
            raise DriverError("the installer did not exit")

    # --- X input and pictures ----------------------------------------------------

    def xdotool(self, *args):
        return subprocess.run(["xdotool"] + [str(a) for a in args], env=self.env,
                              capture_output=True, text=True, timeout=30).stdout.strip()

    def find_window(self, name="Velmora", width=None, timeout=30):
        """The installer's visible top-level window with that title."""
        def search():
            for wid in self.xdotool("search", "--onlyvisible", "--name", "^%s$" % name).split():
                geometry = self.geometry(wid)
                if geometry and (width is None or geometry[2] == width):
                    return wid
            return None
        self.window = wait_for(search, timeout, what="the %s window" % name)
        return self.window

    def find_dialog(self, pattern, timeout=30):
        """A visible dialog whose window name matches the regex |pattern|;
        unlike find_window it leaves the main window as the click target."""
        def search():
            for wid in self.visible_windows(pattern):
                geometry = self.geometry(wid)
                if geometry and geometry[2:] == DIALOG_SIZE:
                    return wid
            return None
        return wait_for(search, timeout, what="a dialog named %r" % pattern)

    def visible_windows(self, pattern="."):
        return self.xdotool("search", "--onlyvisible", "--name", pattern).split()

    def dialogs(self):
        """Names of the visible dialogs."""
        return [self.window_name(wid) for wid in self.visible_windows()
                if (self.geometry(wid) or (0, 0, 0, 0))[2:] == DIALOG_SIZE]

    def window_name(self, wid):
        return self.xdotool("getwindowname", wid)

    def is_viewable(self, wid=None):
        out = subprocess.run(["xwininfo", "-id", str(wid or self.window)], env=self.env,
                             capture_output=True, text=True, timeout=30).stdout
        return "IsViewable" in out

    def geometry(self, wid=None):
        out = self.xdotool("getwindowgeometry", wid or self.window)
        x = y = w = h = None
        for line in out.splitlines():
            line = line.strip()
            if line.startswith("Position:"):
                x, y = [int(v) for v in line.split()[1].split(",")]
            elif line.startswith("Geometry:"):
                w, h = [int(v) for v in line.split()[1].split("x")]
        return (x, y, w, h) if x is not None and w is not None else None

    def click(self, point, wid=None, button=1):
        x, y, _, _ = self.geometry(wid)
        px, py = POINTS[point] if isinstance(point, str) else point
        self.xdotool("mousemove", "--sync", x + px, y + py)
        time.sleep(0.15)
        self.xdotool("click", button)
        time.sleep(0.3)

    def drag(self, start, offset, wid=None):
        x, y, _, _ = self.geometry(wid)
        self.xdotool("mousemove", "--sync", x + start[0], y + start[1])
        self.xdotool("mousedown", 1)
        steps = 8
        for i in range(1, steps + 1):
            self.xdotool("mousemove", x + start[0] + offset[0] * i // steps,
                         y + start[1] + offset[1] * i // steps)
            time.sleep(0.05)
        self.xdotool("mouseup", 1)
        time.sleep(0.3)

    def type(self, text):
        self.xdotool("type", "--delay", 40, text)

    def key(self, *keys):
        self.xdotool("key", *keys)

    def screenshot(self, path, wid=None):
        x, y, w, h = self.geometry(wid)
        whole = os.path.join(self.work, "screen.png")
        subprocess.run(["import", "-window", "root", whole], env=self.env, check=True,
                       capture_output=True, timeout=30)
        subprocess.run(["convert", whole, "-crop", "%dx%d+%d+%d" % (w, h, x, y), "+repage",
                        path], check=True, capture_output=True, timeout=30)
        return path

    def pixel(self, path, x, y):
        out = subprocess.run(["convert", path, "-format", "%%[fx:int(255*r)],%%[fx:int(255*g)],"
                              "%%[fx:int(255*b)]" .replace("%%", "%"), "-crop",
                              "1x1+%d+%d" % (x, y), "info:"],
                             capture_output=True, text=True, timeout=30).stdout
        return tuple(int(v) for v in out.strip().split(","))

    def region(self, path, box):
        """The (r, g, b) pixels of box = (x, y, width, height) in a picture,
        row by row."""
        x, y, w, h = box
        raw = subprocess.run(["convert", path, "-crop", "%dx%d+%d+%d" % (w, h, x, y),
                              "+repage", "-depth", "8", "rgb:-"],
                             capture_output=True, check=True, timeout=30).stdout
        return [tuple(raw[i:i + 3]) for i in range(0, len(raw) - 2, 3)]

    # --- clean-up ------------------------------------------------------------------

    def stop_service(self):
        """Stops the download service if it runs (SIGTERM, then kill)."""
        if self.service and self.service.poll() is None:
            self.service.send_signal(signal.SIGTERM)
            try:
                self.service.wait(10)
            except subprocess.TimeoutExpired:
                self.service.kill()

    def stop(self):
        self.stop_installer()
        self.stop_service()
        if self.xvfb:
            self.xvfb.terminate()
            try:
                self.xvfb.wait(10)
            except subprocess.TimeoutExpired:
                self.xvfb.kill()


def reset_prefix_state(session):
    """Removes what an earlier installation left in the prefix."""
    app_data = session.app_data()
    shutil.rmtree(os.path.join(app_data, "ORVChina"), ignore_errors=True)
    user_dir = session.wine_path("users", os.environ.get("USER", "root"))
    for link in [os.path.join(user_dir, "Desktop", "Velmora.lnk"),
                 os.path.join(app_data, "Microsoft", "Windows", "Start Menu", "Velmora.lnk"),
                 os.path.join(app_data, "Microsoft", "Internet Explorer", "Quick Launch",
                              "User Pinned", "TaskBar", "Velmora.lnk")]:
        if os.path.exists(link):
            os.remove(link)
    run_wine(session, "reg", "delete", r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run",
             "/v", "ORVChina", "/f")


def wine_shell(session, command, *args, **run_options):
    """Runs the bash |command| (with |args| as "$@") in the session's prefix,
    the project's Wine variables set ($ORV_WINE, $ORV_WINESERVER...)."""
    script = '. "%s"; %s' % (os.path.join(ROOT, "cmake", "wine-env.sh"), command)
    env = dict(session.env, ORV_PREFIX=session.prefix)
    return subprocess.run(["bash", "-c", script, "wine"] + list(args), env=env,
                          timeout=120, **run_options)


def run_wine(session, *args):
    """Runs a Wine built-in program (reg, cmd...) in the session's prefix."""
    return wine_shell(session, '"$ORV_WINE" "$@"', *args, capture_output=True, text=True)
