#!/usr/bin/env python3
"""Makes the reader's test archives in a folder, with real tools: Info-ZIP zip, Python's
zipfile, and damaged copies of both. Writes manifest.txt, one archive per line:

    file|outcome of opening|index=outcome,... (entries not listed must read as Ok)|minizip

where the last field says whether libminizip must also fail on each failing entry ("agree"),
may read it ("lenient", for damage that libminizip does not look for), or cannot open the
archive at all ("refuses")."""

import io
import os
import random
import shutil
import struct
import subprocess
import sys
import zipfile

out = os.path.abspath(sys.argv[1])
os.makedirs(out, exist_ok=True)
rng = random.Random(20261211)
manifest = []


def note(name, opened="Ok", entries=None, minizip="agree"):
    listed = ",".join(f"{i}={o}" for i, o in sorted((entries or {}).items()))
    manifest.append(f"{name}|{opened}|{listed}|{minizip}")


def text(n):
    words = ["dusk", "reign", "korvane", "client", "payload", "zip", "inflate", "window", "\n"]
    parts = []
    size = 0
    while size < n:
        w = rng.choice(words)
        parts.append(w)
        size += len(w) + 1
    return (" ".join(parts))[:n].encode()


# A tree of files for Info-ZIP.
tree = os.path.join(out, "tree")
shutil.rmtree(tree, ignore_errors=True)
os.makedirs(os.path.join(tree, "sub", "deeper"))
os.makedirs(os.path.join(tree, "emptydir"))
with open(os.path.join(tree, "text.txt"), "wb") as f:
    f.write(text(200_000))
with open(os.path.join(tree, "random.bin"), "wb") as f:
    f.write(rng.randbytes(70_000))
open(os.path.join(tree, "empty.txt"), "wb").close()
with open(os.path.join(tree, "sub", "deeper", "small.txt"), "wb") as f:
    f.write(b"small\n")
with open(os.path.join(tree, "sub", "\u6e38\u620f.txt"), "wb") as f:
    f.write("\u6e38\u620f\n".encode())
os.utime(os.path.join(tree, "text.txt"), (1_600_000_000, 1_500_000_000))
os.utime(os.path.join(tree, "sub", "deeper", "small.txt"), (946_684_800, 946_684_800))
os.chmod(os.path.join(tree, "empty.txt"), 0o444)

env = dict(os.environ, LC_ALL="C.UTF-8")


def zip_tool(name, *args, stdin=None, pipe=False):
    target = os.path.join(out, name)
    if os.path.exists(target):
        os.remove(target)
    if pipe:
        # Written to a pipe, zip cannot seek back: sizes go into data descriptors.
        data = subprocess.run(["zip", "-q", *args], cwd=tree, env=env, input=stdin,
                              stdout=subprocess.PIPE, check=True).stdout
        with open(target, "wb") as f:
            f.write(data)
    else:
        subprocess.run(["zip", "-q", target, *args], cwd=tree, env=env, input=stdin, check=True)
    return target


zip_tool("iz_deflate.zip", "-r", ".")
note("iz_deflate.zip")
zip_tool("iz_stored.zip", "-r", "-0", ".")
note("iz_stored.zip")
zip_tool("iz_noextra.zip", "-r", "-X", ".")
note("iz_noextra.zip")
zip_tool("iz_pipe.zip", "-", "-r", ".", pipe=True)
note("iz_pipe.zip")
zip_tool("iz_stdin.zip", "-", "-", stdin=text(50_000), pipe=True)
note("iz_stdin.zip")
zip_tool("iz_stdin_fz.zip", "-fz-", "-", "-", stdin=b"data\n", pipe=True)
note("iz_stdin_fz.zip")
shutil.rmtree(tree)

# Python's zipfile.


def entry(name, date_time, system, attr, method=zipfile.ZIP_DEFLATED):
    info = zipfile.ZipInfo(name, date_time)
    info.create_system = system
    info.external_attr = attr
    info.compress_type = method
    return info


def py_dos(path):
    with zipfile.ZipFile(path, "w") as z:
        z.writestr(entry("plain.txt", (2019, 6, 30, 23, 59, 58), 0, 0x20), text(5000))
        z.writestr(entry("readonly.txt", (1980, 1, 1, 0, 0, 0), 0, 0x21), b"ro\n")
        z.writestr(entry("hidden.sys", (2107, 12, 31, 12, 0, 0), 0, 0x26, zipfile.ZIP_STORED), b"hs")
        z.writestr(entry("folder/", (2020, 2, 29, 10, 20, 30), 0, 0x10, zipfile.ZIP_STORED), b"")
        z.writestr(entry("folder/in.txt", (2020, 2, 29, 10, 20, 30), 0, 0x20), text(20_000))
        z.writestr(entry("empty.dat", (2001, 9, 9, 1, 46, 40), 0, 0x20), b"")


