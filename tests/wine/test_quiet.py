"""Unattended runs and the installation log: "-quiet" shows no window at all and
ends with the exit status, the slash forms of the switches work as the dash forms,
and every run appends its block to C:\\windows\\Vantinst.log."""

import os
import re

import winetest
from winetest import (MSG, ID_EXIT, ID_INSTALL, IDOK, DRIVER_FILES, EXIT_FAILED, EXIT_NOTHING_TO_DO,
                      EXIT_INSTALLED_NO_RESTART, EXIT_RESTART_REQUESTED)
from program_facts import MSG_DRIVER_NOT_INSTALLED, MSG_INSTALLED_RESTART

LOG = 'C:\\windows\\Vantinst.log'
TRACE_PROCESSES = {'WINEDEBUG': '+process'}


class QuietTest(winetest.WineTestCase):

    def log_lines(self, prefix):
        """The log's lines without the tag of their run; the file is ANSI text with CR LF
        line ends, and every line of a block carries its run's process id as "(pid) "."""
        data = prefix.read(LOG)
        self.assertTrue(data.endswith(b'\r\n'), 'whole lines')
        self.assertNotIn(b'\n', data.replace(b'\r\n', b''), 'every line ends in CR LF')
        lines = []
        tag = None
        for line in data.decode('cp1252').split('\r\n')[:-1]:
            match = re.match(r'\((\d+)\)(?: (.*))?$', line)
            self.assertIsNotNone(match, 'tagged: ' + line)
            if match.group(2) and match.group(2).startswith('==== '):
                tag = match.group(1)
            self.assertEqual(match.group(1), tag, 'one run writes its block: ' + line)
            self.assertFalse(line.endswith(' '), 'no blank at the end: ' + line)
            lines.append(match.group(2) or '')
        return lines

    def run_quietly(self, probe, args, timeout=120):
        """Runs the program to its end; no window may appear meanwhile."""
        probe.start(args)
        code, windows_seen = probe.wait_exit(timeout)
        self.assertEqual(windows_seen, 0, 'windows shown by a quiet run of ' + args)
        return code

    def test_quiet_roads_with_the_test_driver_update(self):
        cases = [
            # version, answers of the driver update, arguments, exit status, files in drivers\
            # 'ok' delivers the files as a real update does; 'hollow' reports success without
            # them, and the quiet run copies them itself.
            ('winxp', 'ok', '-quiet -norestart', EXIT_INSTALLED_NO_RESTART, DRIVER_FILES['winxp']),
            ('win2k', 'hollow', '-quiet -norestart', EXIT_INSTALLED_NO_RESTART, DRIVER_FILES['win2k']),
            ('winxp', '259', '/quiet /norestart', EXIT_INSTALLED_NO_RESTART, DRIVER_FILES['winxp']),
            ('win2k', 'e000020b,259', '-quiet /norestart', EXIT_INSTALLED_NO_RESTART, DRIVER_FILES['win2k']),
            ('winxp', '5', '/quiet', EXIT_FAILED, []),
        ]
        for version, answers, args, status, files in cases:
            with self.subTest(version=version, answers=answers, args=args):
                prefix = self.new_prefix(version)
                os.mkdir(prefix.unix('C:\\windows\\system32\\dllcache'))
                # The picture is not needed: a damaged one must not stop the run.
                with open(prefix.unix(winetest.SETUP_DIR + '\\OEM.BMP'), 'wb') as f:
                    f.write(b'BM')
                prefix.use_newdev('fake_newdev.dll')
                probe = prefix.probe(winetest.fake_newdev_env(answers))
                self.assertEqual(self.run_quietly(probe, args), status)
                for name in DRIVER_FILES[version]:
                    self.assertEqual(prefix.exists(prefix.drivers(name)), name in files, name)
                lines = self.log_lines(prefix)
                self.assertTrue(lines[0].startswith('==== ') and lines[0].endswith('Vantinst.exe" ' + args),
                                lines[0])
                self.assertIn('Decision: install, quietly', lines)
                self.assertEqual(lines[-1], 'Exit status %d' % status)
                if status == EXIT_FAILED:
                    self.assertIn('Message %d: %s [00000005]'
                                  % (MSG_DRIVER_NOT_INSTALLED, MSG[MSG_DRIVER_NOT_INSTALLED]), lines)

                # Now the driver is current (or was never put there): a second quiet run.
                if files:
                    self.assertEqual(self.run_quietly(probe, args), EXIT_NOTHING_TO_DO)
                    self.assertEqual(self.log_lines(prefix)[-2:],
                                     ['Decision: nothing to do, the driver is current',
                                      'Exit status %d' % EXIT_NOTHING_TO_DO])
                prefix.close()   # a prefix of its own for each case; only two may live at once

    def test_real_plug_and_play_road_quietly(self):
        prefix = self.new_prefix('win2k')
        prefix.make_device('*PNP0400')
        probe = prefix.probe(TRACE_PROCESSES)
        self.assertEqual(self.run_quietly(probe, '-quiet -norestart'), EXIT_INSTALLED_NO_RESTART)
        for name in DRIVER_FILES['win2k']:
            self.assertEqual(prefix.read(prefix.drivers(name)), prefix.read(winetest.SETUP_DIR + '\\' + name))
        lines = self.log_lines(prefix)
        self.assertIn('Driver update *PNP0400 with C:\\Setup\\orvel2kparallel.inf: installed [00000000]', lines)
        self.assertIn('Restart: not requested (norestart)', lines)
        with open(probe.log_path, errors='replace') as log:
            self.assertNotIn('--end-session', log.read())
        self.assertEqual(self.run_quietly(probe, '-quiet -norestart'), EXIT_NOTHING_TO_DO)

    def test_quiet_restart_request(self):
        prefix = self.new_prefix('winxp')
        prefix.use_newdev('fake_newdev.dll')
        probe = prefix.probe(dict(winetest.fake_newdev_env('ok'), **TRACE_PROCESSES))
        # Without a window the program outlives Wine's session end and reports the request.
        self.assertEqual(self.run_quietly(probe, '-quiet'), EXIT_RESTART_REQUESTED)
        with open(probe.log_path, errors='replace') as log:
            self.assertIn('wineboot.exe --end-session', log.read())
        self.assertEqual(self.log_lines(prefix)[-2:], ['Restart requested: accepted', 'Exit status %d' % EXIT_RESTART_REQUESTED])

    def test_slash_forms_in_an_interactive_run(self):
        prefix = self.new_prefix('winxp')
        prefix.use_newdev('fake_newdev.dll')
        probe = prefix.probe(dict(winetest.fake_newdev_env('ok'), **TRACE_PROCESSES))
        dialog = self.open_main_dialog(probe, '/info /norestart')
        probe.click(dialog, ID_INSTALL)
        info = self.message_box(probe, exclude=[dialog])
        self.assertMessageBox(info, 'orvelxpparallel', owner=0)
        probe.click(info.hwnd, IDOK)
        probe.wait_gone(info.hwnd)
        box = self.message_box(probe, exclude=[dialog])
        self.assertMessageBox(box, MSG[MSG_INSTALLED_RESTART], owner=dialog)
        probe.click(box.hwnd, IDOK)
        probe.wait_gone(box.hwnd)
        self.assertAfterInstallation(probe, dialog)
        probe.click(dialog, ID_EXIT)
        self.assertExit(probe, EXIT_INSTALLED_NO_RESTART)
        with open(probe.log_path, errors='replace') as log:
            self.assertNotIn('--end-session', log.read(), '/norestart is heeded')

    def test_log_after_an_interactive_run(self):
        prefix = self.new_prefix('winxp')
        prefix.install_driver_files(DRIVER_FILES['winxp'])
        probe = prefix.probe()
        probe.start('')
        self.assertExit(probe, EXIT_NOTHING_TO_DO)
        os.unlink(prefix.unix(prefix.drivers('orvelxpparallel.sys')))
        prefix.use_newdev('fake_newdev.dll')
        probe = prefix.probe(winetest.fake_newdev_env('5'))
        dialog = self.open_main_dialog(probe, '-norestart')
        probe.click(dialog, ID_INSTALL)
        box = self.message_box(probe, exclude=[dialog])
        probe.click(box.hwnd, IDOK)
        probe.wait_gone(box.hwnd)
        probe.settle(dialog)
        probe.click(dialog, ID_EXIT)
        self.assertExit(probe, EXIT_FAILED)

        lines = self.log_lines(prefix)
        starts = [i for i, line in enumerate(lines) if line.startswith('==== ')]
        self.assertEqual(len(starts), 2, 'one block per run')
        second = lines[starts[1]:]
        self.assertRegex(second[0], r'^==== \d{4}-\d\d-\d\d \d\d:\d\d:\d\d  Vantinst 1\.01  '
                                    r'"C:\\Setup\\Vantinst\.exe" -norestart$')
        self.assertRegex(second[1], r'^Windows 5\.1\.\d+')
        self.assertEqual(second[2:], [
            'Driver file C:\\windows\\System32\\drivers\\orvelxpparallel.sys: missing [00000002]',
            'Administrator rights: yes',
            'Installer lock: taken',
            'Decision: install, the dialog is shown',
            'Driver update *PNP0400 with C:\\Setup\\orvelxpparallel.inf: failed [00000005]',
            'Message %d: %s [00000005]' % (MSG_DRIVER_NOT_INSTALLED, MSG[MSG_DRIVER_NOT_INSTALLED]),
            'Exit status %d' % EXIT_FAILED,
        ])
        self.assertEqual(lines[starts[1] - 1], 'Exit status %d' % EXIT_NOTHING_TO_DO)


if __name__ == '__main__':
    winetest.main()
