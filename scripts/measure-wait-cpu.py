#!/usr/bin/env python3
"""Measures how much CPU the Windows launcher uses while it waits for the
Remote Desktop client: runs it under Wine with a stand-in client that stays
alive for the given seconds and prints the launcher's CPU seconds over that
time. Build the windows preset first.
Usage: scripts/measure-wait-cpu.py [CLIENT_SECONDS]"""

import sys
from pathlib import Path

root = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(root / "tests" / "wine"))
from wine_session import WineSession  # noqa: E402

seconds = float(sys.argv[1]) if len(sys.argv) > 1 else 10
with WineSession(root / "build" / "windows" / "standins") as session:
    exe = session.place_launcher(root / "build" / "windows" / "kobax-launcher.exe", "KOBAX_8$anna$secret$.exe")
    run = session.launch(exe, client_milliseconds=int(seconds * 1000), measure_cpu=True,
                         timeout=seconds + 60)
    window = max(0.0, seconds - 1.0)
    print(f"client alive {seconds:.1f} s; launcher CPU over {window:.1f} s of it: {run.cpu_seconds:.3f} s "
          f"({100 * run.cpu_seconds / window:.2f} % of one core)")
