#!/usr/bin/env python3
"""End-to-end installation under Wine, in the prefix that run_e2e_install.sh prepared.

    e2e_install.py <work folder> <dusksetup.exe> <link reader.exe> <payload.zip>

Runs the built installer saved as "zc17_setup.exe" with the usage reports going to the
platform simulator, and checks what it leaves behind: the payload files with the archive's
times, static.ini byte for byte, the uninstall entry, the shortcuts and their targets,
remtrack.xml byte for byte, the reports of each run, that the client is started once and not
again while it runs, and the client's own first-run rewrite of static.ini. A later run as a
Windows 10 program (no task-bar pin) and without the start menu's "程序" folder, one as
"_9.exe" (an empty channel code), and finally the removal tool, follow in the same prefix.
"""
import os
import re
import shutil
import subprocess
import sys
import time
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools"))
import simlib  # noqa: E402

WORK, SETUP_EXE, READER_EXE, PAYLOAD_ZIP = sys.argv[1:5]
PREFIX = os.environ["WINEPREFIX"]
DRIVE_C = os.path.join(PREFIX, "drive_c")
USER = next(u for u in sorted(os.listdir(os.path.join(DRIVE_C, "users"))) if u.lower() != "public")
APPDATA = "C:\\users\\%s\\AppData\\Roaming" % USER
SM = APPDATA + "\\Microsoft\\Windows\\Start Menu"
DT = "C:\\users\\%s\\Desktop" % USER
IF = APPDATA + "\\Vantory\\tavrokil\\"
UNINSTALL_KEY = "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\tavrokil"
WINDOW_TITLE = "KorvaneDuskreign"

failures = []
wine_runs = [0]


def check(ok, what):
    print(("ok   " if ok else "FAIL ") + what, flush=True)
    if not ok:
        failures.append(what)
    return ok


def unix(path):
    assert path[:3].upper() == "C:\\", path
    return os.path.join(DRIVE_C, *[p for p in path[3:].split("\\") if p])


def wine(args, timeout=180):
    """Runs a Windows program to its end; output goes to a file, never to a pipe."""
    wine_runs[0] += 1
    log = os.path.join(WORK, "wine-%02d.log" % wine_runs[0])
    with open(log, "w") as out:
        return subprocess.run(["wine"] + args, stdout=out, stderr=subprocess.STDOUT,
                              stdin=subprocess.DEVNULL, timeout=timeout).returncode


def client_pids():
    """Linux processes of this prefix that run the installed client."""
    pids = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/cmdline" % entry, "rb") as f:
                cmdline = f.read().decode("utf-8", "replace")
            with open("/proc/%s/environ" % entry, "rb") as f:
                environ = f.read().split(b"\0")
        except OSError:
            continue
        if "duskshell.exe" not in cmdline.lower():
            continue
        if ("WINEPREFIX=" + PREFIX).encode() in environ:
            pids.append(int(entry))
    return pids


def client_windows(visible=True):
    args = ["xdotool", "search"] + (["--onlyvisible"] if visible else []) + ["--name", "^%s$" % WINDOW_TITLE]
    r = subprocess.run(args, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL)
    return r.stdout.split()


def wait_for(condition, seconds):
    deadline = time.time() + seconds
    while time.time() < deadline:
        if condition():
            return True
        time.sleep(0.25)
    return condition()


def stop_clients():
    for pid in client_pids():
        try:
            os.kill(pid, 9)
        except OSError:
            pass
    wait_for(lambda: not client_pids(), 20)


