#!/usr/bin/env python3
"""Build the Rerevure setup program (NSIS) and MSI (wixl) from one program file.

Both installers take the rights of their two folders from
release/installer/folder-rights.txt: this script turns that file into the
setup program's FolderRights.nsh and the MSI's FolderRights.wxi, then runs
makensis and wixl.

Usage:
  make_installers.py --program Rerevure.exe --arch x86|amd64 --version 1.6.0
                     --organisation NAME [--setup OUT.exe]
                     [--msi OUT-x64.msi --msi-x86 OUT-x86.msi --actions RerevureActions.dll]
                     [--icon rerevure.ico] [--makensis PATH] [--wixl PATH]
                     [--workdir DIR]

--arch is the program's processor, which the setup program is built for.
The MSI is built twice, whatever the program: --msi, the x64 package, the
one for 64-bit Windows, and --msi-x86, the x86 package, for 32-bit Windows
only (it refuses on 64-bit Windows and names the x64 package's file). Both
put the program into the 32-bit Program Files and the script folder into
the 64-bit one. --actions is the DLL of the MSI's own custom actions
(release/installer/InstallerActions.cpp).

Repeatable: two builds of one commit give the same bytes. The packed
program is a copy whose file time is the release's time (SOURCE_DATE_EPOCH,
else the time of the source's last commit); the MSI's product code, package
code and dates are derived from its inputs and that time, not drawn at
random or read from the clock. The product code follows from the upgrade
code, the version and the package's processor alone, so that a rebuilt or
re-signed package of one version is the same product.

Signed when the environment names a certificate (see signing.py): the
uninstaller before makensis packs it, then the setup program and the MSI.
The program itself is signed before it gets here (Release.cmake).

Library use (the release tests): read_rights(), folder_path(), and the two
generators.

The script folder is made as Rerevure in the 64-bit Program Files (Program
Files on 32-bit Windows), never by the program's path C:\Progra~1\Rerevure:
that 8.3 name leads there only while the folder has it, and on a drive
without short names a folder made by that name would be an ordinary one in
C:\ that any user could own. Both installers say when the name does not
lead to the folder they made, and install all the same.
"""

import argparse
import hashlib
import os
import shutil
import subprocess
import sys
import time
import uuid
from xml.sax.saxutils import escape as xml_escape

import msi_summary
import signing

HERE = os.path.dirname(os.path.abspath(__file__))
INSTALLER = os.path.join(HERE, "installer")
RIGHTS_FILE = os.path.join(INSTALLER, "folder-rights.txt")

# The folder of the program's fixed script path C:\Progra~1\Rerevure\MapDrives.bat:
# checked by the installers, never created by this name.
SCRIPT_PATH_FOLDER = "C:\\Progra~1\\Rerevure"
# What the installers create: this name in the 64-bit Program Files.
SCRIPT_FOLDER_NAME = "Rerevure"
FOLDERS = ("scripts", "program")

# How each installer names the two folders in the icacls command line. The
# MSI's program folder comes from a property without the trailing backslash
# of a directory property, which would escape the closing quote.
NSIS_FOLDERS = {"scripts": "${SCRIPT_FOLDER}", "program": "$INSTDIR"}
MSI_FOLDERS = {"scripts": "[SCRIPTFOLDER]", "program": "[PROGRAMFOLDER]"}

# The setup program's NSIS target for the program's processor.
ARCHES = {"x86": "x86-unicode", "amd64": "amd64-unicode"}
# The two MSIs: package: (the Program Files folder the script folder goes
# in, the system folder, whether its components are 64-bit).
PACKAGES = {
    "x64": ("ProgramFiles64Folder", "System64Folder", "yes"),
    "x86": ("ProgramFilesFolder", "SystemFolder", "no"),
}
# The upgrade code of every Rerevure MSI: a package replaces an installed
# one of the same upgrade code and a lower version.
UPGRADE_CODE = "5E0C9B52-8D0B-4C49-9C1E-3E7B1F6A2D41"

# In the work folder: the release time the packages were built with.
RELEASE_TIME_FILE = "SOURCE_DATE_EPOCH"

# The namespace of the MSI codes derived from a release's inputs.
CODE_NAMESPACE = uuid.UUID("7a1c3e5f-2b4d-4f6a-8c9e-0d1f2a3b4c5d")

# Where the MSI's folder-rights actions run: after InstallFiles (4000), so
# the rights reach the installed files, and before CreateShortcuts (4500).
MSI_RIGHTS_FIRST_SEQUENCE = 4001


class RightsError(ValueError):
    pass


def read_rights(path=RIGHTS_FILE):
    """[(folder, icacls arguments)] in file order, comments and blanks skipped."""
    rules = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            folder, sep, args = line.partition("\t")
            if not sep or folder not in FOLDERS or not args.strip():
                raise RightsError("%s:%d: expected <scripts|program><tab><icacls arguments>"
                                  % (path, number))
            if '"' in args or "'" in args or "$" in args or "[" in args:
                # The arguments go verbatim into NSIS and MSI strings, where
                # these characters would be quoting or expansion.
                raise RightsError("%s:%d: quotes, $ and [ are not allowed" % (path, number))
            rules.append((folder, args.strip()))
    for folder in FOLDERS:
        if not any(f == folder for f, _ in rules):
            raise RightsError("%s: no rights for the %s folder" % (path, folder))
    return rules


