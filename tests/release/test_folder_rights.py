#!/usr/bin/env python3
"""The rights the installers give their two folders, checked as data.

folder-rights.txt is applied, through the icacls model in acl_model.py, to
a model of the machine (both layouts: 64-bit Windows, where the program and
the script folder are apart, and 32-bit Windows, where the program folder
lies inside the script folder; a fresh machine and one where both folders
already existed with loose rights), and the result must have four
properties:
  1. users cannot change the program or its folder (nor the script folder
     itself, beyond adding files to it);
  2. every user can create their own script, read it (the command
     interpreter runs it by reading it), rewrite it and remove it;
  3. no user can read, change or remove another user's script, and no user
     can open their own script to others;
  4. no user can run or load a file from the script folder: no right any
     user gets on a file created there, their own or another's, nor on the
     folder itself (whose named streams users may write), includes execute
     (the folder is where programs may run by path).
Weakened variants of the rules must fail, so the checks have teeth. The
generated installer sources, and a built MSI when one is given, must carry
exactly the file's lines.

Usage: test_folder_rights.py [--msi PACKAGE-x64.msi [--msi-x86 PACKAGE-x86.msi]]
           [unittest options]
"""

import os
import re
import shutil
import subprocess
import sys
import unittest
import xml.etree.ElementTree as ET

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "release"))
sys.path.insert(0, HERE)

import acl_model as m  # noqa: E402
import make_installers  # noqa: E402

MSI = None
MSI_X86 = None
LAYOUTS = ("64-bit", "32-bit")
STARTS = ("fresh", "tampered")
ORDERS = ("nsis", "msi")  # rights before the files are copied, or after
WELL_KNOWN = {m.SYSTEM, m.ADMINISTRATORS, m.USERS, m.CREATOR_OWNER, m.OWNER_RIGHTS}

ALICE = m.standard_user(1001)
BOB = m.standard_user(1002)
# The earlier owner of a folder that existed before the installation.
MALLORY = m.standard_user(1003)

READ_EXECUTE = m.SIMPLE["RX"]
# What the creator and OWNER RIGHTS get on a file in the script folder:
# read, write and delete, without execute.
OWN_FILES = "(RD,WD,AD,REA,WEA,RA,WA,DE,RC,S)"
# What users may do to the script folder itself: list it and add files to
# it, with the attribute reads and waits that come with that.
SCRIPT_FOLDER_ALLOWED = m.RD | m.WD | m.RA | m.REA | m.READ_CONTROL | m.SYNCHRONIZE
# What another user must not be able to do to a script.
OTHERS_FORBIDDEN = (m.RD | m.WD | m.AD | m.WA | m.WEA | m.DELETE | m.WRITE_DAC |
                    m.WRITE_OWNER)


def install(rules, layout, start, order):
    """The machine after an installation: (script folder, program folder)."""
    pf = m.program_files("C:\\Program Files")
    if layout == "64-bit":
        pf86 = m.program_files("C:\\Program Files (x86)")
        program_parent = m.add(pf86, "Rerevure", True, m.ADMINISTRATORS)
    if start == "tampered":
        loose = [m.Ace(m.EVERYONE, m.FILE_ALL_ACCESS, oi=True, ci=True)]
        scripts = m.add(pf, "Rerevure", True, m.user_sid(MALLORY), loose)
    else:
        scripts = m.add(pf, "Rerevure", True, m.ADMINISTRATORS)
    if layout == "32-bit":
        program_parent = scripts
    if start == "tampered":
        program = m.add(program_parent, "bin", True, m.user_sid(MALLORY),
                        [m.Ace(m.USERS, m.FILE_ALL_ACCESS, oi=True, ci=True)])
    else:
        program = m.add(program_parent, "bin", True, m.ADMINISTRATORS)

    def copy_files():
        for name in ("Rerevure.exe", "uninstall.exe"):
            m.add(program, name, False, m.ADMINISTRATORS)

    if order == "msi":
        copy_files()
    for folder, args in rules:
        m.apply_icacls(scripts if folder == "scripts" else program, args)
    if order == "nsis":
        copy_files()
    return scripts, program


def program_problems(scripts, program, user):
    """Property 1: what a user could change of the program or the folders."""
    problems = []
    for node in [program] + program.children:
        extra = m.granted(node, user) & ~READ_EXECUTE
        if extra:
            problems.append("users get %s on %s" % (m.describe(extra), node.name))
    if m.can_delete(program, user):
        problems.append("users can remove or rename the program folder")
    extra = m.granted(scripts, user) & ~SCRIPT_FOLDER_ALLOWED
    if extra:
        problems.append("users get %s on the script folder" % m.describe(extra))
    if m.can_delete(scripts, user):
        problems.append("users can remove or rename the script folder")
    return problems


