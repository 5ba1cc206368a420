"""Hostile input under Wine: switch words in the program's folder name, started the way
services and deployment agents start programs (the application's name on its own, its
path unquoted as the command line), and Wine's own driver update, which reports success
even when no device has the hardware id."""

import os
import re
import shutil

import winetest
from winetest import (MSG, ID_EXIT, DRIVER_FILES, EXIT_INSTALLED_NO_RESTART, EXIT_RESTART_REQUESTED,
                      EXIT_CLOSED)
from program_facts import MSG_MAIN_TITLE

LOG = 'C:\\windows\\Vantinst.log'


class HostileTest(winetest.WineTestCase):

    def copy_package(self, prefix, folder):
        shutil.copytree(prefix.unix(winetest.SETUP_DIR), prefix.unix(folder))
        return folder + '\\Vantinst.exe'

    def start_as_service(self, probe, program, cmdline):
        """CreateProcessA with the application's name and the command line apart."""
        return probe._expect_ok(probe.call('starta %s %s' % (program.encode('cp1252').hex(), cmdline)))['pid']

    def test_switch_words_in_the_folder_name_are_no_switches(self):
        # Unquoted path as the whole command line: not a quiet run, so the dialog comes.
        prefix = self.new_prefix('winxp')
        program = self.copy_package(prefix, 'C:\\my -quiet app')
        probe = prefix.probe()
        self.start_as_service(probe, program, program)
        dialog = probe.wait_window(MSG[MSG_MAIN_TITLE])
        probe.click(dialog, ID_EXIT)
        self.assertEqual(probe.wait_exit()[0], EXIT_CLOSED)
        header = prefix.read(LOG).decode('cp1252').split('\r\n')[0]
        self.assertTrue(header.endswith('Vantinst 1.01  ' + program), header)
        prefix.close()

        # A blank before the quoted path, a folder named like a switch: the restart is asked for.
        prefix = self.new_prefix('winxp')
        program = self.copy_package(prefix, 'C:\\no -norestart')
        prefix.use_newdev('fake_newdev.dll')
        probe = prefix.probe(winetest.fake_newdev_env('ok'))
        self.start_as_service(probe, program, ' "%s" -quiet' % program)
        code, windows_seen = probe.wait_exit(120)
        self.assertEqual((code, windows_seen), (EXIT_RESTART_REQUESTED, 0))
        prefix.close()

    def test_wines_own_driver_update_without_a_device(self):
        # Wine's update reports success and copies nothing: the quiet run copies the files.
        prefix = self.new_prefix('winxp')
        os.mkdir(prefix.unix('C:\\windows\\system32\\dllcache'))
        probe = prefix.probe()
        probe.start('-quiet -norestart')
        code, windows_seen = probe.wait_exit(120)
        self.assertEqual((code, windows_seen), (EXIT_INSTALLED_NO_RESTART, 0))
        for name in DRIVER_FILES['winxp']:
            self.assertEqual(prefix.read(prefix.drivers(name)), prefix.read(winetest.SETUP_DIR + '\\' + name))
        log = prefix.read(LOG).decode('cp1252')
        self.assertIn(': installed [00000000]\r\n', log)
        self.assertIn(') Decision: the driver update reported success but left a driver file missing, '
                      'as if it found no better driver\r\n', log)
        self.assertIn(') Answer: Yes\r\n', log)

    def test_two_quiet_runs_at_once_tell_their_lines_apart(self):
        # Two packages in two folders, started together: whatever the order of their
        # lines in the log, each line names its run, and each run's block says where it
        # was started from and how it ended.
        prefix = self.new_prefix('win2k')
        prefix.use_newdev('fake_newdev.dll')
        runs = []
        for folder in ['C:\\Paket A', 'C:\\Paket B']:
            program = self.copy_package(prefix, folder)
            probe = prefix.probe(winetest.fake_newdev_env('ok'))
            runs.append((probe, probe.start('-quiet -norestart', program), program))
        codes = {pid: probe.wait_exit(120)[0] for probe, pid, _ in runs}
        blocks = {}
        for line in prefix.read(LOG).decode('cp1252').split('\r\n')[:-1]:
            match = re.match(r'\((\d+)\)(?: (.*))?$', line)
            self.assertIsNotNone(match, 'tagged: ' + line)
            blocks.setdefault(int(match.group(1)), []).append(match.group(2) or '')
        self.assertEqual(sorted(blocks), sorted(codes), 'one block for each run')
        for probe, pid, program in runs:
            lines = blocks[pid]
            headers = [line for line in lines if line.startswith('==== ')]
            self.assertEqual(len(headers), 1, lines)
            self.assertIn('"%s" -quiet -norestart' % program, headers[0])
            self.assertEqual(lines[-1], 'Exit status %d' % codes[pid], lines)


if __name__ == '__main__':
    winetest.main()