def run_installer(name):
    path = os.path.join(WORK, "download", name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    shutil.copyfile(SETUP_EXE, path)
    return wine([path])


def installer_reports(sim):
    return [(r.get("game"), r.get("user"), r.get("event"), r.get("valid"))
            for r in sim.reports() if r.get("event") in ("1", "2", "3")]


def expected_records(win7, channel):
    group = SM + "\\程序\\Duskreign"
    title = group + "\\Duskreign"
    records = [("Duskreign.lnk", 6)] if win7 else []
    records += [(title + "\\Duskreign.lnk", 3), (title, 4), (group, 4), (DT + "\\Duskreign.lnk", 3),
                (title + "\\卸载Duskreign.lnk", 3), (title, 4), (group, 4), ("tavrokil", 9),
                (IF + "duskshell.exe", 3), (IF + "static.ini", 3), (IF + "remtrack", 4),
                ("Duskreign", 5), ("dr", 7)]
    if channel:
        records.append((channel, 8))
    records.append(("tavrokil", 10))
    return records


def xml_escape(text):
    return text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


def check_record_file(records, label):
    body = "<remtrack>" + "".join("<Node><Name>%s</Name><Type>%d</Type></Node>" % (xml_escape(n), t)
                                  for n, t in records) + "</remtrack>"
    try:
        with open(unix(IF + "remtrack\\remtrack.xml"), "rb") as f:
            data = f.read()
    except OSError:
        data = b""
    want = body.encode("utf-8")
    check(data.rstrip(b"\r\n") == want and data[len(want):] in (b"", b"\n", b"\r\n"),
          "%s: remtrack.xml holds the %d records, one line of UTF-8" % (label, len(records)))
    if data.rstrip(b"\r\n") != want:
        print("     got:  %r\n     want: %r" % (data[:400], want[:400]))


def read_uninstall_entry():
    out = os.path.join(WORK, "uninstall-%d.reg" % wine_runs[0])
    if os.path.exists(out):
        os.remove(out)
    wine(["regedit", "/E", out, UNINSTALL_KEY])
    if not os.path.exists(out):
        return None
    with open(out, "rb") as f:
        text = f.read().decode("utf-16")
    values = {}
    for line in text.splitlines():
        m = re.match(r'^"((?:[^"\\]|\\.)*)"="((?:[^"\\]|\\.)*)"$', line)
        if m:
            unescape = lambda s: re.sub(r"\\(.)", r"\1", s)
            values[unescape(m.group(1))] = unescape(m.group(2))
        elif line.startswith('"'):
            values[line.split('"')[1]] = "not REG_SZ: " + line
    return values


def read_links(paths):
    out = os.path.join(WORK, "links-%d.txt" % wine_runs[0])
    wine([READER_EXE, out] + paths)
    with open(out, encoding="utf-8") as f:
        return f.read().splitlines()


def static_ini():
    try:
        with open(unix(IF + "static.ini"), "rb") as f:
            return f.read()
    except OSError:
        return b""


def ini_bytes(uid, start, filename):
    return ("[dr]\r\nkey=\r\nuid=%s\r\nstart=%s\r\ngid=353\r\nInstall=\r\nDName=\r\nhotkey=121\r\n"
            "hotName=F10\r\nfilename=%s\r\n" % (uid, start, filename)).encode("ascii")


def check_payload(label):
    with zipfile.ZipFile(PAYLOAD_ZIP) as archive:
        for info in archive.infolist():
            path = unix(IF + info.filename)
            if not check(os.path.isfile(path), "%s: %s unpacked" % (label, info.filename)):
                continue
            with open(path, "rb") as f:
                same = f.read() == archive.read(info)
            check(same, "%s: %s has the archive's bytes" % (label, info.filename))
            want = time.mktime(info.date_time + (0, 0, -1))
            got = os.stat(path).st_mtime
            check(abs(got - want) < 1, "%s: %s carries the archive's time (%s, file %s)" % (
                label, info.filename, time.ctime(want), time.ctime(got)))
    check(not os.path.exists(unix(IF + "AllExe.zip")), "%s: AllExe.zip deleted" % label)


def main():
    programs = unix(SM + "\\程序")
    os.makedirs(programs, exist_ok=True)  # a Chinese system has it
    port = simlib.port_of(os.environ["DUSK_LOG_HOST"])
    with simlib.Simulator(port, os.path.join(WORK, "sim")) as sim:
        # Run 1: a clean profile, reported as Windows 7.
        check(run_installer("zc17_setup.exe") == 0, "run 1: the installer exits with 0")
        check(installer_reports(sim) == [("dr", "17", e, True) for e in "123"],
              "run 1: reports 1, 2, 3 for user 17 (%s)" % installer_reports(sim))
        check_payload("run 1")
        check_record_file(expected_records(True, "zc17"), "run 1")

        values = read_uninstall_entry() or {}
        want = {"DisplayName": "Duskreign", "UninstallString": IF + "remtracks.exe",
                "DisplayIcon": IF + "duskshell.exe", "URLInfoAbout": "http://%s/" % os.environ["DUSK_OFFICIAL_HOST"],
                "Publisher": "Halvergate", "PRODUCT_Version": "1.1.5.1"}
        check(values == want, "run 1: uninstall entry holds the six text values (%s)" % values)

        title = SM + "\\程序\\Duskreign\\Duskreign\\"
        links = read_links([title + "Duskreign.lnk", DT + "\\Duskreign.lnk", title + "卸载Duskreign.lnk",
                            IF + "Duskreign.lnk"])
        check(links == [IF + "duskshell.exe|", IF + "duskshell.exe|", IF + "remtracks.exe|",
                        IF + "duskshell.exe|" + IF[:-1]], "run 1: shortcut targets (%s)" % links)
        check(not os.path.exists(unix(DT + "\\卸载Duskreign.lnk")), "run 1: no uninstall link on the desktop")

        check(wait_for(lambda: len(client_pids()) == 1, 60), "run 1: the client was started")
        check(wait_for(lambda: len(client_windows()) == 1, 60), "run 1: the client shows its window")
        # Wine keeps a process's working folder as its Linux working directory.
        folders = [os.path.realpath("/proc/%d/cwd" % p) for p in client_pids()]
        check(folders == [os.path.realpath(unix(IF))], "run 1: the client runs in the install folder (%s)" % folders)
        check(wait_for(lambda: static_ini() == ini_bytes("zc17", "1", "setup"), 30),
              "run 1: the client's first run derived uid zc17 and suid setup (%r)" % static_ini())

        # Run 2: the client is running, so it is not started again.
        sim.get("/__sim/reset")
        check(run_installer("zc17_setup.exe") == 0, "run 2: the installer exits with 0")
        check(installer_reports(sim) == [("dr", "17", e, True) for e in "12"],
              "run 2: reports 1, 2 only (%s)" % installer_reports(sim))
        check(static_ini() == ini_bytes("", "0", "zc17_setup.exe"),
              "run 2: static.ini as the installer writes it (%r)" % static_ini())
        time.sleep(5)  # a second client would have appeared by now
        check(len(client_pids()) == 1 and len(client_windows(False)) == 1,
              "run 2: still one client (%d processes)" % len(client_pids()))
        check_record_file(expected_records(True, "zc17"), "run 2")
        stop_clients()

        # Run 3: seen as Windows 10 and without the "程序" folder.
        shutil.rmtree(programs)
        wine(["reg", "add", "HKCU\\Software\\Wine\\AppDefaults\\zc17_w10.exe", "/v", "Version", "/d", "win10", "/f"])
        sim.get("/__sim/reset")
        check(run_installer("zc17_w10.exe") == 0, "run 3: the installer exits with 0")
        check(installer_reports(sim) == [("dr", "17", e, True) for e in "12"],
              "run 3: reports 1, 2 only (%s)" % installer_reports(sim))
        check_record_file(expected_records(False, "zc17"), "run 3")
        check(not os.path.exists(programs), "run 3: no start-menu folders without 程序")
        check(os.path.exists(unix(DT + "\\Duskreign.lnk")), "run 3: the desktop link is still made")
        check(wait_for(lambda: len(client_pids()) == 1, 60), "run 3: the client was started again")
        stop_clients()

        # An installer named "_9.exe" has an empty channel code: reported as it is, not recorded.
        os.makedirs(programs, exist_ok=True)
        sim.get("/__sim/reset")
        check(run_installer("_9.exe") == 0, "empty channel: the installer exits with 0")
        check(installer_reports(sim) == [("dr", "", e, True) for e in "12"],
              "empty channel: reports 1, 2 with an empty user (%s)" % installer_reports(sim))
        check_record_file(expected_records(True, ""), "empty channel")
        check(wait_for(lambda: len(client_pids()) == 1, 60), "empty channel: the client was started")
        stop_clients()

        # Run 4: Windows 7 again with "程序", then the removal tool takes it all away.
        sim.get("/__sim/reset")
        check(run_installer("zc17_setup.exe") == 0, "run 4: the installer exits with 0")
        check(installer_reports(sim) == [("dr", "17", e, True) for e in "12"],
              "run 4: reports 1, 2 only (%s)" % installer_reports(sim))
        check(wait_for(lambda: len(client_pids()) == 1, 60), "run 4: the client was started")
        stop_clients()
        check(wine([unix(IF + "remtracks.exe")]) == 0, "removal: the tool reports success")
        left = sorted(os.listdir(unix(IF)))
        check(left == ["remtracks.exe"], "removal: only the running tool is left (%s)" % left)
        check(not os.path.exists(unix(SM + "\\程序\\Duskreign")), "removal: start-menu folders removed")
        check(os.path.isdir(programs), "removal: the system's 程序 folder stays")
        check(not os.path.exists(unix(DT + "\\Duskreign.lnk")), "removal: desktop link removed")
        check(read_uninstall_entry() is None, "removal: uninstall entry removed")

    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    try:
        code = main()
    finally:
        stop_clients()
    sys.exit(code)