def own_script_problems(scripts, user):
    """Property 2: what keeps a user from their own script."""
    problems = []
    folder = m.granted(scripts, user)
    if not folder & m.WD:
        problems.append("a user cannot create a file in the script folder")
    if not folder & m.RD:
        problems.append("a user cannot list the script folder to run a script from it")
    script = m.add(scripts, "MapDrives.bat", False, m.user_sid(user))
    mine = m.granted(script, user)
    for right, what in ((m.RD, "read"), (m.WD, "rewrite")):
        if not mine & right:
            problems.append("a user cannot %s their own script" % what)
    if not m.can_delete(script, user):
        problems.append("a user cannot remove their own script")
    scripts.children.remove(script)
    return problems


def others_script_problems(scripts, writer, other):
    """Property 3: what one user could do to another's script."""
    problems = []
    script = m.add(scripts, "MapDrives.bat", False, m.user_sid(writer))
    theirs = m.granted(script, other) & OTHERS_FORBIDDEN
    if theirs:
        problems.append("another user gets %s on a user's script" % m.describe(theirs))
    if m.can_delete(script, other):
        problems.append("another user can remove a user's script")
    opening = m.granted(script, writer) & (m.WRITE_DAC | m.WRITE_OWNER)
    if opening:
        problems.append("a user gets %s on their own script and could open it to others"
                        % m.describe(opening))
    scripts.children.remove(script)
    return problems


def execute_problems(scripts, writer, other):
    """Property 4: who could start or load a file a user put there."""
    problems = []
    placed = m.add(scripts, "tool.exe", False, m.user_sid(writer))
    for who, token in (("its creator", writer), ("another user", other)):
        if m.granted(placed, token) & m.X:
            problems.append("%s gets execute (X) on a file created in the script folder" % who)
    # A stream of the folder itself ("Rerevure:tool.dll") has the folder's rights.
    if m.granted(scripts, writer) & m.X:
        problems.append("users get execute (X) on the script folder, whose streams they write")
    scripts.children.remove(placed)
    return problems


def all_problems(rules):
    """Every problem over every layout, starting state and order of steps."""
    found = []
    for layout in LAYOUTS:
        for start in STARTS:
            for order in ORDERS:
                scripts, program = install(rules, layout, start, order)
                where = "%s Windows, %s, %s order" % (layout, start, order)
                # Mallory owned the folders that existed before.
                for check in (program_problems(scripts, program, ALICE),
                              program_problems(scripts, program, MALLORY),
                              own_script_problems(scripts, ALICE),
                              others_script_problems(scripts, ALICE, BOB),
                              execute_problems(scripts, ALICE, BOB)):
                    found += ["%s: %s" % (where, p) for p in check]
    return found


def replace_rule(rules, folder, old, new):
    """The rules with one text replaced in one folder's lines."""
    out = [(f, a.replace(old, new) if f == folder else a) for f, a in rules]
    if out == rules:
        raise AssertionError("%r is not in the %s rules" % (old, folder))
    return out


class RightsFile(unittest.TestCase):
    def setUp(self):
        self.rules = make_installers.read_rights()

    def test_only_well_known_sids_are_granted(self):
        # Names are translated on non-English Windows; SIDs are not.
        for folder, args in self.rules:
            for word in args.split():
                if word.startswith("*"):
                    sid = (word[1:].split(":")[0])
                    self.assertIn(sid, WELL_KNOWN, "%s: %s" % (folder, word))
                else:
                    self.assertTrue(word.startswith("/"), "%s: %r is not an option or a "
                                    "grant by SID" % (folder, word))

    def test_the_model_understands_every_line(self):
        install(self.rules, "64-bit", "fresh", "nsis")

    def test_the_program_folder_gets_its_rights_after_the_script_folder(self):
        # On 32-bit Windows the program folder lies inside the script folder;
        # its own rights, set last, must be what protects it.
        folders = [folder for folder, _ in self.rules]
        self.assertEqual(folders, sorted(folders, key=("scripts", "program").index))


class Properties(unittest.TestCase):
    def test_the_rights_meet_every_property(self):
        problems = all_problems(make_installers.read_rights())
        self.assertEqual(problems, [], "\n".join(problems))

    def test_a_written_script_carries_only_its_owner_and_the_administrators(self):
        scripts, _ = install(make_installers.read_rights(), "64-bit", "fresh", "nsis")
        script = m.add(scripts, "MapDrives.bat", False, m.user_sid(ALICE))
        effective = {a.sid for a in script.aces if not a.io}
        self.assertEqual(effective, {m.SYSTEM, m.ADMINISTRATORS, m.user_sid(ALICE),
                                     m.OWNER_RIGHTS})


