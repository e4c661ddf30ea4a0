#!/usr/bin/env python3
"""Installs, runs and removes Rerevure under wine64, with both installers.

The amd64 setup program (the same NSIS script as the release one, built for
amd64-unicode, since 32-bit Windows programs cannot run here) and the x64
MSI (the release's, with the amd64 program in its place; through msiexec
/qn) each must put the program, the script folder and the shortcuts in
place and register the uninstaller; the installed program, started from its
Start menu shortcut, must answer "School Proxy &ON" and write its script
into the script folder; the uninstaller must remove the program, the
shortcuts and the script folder with its script, and the setup program's
quiet uninstall string return only once it has. Both must upgrade over a
running program: the installing user's copy is ended, and the file of one
that /exit does not reach (as in another user's session, or any user's when
the installation runs as SYSTEM) is moved aside, to be removed at the next
restart. A setup program that finds another at work exits with 1618; the x86
MSI refuses to install on 64-bit Windows, as this prefix is.

Wine's icacls changes nothing, so the prefix gets a stand-in that records
its command lines: the test compares what each installer ran with
folder-rights.txt, and makes icacls fail once to see the setup program stop.
Wine keeps no NTFS rights either (its files' security descriptors are made
up from Unix permissions), nor has it UAC: what the rights allow is judged by
test_folder_rights.py; here the script's security descriptor is read back
with GetNamedSecurityInfoW and compared with the model where Wine keeps one,
and the test says so where it does not.

The test has its own Wine prefix (it removes the script folder that other
tests need) and runs in about two minutes. It needs Xvfb or a display
(ctest runs it under xvfb-run). Exit code 77 (a skip) when the installers
were not built because makensis or wixl is missing.

Usage: test_installers_wine.py --setup S.exe --msi P-x64.msi --msi-x86 P-x86.msi
           --program Rerevure.exe --actions RerevureActions.dll
           --probe release_probe.exe --recorder icacls_recorder.exe
           --prefix DIR --version 1.6.0 --organisation NAME [unittest options]
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(ROOT, "release"))

import acl_model as m  # noqa: E402
import make_installers  # noqa: E402
import test_folder_rights  # noqa: E402

ARGS = None
WINE = "/usr/lib/wine/wine64"
WINESERVER = "/usr/lib/wine/wineserver"

# The amd64 setup program puts the program into the 64-bit Program Files;
# the MSI, as the release's, into the 32-bit one.
PROGRAM_FOLDER = "C:\\Program Files\\Rerevure\\bin"
MSI_PROGRAM_FOLDER = "C:\\Program Files (x86)\\Rerevure\\bin"
# What the installers create, and the folder the program reaches it by.
SCRIPT_FOLDER = "C:\\Program Files\\" + make_installers.SCRIPT_FOLDER_NAME
SCRIPT = make_installers.SCRIPT_PATH_FOLDER + "\\MapDrives.bat"
COMMON_PROGRAMS = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"
USER_PROGRAMS = "C:\\users\\%s\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"
UNINSTALL = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
RECORD = "C:\\rerevure-icacls-calls.txt"
RECORDER_EXIT = "C:\\rerevure-icacls-exit.txt"
# The setup program's details: a silent one has no other output.
SETUP_LOG = "C:\\rerevure-setup-log.txt"
SESSION_MANAGER = "HKLM\\System\\CurrentControlSet\\Control\\Session Manager"
SETUP_LOCK = PROGRAM_FOLDER + "\\Rerevure-setup.lock"
# A marker the stand-in for another session's copy keeps while it runs.
OTHER_SESSION = "C:\\rerevure-other-session.txt"
ERROR_INSTALL_FAILURE = 1603
ERROR_INSTALL_ALREADY_RUNNING = 1618
TIMEOUT_MS = 20000

# Pre-seeded the way a school pre-seeds them: the registry is the interface.
SETTINGS = {"UserArea": "\\\\files\\home", "SchoolShare": "\\\\files\\school",
            "StaffShare": "\\\\files\\staff", "Extra1": "\\\\files\\extra1",
            "Extra2": "\\\\files\\extra2", "Username": "student", "Password": "secret"}


class Wine:
    def __init__(self, prefix):
        self.prefix = os.path.abspath(prefix)
        self.env = dict(os.environ, WINEPREFIX=self.prefix, WINELOADER=WINE, WINEDEBUG="-all",
                        # No menu entries on the host; the recorder, not the
                        # builtin icacls.
                        WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d;icacls.exe=n")

    def host(self, path):
        """The Linux path of a C: path in the prefix."""
        return os.path.join(self.prefix, "drive_c", *path[3:].split("\\"))

    def run(self, *command, timeout=120):
        # Output through a file, not a pipe: Wine's background processes,
        # started by whichever command needs them first, would hold a pipe
        # open long after the command ended.
        with tempfile.TemporaryFile() as out:
            result = subprocess.run([WINE] + list(command), env=self.env,
                                    stdin=subprocess.DEVNULL, stdout=out,
                                    stderr=subprocess.STDOUT, timeout=timeout)
            out.seek(0)
            result.stdout = out.read().decode("utf-8", errors="replace")
        return result

    def start(self, *command):
        return subprocess.Popen([WINE] + list(command), env=self.env, stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def reg_values(self, key):
        """{name: value} of a registry key (REG_DWORD as int), None if absent."""
        result = self.run("reg", "query", key)
        if result.returncode != 0:
            return None
        values = {}
        for line in result.stdout.splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[1].startswith("REG_"):
                value = parts[2] if len(parts) == 3 else ""
                values[parts[0]] = int(value, 16) if parts[1] == "REG_DWORD" else value
        return values

    def subkeys(self, key):
        """The full names of a key's subkeys (reg spells the root out)."""
        tail = key.split("\\", 1)[1].lower() + "\\"
        result = self.run("reg", "query", key)
        return [line.strip() for line in result.stdout.splitlines()
                if line.startswith("HKEY_") and tail in line.lower()]

    def user_folder(self):
        """The name of the prefix's user folder (Wine names it after the Unix user)."""
        users = [u for u in os.listdir(os.path.join(self.prefix, "drive_c", "users"))
                 if u.lower() != "public"]
        return users[0] if len(users) == 1 else os.environ.get("USER", "root")

    def stop(self):
        # -k only asks; -w waits until the server has saved the registry and
        # gone, so nothing of it lands in a prefix made anew after this.
        for option in ("-k", "-w"):
            subprocess.run([WINESERVER, option], env=self.env, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)


