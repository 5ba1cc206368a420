"""Unattended runs under Wine: what the driver update is handed on each road, a quiet
run whose update wanted to ask something, two installers at once, and /log:."""

import os

import winetest
from program_facts import MSG_DRIVER_NOT_INSTALLED, MSG_INSTALLED_RESTART
from winetest import (MSG, ID_EXIT, ID_INSTALL, IDOK, DRIVER_FILES, EXIT_ALREADY_RUNNING, EXIT_CLOSED,
                      EXIT_FAILED, EXIT_INSTALLED_NO_RESTART)

LOG = 'C:\\windows\\Vantinst.log'
INSTALLFLAG_FORCE = 0x1
INSTALLFLAG_NONINTERACTIVE = 0x4


class UnattendedTest(winetest.WineTestCase):

    def lines(self, prefix, path=LOG):
        """The log's lines without their run's tag."""
        data = prefix.read(path).decode('cp1252')
        return [line.split(') ', 1)[1] if ') ' in line else '' for line in data.split('\r\n')[:-1]]

    def run_quietly(self, probe, args, timeout=120):
        probe.start(args)
        code, windows_seen = probe.wait_exit(timeout)
        self.assertEqual(windows_seen, 0, 'windows shown by a quiet run of ' + args)
        return code

    def install_interactively(self, probe):
        dialog = self.open_main_dialog(probe, '-norestart')
        probe.click(dialog, ID_INSTALL)
        box = self.message_box(probe, 60, exclude=(dialog,))
        self.assertEqual(box.child(winetest.MSGBOX_TEXT_ID).text, MSG[MSG_INSTALLED_RESTART])
        probe.click(box.hwnd, IDOK)
        probe.wait_gone(box.hwnd)
        probe.click(dialog, ID_EXIT)
        return probe.wait_exit(60)[0]

    def test_each_road_hands_the_update_its_flags_and_pointer(self):
        cases = [
            # version, quiet, flags, reboot pointer
            ('winxp', True, INSTALLFLAG_FORCE | INSTALLFLAG_NONINTERACTIVE, 'set'),
            ('win2k', True, INSTALLFLAG_FORCE, 'set'),
            ('winxp', False, INSTALLFLAG_FORCE, 'null'),
        ]
        for version, quiet, flags, pointer in cases:
            with self.subTest(version=version, quiet=quiet):
                prefix = self.new_prefix(version)
                prefix.use_newdev('fake_newdev.dll')
                probe = prefix.probe(winetest.fake_newdev_env('ok'))
                if quiet:
                    code = self.run_quietly(probe, '-quiet -norestart')
                else:
                    code = self.install_interactively(probe)
                self.assertEqual(code, EXIT_INSTALLED_NO_RESTART)
                calls = prefix.newdev_calls()
                self.assertEqual([(c[0], c[2], c[3], c[4]) for c in calls], [('*PNP0400', flags, 0, pointer)])
                lines = self.lines(prefix)
                # Wine's answer for the Administrators group, recorded by every run that installs.
                self.assertIn('Administrator rights: yes', lines)
                self.assertIn('Installer lock: taken', lines)
                self.assertEqual('Windows says: no restart is needed' in lines, quiet)
                waits = [line for line in lines if line.startswith("Waiting for Windows' device installations")]
                self.assertEqual(bool(waits), quiet, lines)
                prefix.close()

    def test_update_that_wanted_to_ask_fails_without_a_window(self):
        prefix = self.new_prefix('winxp')
        prefix.use_newdev('fake_newdev.dll')
        # ERROR_REQUIRES_INTERACTIVE_WINDOWSTATION, 1459
        probe = prefix.probe(winetest.fake_newdev_env('0x5b3'))
        self.assertEqual(self.run_quietly(probe, '-quiet'), EXIT_FAILED)
        lines = self.lines(prefix)
        self.assertIn('The driver update wanted to ask the user something, which a quiet run does not allow '
                      '[000005b3]: sign the driver package, or set the driver signing policy to Ignore '
                      '(README, "Deploying to many PCs")', lines)
        self.assertIn('Message %d: %s [000005b3]' % (MSG_DRIVER_NOT_INSTALLED, MSG[MSG_DRIVER_NOT_INSTALLED]), lines)
        self.assertFalse(prefix.exists(prefix.drivers(DRIVER_FILES['winxp'][0])))
        prefix.close()

    def test_second_installer_changes_nothing(self):
        prefix = self.new_prefix('winxp')
        prefix.use_newdev('fake_newdev.dll')
        env = winetest.fake_newdev_env('ok')
        first = prefix.probe(env)
        dialog = self.open_main_dialog(first)   # holds the lock while it waits for the user
        second = prefix.probe(env)
        self.assertEqual(self.run_quietly(second, '-quiet -norestart'), EXIT_ALREADY_RUNNING)
        second.start('-norestart')
        self.assertEqual(second.wait_exit(60)[0], EXIT_ALREADY_RUNNING)
        self.assertEqual(prefix.newdev_calls(), [], 'no driver update')
        self.assertFalse(prefix.exists(prefix.drivers(DRIVER_FILES['winxp'][0])))
        self.assertEqual(self.lines(prefix).count('Another installer is running: nothing changed'), 2)
        first.click(dialog, ID_EXIT)
        self.assertExit(first, EXIT_CLOSED)
        # Once it has ended, the lock is free again.
        self.assertEqual(self.run_quietly(second, '-quiet -norestart'), EXIT_INSTALLED_NO_RESTART)
        prefix.close()

    def test_log_goes_to_the_folder_given(self):
        prefix = self.new_prefix('winxp')
        prefix.use_newdev('fake_newdev.dll')
        os.mkdir(prefix.unix('C:\\my logs'))
        probe = prefix.probe(winetest.fake_newdev_env('ok'))
        args = '/quiet /norestart "/log:C:\\my logs\\PC1.log"'
        self.assertEqual(self.run_quietly(probe, args), EXIT_INSTALLED_NO_RESTART)
        lines = self.lines(prefix, 'C:\\my logs\\PC1.log')
        self.assertTrue(lines[0].startswith('==== ') and lines[0].endswith(args), lines[0])
        self.assertEqual(lines[-1], 'Exit status %d' % EXIT_INSTALLED_NO_RESTART)
        self.assertFalse(prefix.exists(LOG), 'nothing in the Windows directory')
        # A folder that does not exist: the block goes to the Windows directory after all.
        self.assertEqual(self.run_quietly(probe, '/quiet /log:C:\\nowhere\\PC1.log'), 0)
        self.assertTrue(any(line.startswith('Log: C:\\nowhere\\PC1.log cannot be written [') for line in
                            self.lines(prefix)))
        prefix.close()


if __name__ == '__main__':
    winetest.main()
