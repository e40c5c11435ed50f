#!/usr/bin/env python3
"""The real Windows launcher, end to end under Wine: every catalogue row,
the names that must only show the rename message, old Windows, failing
file operations, a missing or odd client and the build switches. Expected
values are written from the launcher's documented behaviour.

Usage: run_wine_tests.py SOURCE_DIR LAUNCHER.exe PERSONALIZE.exe STANDINS_DIR SERVER1 SERVER2 SERVER3 SERVER4"""

import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
from checks import Checks  # noqa: E402
from wine_session import CAPTION, RENAME_TEXT, WineSession  # noqa: E402

source_dir, launcher, personalize, standins, *servers = sys.argv[1:]
SERVER = dict(zip((1, 2, 3, 4), servers))

# Product key: display name, alias, server number, port.
CATALOGUE = {
    "KOBAX_8": ("КОВАХ 8", "KOBAX8", 1, "3395"),
    "KOBAX_8_Online": ("КОВАХ 8 Онлайн", "KOBAX8", 1, "3396"),
    "KOBAX_8_": ("КОВАХ 8 Онлайн", "KOBAX8", 1, "3397"),
    "KOBAX_TM": ("KOBAX TM", "KOBAX_TM", 2, "43389"),
    "KOBAX_TM_Free": ("КОВАХ ТМ Онлайн", "KOBAX_TM", 3, "3396"),
    "KOBAX_TM_Online": ("КОВАХ ТМ Онлайн", "KOBAX_TM", 4, "3397"),
    "KOBAX_VEL_ZU": ("КОВАХ ВЕЛ", "VEL_ZU", 1, "3395"),
    "KOBAX_VEL_ZU_ Online": ("КОВАХ ВЕЛ Онлайн", "VEL_ZU", 1, "3397"),
    "KOBAX_VEL_TN": ("КОВАХ ВЕЛ ТМ", "VEL_TN", 2, "43389"),
}


def connection_file(host, port, alias):
    lines = [
        "redirectclipboard:i:1", "redirectposdevices:i:0", "redirectprinters:i:1",
        "redirectcomports:i:0", "redirectsmartcards:i:0", "devicestoredirect:s:*",
        "drivestoredirect:s:*", "redirectdrives:i:1", "session bpp:i:24",
        "prompt for credentials on client:i:1", "span monitors:i:1", "use multimon:i:1",
        "remoteapplicationmode:i:1", "server port:i:" + port, "allow font smoothing:i:1",
        "promptcredentialonce:i:1", "authentication level:i:0", "gatewayusagemethod:i:2",
        "gatewayprofileusagemethod:i:0", "gatewaycredentialssource:i:0", "full address:s:" + host,
        "alternate shell:s:||" + alias, "remoteapplicationprogram:s:||" + alias, "gatewayhostname:s:",
        "remoteapplicationname:s:" + alias, "remoteapplicationcmdline:s:", "screen mode id:i:2",
        "winposstr:s:0,3,0,0,800,600", "compression:i:1", "keyboardhook:i:2", "audiocapturemode:i:0",
        "videoplaybackmode:i:1", "connection type:i:7", "networkautodetect:i:1",
        "bandwidthautodetect:i:1", "displayconnectionbar:i:1", "enableworkspacereconnect:i:0",
        "disable wallpaper:i:0", "allow desktop composition:i:0", "disable full window drag:i:1",
        "disable menu anims:i:1", "disable themes:i:0", "disable cursor setting:i:0",
        "bitmapcachepersistenable:i:1", "audiomode:i:0", "autoreconnection enabled:i:1",
        "prompt for credentials:i:0", "negotiate security layer:i:1", "remoteapplicationicon:s:",
        "shell working directory:s:", "gatewaybrokeringtype:i:0", "use redirection server name:i:0",
        "rdgiskdcproxy:i:0", "kdcproxyname:s:", "desktopwidth:i:800", "desktopheight:i:600",
    ]
    assert len(lines) == 56
    return "".join(line + "\r\n" for line in lines).encode("ascii")


check = Checks()


def programs(run):
    return [(start["program"], start["args"]) for start in run.starts]


def desktop_listing(session):
    return sorted(p.name for p in session.desktop.iterdir())


def credential_starts(host, user, password):
    return [("cmdkey", [f"/delete:termsrv/{host}"]),
            ("cmdkey", [f"/generic:termsrv/{host}", f"/user:{user}", f"/pass:{password}"])]