def wait_until(condition, seconds):
    until = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > until:
            return False
        time.sleep(0.25)
    return True


def command_arguments(line):
    """A recorded icacls command line without the program: the folder and the rest."""
    line = line.strip()
    if line.startswith('"'):
        line = line[line.index('"', 1) + 1:]
    else:
        line = line.split(None, 1)[1]
    line = line.strip()
    assert line.startswith('"'), line
    end = line.index('"', 1)
    return line[1:end], line[end + 1:].strip()


def expected_icacls(program_folder):
    return [(make_installers.folder_path(f, program_folder, SCRIPT_FOLDER), a)
            for f, a in make_installers.read_rights()]


def shortcut_targets(data, path):
    """Whether a shell link names path, in its ANSI or its Unicode strings."""
    return path.encode("latin-1") in data or path.encode("utf-16-le") in data


class Installers(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.wine = Wine(ARGS.prefix)
        # A fresh prefix each run: nothing left over from an earlier run
        # (a failed one leaves its installation behind).
        cls.wine.stop()
        shutil.rmtree(cls.wine.prefix, ignore_errors=True)
        made = subprocess.run([os.path.join(ROOT, "scripts", "wine-prefix.sh"), cls.wine.prefix],
                              stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT, universal_newlines=True, timeout=300)
        if made.returncode != 0:
            raise RuntimeError("wine-prefix.sh failed:\n" + made.stdout)
        # The prefix script makes the script folder for the other tests;
        # here the installers must make it.
        shutil.rmtree(cls.wine.host(SCRIPT_FOLDER), ignore_errors=True)
        shutil.copyfile(ARGS.recorder, cls.wine.host("C:\\windows\\system32\\icacls.exe"))
        shutil.copyfile(ARGS.probe, cls.wine.host("C:\\release_probe.exe"))
        for name, value in SETTINGS.items():
            cls.wine.run("reg", "add", "HKCU\\Software\\Rerevure", "/v", name, "/t", "REG_SZ",
                         "/d", value, "/f")
        cls.user = cls.probe("user-sid").strip()
        cls.security = {}

    @classmethod
    def tearDownClass(cls):
        cls.wine.stop()

    @classmethod
    def probe(cls, *args, timeout=60):
        result = cls.wine.run("C:\\release_probe.exe", *args, timeout=timeout)
        if result.returncode != 0:
            raise AssertionError("release_probe %s: %s" % (" ".join(args), result.stdout))
        return result.stdout

    def setUp(self):
        for path in (RECORD, RECORDER_EXIT, SETUP_LOG):
            if os.path.exists(self.wine.host(path)):
                os.remove(self.wine.host(path))

    def run_setup(self, *options):
        """Runs the setup program; its output is its details log."""
        result = self.wine.run(ARGS.setup, *options, "/LOG=" + SETUP_LOG)
        if self.exists(SETUP_LOG):
            with open(self.wine.host(SETUP_LOG), "rb") as f:
                result.stdout += "\nsetup details:\n" + f.read().decode("latin-1")
        else:
            result.stdout += "\n(the setup program wrote no details)"
        return result

    def exists(self, path):
        return os.path.exists(self.wine.host(path))

    def recorded_icacls(self):
        with open(self.wine.host(RECORD), encoding="utf-8") as f:
            return [command_arguments(line) for line in f if line.strip()]

    def assertShortcut(self, folder, name, program_folder=PROGRAM_FOLDER):
        path = folder + "\\" + name
        self.assertTrue(self.exists(path), path)
        with open(self.wine.host(path), "rb") as f:
            self.assertTrue(shortcut_targets(f.read(), program_folder + "\\Rerevure.exe"), path)

    def same_file(self, path, source):
        with open(self.wine.host(path), "rb") as a, open(source, "rb") as b:
            return a.read() == b.read()

    def check_installed(self, program_folder=PROGRAM_FOLDER):
        self.assertTrue(self.same_file(program_folder + "\\Rerevure.exe", ARGS.program),
                        "the installed program")
        self.assertTrue(os.path.isdir(self.wine.host(SCRIPT_FOLDER)))
        self.assertEqual(self.recorded_icacls(), expected_icacls(program_folder))

    def pending_removals(self):
        return self.wine.run("reg", "query", SESSION_MANAGER, "/v",
                             "PendingFileRenameOperations").stdout

    def moved_aside(self, program_folder, source):
        """The files in program_folder moved aside with source's content."""
        return [program_folder + "\\" + name
                for name in os.listdir(self.wine.host(program_folder))
                if name.endswith(".old") and self.same_file(program_folder + "\\" + name, source)]

    def start_other_session_copy(self, program_folder):
        """A stand-in for a copy /exit does not reach, running from the program's file."""
        shutil.copyfile(ARGS.probe, self.wine.host(program_folder + "\\Rerevure.exe"))
        other = self.wine.start(program_folder + "\\Rerevure.exe", "linger", OTHER_SESSION,
                                "120000")
        self.assertTrue(wait_until(lambda: self.exists(OTHER_SESSION), 30), "it did not start")
        return other

    def end_other_session_copy(self, other):
        if self.exists(OTHER_SESSION):
            os.remove(self.wine.host(OTHER_SESSION))
        other.wait(timeout=30)

    def quiet_uninstall(self):
        """Runs the uninstall entry's QuietUninstallString as a deployment tool does."""
        values = self.wine.reg_values(UNINSTALL + "\\Rerevure")
        self.assertIsNotNone(values, "no Add/Remove Programs entry")
        return self.probe("run", values["QuietUninstallString"], "120000", timeout=150)

    def school_switch(self, shortcut, leave_running=False):
        """Start the program from its shortcut, switch to school, return the script."""
        if os.path.exists(self.wine.host(SCRIPT)):
            os.remove(self.wine.host(SCRIPT))
        starter = self.wine.start("start", shortcut)
        # The script exists only while it runs: held open, it stays.
        holder = self.wine.start("C:\\release_probe.exe", "hold-file", SCRIPT, str(TIMEOUT_MS))
        box = self.probe("school-switch", str(TIMEOUT_MS))
        self.assertEqual(box.strip(), "School Proxy Enabled.")
        school_line = ("net use i: " + SETTINGS["SchoolShare"]).encode()

        def script_lines():
            # Read until the program has written the share's line: a fixed
            # pause was too short on a loaded machine.
            try:
                with open(self.wine.host(SCRIPT), "rb") as f:
                    return f.read().split(b"\r\n")
            except OSError:
                return []

        self.assertTrue(wait_until(lambda: school_line in script_lines(), 20),
                        "no school script written: %r" % script_lines())
        lines = script_lines()
        self.assertEqual(lines[0], b"title Proxy VOZ v1.6 by ZUV Orarevirado")
        self.security["script"] = self.probe("sd-get", SCRIPT).strip()
        holder.terminate()
        holder.wait(timeout=30)
        if not leave_running:
            self.probe("exit-program", str(TIMEOUT_MS))
        starter.wait(timeout=30)

    def check_removed(self, program_folder, shortcut_folders):
        """All gone, but for files in use put on the restart's list (the uninstaller itself)."""
        pending = self.pending_removals()
        for folder in (SCRIPT_FOLDER, program_folder):
            for root, _, names in os.walk(self.wine.host(folder)):
                inside = os.path.relpath(root, self.wine.host(folder))
                for name in names:
                    path = folder + ("" if inside == "." else "\\" + inside.replace("/", "\\"))
                    self.assertIn(path + "\\" + name, pending, "left behind")
        for folder in shortcut_folders:
            for name in ("Rerevure.lnk", "StartUp\\Rerevure.lnk"):
                self.assertFalse(self.exists(folder + "\\" + name), name + " is left behind")

    def test_1_setup_program(self):
        result = self.run_setup("/S")
        self.assertEqual(result.returncode, 0, result.stdout)
        self.check_installed()
        self.assertShortcut(COMMON_PROGRAMS, "Rerevure.lnk")
        self.assertShortcut(COMMON_PROGRAMS, "StartUp\\Rerevure.lnk")
        key = UNINSTALL + "\\Rerevure"
        values = self.wine.reg_values(key)
        self.assertIsNotNone(values, "no Add/Remove Programs entry")
        uninstaller = '"%s\\uninstall.exe"' % PROGRAM_FOLDER
        self.assertEqual({k: values.get(k) for k in (
            "DisplayName", "DisplayVersion", "Publisher", "UninstallString", "DisplayIcon",
            "NoModify", "NoRepair")}, {
            "DisplayName": "Rerevure", "DisplayVersion": ARGS.version,
            "Publisher": ARGS.organisation, "UninstallString": uninstaller,
            "DisplayIcon": '"%s\\Rerevure.exe",0' % PROGRAM_FOLDER,
            "NoModify": 1, "NoRepair": 1})
        self.assertGreater(values.get("EstimatedSize", 0), 0)

        # What icacls would have set, so that Wine can show what it keeps.
        scripts, _ = self.model()
        self.probe("sd-set", SCRIPT_FOLDER, scripts.sddl())
        self.security["folder set"] = scripts.sddl()
        self.security["folder read"] = self.probe("sd-get", SCRIPT_FOLDER).strip()
        self.school_switch(COMMON_PROGRAMS + "\\Rerevure.lnk", leave_running=True)

        # The quiet uninstall ends the running program (Rerevure.exe /exit)
        # and returns only once all is gone.
        self.assertEqual(self.quiet_uninstall().strip(), "exit 0")
        self.assertIsNone(self.wine.reg_values(key), "the uninstall entry is left")
        self.assertEqual(self.probe("program-state").strip(), "ended")
        self.check_removed(PROGRAM_FOLDER, [COMMON_PROGRAMS])

    def test_2_setup_program_stops_when_rights_cannot_be_set(self):
        with open(self.wine.host(RECORDER_EXIT), "w") as f:
            f.write("5")
        result = self.run_setup("/S")
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("The installation stopped.", result.stdout)
        self.assertEqual(len(self.recorded_icacls()), 1, "icacls went on after a failure")
        self.assertFalse(self.exists(PROGRAM_FOLDER + "\\Rerevure.exe"))
        self.assertIsNone(self.wine.reg_values(UNINSTALL + "\\Rerevure"))
        shutil.rmtree(self.wine.host(SCRIPT_FOLDER), ignore_errors=True)

    def test_2_setup_program_waits_for_no_other(self):
        # Another setup program or uninstaller at work holds the lock.
        os.makedirs(self.wine.host(PROGRAM_FOLDER), exist_ok=True)
        marker = "C:\\rerevure-lock-held.txt"
        holder = self.wine.start("C:\\release_probe.exe", "linger", marker, "60000", SETUP_LOCK)
        try:
            self.assertTrue(wait_until(lambda: self.exists(marker), 30), "the lock is not held")
            setup = "Z:" + os.path.abspath(ARGS.setup).replace("/", "\\")
            self.assertEqual(self.probe("run", '"%s" /S' % setup, "60000").strip(),
                             "exit %d" % ERROR_INSTALL_ALREADY_RUNNING)
            self.assertFalse(self.exists(PROGRAM_FOLDER + "\\Rerevure.exe"))
            self.assertIsNone(self.wine.reg_values(UNINSTALL + "\\Rerevure"))
        finally:
            if self.exists(marker):
                os.remove(self.wine.host(marker))
            holder.wait(timeout=30)

    def test_2_setup_program_upgrades_over_running_copies(self):
        program = PROGRAM_FOLDER + "\\Rerevure.exe"
        result = self.run_setup("/S")
        self.assertEqual(result.returncode, 0, result.stdout)
        # The installing user's own copy is ended (/exit) and replaced.
        starter = self.wine.start(program)
        self.assertTrue(wait_until(lambda: self.probe("program-state").strip() == "running", 30))
        result = self.run_setup("/S")
        self.assertEqual(result.returncode, 0, result.stdout)
        self.assertEqual(self.probe("program-state").strip(), "ended")
        self.assertTrue(self.same_file(program, ARGS.program), "the new program is not in place")
        self.assertNotIn("still running in another session", result.stdout)
        starter.wait(timeout=30)

        # A copy /exit does not reach keeps its file, which Windows (and Wine)
        # will not let anyone delete or overwrite, only rename.
        other = self.start_other_session_copy(PROGRAM_FOLDER)
        try:
            result = self.run_setup("/S")
            self.assertEqual(result.returncode, 0, result.stdout)
            self.assertTrue(self.same_file(program, ARGS.program), "the new program")
            self.assertIsNone(other.poll(), "the other copy was ended")
            aside = self.moved_aside(PROGRAM_FOLDER, ARGS.probe)
            self.assertEqual(len(aside), 1, "the running file, moved aside")
            self.assertIn(aside[0], self.pending_removals(), "not removed at the next restart")
            self.assertIn('now "%s", is removed at the next restart' % aside[0], result.stdout)
        finally:
            self.end_other_session_copy(other)
        # Once that copy has ended, the uninstaller removes its file too.
        self.assertEqual(self.quiet_uninstall().strip(), "exit 0")
        self.assertFalse(self.exists(aside[0]))
        self.check_removed(PROGRAM_FOLDER, [COMMON_PROGRAMS])

    def test_2_setup_program_without_start_at_logon(self):
        result = self.run_setup("/S", "/NOSTARTUP")
        self.assertEqual(result.returncode, 0, result.stdout)
        self.assertShortcut(COMMON_PROGRAMS, "Rerevure.lnk")
        self.assertFalse(self.exists(COMMON_PROGRAMS + "\\StartUp\\Rerevure.lnk"))
        self.assertEqual(self.quiet_uninstall().strip(), "exit 0")

    def msi_shortcuts(self):
        """Where the MSI puts its shortcuts here, and the other candidate."""
        # Windows Installer puts the shortcuts of an ALLUSERS=1 package into
        # the all-users folders; Wine's msi resolves ProgramMenuFolder and
        # StartupFolder to the user's own folders whatever ALLUSERS says.
        user_programs = USER_PROGRAMS % self.wine.user_folder()
        if self.exists(COMMON_PROGRAMS + "\\Rerevure.lnk"):
            return COMMON_PROGRAMS, user_programs
        sys.stderr.write("NOTE (Wine): the MSI's shortcuts went to %s, not to the all-users "
                         "folders Windows Installer uses for ALLUSERS=1\n" % user_programs)
        return user_programs, COMMON_PROGRAMS

    def test_3_msi(self):
        package = "C:\\rerevure.msi"
        shutil.copyfile(ARGS.msi, self.wine.host(package))
        result = self.wine.run("msiexec", "/i", package, "/qn")
        self.assertEqual(result.returncode, 0, result.stdout)
        self.check_installed(MSI_PROGRAM_FOLDER)
        programs, other_programs = self.msi_shortcuts()
        self.assertShortcut(programs, "Rerevure.lnk", MSI_PROGRAM_FOLDER)
        self.assertShortcut(programs, "StartUp\\Rerevure.lnk", MSI_PROGRAM_FOLDER)
        entries = [self.wine.reg_values(k) or {} for k in self.wine.subkeys(UNINSTALL)]
        entries = [e for e in entries if e.get("DisplayName") == "Rerevure"]
        self.assertEqual(len(entries), 1, "one Add/Remove Programs entry")
        self.assertEqual((entries[0].get("Publisher"), entries[0].get("DisplayVersion")),
                         (ARGS.organisation, ARGS.version))

        self.school_switch(programs + "\\Rerevure.lnk", leave_running=True)

        result = self.wine.run("msiexec", "/x", package, "/qn")
        self.assertEqual(result.returncode, 0, result.stdout)
        self.assertEqual(self.probe("program-state").strip(), "ended")
        self.check_removed(MSI_PROGRAM_FOLDER, [programs, other_programs])
        os.remove(self.wine.host(package))

    def test_3_msi_upgrade_over_a_running_copy(self):
        """The file a copy in another session holds is moved aside: no restart needed."""
        first, upgrade, log = "C:\\rerevure.msi", "C:\\rerevure-upgrade.msi", "C:\\upgrade.log"
        shutil.copyfile(ARGS.msi, self.wine.host(first))
        version = ARGS.version.split(".")
        version = ".".join(version[:-1] + [str(int(version[-1]) + 1)])
        with tempfile.TemporaryDirectory() as work:
            made = subprocess.run(
                [sys.executable, os.path.join(ROOT, "release", "make_installers.py"),
                 "--program", ARGS.program, "--arch", "amd64", "--version", version,
                 "--organisation", ARGS.organisation, "--msi", self.wine.host(upgrade),
                 "--msi-x86", os.path.join(work, "x86.msi"), "--actions", ARGS.actions,
                 "--workdir", work], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                universal_newlines=True)
        self.assertEqual(made.returncode, 0, made.stdout)
        self.assertEqual(self.wine.run("msiexec", "/i", first, "/qn").returncode, 0)

        other = self.start_other_session_copy(MSI_PROGRAM_FOLDER)
        try:
            result = self.wine.run("msiexec", "/i", upgrade, "/qn", "/l*v", log)
            # 0, not 3010 (ERROR_SUCCESS_REBOOT_REQUIRED): the new file is in place now.
            self.assertEqual(result.returncode, 0, result.stdout)
            self.assertTrue(self.same_file(MSI_PROGRAM_FOLDER + "\\Rerevure.exe", ARGS.program))
            aside = self.moved_aside(MSI_PROGRAM_FOLDER, ARGS.probe)
            self.assertEqual(len(aside), 1, "the running file, moved aside")
            self.assertIn(aside[0], self.pending_removals(), "not removed at the next restart")
            with open(self.wine.host(log), "rb") as f:
                self.assertIn(("moved to " + aside[0]).encode(), f.read())
            entries = [self.wine.reg_values(k) or {} for k in self.wine.subkeys(UNINSTALL)]
            self.assertEqual([e.get("DisplayVersion") for e in entries
                              if e.get("DisplayName") == "Rerevure"], [version])
        finally:
            self.end_other_session_copy(other)
        # Once that copy has ended, the uninstall removes its file too.
        self.assertEqual(self.wine.run("msiexec", "/x", upgrade, "/qn").returncode, 0)
        self.check_removed(MSI_PROGRAM_FOLDER, list(self.msi_shortcuts()))
        self.assertFalse(self.exists(MSI_PROGRAM_FOLDER), "the moved-aside file is left")
        for path in (first, upgrade, log):
            os.remove(self.wine.host(path))

    def test_3_x86_msi_refuses_64_bit_windows(self):
        package = "C:\\rerevure-x86.msi"
        shutil.copyfile(ARGS.msi_x86, self.wine.host(package))
        # Wine shows a launch condition's message only with some user
        # interface (/qb), in a box of this title; Windows Installer shows it
        # there too, and writes it into the log of a silent installation.
        installer = self.wine.start("msiexec", "/i", package, "/qb")
        message = self.probe("answer-box", "Install Failed", str(TIMEOUT_MS))
        self.assertIn(os.path.basename(ARGS.msi), message)
        # Linux sees the low 8 bits of Wine's exit code.
        self.assertEqual(installer.wait(timeout=60), ERROR_INSTALL_FAILURE & 0xFF)
        os.remove(self.wine.host(package))
        for path in (MSI_PROGRAM_FOLDER, PROGRAM_FOLDER + "\\Rerevure.exe", SCRIPT_FOLDER):
            self.assertFalse(self.exists(path), path)
        self.assertEqual([k for k in self.wine.subkeys(UNINSTALL)
                          if (self.wine.reg_values(k) or {}).get("DisplayName") == "Rerevure"], [])

    def test_4_script_security_descriptor(self):
        """The written script's rights, read back where Wine keeps them."""
        if "script" not in self.security:
            self.skipTest("no script was written")
        read = self.security["folder read"]
        if m_dacl(read) != m_dacl(self.security["folder set"]):
            self.skipTest(
                "Wine cannot show the rights: it keeps no security descriptor for files, it "
                "makes one up from Unix permissions, so neither the folder's rights nor what "
                "the script inherits from them can be read back (the script folder set to %s "
                "reads back as %s, the script as %s); the rights are judged as data by "
                "test_folder_rights.py"
                % (self.security["folder set"], read, self.security["script"]))
        scripts, _ = self.model()
        expected = m.add(scripts, "MapDrives.bat", False, self.user)
        self.assertEqual(m_dacl(self.security["script"]), m_dacl(expected.sddl()))

    def test_5_without_the_short_name(self):
        """Where C:\\Progra~1 leads nowhere, neither installer makes it; both install."""
        link = self.wine.host("C:\\Progra~1")
        os.unlink(link)
        package = "C:\\rerevure.msi"
        shutil.copyfile(ARGS.msi, self.wine.host(package))
        try:
            for install, uninstall, program_folder in (
                    ((ARGS.setup, "/S"), self.quiet_uninstall, PROGRAM_FOLDER),
                    (("msiexec", "/i", package, "/qn"),
                     lambda: self.wine.run("msiexec", "/x", package, "/qn"), MSI_PROGRAM_FOLDER)):
                self.setUp()
                result = self.wine.run(*install)
                self.assertEqual(result.returncode, 0, result.stdout)
                self.check_installed(program_folder)
                self.assertFalse(os.path.lexists(link), "%s made C:\\Progra~1" % install[0])
                uninstall()
                self.check_removed(program_folder, [])
        finally:
            os.remove(self.wine.host(package))
            if not os.path.lexists(link):
                os.symlink("Program Files", link)

    def model(self):
        """The model's folders after the rights the installers apply."""
        return test_folder_rights.install(make_installers.read_rights(), "32-bit", "fresh", "nsis")


def m_dacl(sddl):
    """The set of entries of an SDDL DACL, numbers and SIDs normalised."""
    dacl = sddl[sddl.index("D:") + 2:] if "D:" in sddl else ""
    entries = set()
    for ace in dacl.split("(")[1:]:
        kind, flags, mask, _, _, sid = ace.rstrip(")").split(";")[:6]
        aliases = {"SY": m.SYSTEM, "BA": m.ADMINISTRATORS, "BU": m.USERS, "CO": m.CREATOR_OWNER,
                   "OW": m.OWNER_RIGHTS, "WD": m.EVERYONE}
        rights = {"FA": m.FILE_ALL_ACCESS, "FR": 0x120089, "FX": 0x1200A0, "FW": 0x120116}
        value = rights[mask] if mask in rights else int(mask, 0)
        entries.add((kind, flags, value, aliases.get(sid, sid)))
    return entries


def main():
    global ARGS
    parser = argparse.ArgumentParser(add_help=False)
    for option in ("--setup", "--msi", "--msi-x86", "--program", "--actions", "--probe",
                   "--recorder", "--prefix", "--version", "--organisation"):
        parser.add_argument(option, required=True)
    ARGS, rest = parser.parse_known_args()
    missing = [p for p in (ARGS.setup, ARGS.msi, ARGS.msi_x86) if not p or not os.path.exists(p)]
    if missing:
        print("SKIP: the installers were not built (makensis or wixl missing? "
              "scripts/install-deps.sh installs nsis and wixl): %s" % missing)
        sys.exit(77)
    if not os.path.exists(WINE):
        print("SKIP: %s is not installed" % WINE)
        sys.exit(77)
    unittest.main(argv=[sys.argv[0]] + rest)


if __name__ == "__main__":
    main()
