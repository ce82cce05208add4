#!/usr/bin/env python3
"""make demo: installs a sample game with the real installer under Wine.

    tools/demo.py [BUILD_DIR]

Builds a sample package (the launcher stand-in plus a few megabytes of game
data), starts the reference download service with it on 127.0.0.1:8600,
runs VelmoraInstaller.exe (on your screen when DISPLAY is set, otherwise in
Xvfb), clicks "Install now", waits for the completion panel, takes a
screenshot of it and clicks "Complete". Exits 0 only when the game's files
are in place.
"""
import os
import sys
import time
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import installer_driver  # noqa: E402
import make_demo_package  # noqa: E402


def main(build_dir):
    build = os.path.abspath(build_dir)
    out = os.path.join(build, "demo")
    os.makedirs(out, exist_ok=True)
    package = os.path.join(out, "VelmoraGame.zip")
    make_demo_package.main(os.path.join(build, "orvlauncher.exe"), package, 4)

    session = installer_driver.Session(build, out)
    try:
        session.start_display()
        installer_driver.reset_prefix_state(session)
        session.start_service(package)
        print("demo: download service on http://127.0.0.1:%d" % installer_driver.SERVICE_PORT)
        session.start_installer()
        session.find_window()
        time.sleep(2)  # the opening animation
        print('demo: clicking "Install now"')
        session.click("install_now")
        folder = os.path.join(session.app_data(), "ORVChina")
        marker = os.path.join(folder, ".qlmcps")
        installer_driver.wait_for(lambda: os.path.exists(marker), 180,
                                  what="the completion panel")
        time.sleep(1)
        shot = session.screenshot(os.path.join(out, "completion_panel.png"))
        session.click("complete")
        code = session.wait_exit(60)
        with zipfile.ZipFile(package) as zf:
            missing = [n for n in zf.namelist()
                       if not n.endswith("/") and
                       not os.path.exists(os.path.join(folder, *n.split("/")))]
        print("demo: installer exit code %d" % code)
        print("demo: game installed in %s" % folder)
        print("demo: screenshot of the completion panel: %s" % shot)
        if missing:
            print("demo: missing files: %s" % ", ".join(missing))
            return 1
        return 0
    except installer_driver.DriverError as e:
        print("demo: %s" % e)
        return 1
    finally:
        session.stop()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "build"))
