#!/usr/bin/env python3
"""Inspects the built Windows launcher with Debian's binary tools (objdump,
wrestool): the image format, its imports and security flags, the icon group,
the version resource and the manifest; and the imports and subsystem of
kobax-personalize.exe. Usage: inspect_exe.py LAUNCHER.exe PERSONALIZE.exe"""

import re
import struct
import subprocess
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent))
from checks import Checks  # noqa: E402

# DLLs Windows always loads from its own folder, whatever the current one.
KNOWN_DLLS = {"kernel32.dll", "user32.dll", "shell32.dll", "advapi32.dll", "msvcrt.dll",
              "gdi32.dll", "ole32.dll", "comdlg32.dll"}
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"

check = Checks()


def run(*command):
    return subprocess.run(command, check=True, capture_output=True).stdout


def resource(exe, type_id, name):
    return run("wrestool", "-x", "--raw", f"--type={type_id}", f"--name={name}", exe)


def imports(exe):
    """(dll, function) pairs from objdump's import table listing."""
    pairs, dll = set(), None
    for line in run("i686-w64-mingw32-objdump", "-p", exe).decode().splitlines():
        if m := re.match(r"\tDLL Name: (\S+)", line):
            dll = m.group(1).lower()
        elif dll and (m := re.match(r"\t[0-9a-f]+\t +\d+ +(\S+)", line)):
            pairs.add((dll, m.group(1)))
        elif not line.strip():
            dll = None
    return pairs


def version_blocks(data, offset=0, end=None):
    """Walks a VS_VERSIONINFO tree: yields (key, value bytes, value type,
    children offset, block end) for each block, depth first."""
    end = len(data) if end is None else end
    while offset + 6 <= end:
        length, value_length, value_type = struct.unpack_from("<HHH", data, offset)
        if length == 0:
            break
        key_end = data.index(b"\0\0", offset + 6)
        while (key_end - offset - 6) % 2:
            key_end = data.index(b"\0\0", key_end + 1)
        key = data[offset + 6:key_end].decode("utf-16-le")
        value_start = (key_end + 2 + 3) & ~3
        value_bytes = value_length * (2 if value_type == 1 else 1)
        value = data[value_start:value_start + value_bytes]
        children = (value_start + value_bytes + 3) & ~3
        yield key, value, value_type
        yield from version_blocks(data, children, offset + length)
        offset = (offset + length + 3) & ~3


def check_imports(label, exe):
    found = imports(exe)
    dlls = {dll for dll, _ in found}
    check(f"{label}: imports only system DLLs loaded from the system folder", set(), dlls - KNOWN_DLLS)
    check(f"{label}: no shfolder.dll, libstdc++, libgcc or winpthread DLL", set(),
          {d for d in dlls if re.match(r"shfolder|libstdc|libgcc|libwinpthread", d)})
    allowed = {tuple(line.split()) for line in (HERE / "xp-imports.txt").read_text().splitlines()
               if line and not line.startswith("#")}
    check(f"{label}: every imported function exists on Windows XP", set(), found - allowed)


def main(exe, personalize):
    headers = run("i686-w64-mingw32-objdump", "-p", exe).decode()
    check("32-bit x86 PE image", True, "file format pei-i386" in headers)
    check("GUI subsystem", True, bool(re.search(r"Subsystem\s+00000002", headers)))
    flags = int(re.search(r"DllCharacteristics\s+([0-9a-f]+)", headers).group(1), 16)
    check("ASLR (dynamic base) and DEP (NX compatible)", (0x40, 0x100), (flags & 0x40, flags & 0x100))
    check("relocations kept for ASLR", True, ".reloc" in run("i686-w64-mingw32-objdump", "-h", exe).decode())
    check("no time stamp in the image", True, "Time/Date\t\tThu Jan  1 00:00:00 1970" in headers)
    check("loadable by XP (subsystem version at most 5.1)", True,
          int(re.search(r"MajorSubsystemVersion\s+(\d+)", headers).group(1)) <= 5)

    check_imports("launcher", exe)

    group = resource(exe, 14, "MAINICON")
    _, kind, count = struct.unpack_from("<HHH", group, 0)
    check("icon group MAINICON with eight images", (1, 8), (kind, count))
    sizes = []
    for i in range(count):
        width, height, _, _, _, bits, _, icon_id = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
        image = resource(exe, 3, icon_id)
        size = width or 256
        if image.startswith(PNG_SIGNATURE):
            png_width, png_height = struct.unpack_from(">II", image, 16)
            png_depth, png_color = image[24], image[25]
            sizes.append((size, "png", png_width, png_height, png_depth * 4 if png_color == 6 else png_depth))
        else:
            header_size, bmp_width, bmp_height, _, bmp_bits = struct.unpack_from("<IiiHH", image, 0)
            sizes.append((size, "bmp", bmp_width, bmp_height // 2, bmp_bits))
        check(f"icon {size}: group entry says 32 bits", 32, bits)
    check("icon images: 256 as 32-bit PNG, the rest as 32-bit bitmaps",
          [(256, "png", 256, 256, 32)] + [(s, "bmp", s, s, 32) for s in (64, 48, 40, 32, 24, 20, 16)],
          sizes)

    version = resource(exe, 16, 1)
    fixed = version.index(struct.pack("<I", 0xFEEF04BD))
    file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<IIII", version, fixed + 8)
    as_text = lambda ms, ls: f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"
    check("file and product version", ("1.0.0.0", "1.0.0.0"),
          (as_text(file_ms, file_ls), as_text(product_ms, product_ls)))
    blocks = list(version_blocks(version))
    keys = [key for key, _, _ in blocks]
    check("string table for Russian, code page 1251", True, "041904E3" in keys)
    translation = next(value for key, value, _ in blocks if key == "Translation")
    check("translation entry Russian, 1251", (0x0419, 1251), struct.unpack("<HH", translation))
    strings = {key: value.decode("utf-16-le").rstrip("\0") for key, value, kind in blocks if kind == 1}
    check("the usual string entries are there", set(),
          {"CompanyName", "FileDescription", "InternalName", "OriginalFilename", "ProductName"} - set(strings))
    check("version strings: the versions, everything else empty",
          {"FileVersion": "1.0.0.0", "ProductVersion": "1.0.0.0"},
          {key: text for key, text in strings.items() if text})
    languages = re.findall(r"--type=16 --name=1 --language=(\d+)", run("wrestool", "-l", exe).decode())
    check("version resource in Russian (1049)", ["1049"], languages)

    manifest = resource(exe, 24, 1).decode()
    check("manifest runs as invoker", True, 'level="asInvoker"' in manifest)
    check("manifest names Windows 10", True, "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}" in manifest)
    check("manifest asks for common controls 6", True, "Microsoft.Windows.Common-Controls" in manifest)

    tool_headers = run("i686-w64-mingw32-objdump", "-p", personalize).decode()
    check("kobax-personalize: console subsystem", True, bool(re.search(r"Subsystem\s+00000003", tool_headers)))
    check_imports("kobax-personalize", personalize)

    for path in (exe, personalize):
        print(f"{Path(path).name}: {Path(path).stat().st_size} bytes")
    return check.summary()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
