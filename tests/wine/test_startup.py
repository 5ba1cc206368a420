"""Start-up: which Windows versions and installed driver files lead to the dialog."""

import os
import shutil

import winetest
from winetest import MSG, DRIVER_FILES, EXIT_CLOSED, EXIT_NOTHING_TO_DO, ID_EXIT
from program_facts import MSG_BMP_NOT_FOUND, MSG_MAIN_TITLE


class StartUpTest(winetest.WineTestCase):

    def run_expecting_silence(self, probe):
        code, windows_seen = probe.wait_exit(30)
        self.assertEqual(code, EXIT_NOTHING_TO_DO)
        self.assertEqual(windows_seen, 0, 'the program showed a window')

    def run_expecting_dialog(self, probe):
        probe.start()
        dialog = probe.wait_window(MSG[MSG_MAIN_TITLE])
        probe.click(dialog, ID_EXIT)
        self.assertExit(probe, EXIT_CLOSED)

    def test_unserved_windows_versions_end_at_once(self):
        # No driver files at all: only the version keeps the dialog away. Wine's trace of
        # the version functions shows which files the program examined.
        prefix = self.new_prefix()
        probe = prefix.probe({'WINEDEBUG': '+ver'})
        for version in ['win98', 'nt40', 'vista', 'win10']:
            with self.subTest(version=version):
                prefix.set_version(version)
                probe.start()
                self.run_expecting_silence(probe)
        self.assertNotIn('orvel', self.version_trace(probe), 'no driver file examined')

        prefix.set_version('winxp')
        self.run_expecting_dialog(probe)
        self.assertIn('orvelxpparallel.sys', self.version_trace(probe), 'the trace shows examined files')

    def version_trace(self, probe):
        probe.log.flush()
        with open(probe.log_path, 'rb') as log:
            return log.read().decode('latin-1').lower()

    def test_installed_driver_files_decide(self):
        old = os.path.join(winetest.HELPERS, 'old_driver.sys')
        cases = [
            # version, files put into system32\drivers (name or (name, source)), dialog expected
            ('winxp', [], True),
            ('winxp', ['orvelxpparallel.sys'], False),
            ('winxp', [('orvelxpparallel.sys', old)], True),
            ('winxp', [('orvelxpparallel.sys', None)], True),       # no version resource
            ('winxp', ['orvel2kparallel.sys', 'orvel2kparport.sys'], True),
            ('win2k', [], True),
            ('win2k', ['orvel2kparallel.sys', 'orvel2kparport.sys'], False),
            ('win2k', ['orvel2kparallel.sys'], True),                # orvel2kparport.sys missing
            ('win2k', ['orvel2kparport.sys'], True),
            ('win2k', ['orvel2kparallel.sys', ('orvel2kparport.sys', old)], True),
            ('win2k', ['orvelxpparallel.sys'], True),
            ('winxp64', ['orvel2kparallel.sys', 'orvel2kparport.sys'], False),
            ('winxp64', ['orvel2kparallel.sys'], True),
            ('win2003', ['orvel2kparallel.sys', 'orvel2kparport.sys'], False),
            ('win2003', ['orvelxpparallel.sys'], True),
        ]
        prefix = self.new_prefix()
        probe = prefix.probe()
        all_names = sorted({n for names in DRIVER_FILES.values() for n in names})
        for version, files, dialog in cases:
            with self.subTest(version=version, files=files):
                for name in all_names:
                    path = prefix.unix(prefix.drivers(name))
                    if os.path.exists(path):
                        os.unlink(path)
                for entry in files:
                    name, source = entry if isinstance(entry, tuple) else (entry, os.path.join(winetest.DIST, entry))
                    target = prefix.unix(prefix.drivers(name))
                    if source is None:
                        with open(target, 'wb') as f:
                            f.write(b'not a driver\r\n')
                    else:
                        shutil.copy(source, target)
                prefix.set_version(version)
                if dialog:
                    self.run_expecting_dialog(probe)
                else:
                    probe.start()
                    self.run_expecting_silence(probe)

    def test_missing_bitmap_is_reported_first(self):
        prefix = self.new_prefix('winxp')
        os.unlink(prefix.unix(winetest.SETUP_DIR + '\\OEM.BMP'))
        probe = prefix.probe()
        for installed in [True, False]:
            with self.subTest(driver_installed=installed):
                if installed:
                    prefix.install_driver_files(DRIVER_FILES['winxp'])
                else:
                    os.unlink(prefix.unix(prefix.drivers('orvelxpparallel.sys')))
                probe.start()
                box = self.message_box(probe)
                self.assertMessageBox(box, MSG[MSG_BMP_NOT_FOUND], owner=0)
                self.assertEqual(probe.visible_windows(), [(winetest.APP_TITLE, 0)],
                                 'the box is the only window')
                probe.click(box.hwnd, winetest.IDOK)
                probe.wait_gone(box.hwnd)
                if installed:
                    self.run_expecting_silence(probe)
                else:
                    dialog = probe.wait_window(MSG[MSG_MAIN_TITLE])
                    self.assertTrue(probe.dump(dialog).child(ID_EXIT).enabled)
                    probe.click(dialog, ID_EXIT)
                    self.assertExit(probe, EXIT_CLOSED)


if __name__ == '__main__':
    winetest.main()