def expect_connection(session, label, name, key, user="anna", password="secret", folder="Downloads",
                      placed=None):
    """Launches NAME (a fresh copy in FOLDER, or the file PLACED) and checks a
    whole successful run."""
    display, alias, server, port = CATALOGUE[key]
    host = SERVER[server]
    expected_file = session.desktop / f"{display}.rdp"
    expected_file.unlink(missing_ok=True)  # so that only this run can have written it
    run = session.launch(placed or session.place_launcher(launcher, name, folder))
    rdp_windows = session.windows_path(session.desktop / f"{display}.rdp")
    check(f"{label}: exit code 0", 0, run.status)
    check(f"{label}: no message box", [], run.boxes)
    check(f"{label}: cmdkey twice, then the client on the Desktop file",
          credential_starts(host, user, password) + [("mstsc", [rdp_windows])], programs(run))
    if len(run.starts) == 3:
        check(f"{label}: the client's parameter is the quoted path", True,
              run.starts[2]["raw"].endswith(f' "{rdp_windows}"'))
        check(f"{label}: the client found the complete file", connection_file(host, port, alias),
              bytes.fromhex(run.starts[2]["file_hex"]))
    check(f"{label}: the file stays on the Desktop under its Cyrillic name", connection_file(host, port, alias),
          expected_file.read_bytes() if expected_file.exists() else None)
    return run


def expect_rename_only(session, name):
    before = desktop_listing(session)
    run = session.launch(session.place_launcher(launcher, name))
    check(f"{name}: exit code 0", 0, run.status)
    check(f"{name}: only the rename message", [(CAPTION, RENAME_TEXT)], [(b.caption, b.text) for b in run.boxes])
    check(f"{name}: nothing started", [], programs(run))
    check(f"{name}: nothing written", before, desktop_listing(session))


def build_variant(scratch, switch):
    """The launcher built with one extra-profile switch on."""
    build = Path(scratch) / f"switch{switch}"
    subprocess.run(["cmake", "-S", source_dir, "-B", str(build), "-G", "Ninja", "-Wno-dev",
                    f"-DCMAKE_TOOLCHAIN_FILE={source_dir}/cmake/i686-w64-mingw32.cmake",
                    "-DCMAKE_BUILD_TYPE=MinSizeRel", "-DBUILD_TESTING=OFF",
                    f"-DKOBAX_EXTRA_PROJECT_PROFILE_{switch}=ON",
                    *[f"-DKOBAX_SERVER_{n}={SERVER[n]}" for n in SERVER]],
                   check=True, capture_output=True)
    subprocess.run(["cmake", "--build", str(build), "-j2", "--target", "kobax-launcher"],
                   check=True, capture_output=True)
    return build / "kobax-launcher.exe"


def main():
    with tempfile.TemporaryDirectory(prefix="kobax-variants.") as variants:
        switch_builds = {n: build_variant(variants, n) for n in (1, 2)}
        with WineSession(standins) as session:
            run_scenarios(session, switch_builds)
    return check.summary()


