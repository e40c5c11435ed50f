"""A private Wine installation for running the Windows launcher: its own
virtual display, its own prefix and HOME inside one scratch folder, the
stand-in cmdkey and mstsc in the prefix's system folder, and message boxes
read (from Wine's msgbox trace channel and the window title) and closed.

Nothing outside the scratch folder is touched: Wine links a new prefix's
Desktop and other shell folders to $HOME, so HOME points into the scratch
folder and the prefix's Desktop is replaced by a real folder of its own."""

import json
import os
import re
import shutil
import signal
import subprocess
import tempfile
import threading
import time
from dataclasses import dataclass, field
from pathlib import Path

RENAME_TEXT = "Пожалуйста не переименовывайте файл!\n\rСкачайте файл заново."
CAPTION = "Удаленное подключение"


@dataclass
class MessageBox:
    caption: str
    text: str
    screenshot: Path | None = None


@dataclass
class Run:
    status: int | None  # None when the launcher had to be killed
    seconds: float
    boxes: list = field(default_factory=list)
    starts: list = field(default_factory=list)  # the stand-ins' records
    cpu_seconds: float | None = None


def decode_wine_string(literal):
    """Decodes Wine's debugstr_w form: L"..." with \\n, \\r, \\t, \\", \\\\ and
    \\xxxx (four hex digits) escapes."""
    escapes = {"n": "\n", "r": "\r", "t": "\t", '"': '"', "\\": "\\"}
    return re.sub(r'\\([nrt"\\]|[0-9a-fA-F]{4})',
                  lambda m: escapes.get(m.group(1)) or chr(int(m.group(1), 16)), literal)