def nsis_rights_include(rules):
    """The setup program's FolderRights.nsh: one macro per folder."""
    lines = ["; Generated by make_installers.py from folder-rights.txt; do not edit."]
    for folder, macro in (("scripts", "RerevureScriptsRights"),
                          ("program", "RerevureProgramRights")):
        lines.append("!macro %s" % macro)
        for f, args in rules:
            if f == folder:
                lines.append('  !insertmacro RerevureIcacls "%s" "%s"'
                             % (NSIS_FOLDERS[folder], args))
        lines.append("!macroend")
    return "\n".join(lines) + "\n"


def wix_rights_include(rules, package):
    """The MSI's FolderRights.wxi: properties and one deferred action per line."""
    script_files, system_folder, _ = PACKAGES[package]
    out = ['<?xml version="1.0" encoding="utf-8"?>',
           "<!-- Generated by make_installers.py from folder-rights.txt; do not edit. -->",
           "<Include>",
           '  <CustomAction Id="SetIcaclsPath" Property="ICACLS" Value="[%s]icacls.exe"/>'
           % system_folder,
           # The 64-bit Program Files (the only one on 32-bit Windows, where
           # the x86 package alone installs).
           '  <CustomAction Id="SetScriptFolderPath" Property="SCRIPTFOLDER" '
           'Value="[%s]%s"/>' % (script_files, SCRIPT_FOLDER_NAME),
           '  <CustomAction Id="SetProgramFolderPath" Property="PROGRAMFOLDER" '
           'Value="[RerevureFolder]bin"/>']
    sequence = ['    <Custom Action="SetScriptFolderPath" Sequence="988"/>',
                '    <Custom Action="SetIcaclsPath" Sequence="991"/>',
                '    <Custom Action="SetProgramFolderPath" Sequence="1001"/>']
    for index, (folder, args) in enumerate(rules, 1):
        action = "FolderRights%d" % index
        command = '"%s" %s' % (MSI_FOLDERS[folder], args)
        out.append('  <CustomAction Id="%s" Property="ICACLS" ExeCommand="%s" '
                   'Execute="deferred" Impersonate="no" Return="check"/>'
                   % (action, xml_escape(command, {'"': "&quot;"})))
        sequence.append('    <Custom Action="%s" Sequence="%d">NOT REMOVE</Custom>'
                        % (action, MSI_RIGHTS_FIRST_SEQUENCE + index - 1))
    out.append("  <InstallExecuteSequence>")
    out += sequence
    out.append("  </InstallExecuteSequence>")
    out.append("</Include>")
    return "\n".join(out) + "\n"


def folder_path(folder, program_folder, script_folder):
    """The path an installer hands icacls for a folder of the rights file."""
    return script_folder if folder == "scripts" else program_folder


def _write(path, text):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


def release_epoch(env=None):
    """The release's time: SOURCE_DATE_EPOCH, else the source's last commit,
    else now (a source without its history cannot be rebuilt the same)."""
    epoch = signing.source_date_epoch(env)
    if epoch is not None:
        return epoch
    try:
        committed = subprocess.run(["git", "-C", HERE, "log", "-1", "--format=%ct"],
                                   stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                   universal_newlines=True)
        if committed.returncode == 0 and committed.stdout.strip().isdigit():
            return int(committed.stdout.strip())
    except OSError:
        pass
    return int(time.time())


def derived_code(kind, *inputs):
    """A UUID that changes with any of inputs and nothing else."""
    digest = hashlib.sha256()
    for item in inputs:
        digest.update(item if isinstance(item, bytes) else str(item).encode("utf-8"))
        digest.update(b"\0")
    return uuid.uuid5(CODE_NAMESPACE, kind + ":" + digest.hexdigest())


def stage_program(program, workdir, epoch):
    """A copy of a packed file with the release's file time, which the installers record."""
    folder = os.path.join(workdir, "stage")
    os.makedirs(folder, exist_ok=True)
    staged = os.path.join(folder, os.path.basename(program))
    shutil.copyfile(program, staged)
    os.utime(staged, (epoch, epoch))
    return staged


def _sign(path, arguments):
    if arguments is None:
        return
    try:
        signing.sign(path, arguments)
    except signing.SigningError as error:
        # No unsigned package is left where a signed one was asked for.
        os.remove(path)
        raise SystemExit("make_installers: %s" % error)


def _run(command, cwd=None):
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                            universal_newlines=True, cwd=cwd)
    if result.returncode != 0:
        sys.stderr.write(result.stdout)
        raise SystemExit("make_installers: %s failed (exit %d)"
                         % (os.path.basename(command[0]), result.returncode))