def py_unix(path):
    with zipfile.ZipFile(path, "w") as z:
        z.writestr(entry("rw.txt", (2022, 3, 4, 5, 6, 8), 3, 0o100644 << 16), text(3000))
        z.writestr(entry("ro.txt", (2022, 3, 4, 5, 6, 8), 3, 0o100444 << 16, zipfile.ZIP_STORED), b"ro")
        z.writestr(entry("dir/", (2022, 3, 4, 5, 6, 8), 3, (0o40755 << 16) | 0x10, zipfile.ZIP_STORED), b"")
        z.writestr(entry("exe", (2022, 3, 4, 5, 6, 8), 3, 0o100755 << 16), rng.randbytes(1000))


py_dos(os.path.join(out, "py_dos.zip"))
note("py_dos.zip")
py_unix(os.path.join(out, "py_unix.zip"))
note("py_unix.zip")

with zipfile.ZipFile(os.path.join(out, "py_large.zip"), "w") as z:
    big = b"".join(text(4096) + rng.randbytes(1024) for _ in range(1600))
    z.writestr(entry("big.bin", (2024, 1, 2, 3, 4, 6), 0, 0x20), big)
    z.writestr(entry("big-stored.bin", (2024, 1, 2, 3, 4, 6), 0, 0x20, zipfile.ZIP_STORED), big[:3_000_000])
note("py_large.zip")


class Unseekable(io.RawIOBase):
    """A write-only stream without seek or tell, like a pipe."""

    def __init__(self):
        self.data = bytearray()

    def writable(self):
        return True

    def write(self, b):
        self.data += b
        return len(b)


stream = Unseekable()
with zipfile.ZipFile(stream, "w") as z:
    z.writestr(entry("streamed.txt", (2023, 7, 8, 9, 10, 12), 3, 0o100644 << 16), text(40_000))
    with z.open(entry("written.bin", (2023, 7, 8, 9, 10, 12), 0, 0x20, zipfile.ZIP_STORED), "w") as w:
        w.write(rng.randbytes(5000))
with open(os.path.join(out, "py_stream.zip"), "wb") as f:
    f.write(stream.data)
note("py_stream.zip")

zipfile.ZipFile(os.path.join(out, "py_zero.zip"), "w").close()
# libminizip never finds an end record at offset 0, so it cannot open an empty archive.
note("py_zero.zip", minizip="refuses")

with zipfile.ZipFile(os.path.join(out, "py_comment.zip"), "w") as z:
    z.comment = b"archive comment"
    z.writestr(entry("c.txt", (2010, 10, 10, 10, 10, 10), 0, 0x20), b"commented\n")
note("py_comment.zip")

# A stub in front of the archive, as self-extracting programs have.
with open(os.path.join(out, "py_dos.zip"), "rb") as f:
    dos = f.read()
with open(os.path.join(out, "prefixed.zip"), "wb") as f:
    f.write(b"MZ" + bytes(4094) + dos)
note("prefixed.zip")

# Damaged copies. Offsets come from walking the records of the undamaged bytes.


def records(data):
    end = data.rfind(b"PK\x05\x06")
    count, cd_size, cd_off = struct.unpack_from("<HII", data, end + 10)
    central = []
    pos = cd_off
    for _ in range(count):
        n, m, k = struct.unpack_from("<HHH", data, pos + 28)
        local = struct.unpack_from("<I", data, pos + 42)[0]
        ln, lm = struct.unpack_from("<HH", data, local + 26)
        central.append({"cd": pos, "local": local, "data": local + 30 + ln + lm,
                        "csize": struct.unpack_from("<I", data, pos + 20)[0]})
        pos += 46 + n + m + k
    return end, central


def damaged(name, data, opened="Ok", entries=None, minizip="agree"):
    with open(os.path.join(out, name), "wb") as f:
        f.write(data)
    note(name, opened, entries, minizip)


