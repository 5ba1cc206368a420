"""Runs the console checks (check_version.exe, check_catalogue.exe) in a prefix of the
Wine harness: pieces of the program against the real API of this build's architecture."""
import os
import sys

import winetest

EXPECTED_VERSIONS = {
    "ok159.sys": 1, "v158.sys": 0, "trailing.sys": 0, "leading.sys": 0, "v1590.sys": 0,
    "v16.sys": 0, "empty.sys": 0, "novalue.sys": 0, "noversion.sys": 0,
    "secondtranslation.sys": 0, "badsignature.sys": 0, "missing.sys": 0,
}


class Pieces(winetest.WineTestCase):
    def test_version(self):
        exe, fixtures = ARGS
        paths = [winetest.windows_path(os.path.join(fixtures, name)) for name in EXPECTED_VERSIONS]
        done = self.new_prefix().wine([exe] + paths)
        results = {}
        for line in done.stdout.decode("latin-1").splitlines():
            result, path = line.split(" ", 1)
            results[path.rsplit("\\", 1)[-1]] = int(result)
        self.assertEqual(results, EXPECTED_VERSIONS)

    def test_catalogue(self):
        done = self.new_prefix().wine([ARGS[0]], check=False)
        out = done.stdout.decode("latin-1")
        self.assertEqual(done.returncode, 0, out)
        with open(os.path.join(os.path.dirname(__file__), "..", "..", "res", "messages.def")) as table:
            entries = sum(1 for line in table if line.startswith("MESSAGE("))
        self.assertIn("%d entries, 0 mismatches" % entries, out)


if __name__ == "__main__":
    which, ARGS = sys.argv[1], sys.argv[2:]
    sys.argv[1:] = ["-v", "Pieces.test_" + which]
    winetest.main()
