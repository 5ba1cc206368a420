"""The roads of one installation, with a test newdev.dll whose driver update
answers as each test needs: reported failures, the hardware-id fallback, manual
placement of the driver files, a missing or incomplete newdev.dll, "-info"."""

import os

import winetest
from winetest import (MSG, APP_TITLE, ID_EXIT, ID_INSTALL, IDOK, IDYES, IDNO,
                      EXIT_FAILED, EXIT_INSTALLED_NO_RESTART, FILE_ATTRIBUTE_READONLY)
from program_facts import (MSG_DRIVER_NOT_INSTALLED, MSG_INSTALLED_RESTART, MSG_MAIN_TITLE,
                           MSG_NEWDEV_NOT_LOADED, MSG_PLEASE_WAIT)

XP_INF = winetest.SETUP_DIR + '\\orvelxpparallel.inf'
W2K_INF = winetest.SETUP_DIR + '\\orvel2kparallel.inf'
LPT, ECP = '*PNP0400', '*PNP0401'
SYSTEM32 = 'C:\\windows\\system32\\'


class InstallRoadsTest(winetest.WineTestCase):

    def start_installation(self, prefix, answers, args='-norestart', newdev='fake_newdev.dll', env=None):
        """Starts the program with the test newdev.dll and presses Install."""
        prefix.use_newdev(newdev)
        prefix.clear_newdev_calls()
        probe = prefix.probe(dict(winetest.fake_newdev_env(answers), **(env or {})))
        dialog = self.open_main_dialog(probe, args)
        probe.click(dialog, ID_INSTALL)
        return probe, dialog

    def assertBoxWhileInstalling(self, probe, dialog, message, buttons=(IDOK,)):
        """The next box is the given message, shown while the installation runs."""
        box = self.message_box(probe, exclude=[dialog])
        if message is None:
            self.assertEqual(box.text, APP_TITLE)
            self.assertTrue(box.child(winetest.MSGBOX_TEXT_ID).text, 'the question has a text')
            self.assertEqual(box.owner, dialog)
            self.assertEqual(box.buttons(), sorted(buttons))
        else:
            self.assertMessageBox(box, message, owner=dialog, buttons=buttons)
        self.assertDialogState(probe.dump(dialog), MSG[MSG_PLEASE_WAIT], install=False, exit=False, bar=True)
        self.assertProgressAdvances(probe, dialog)
        return box.hwnd

    def assertSuccessBox(self, probe, dialog):
        """The success message is up; the installation procedure itself is over."""
        box = self.message_box(probe, exclude=[dialog])
        self.assertMessageBox(box, MSG[MSG_INSTALLED_RESTART], owner=dialog)
        self.assertDialogState(probe.dump(dialog), MSG[MSG_PLEASE_WAIT], install=False, exit=True, bar=False)
        return box.hwnd

    def finish(self, probe, dialog, code):
        """No further box; the dialog is back to its text; Exit ends with the code."""
        probe.settle(dialog)
        self.assertEqual(probe.visible_windows(), [(MSG[MSG_MAIN_TITLE], 0)])
        self.assertAfterInstallation(probe, dialog)
        probe.click(dialog, ID_EXIT)
        self.assertExit(probe, code)

    def test_failed_driver_update_is_reported(self):
        cases = [
            # version, answers of the driver update, code shown, (hwid, inf) of the calls
            ('winxp', 'e000020b,e000020b', 'e000020b', [(LPT, XP_INF), (ECP, XP_INF)]),
            ('winxp', '5', '00000005', [(LPT, XP_INF)]),
            ('win2k', 'e000020b,2', '00000002', [(LPT, W2K_INF), (ECP, W2K_INF)]),
            ('win2003', '0x57', '00000057', [(LPT, W2K_INF)]),
        ]
        prefix = self.new_prefix()
        for version, answers, code, calls in cases:
            with self.subTest(version=version, answers=answers):
                prefix.set_version(version)
                probe, dialog = self.start_installation(prefix, answers)
                box = self.assertBoxWhileInstalling(probe, dialog, MSG[MSG_DRIVER_NOT_INSTALLED] + ' [%s]' % code)
                self.assertEqual(prefix.newdev_calls(), [c + (1, 0, 'null') for c in calls])
                probe.click(box, IDOK)
                probe.wait_gone(box)
                self.finish(probe, dialog, EXIT_FAILED)
                probe.close()

    def test_ecp_port_gets_the_driver_through_the_second_id(self):
        prefix = self.new_prefix('winxp')
        probe, dialog = self.start_installation(prefix, 'e000020b,ok')
        box = self.assertSuccessBox(probe, dialog)
        self.assertEqual([c[0] for c in prefix.newdev_calls()], [LPT, ECP])
        probe.click(box, IDOK)
        probe.wait_gone(box)
        self.finish(probe, dialog, EXIT_INSTALLED_NO_RESTART)

    def place_manually(self, version, answers, copies):
        prefix = self.new_prefix(version)
        os.mkdir(prefix.unix(SYSTEM32 + 'dllcache'))
        for name in set(source for source, _ in copies):
            os.chmod(prefix.unix(winetest.SETUP_DIR + '\\' + name), 0o555)   # read-only
        probe, dialog = self.start_installation(prefix, answers)
        self.assertEqual(probe.attributes(winetest.SETUP_DIR + '\\' + copies[0][0]) & FILE_ATTRIBUTE_READONLY,
                         FILE_ATTRIBUTE_READONLY, 'the source is read-only')
        question = self.assertBoxWhileInstalling(probe, dialog, None, buttons=(IDYES, IDNO))
        probe.click(question, IDYES)
        probe.wait_gone(question)
        box = self.assertSuccessBox(probe, dialog)
        for source, target in copies:
            self.assertTrue(prefix.exists(SYSTEM32 + target), target + ' placed')
            self.assertEqual(prefix.read(SYSTEM32 + target), prefix.read(winetest.SETUP_DIR + '\\' + source), target)
            attributes = probe.attributes(SYSTEM32 + target)
            self.assertFalse(attributes & FILE_ATTRIBUTE_READONLY, target + ' is not read-only')
        placed = sorted(os.listdir(prefix.unix(SYSTEM32 + 'dllcache')))
        self.assertEqual(placed, sorted(t.split('\\')[1] for _, t in copies if t.startswith('dllcache')))
        probe.click(box, IDOK)
        probe.wait_gone(box)
        self.finish(probe, dialog, EXIT_INSTALLED_NO_RESTART)
        probe.start('-norestart')
        self.assertExit(probe, winetest.EXIT_NOTHING_TO_DO)

    def test_manual_placement_on_windows_xp(self):
        self.place_manually('winxp', '259', [
            ('orvelxpparallel.sys', 'dllcache\\orvelxpparallel.sys'),
            ('orvelxpparallel.sys', 'drivers\\orvelxpparallel.sys'),
        ])

    def test_manual_placement_on_windows_2000_after_second_id(self):
        self.place_manually('win2k', 'e000020b,259', [
            ('orvel2kparallel.sys', 'dllcache\\orvel2kparallel.sys'),
            ('orvel2kparallel.sys', 'drivers\\orvel2kparallel.sys'),
            ('orvel2kparport.sys', 'drivers\\orvel2kparport.sys'),
        ])

    def test_declining_manual_placement_copies_nothing(self):
        prefix = self.new_prefix('win2k')
        os.mkdir(prefix.unix(SYSTEM32 + 'dllcache'))
        probe, dialog = self.start_installation(prefix, '259')
        question = self.assertBoxWhileInstalling(probe, dialog, None, buttons=(IDYES, IDNO))
        probe.click(question, IDNO)
        probe.wait_gone(question)
        self.assertEqual(os.listdir(prefix.unix(SYSTEM32 + 'dllcache')), [])
        for name in winetest.DRIVER_FILES['win2k']:
            self.assertFalse(prefix.exists(prefix.drivers(name)), name)
        probe.settle(dialog)
        self.assertTimerIgnored(probe, dialog)
        self.finish(probe, dialog, EXIT_FAILED)

    def test_unusable_newdev_is_reported(self):
        cases = [
            # newdev.dll in system32, overrides, text of the box
            ('fake_newdev_noentry.dll', 'newdev=n', MSG[MSG_NEWDEV_NOT_LOADED] + ' [0000007f]'),
            ('fake_newdev.dll', 'newdev=d', MSG[MSG_NEWDEV_NOT_LOADED] + ' [0000007e]'),
        ]
        prefix = self.new_prefix('winxp')
        for dll, overrides, message in cases:
            with self.subTest(newdev=dll, overrides=overrides):
                env = {'WINEDLLOVERRIDES': overrides + ';winemenubuilder.exe=d'}
                probe, dialog = self.start_installation(prefix, 'ok', newdev=dll, env=env)
                box = self.assertBoxWhileInstalling(probe, dialog, message)
                self.assertEqual(prefix.newdev_calls(), [])
                probe.click(box, IDOK)
                probe.wait_gone(box)
                self.finish(probe, dialog, EXIT_FAILED)
                probe.close()

    def test_info_switch_names_the_driver_first(self):
        prefix = self.new_prefix()
        for version, name in [('winxp', 'orvelxpparallel'), ('win2k', 'orvel2kparallel')]:
            with self.subTest(version=version):
                prefix.set_version(version)
                probe, dialog = self.start_installation(prefix, 'ok', args='-info -norestart')
                info = self.message_box(probe, exclude=[dialog])
                self.assertMessageBox(info, name, owner=0)
                self.assertEqual(prefix.newdev_calls(), [], 'no driver update before the box is closed')
                self.assertDialogState(probe.dump(dialog), MSG[MSG_PLEASE_WAIT], install=False, exit=False, bar=True)
                probe.click(info.hwnd, IDOK)
                probe.wait_gone(info.hwnd)
                box = self.assertSuccessBox(probe, dialog)
                self.assertEqual([c[0] for c in prefix.newdev_calls()], [LPT])
                probe.click(box, IDOK)
                probe.wait_gone(box)
                self.finish(probe, dialog, EXIT_INSTALLED_NO_RESTART)
                probe.close()


if __name__ == '__main__':
    winetest.main()
