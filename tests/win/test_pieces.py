"""Runs the console checks of tests/win under Wine, each in a throwaway prefix."""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

EXPECTED_VERSIONS = {
    "ok159.sys": 1, "v158.sys": 0, "trailing.sys": 0, "leading.sys": 0, "v1590.sys": 0,
    "v16.sys": 0, "empty.sys": 0, "novalue.sys": 0, "noversion.sys": 0,
    "secondtranslation.sys": 0, "badsignature.sys": 0, "missing.sys": 0,
}


def run_in_wine(args):
    home = tempfile.mkdtemp(prefix="vantinst-home-")
    env = dict(os.environ, WINEPREFIX=os.path.join(home, "prefix"), HOME=home, WINEDEBUG="-all",
               WINEDLLOVERRIDES="winemenubuilder.exe=d", LANG="C",
               PATH="/usr/lib/wine:" + os.environ.get("PATH", ""))
    env.pop("DISPLAY", None)
    try:
        done = subprocess.run(["wine64"] + args, env=env, capture_output=True, timeout=150)
        subprocess.run(["wineserver", "-k"], env=env, capture_output=True, timeout=30)
        return done
    finally:
        shutil.rmtree(home, ignore_errors=True)


class Pieces(unittest.TestCase):
    def test_version(self):
        exe, fixtures = ARGS
        paths = ["Z:" + os.path.join(fixtures, name).replace("/", "\\") for name in EXPECTED_VERSIONS]
        done = run_in_wine([exe] + paths)
        results = {}
        for line in done.stdout.decode("latin-1").splitlines():
            result, path = line.split(" ", 1)
            results[path.rsplit("\\", 1)[-1]] = int(result)
        self.assertEqual(results, EXPECTED_VERSIONS)

    def test_catalogue(self):
        done = run_in_wine([ARGS[0]])
        out = done.stdout.decode("latin-1")
        self.assertEqual(done.returncode, 0, out)
        with open(os.path.join(os.path.dirname(__file__), "..", "..", "res", "messages.def")) as table:
            entries = sum(1 for line in table if line.startswith("MESSAGE("))
        self.assertIn("%d entries, 0 mismatches" % entries, out)


if __name__ == "__main__":
    which, ARGS = sys.argv[1], sys.argv[2:]
    suite = unittest.TestSuite([Pieces("test_" + which)])
    sys.exit(0 if unittest.TextTestRunner(verbosity=2).run(suite).wasSuccessful() else 1)
