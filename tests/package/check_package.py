#!/usr/bin/env python3
"""Checks the release zip: its two files, and that the program in it is the 32-bit build that
imports only Windows' own DLLs. Ends with 'N passed, N failed'."""
import struct
import subprocess
import sys
import zipfile

zip_path, program_path = sys.argv[1:3]
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "comctl32.dll",
               "advapi32.dll", "msvcrt.dll", "version.dll", "imm32.dll"}
results = []


def check(name, ok, detail=""):
    results.append(ok)
    print(("ok    " if ok else "FAIL  ") + name + ("" if ok else ": " + detail))


archive = zipfile.ZipFile(zip_path)
names = sorted(archive.namelist())
check("the zip holds the program and the read-me", names == ["Perchette.exe", "README-ja.txt"], str(names))
program = archive.read("Perchette.exe")
check("the program is the release build", program == open(program_path, "rb").read())

pe = struct.unpack_from("<I", program, 0x3C)[0]
machine = struct.unpack_from("<H", program, pe + 4)[0]
subsystem = struct.unpack_from("<H", program, pe + 24 + 68)[0]
check("the program is 32-bit x86", machine == 0x14C, hex(machine))
check("the program is a windowed program", subsystem == 2, str(subsystem))

dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", program_path], capture_output=True,
                      text=True, check=True).stdout
dlls = {line.split("DLL Name:")[1].strip().lower() for line in dump.splitlines() if "DLL Name:" in line}
check("the program imports only system DLLs", dlls and dlls <= SYSTEM_DLLS, str(sorted(dlls)))

readme = archive.read("README-ja.txt")
text = readme.decode("utf-8-sig")
check("the read-me is Japanese text with CR LF line ends",
      readme.startswith(b"\xef\xbb\xbf") and "\r\n" in text and "Perchette.INI" in text
      and "終了" in text and "削除" in text)

passed = sum(results)
print(f"{passed} passed, {len(results) - passed} failed")
sys.exit(0 if passed == len(results) else 1)