class WeakenedRightsAreCaught(unittest.TestCase):
    """Each variant opens one hole; the checks must name it."""

    def setUp(self):
        self.rules = make_installers.read_rights()

    def assertCaught(self, rules, expected):
        problems = all_problems(rules)
        self.assertTrue(any(expected in p for p in problems),
                        "expected a problem with %r, got:\n%s" % (expected, "\n".join(problems)))

    def test_users_rights_inherited_into_the_program_folder(self):
        rules = replace_rule(self.rules, "scripts", "*S-1-5-32-545:(RD,WD,RA,S)",
                             "*S-1-5-32-545:(CI)(RD,WD,RA,S)")
        rules = [(f, a) for f, a in rules if f != "program" or "/grant" not in a]
        self.assertCaught(rules, "on bin")

    def test_full_control_for_the_creator_without_owner_rights(self):
        rules = replace_rule(self.rules, "scripts", "*S-1-3-0:(OI)(IO)" + OWN_FILES,
                             "*S-1-3-0:(OI)(IO)F")
        rules = replace_rule(rules, "scripts", " *S-1-3-4:(OI)(IO)" + OWN_FILES, "")
        self.assertCaught(rules, "could open it to others")

    def test_modify_on_their_own_files(self):
        # Modify, as a file created in Program Files would have, includes
        # execute: through either entry the owner could run what they put there.
        for sid in ("S-1-3-0", "S-1-3-4"):
            with self.subTest(sid=sid):
                rules = replace_rule(self.rules, "scripts", "*%s:(OI)(IO)%s" % (sid, OWN_FILES),
                                     "*%s:(OI)(IO)M" % sid)
                self.assertCaught(rules, "its creator gets execute (X)")

    def test_users_may_delete_any_file(self):
        rules = replace_rule(self.rules, "scripts", "(RD,WD,RA,S)", "(RD,WD,RA,S,DC)")
        self.assertCaught(rules, "another user can remove a user's script")

    def test_users_may_read_every_file(self):
        rules = replace_rule(self.rules, "scripts", "*S-1-5-32-545:(RD,WD,RA,S)",
                             "*S-1-5-32-545:(RD,WD,RA,S) *S-1-5-32-545:(OI)(IO)RX")
        # Two grants for one SID: keep both by granting without :r.
        rules = replace_rule(rules, "scripts", "/grant:r", "/grant")
        self.assertCaught(rules, "another user gets (RD")

    def test_no_reset_of_a_folder_that_existed(self):
        rules = [(f, a) for f, a in self.rules if a != "/reset"]
        self.assertCaught(rules, "tampered")

    def test_no_new_owner_for_a_folder_that_existed(self):
        rules = [(f, a) for f, a in self.rules if not a.startswith("/setowner")]
        self.assertCaught(rules, "users get (WDAC) on the script folder")

    def test_the_program_folder_left_with_inherited_rights(self):
        rules = [(f, a) for f, a in self.rules if f != "program"]
        self.assertCaught(rules, "32-bit Windows")

    def test_execute_on_the_folder_itself(self):
        rules = replace_rule(self.rules, "scripts", "(RD,WD,RA,S)", "(RD,WD,X,RA,S)")
        self.assertCaught(rules, "whose streams they write")

    def test_users_cannot_create_scripts(self):
        rules = replace_rule(self.rules, "scripts", "(RD,WD,RA,S)", "(RD,RA,S)")
        self.assertCaught(rules, "cannot create a file")


class InstallerSources(unittest.TestCase):
    """The generated sources carry the rights file's lines, in its order."""

    def setUp(self):
        self.rules = make_installers.read_rights()

    def test_setup_program_include(self):
        text = make_installers.nsis_rights_include(self.rules)
        calls = re.findall(r'!insertmacro RerevureIcacls "([^"]+)" "([^"]+)"', text)
        expected = [(make_installers.NSIS_FOLDERS[f], a) for f, a in self.rules]
        self.assertEqual(calls, expected)
        with open(os.path.join(make_installers.INSTALLER, "Rerevure.nsi")) as f:
            nsi = f.read()
        section = nsi[nsi.index('Section "Rerevure"'):]
        order = [section.index(s) for s in ("!insertmacro RerevureScriptsRights",
                                            "!insertmacro RerevureProgramRights", "File ")]
        self.assertEqual(order, sorted(order), "rights must be set before the program is copied")

    def test_msi_include(self):
        for package in make_installers.PACKAGES:
            include = ET.fromstring(make_installers.wix_rights_include(self.rules, package))
            actions = {a.get("Id"): a for a in include.iter("CustomAction")}
            steps = sorted(((int(c.get("Sequence")), c.get("Action"), (c.text or "").strip())
                            for c in include.iter("Custom")))
            commands = []
            for sequence, action, condition in steps:
                a = actions[action]
                if a.get("ExeCommand") is None:
                    continue
                self.assertEqual((a.get("Execute"), a.get("Impersonate"), a.get("Return")),
                                 ("deferred", "no", "check"), action)
                self.assertEqual(condition, "NOT REMOVE", action)
                self.assertTrue(4000 < sequence < 4500, "%s must run after InstallFiles and "
                                "before CreateShortcuts" % action)
                commands.append(a.get("ExeCommand"))
            expected = ['"%s" %s' % (make_installers.MSI_FOLDERS[f], a) for f, a in self.rules]
            self.assertEqual(commands, expected, package)


