#!/usr/bin/env python3
"""Runs one personalised copy of the Windows launcher under Wine, with the
stand-in cmdkey and mstsc, and tells what it did.

Usage: demo.py LAUNCHER.exe STANDINS_DIR SCREENSHOT_DIR PRODUCT USER PASSWORD [WINDOWS_VERSION]"""

import shutil
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from wine_session import WineSession  # noqa: E402


def main(launcher, standins, screenshots, product, user, password, windows_version=None):
    name = f"{product}${user}${password}$.exe"
    shutil.rmtree(screenshots, ignore_errors=True)
    print("starting a private Wine on a virtual display (about 20 s) ...", flush=True)
    with WineSession(standins, keep_screenshots=screenshots) as session:
        exe = session.place_launcher(launcher, name)
        if windows_version:
            session.set_windows_version(name, windows_version)
        print(f"launcher:        {session.windows_path(exe)}")
        run = session.launch(exe, client_milliseconds=1000)
        print(f"exit code:       {run.status}")
        for box in run.boxes:
            print(f"message box:     [{box.caption}] {box.text!r}")
            if box.screenshot:
                print(f"  screenshot:    {box.screenshot}")
        if not run.boxes:
            print("message box:     none")
        for start in run.starts:
            print(f"started:         {start['raw']}")
            print(f"  arguments:     {start['args']}")
        if not run.starts:
            print("started:         nothing")
        for file in sorted(session.desktop.iterdir()):
            print(f"Desktop file:    {session.windows_path(file)} ({file.stat().st_size} bytes)")
            print("  " + file.read_bytes().decode("ascii", "replace").replace("\r\n", "\n  ").rstrip())
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