def run_scenarios(session, switch_builds):
    for key in CATALOGUE:
        expect_connection(session, f"row {key!r}", f"{key}$anna$secret$.exe", key)
    session.launch(session.place_launcher(launcher, "KOBAX_8_Online$anna$secret$.exe"))
    session.launch(session.place_launcher(launcher, "KOBAX_8_$anna$secret$.exe"))
    check("rows 2 and 3 share one file: the last run decides its port",
          connection_file(SERVER[1], "3397", "KOBAX8"), (session.desktop / "КОВАХ 8 Онлайн.rdp").read_bytes())

    for name in ["KOBAX_8$anna$secret.exe", "KOBAX_8.exe", "$anna$secret$.exe", "KOBAX_8$$secret$.exe",
                 "kobax_8$anna$secret$.exe", "KOBAX_VEL_ZU_Online$anna$secret$.exe",
                 "KOBAX_9$anna$secret$.exe"]:
        expect_rename_only(session, name)

    expect_connection(session, "copy-number tail", "KOBAX_8$anna$secret$ (2).exe", "KOBAX_8")
    run = expect_connection(session, "blanks and Cyrillic", "KOBAX_TM_Free$Анна Петрова$пароль с пробелом$.exe",
                            "KOBAX_TM_Free", user="Анна Петрова", password="пароль с пробелом")
    check("blanks and Cyrillic: cmdkey's raw command line quotes them", True,
          run.starts[1]["raw"].endswith(' /user:"Анна Петрова" /pass:"пароль с пробелом"'))
    expect_connection(session, "a folder with '$' in its name", "KOBAX_VEL_TN$anna$secret$.exe", "KOBAX_VEL_TN",
                      folder="Downloads/x$y$z$")

    # A full path past 260 characters: a MAX_PATH buffer would cut the name.
    deep = "Downloads/" + "/".join(f"папка-с-длинным-именем-{i}" for i in range(11))
    check("the long path is longer than 260 characters", True,
          len(f"C:\\users\\Public\\{deep}\\KOBAX_8$anna$secret$.exe") > 260)
    expect_connection(session, "a path of more than 260 characters", "KOBAX_8$anna$secret$.exe", "KOBAX_8",
                      folder=deep)

    # Windows XP: the credentials are shown, not stored.
    name = "KOBAX_TM$olga$pa ss$.exe"
    session.set_windows_version(name, "winxp")
    run = session.launch(session.place_launcher(launcher, name))
    rdp = session.desktop / "KOBAX TM.rdp"
    check("Windows XP: exit code 0", 0, run.status)
    check("Windows XP: the credentials message", [(CAPTION, "Для подключения используйте имя пользователя - olga "
                                                             "и пароль pa ss")],
          [(b.caption, b.text) for b in run.boxes])
    check("Windows XP: no cmdkey, the client on the file", [("mstsc", [session.windows_path(rdp)])], programs(run))
    check("Windows XP: the file written", connection_file(SERVER[2], "43389", "KOBAX_TM"), rdp.read_bytes())

    # A folder where the file must go: nothing may replace it.
    blocked = session.desktop / "КОВАХ ВЕЛ.rdp"
    blocked.unlink()
    blocked.mkdir()
    (blocked / "keep.txt").write_bytes(b"keep")
    name = "KOBAX_VEL_ZU$anna$secret$.exe"
    before = desktop_listing(session)
    run = session.launch(session.place_launcher(launcher, name))
    check("unwritable file: exit code 1", 1, run.status)
    boxes = [(b.caption, re.sub(r" at [0-9A-F]{8}\.", " at XXXXXXXX.", b.text)) for b in run.boxes]
    check("unwritable file: the Application Error box",
          [("Application Error", f"Exception EInOutError in module {name} at XXXXXXXX.\r\nFile access denied.\r\n")],
          boxes)
    check("unwritable file: credentials stored, client never started",
          credential_starts(SERVER[1], "anna", "secret"), programs(run))
    check("unwritable file: what was there is untouched, no temporary file left",
          (before, b"keep"), (desktop_listing(session), (blocked / "keep.txt").read_bytes()))
    shutil.rmtree(blocked)

    # The client ends with 259, the value a status poll mistakes for "still running".
    run = session.launch(session.place_launcher(launcher, "KOBAX_8$anna$secret$.exe"), client_exit_code=259,
                         timeout=30)
    check("client exiting with 259: the launcher ends by itself", 0, run.status)

    # A client that stays for a while: the launcher waits, and idles meanwhile.
    run = session.launch(session.place_launcher(launcher, "KOBAX_8$anna$secret$.exe"),
                         client_milliseconds=4000, measure_cpu=True)
    check("long client: the launcher waited for it", True, run.status == 0 and run.seconds >= 4)
    print(f"figure: launcher CPU while the client ran ~3 s: {run.cpu_seconds} s")

    # Build switches: the extra file appears only after the client has ended.
    project = "MSProject Online.rdp"
    for switch, server in ((1, 4), (2, 1)):
        label = f"ExtraProjectProfile{switch}"
        (session.desktop / project).unlink(missing_ok=True)
        run = session.launch(session.place_launcher(switch_builds[switch], "KOBAX_8$anna$secret$.exe"))
        check(f"{label}: exit code 0", 0, run.status)
        check(f"{label}: not there while the client ran", False,
              project in (run.starts[-1]["folder"] if run.starts else [project]))
        written = session.desktop / project
        check(f"{label}: written after it, for server {server}", connection_file(SERVER[server], "3397", "MSProj"),
              written.read_bytes() if written.exists() else None)

    # kobax-personalize.exe issues a copy under Windows, and that copy runs.
    downloads = session.prefix / "drive_c" / "users" / "Public" / "Issued"
    downloads.mkdir(parents=True, exist_ok=True)
    tool = session.place_launcher(personalize, "kobax-personalize.exe", "Tools")
    source = session.place_launcher(launcher, "kobax-launcher.exe", "Tools")
    issued = subprocess.run(["wine", str(tool), "--launcher", session.windows_path(source), "--product",
                             "KOBAX_VEL_ZU", "--user", "Ирина", "--password", "p w", "--out",
                             session.windows_path(downloads)],
                            env=session.env, capture_output=True, timeout=120)
    name = "KOBAX_VEL_ZU$Ирина$p w$.exe"
    check("kobax-personalize.exe: prints the copy's path",
          (0, session.windows_path(downloads / name) + "\n"),
          (issued.returncode, issued.stdout.decode("utf-8", "replace").replace("\r\n", "\n")))
    check("kobax-personalize.exe: the copy is byte-identical", Path(launcher).read_bytes(),
          (downloads / name).read_bytes() if (downloads / name).exists() else None)
    if (downloads / name).exists():
        expect_connection(session, "issued copy", name, "KOBAX_VEL_ZU", user="Ирина", password="p w",
                          placed=downloads / name)

    # No client at all: Windows reports it, the launcher does not wait.
    (session.system32 / "mstsc.exe").unlink()
    run = session.launch(session.place_launcher(launcher, "KOBAX_8$anna$secret$.exe"), timeout=30)
    check("missing client: exit code 0", 0, run.status)
    check("missing client: credentials stored, nothing else started",
          credential_starts(SERVER[1], "anna", "secret"), programs(run))
    check("missing client: only Windows' own error box", ["Error"], [b.caption for b in run.boxes])


if __name__ == "__main__":
    sys.exit(main())