end, rec = records(dos)
# Entries of py_dos: 0 plain (deflate), 1 readonly, 2 hidden.sys (stored), 3 folder/,
# 4 folder/in.txt, 5 empty.dat.
d = bytearray(dos)
d[rec[0]["data"] + rec[0]["csize"] // 2] ^= 0x55
d[rec[2]["data"]] ^= 0x01
damaged("bad_crc.zip", bytes(d), entries={0: "BadData", 2: "BadData"})

# libminizip opens an archive whose end record lost its last byte (the comment length).
damaged("cut_end.zip", dos[:-1], opened="Truncated", minizip="lenient")
for cut in (len(dos) - 12, rec[3]["cd"] + 20, rec[4]["data"] + 100, 40, 4):
    damaged(f"cut_{cut}.zip", dos[:cut], opened="Truncated")
damaged("cut_0.zip", b"", opened="NotAnArchive")
damaged("not_zip.zip", text(3000), opened="NotAnArchive")

d = bytearray(dos)
d[rec[1]["local"] + 30] ^= 0x20  # one letter of the local name changes case
damaged("local_name.zip", bytes(d), entries={1: "LocalHeaderMismatch"}, minizip="lenient")
d = bytearray(dos)
struct.pack_into("<H", d, rec[4]["local"] + 8, 0)  # local says stored, directory says deflate
damaged("local_method.zip", bytes(d), entries={4: "LocalHeaderMismatch"})
d = bytearray(dos)
d[rec[0]["local"]] = ord("X")  # local signature destroyed
damaged("local_sig.zip", bytes(d), entries={0: "LocalHeaderMismatch"})

d = bytearray(dos)
for i in (0, 4):
    struct.pack_into("<H", d, rec[i]["cd"] + 8, struct.unpack_from("<H", d, rec[i]["cd"] + 8)[0] | 1)
    struct.pack_into("<H", d, rec[i]["local"] + 6, struct.unpack_from("<H", d, rec[i]["local"] + 6)[0] | 1)
damaged("encrypted.zip", bytes(d), entries={0: "Encrypted", 4: "Encrypted"}, minizip="lenient")

d = bytearray(dos)  # compressed size far past the end, in both headers
struct.pack_into("<I", d, rec[4]["cd"] + 20, 0x7FFFFFF0)
struct.pack_into("<I", d, rec[4]["local"] + 18, 0x7FFFFFF0)
damaged("huge_csize.zip", bytes(d), entries={4: "Truncated"})
d = bytearray(dos)  # uncompressed size larger than the data inflates to
struct.pack_into("<I", d, rec[0]["cd"] + 24, 0x7FFFFFF0)
struct.pack_into("<I", d, rec[0]["local"] + 22, 0x7FFFFFF0)
damaged("huge_usize.zip", bytes(d), entries={0: "BadData"}, minizip="lenient")  # it checks no sizes
d = bytearray(dos)  # uncompressed size smaller than the data inflates to
struct.pack_into("<I", d, rec[0]["cd"] + 24, 100)
struct.pack_into("<I", d, rec[0]["local"] + 22, 100)
damaged("small_usize.zip", bytes(d), entries={0: "BadData"})
d = bytearray(dos)
struct.pack_into("<I", d, rec[5]["cd"] + 42, 0x7FFFFFF0)
damaged("huge_local_offset.zip", bytes(d), entries={5: "Truncated"})
d = bytearray(dos)
struct.pack_into("<I", d, rec[2]["cd"] + 42, 0xFFFFFFFF)
damaged("zip64_entry.zip", bytes(d), entries={2: "Unsupported"})
d = bytearray(dos)
struct.pack_into("<H", d, rec[0]["local"] + 28, 0xFFFF)  # local extra length past the end
damaged("huge_local_extra.zip", bytes(d), entries={0: "Truncated"})
d = bytearray(dos)
struct.pack_into("<I", d, end + 16, 0x7FFFFFF0)
damaged("huge_cd_offset.zip", bytes(d), opened="Truncated")
# A well-formed Zip64 end record and locator in front of an end record full of markers.
cd_size = end - rec[0]["cd"]
z64 = struct.pack("<IQHHIIQQQQ", 0x06064b50, 44, 45, 45, 0, 0, len(rec), len(rec), cd_size, rec[0]["cd"])
loc = struct.pack("<IIQI", 0x07064b50, 0, end, 1)
eocd = struct.pack("<IHHHHIIH", 0x06054b50, 0, 0, 0xFFFF, 0xFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0)
damaged("zip64_end.zip", dos[:end] + z64 + loc + eocd, opened="Unsupported", minizip="lenient")
d = bytearray(dos)
struct.pack_into("<H", d, rec[5]["cd"] + 28, 0xFFFF)  # last name runs past the end
damaged("huge_name.zip", bytes(d), opened="Ok", entries={5: "Truncated"}, minizip="lenient")
d = bytearray(dos)
struct.pack_into("<HH", d, end + 8, 7, 7)  # more entries than the directory holds
damaged("count_too_big.zip", bytes(d), opened="Ok", entries={6: "NotAnArchive"})
d = bytearray(dos)
struct.pack_into("<H", d, rec[1]["cd"] + 10, 12)  # an unknown method (bzip2)
struct.pack_into("<H", d, rec[1]["local"] + 8, 12)
damaged("method_bzip2.zip", bytes(d), entries={1: "Unsupported"}, minizip="lenient")  # read as stored

with open(os.path.join(out, "manifest.txt"), "w") as f:
    f.write("\n".join(manifest) + "\n")