class WineSession:
    def __init__(self, standins, scratch=None, keep_screenshots=None):
        self.owns_scratch = scratch is None
        self.scratch = Path(scratch or tempfile.mkdtemp(prefix="kobax-wine."))
        self.standins = Path(standins)
        self.screenshots = Path(keep_screenshots) if keep_screenshots else None
        self.home = self.scratch / "home"
        self.prefix = self.scratch / "prefix"
        self.xvfb = None
        self.env = None
        self.launches = 0

    # -- setting up and tearing down -------------------------------------
    def __enter__(self):
        self.home.mkdir(parents=True, exist_ok=True)
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        display = self.xvfb.stdout.readline().strip()
        self.env = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "HOME": str(self.home),
            "USER": "kobax",
            "LANG": "C.UTF-8",
            "DISPLAY": f":{display}",
            "WINEPREFIX": str(self.prefix),
            "WINEARCH": "win32",
            "WINEDEBUG": "-all",
            # No Mono or Gecko installer dialogs during the prefix's creation.
            "WINEDLLOVERRIDES": "mscoree,mshtml=",
            "XDG_RUNTIME_DIR": str(self.scratch / "run"),
        }
        (self.scratch / "run").mkdir(mode=0o700, exist_ok=True)
        subprocess.run(["wineboot", "--init"], env=self.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
        subprocess.run(["wineserver", "--wait"], env=self.env, timeout=300)
        self.desktop = self._make_real_folder("Desktop")
        self.system32 = self.prefix / "drive_c" / "windows" / "system32"
        for tool in ("cmdkey.exe", "mstsc.exe"):
            shutil.copy(self.standins / tool, self.system32 / tool)
        # One wineserver for the whole session keeps each launch quick.
        self.server = subprocess.Popen(["wineserver", "--persistent", "--foreground"], env=self.env,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # Start Wine's own background processes now, without pipes, so they
        # do not hold on to the first launch's standard error.
        self.wine("cmd", "/c", "exit")
        return self

    def _make_real_folder(self, name):
        users = self.prefix / "drive_c" / "users"
        user_dirs = [p for p in users.iterdir() if (p / name).is_symlink() or (p / name).is_dir()]
        folder = user_dirs[0] / name
        if folder.is_symlink():
            folder.unlink()  # removes the link only, never what it points to
        folder.mkdir(exist_ok=True)
        assert self.scratch in folder.resolve().parents
        return folder

    def __exit__(self, *exc):
        if self.env:
            subprocess.run(["wineserver", "--kill"], env=self.env, timeout=60,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for process in (getattr(self, "server", None), self.xvfb):
            if process and process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=10)
                except subprocess.TimeoutExpired:
                    process.kill()
        if self.owns_scratch:
            shutil.rmtree(self.scratch, ignore_errors=True)

    # -- helpers ---------------------------------------------------------
    def windows_path(self, path):
        """The Windows name of a file inside the prefix's drive C."""
        relative = Path(path).relative_to(self.prefix / "drive_c")
        return "C:\\" + "\\".join(relative.parts)

    def wine(self, *args, timeout=120):
        # No pipes: Wine's helper processes inherit them and outlive the call.
        subprocess.run(["wine", *args], env=self.env, timeout=timeout,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def set_windows_version(self, exe_name, version):
        """Makes Wine report another Windows version to one program."""
        # A .reg file in UTF-16 carries any name; "wine reg add" with a
        # non-ASCII key on its command line was seen to hang.
        reg = self.scratch / f"version-{self.launches}.reg"
        reg.write_text("\ufeffWindows Registry Editor Version 5.00\r\n\r\n"
                       f"[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\{exe_name}]\r\n"
                       f'"Version"="{version}"\r\n', encoding="utf-16-le")
        self.wine("regedit", "/S", self.unix_path_for_windows(reg))

    def place_launcher(self, launcher, name, folder="Downloads"):
        target_folder = self.prefix / "drive_c" / "users" / "Public" / folder
        target_folder.mkdir(parents=True, exist_ok=True)
        target = target_folder / name
        shutil.copy(launcher, target)
        return target

    # -- one launch ------------------------------------------------------
    def launch(self, exe, client_milliseconds=0, client_exit_code=0, timeout=60, measure_cpu=False):
        """Runs EXE (a path inside the prefix) as a user would, closing every
        message box it shows; returns what happened."""
        self.launches += 1
        log = self.scratch / f"starts-{self.launches}.jsonl"
        env = dict(self.env, WINEDEBUG="-all,trace+msgbox", KOBAX_STANDIN_LOG=self.unix_path_for_windows(log),
                   KOBAX_STANDIN_MILLISECONDS=str(client_milliseconds),
                   KOBAX_STANDIN_EXIT_CODE=str(client_exit_code))
        start = time.monotonic()
        process = subprocess.Popen(["wine", str(exe)], env=env, cwd=str(Path(exe).parent),
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.PIPE, text=True, errors="replace",
                                   start_new_session=True)
        texts = []
        reader = threading.Thread(target=self._read_trace, args=(process.stderr, texts), daemon=True)
        reader.start()
        boxes, seen_windows = [], set()
        cpu = None
        while process.poll() is None and time.monotonic() - start < timeout:
            if measure_cpu and cpu is None:
                cpu = self._cpu_while_client_runs(exe, client_milliseconds)
            for window in self._visible_windows():
                if window in seen_windows:
                    continue
                seen_windows.add(window)
                time.sleep(0.3)  # let it draw before the screenshot
                caption = self._xdotool("getwindowname", window).strip()
                shot = self._screenshot(len(boxes) + 1) if self.screenshots else None
                boxes.append(MessageBox(caption, "", shot))
                self._xdotool("key", "--window", window, "Return")
            time.sleep(0.1)
        status = process.poll()
        if status is None:
            os.killpg(process.pid, signal.SIGKILL)
            process.wait()
        reader.join(timeout=5)
        for box, text in zip(boxes, texts):
            box.text = text
        for text in texts[len(boxes):]:
            boxes.append(MessageBox("", text))
        starts = [json.loads(line) for line in log.read_text(encoding="utf-8").splitlines()] if log.exists() else []
        return Run(status, time.monotonic() - start, boxes, starts, cpu)

    @staticmethod
    def unix_path_for_windows(path):
        """Any Unix path as Windows programs under Wine name it: Z: maps the
        Unix root."""
        return "Z:" + str(path).replace("/", "\\")

    @staticmethod
    def _read_trace(stream, texts):
        for line in stream:
            match = re.search(r'trace:msgbox:MSGBOX_OnInit L"(.*)"\s*$', line)
            if match:
                texts.append(decode_wine_string(match.group(1)))

    def _xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True).stdout

    def _visible_windows(self):
        return self._xdotool("search", "--onlyvisible", "--name", ".").split()

    def _screenshot(self, number):
        self.screenshots.mkdir(parents=True, exist_ok=True)
        target = self.screenshots / f"box-{self.launches}-{number}.png"
        subprocess.run(["import", "-window", "root", str(target)], env=self.env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return target

    def _cpu_while_client_runs(self, exe, client_milliseconds):
        """CPU seconds the launcher's process spends while the client stand-in
        is alive: sampled once the client has started and again shortly
        before it ends."""
        pattern = re.escape(Path(exe).name)
        deadline = time.monotonic() + 30
        pids = []
        while time.monotonic() < deadline and not pids:
            clients = subprocess.run(["pgrep", "-f", r"mstsc\.exe"], capture_output=True, text=True).stdout.split()
            launchers = subprocess.run(["pgrep", "-f", pattern], capture_output=True, text=True).stdout.split()
            if clients and launchers:
                pids = [int(p) for p in launchers]
            else:
                time.sleep(0.05)
        if not pids:
            return None

        def cpu_seconds():
            total = 0
            for pid in pids:
                try:
                    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
                except OSError:
                    continue
                total += int(fields[11]) + int(fields[12])  # utime, stime
            return total / os.sysconf("SC_CLK_TCK")

        before = cpu_seconds()
        time.sleep(max(0.0, client_milliseconds / 1000 - 1.0))
        return cpu_seconds() - before
