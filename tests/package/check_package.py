#!/usr/bin/env python3
"""Checks the release zip: its two files, that the program in it is the 32-bit build that
imports only Windows' own DLLs, that the release is reproducible (no link time, fixed entry times,
the same bytes from a second build) and that SHA256SUMS beside the zip holds the right sums.
Usage: check_package.py ZIP PROGRAM [PROGRAM_BUILT_ELSEWHERE]. Ends with 'N passed, N failed'."""
import array
import hashlib
import os
import struct
import subprocess
import sys
import zipfile

zip_path, program_path = sys.argv[1:3]
second_build = sys.argv[3] if len(sys.argv) > 3 else None
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


def pe_checksum(data, field):
    """The image checksum as the loader's CheckSumMappedFile computes it: 16-bit words added with
    end-around carry, the checksum field itself left out, plus the file's length."""
    words = array.array("H", (data + b"\0" * (len(data) % 2))[:])
    words[field // 2] = words[field // 2 + 1] = 0
    total = 0
    for word in words:
        total += word
        total = (total & 0xFFFF) + (total >> 16)
    return (total + len(data)) & 0xFFFFFFFF


stamp = struct.unpack_from("<I", program, pe + 8)[0]
check("the program carries no link time", stamp == 0, hex(stamp))
checksum_field = pe + 24 + 64
checksum = struct.unpack_from("<I", program, checksum_field)[0]
check("the program's checksum follows from its bytes", checksum == pe_checksum(program, checksum_field),
      f"{checksum:#x}, computed {pe_checksum(program, checksum_field):#x}")
times = {info.date_time for info in archive.infolist()}
check("the zip's entries have one fixed time", times == {(2026, 1, 1, 0, 0, 0)}, str(times))
if second_build:
    check("a build in another folder gives the same program",
          open(second_build, "rb").read() == open(program_path, "rb").read())

beside = os.path.join(os.path.dirname(zip_path), "Perchette.exe")
check("the program beside the zip is the one in it",
      os.path.exists(beside) and open(beside, "rb").read() == program)
sums_path = os.path.join(os.path.dirname(zip_path), "SHA256SUMS")
listed = {}
if os.path.exists(sums_path):
    for line in open(sums_path, encoding="ascii"):
        digest, name = line.rstrip("\n").split("  ", 1)
        listed[name] = digest
actual = {os.path.basename(zip_path): hashlib.sha256(open(zip_path, "rb").read()).hexdigest(),
          "Perchette.exe": hashlib.sha256(program).hexdigest()}
check("SHA256SUMS holds the sums of the zip and the program", listed == actual,
      f"listed {listed}, actual {actual}")

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
