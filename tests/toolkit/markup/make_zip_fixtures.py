#!/usr/bin/env python3
"""Writes the zip archives made by Python's zipfile that the zip reader's tests
read, the files they hold (under expected/), and the folder cmake_src/ that the
build then packs with CMake's archiver (cmake/MakeZip.cmake)."""
import os
import random
import shutil
import sys
import zipfile

out = sys.argv[1]
rng = random.Random(20260101)

# Names and contents shared by the archives: text that deflates well, bytes
# that do not (several 16 KiB input buffers long), and an empty file.
text = "".join("line %05d of the skin text\r\n" % i for i in range(4000)).encode("ascii")
noise = bytes(rng.getrandbits(8) for _ in range(70000))
files = [("dir/text.txt", text), ("dir/noise.bin", noise), ("empty.txt", b""),
         ("Img/Logo.PNG", b"\x89PNG fake picture bytes")]


def write_expected():
    base = os.path.join(out, "expected")
    for name, data in files:
        path = os.path.join(base, *name.split("/"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)


def write_python_zip(name, method, comment):
    with zipfile.ZipFile(os.path.join(out, name), "w", compression=method) as z:
        for folder in ("dir/", "Img/"):
            info = zipfile.ZipInfo(folder, date_time=(2020, 5, 17, 10, 20, 30))
            info.external_attr = 0x10
            z.writestr(info, b"")
        for entry, data in files:
            info = zipfile.ZipInfo(entry, date_time=(2020, 5, 17, 10, 20, 30))
            info.compress_type = method
            z.writestr(info, data)
        z.comment = comment


def write_cmake_source():
    base = os.path.join(out, "cmake_src")
    shutil.rmtree(base, ignore_errors=True)
    for name, data in files:
        path = os.path.join(base, *name.split("/"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    os.makedirs(os.path.join(base, "emptydir"), exist_ok=True)


os.makedirs(out, exist_ok=True)
write_expected()
write_python_zip("python_stored.zip", zipfile.ZIP_STORED, b"")
# The comment carries an end-record signature so that a naive backward scan stops too early.
write_python_zip("python_deflated.zip", zipfile.ZIP_DEFLATED,
                 b"archive comment PK\x05\x06 with a false end record inside")
write_cmake_source()
