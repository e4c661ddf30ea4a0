#!/usr/bin/env python3
"""Builds the release a second time, in another folder, and compares.

The source tree is copied to a folder of another name and depth and built
there (win32 preset, no tests), in another time zone, locale and umask than
this one's, as on another machine; its program, setup program and MSIs
must be byte for byte those of the build under test. The copy has no git
history, so it is given the release time the first build used (a commit
made since would change the time taken from the history), as scripts/dist
gives it.

Usage: test_repeatable.py --program Rerevure.exe --setup S.exe --msi P-x64.msi
           --msi-x86 P-x86.msi --work DIR [unittest options]
"""

import argparse
import glob
import os
import shutil
import subprocess
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.abspath(os.path.join(HERE, "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "release"))

import make_installers  # noqa: E402

ARGS = None


def source_files():
    """The tree's files as git sees them (tracked and new, not ignored)."""
    listed = subprocess.run(["git", "-C", ROOT, "ls-files", "-z", "--cached", "--others",
                             "--exclude-standard"], stdout=subprocess.PIPE, check=True)
    return [p for p in listed.stdout.decode("utf-8").split("\0")
            if p and os.path.isfile(os.path.join(ROOT, p))]


class Repeatable(unittest.TestCase):
    def test_a_second_build_elsewhere_gives_the_same_files(self):
        shutil.rmtree(ARGS.work, ignore_errors=True)
        source = os.path.join(ARGS.work, "another", "checkout")
        for path in source_files():
            os.makedirs(os.path.dirname(os.path.join(source, path)), exist_ok=True)
            shutil.copy2(os.path.join(ROOT, path), os.path.join(source, path))
        # Compiled afresh: a compiler cache would hand back the first build's objects.
        workdir = glob.glob(os.path.join(os.path.dirname(ARGS.setup), "installer-*"))[0]
        with open(os.path.join(workdir, make_installers.RELEASE_TIME_FILE)) as f:
            epoch = f.read().strip()
        # Another machine: 14 hours east of UTC (a POSIX rule, no zone
        # files needed), another locale than this process's, and a umask
        # that leaves files unreadable to others.
        locale = "C" if os.environ.get("LC_ALL", "").lower().startswith("c.utf") else "C.UTF-8"
        env = dict(os.environ, SOURCE_DATE_EPOCH=epoch, CCACHE_DISABLE="1",
                   TZ="<+14>-14", LC_ALL=locale, LANG=locale)
        build = os.path.join(source, "build", "again")
        for command in (["cmake", "--preset", "win32", "-B", build, "-DBUILD_TESTING=OFF"],
                        ["cmake", "--build", build, "--target", "Rerevure_installers"]):
            result = subprocess.run(command, cwd=source, env=env, stdin=subprocess.DEVNULL,
                                    stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                    universal_newlines=True,
                                    preexec_fn=lambda: os.umask(0o077))
            self.assertEqual(result.returncode, 0, result.stdout[-4000:])
        for first in (ARGS.program, ARGS.setup, ARGS.msi, ARGS.msi_x86):
            with self.subTest(os.path.basename(first)):
                with open(first, "rb") as a, \
                        open(os.path.join(build, "release", os.path.basename(first)), "rb") as b:
                    self.assertTrue(a.read() == b.read(), "%s differs" % os.path.basename(first))
        shutil.rmtree(ARGS.work, ignore_errors=True)


def main():
    global ARGS
    parser = argparse.ArgumentParser(add_help=False)
    for option in ("--program", "--setup", "--msi", "--msi-x86", "--work"):
        parser.add_argument(option, required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest)


if __name__ == "__main__":
    main()