def msi_table(package, table):
    """Rows of one table of an MSI, as lists of strings (msiinfo export)."""
    out = subprocess.run(["msiinfo", "export", package, table], check=True,
                         stdout=subprocess.PIPE, universal_newlines=True).stdout
    return [line.split("\t") for line in out.splitlines()[3:]]


@unittest.skipUnless(MSI or "--msi" in sys.argv, "no MSI given")
class BuiltMsi(unittest.TestCase):
    """The built package runs exactly the file's lines, in order, elevated."""

    def setUp(self):
        if not shutil.which("msiinfo"):
            self.skipTest("msiinfo (package msitools) is not installed")

    def test_custom_actions(self):
        rules = make_installers.read_rights()
        actions = {row[0]: row for row in msi_table(MSI, "CustomAction")}
        sequence = sorted((int(row[2]), row[0], row[1])
                          for row in msi_table(MSI, "InstallExecuteSequence"))
        by_name = {row[1]: row for row in sequence}
        commands = []
        for number, action, condition in sequence:
            row = actions.get(action)
            # Every action that runs what the ICACLS property names; the one
            # that sets the property (type 51) is not among them.
            if not row or row[2] != "ICACLS" or int(row[1]) & 0x3F == 51:
                continue
            kind = int(row[1])
            self.assertEqual(kind & 0x3F, 50, "%s: run an exe named by a property" % action)
            self.assertTrue(kind & 0x400 and kind & 0x800, "%s: deferred, not impersonated"
                            % action)
            self.assertFalse(kind & 0x40, "%s: a failure must fail the install" % action)
            self.assertEqual(condition, "NOT REMOVE")
            self.assertGreater(number, int(by_name["InstallFiles"][0]))
            commands.append(row[3])
        expected = ['"%s" %s' % (make_installers.MSI_FOLDERS[f], a) for f, a in rules]
        self.assertEqual(commands, expected)
        # The script folder is made in the 64-bit Program Files, never by the
        # program's 8.3 path, which only the check reads.
        self.assertEqual(actions["SetScriptFolderPath"][3], "[ProgramFiles64Folder]Rerevure")
        self.assertEqual(actions["SetScriptFolder"][3], "[SCRIPTFOLDER]\\")
        self.assertEqual([name for name, row in actions.items() if "Progra~1" in row[3]],
                         ["SetCheckScriptPathData"])

    def test_per_machine_with_restart_manager_left_on(self):
        properties = dict(row[:2] for row in msi_table(MSI, "Property"))
        self.assertEqual(properties.get("ALLUSERS"), "1")
        # Restart Manager ends the copies running in every session and starts
        # them again afterwards. The first property would leave them running
        # and the upgrade waiting for a restart of the computer, the second
        # would leave them ended.
        for name in ("MSIRESTARTMANAGERCONTROL", "MSIDISABLERMRESTART"):
            self.assertNotIn(name, properties)


@unittest.skipUnless(MSI_X86 or "--msi-x86" in sys.argv, "no x86 MSI given")
class BuiltMsiPair(unittest.TestCase):
    """The x86 package refuses 64-bit Windows; the two share no component code."""

    def setUp(self):
        if not shutil.which("msiinfo"):
            self.skipTest("msiinfo (package msitools) is not installed")

    def test_the_x86_package_is_for_32_bit_windows_only(self):
        conditions = dict(msi_table(MSI_X86, "LaunchCondition"))
        self.assertIn(os.path.basename(MSI), conditions.get("NOT VersionNT64", ""))
        self.assertNotIn("NOT VersionNT64", dict(msi_table(MSI, "LaunchCondition")))

    def test_each_package_has_its_own_component_codes(self):
        codes = [{row[1] for row in msi_table(package, "Component")} for package in (MSI, MSI_X86)]
        self.assertEqual(codes[0] & codes[1], set())


if __name__ == "__main__":
    for option in ("--msi", "--msi-x86"):
        if option in sys.argv:
            i = sys.argv.index(option)
            globals()[option[2:].upper().replace("-", "_")] = sys.argv[i + 1]
            del sys.argv[i:i + 2]
    unittest.main()