def build_setup(args, rules, workdir, program, signer):
    include = os.path.join(workdir, "FolderRights.nsh")
    _write(include, nsis_rights_include(rules))
    command = [args.makensis, "-V2", "-NOCD",
               "-DTARGET=%s" % ARCHES[args.arch],
               "-DVERSION=%s" % args.version,
               "-DORGANISATION=%s" % args.organisation,
               "-DPROGRAM=%s" % program,
               "-DOUTFILE=%s" % os.path.abspath(args.setup),
               "-DFOLDER_RIGHTS=%s" % include,
               "-DSCRIPT_FOLDER_NAME=%s" % SCRIPT_FOLDER_NAME,
               "-DSCRIPT_PATH_FOLDER=%s" % SCRIPT_PATH_FOLDER]
    if args.icon:
        command.append("-DICON=%s" % os.path.abspath(args.icon))
    if signer is not None:
        # makensis hands the uninstaller to this before packing it; the
        # signed copy kept in the work folder is what the release tests check.
        command.append('-DUNINSTALLER_FINALIZE="%s" "%s" "%%1" --keep "%s"'
                       % (sys.executable, os.path.join(HERE, "signing.py"),
                          os.path.join(workdir, "uninstall.exe")))
    command.append(os.path.join(INSTALLER, "Rerevure.nsi"))
    _run(command)
    _sign(os.path.abspath(args.setup), signer)


def build_msi(args, rules, workdir, program, signer, epoch, package, msi):
    _, system_folder, win64 = PACKAGES[package]
    folder = os.path.join(workdir, package)
    os.makedirs(folder, exist_ok=True)
    rights = wix_rights_include(rules, package)
    _write(os.path.join(folder, "FolderRights.wxi"), rights)
    with open(program, "rb") as f:
        program_digest = hashlib.sha256(f.read()).hexdigest()
    with open(args.actions, "rb") as f:
        actions_digest = hashlib.sha256(f.read()).hexdigest()
    with open(os.path.join(INSTALLER, "Rerevure.wxs"), "rb") as f:
        inputs = (package, args.version, args.organisation, program_digest, actions_digest,
                  f.read(), rights, epoch, os.path.basename(args.msi))
    msi = os.path.abspath(msi)
    # wixl 0.101 finds source files only relative to its working directory.
    _run([args.wixl, "-a", package, "-D", "Arch=%s" % package,
          "-D", "ProductCode=%s" % str(derived_code("product", UPGRADE_CODE, args.version,
                                                    package)).upper(),
          "-D", "UpgradeCode=%s" % UPGRADE_CODE,
          "-D", "Version=%s" % args.version,
          "-D", "Organisation=%s" % args.organisation,
          "-D", "ProgramFile=%s" % os.path.basename(program),
          "-D", "ActionsFile=%s" % os.path.basename(args.actions),
          "-D", "SystemFolder=%s" % system_folder,
          "-D", "Win64=%s" % win64,
          "-D", "X64Package=%s" % os.path.basename(args.msi),
          "-D", "ScriptPathFolder=%s" % SCRIPT_PATH_FOLDER,
          "-I", folder,
          "-o", msi,
          os.path.join(INSTALLER, "Rerevure.wxs")], cwd=os.path.dirname(program))
    try:
        msi_summary.fix_summary(msi, derived_code("package", *inputs), epoch)
    except msi_summary.MsiFormatError as error:
        raise SystemExit("make_installers: %s: %s" % (msi, error))
    _sign(msi, signer)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--arch", choices=sorted(ARCHES), required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--organisation", required=True)
    parser.add_argument("--setup")
    parser.add_argument("--msi")
    parser.add_argument("--msi-x86")
    parser.add_argument("--actions")
    parser.add_argument("--icon")
    parser.add_argument("--makensis", default="makensis")
    parser.add_argument("--wixl", default="wixl")
    parser.add_argument("--workdir")
    args = parser.parse_args(argv)
    if not args.setup and not args.msi:
        parser.error("nothing to build: give --setup and/or --msi")
    if args.msi and not (args.msi_x86 and args.actions):
        parser.error("the MSIs need --msi-x86 and --actions too")

    rules = read_rights()
    out = os.path.dirname(os.path.abspath(args.setup or args.msi))
    workdir = os.path.abspath(args.workdir or os.path.join(out, "installer-%s" % args.arch))
    os.makedirs(workdir, exist_ok=True)
    try:
        signer = signing.signer_arguments()
        epoch = release_epoch()
    except signing.SigningError as error:
        raise SystemExit("make_installers: %s" % error)
    program = stage_program(os.path.abspath(args.program), workdir, epoch)
    if args.actions:
        args.actions = stage_program(os.path.abspath(args.actions), workdir, epoch)
    # The time these packages carry, for rebuilding them elsewhere the same.
    _write(os.path.join(workdir, RELEASE_TIME_FILE), "%d\n" % epoch)
    if args.setup:
        build_setup(args, rules, workdir, program, signer)
    if args.msi:
        for package, msi in (("x64", args.msi), ("x86", args.msi_x86)):
            build_msi(args, rules, workdir, program, signer, epoch, package, msi)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
