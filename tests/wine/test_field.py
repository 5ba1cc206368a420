"""What real installations meet: a package without its main driver file, a folder
whose name the ANSI code page cannot spell, a folder so deep that the file names do
not fit, a user closing the dialog while it is busy, and a vendor who renamed the
program."""

import os
import shutil

import winetest
from winetest import (MSG, APP_TITLE, ID_EXIT, ID_INSTALL, IDOK, IDCANCEL, IDYES, IDNO,
                      EXIT_FAILED, EXIT_NOTHING_TO_DO, MSGBOX_TEXT_ID)
from program_facts import (MSG_ATTRIBUTES_NOT_READ, MSG_COPY_FAILED, MSG_DRIVER_NOT_INSTALLED,
                           MSG_FOLDER_UNUSABLE, MSG_MAIN_TITLE, MSG_PATH_TOO_LONG)

SYSTEM32 = 'C:\\windows\\system32\\'
SHOWN_SYSTEM32 = 'C:\\windows\\System32\\'   # as the program builds it
WM_CLOSE = 0x0010
WM_COMMAND = 0x0111

COPY_FAILED = MSG[MSG_COPY_FAILED]
NOT_READ = MSG[MSG_ATTRIBUTES_NOT_READ]
TOO_LONG = MSG[MSG_PATH_TOO_LONG]
FOLDER_REFUSED = MSG[MSG_FOLDER_UNUSABLE]

class FieldTest(winetest.WineTestCase):

    def start_installation(self, prefix, answers, args='-norestart', program=winetest.PROGRAM):
        prefix.use_newdev('fake_newdev.dll')
        prefix.clear_newdev_calls()
        probe = prefix.probe(winetest.fake_newdev_env(answers))
        probe.start(args, program)
        dialog = probe.wait_window(MSG[MSG_MAIN_TITLE])
        probe.click(dialog, ID_INSTALL)
        return probe, dialog

    def answer_boxes(self, probe, dialog, expected):
        """Each of the expected texts comes as a box of the dialog, in order; each is closed."""
        for message in expected:
            box = self.message_box(probe, exclude=[dialog])
            self.assertMessageBox(box, message, owner=dialog)
            probe.click(box.hwnd, IDOK)
            probe.wait_gone(box.hwnd)

    def finish_failed(self, probe, dialog):
        probe.settle(dialog)
        self.assertEqual(probe.visible_windows(), [(MSG[MSG_MAIN_TITLE], 0)], 'no success message')
        self.assertAfterInstallation(probe, dialog)
        probe.click(dialog, ID_EXIT)
        self.assertExit(probe, EXIT_FAILED)

    def test_missing_main_driver_is_no_success_on_windows_2000(self):
        prefix = self.new_prefix('win2k')
        os.mkdir(prefix.unix(SYSTEM32 + 'dllcache'))
        os.unlink(prefix.unix(winetest.SETUP_DIR + '\\orvel2kparallel.sys'))
        probe, dialog = self.start_installation(prefix, '259')
        question = self.message_box(probe, exclude=[dialog])
        probe.click(question.hwnd, IDYES)
        probe.wait_gone(question.hwnd)
        source = winetest.SETUP_DIR + '\\orvel2kparallel.sys'
        boxes = []
        for target in ('dllcache', 'drivers'):
            destination = SHOWN_SYSTEM32 + target + '\\orvel2kparallel.sys'
            boxes += [COPY_FAILED % (source, destination), NOT_READ % destination]
        self.answer_boxes(probe, dialog, boxes)
        self.finish_failed(probe, dialog)
        self.assertTrue(prefix.exists(prefix.drivers('orvel2kparport.sys')), 'the other file was copied')

    def test_folder_that_code_page_1252_cannot_spell_is_refused(self):
        prefix = self.new_prefix('winxp')
        prefix.use_newdev('fake_newdev.dll')
        own = 'C:\\Sterownik urz\u0105dze\u0144'
        look_alike = 'C:\\Sterownik urzadzen'
        shutil.copytree(prefix.unix(winetest.SETUP_DIR), prefix.unix(own))
        shutil.copytree(prefix.unix(winetest.SETUP_DIR), prefix.unix(look_alike))
        # A picture the loader refuses: had the program read it, its box would come first.
        with open(prefix.unix(look_alike + '\\OEM.BMP'), 'wb') as f:
            f.write(b'planted')
        env = dict(winetest.fake_newdev_env('ok'), LANG='C.UTF-8', LC_ALL='C.UTF-8')
        probe = prefix.probe(env)
        probe.start_wide('-norestart', own + '\\Vantinst.exe')
        box = self.message_box(probe)
        self.assertMessageBox(box, FOLDER_REFUSED, owner=0)
        probe.click(box.hwnd, IDOK)
        self.assertExit(probe, EXIT_FAILED)
        self.assertEqual(prefix.newdev_calls(), [])
        self.assertFalse(prefix.exists(prefix.drivers('orvelxpparallel.sys')))

        # With the driver in place there is nothing to do and nothing to say.
        prefix.install_driver_files(winetest.DRIVER_FILES['winxp'])
        probe.start_wide('-norestart', own + '\\Vantinst.exe')
        code, windows_seen = probe.wait_exit()
        self.assertEqual((code, windows_seen), (EXIT_NOTHING_TO_DO, 0))

    def test_file_names_beyond_the_path_limit_are_never_cut(self):
        prefix = self.new_prefix('winxp')
        folder = 'C:\\' + 'p' * (260 - 4 - len('orvelxpparallel.inf'))
        shutil.copytree(prefix.unix(winetest.SETUP_DIR), prefix.unix(folder))
        inf = folder + '\\orvelxpparallel.inf'
        self.assertEqual(len(inf), 260)
        probe, dialog = self.start_installation(prefix, 'ok', program=folder + '\\Vantinst.exe')
        box = self.message_box(probe, exclude=[dialog])
        self.assertMessageBox(box, TOO_LONG % inf, owner=dialog)
        probe.click(box.hwnd, IDOK)
        probe.wait_gone(box.hwnd)
        self.assertEqual(prefix.newdev_calls(), [], 'no driver update with a cut file name')
        self.finish_failed(probe, dialog)

    def test_closing_or_installing_again_while_busy_does_nothing(self):
        prefix = self.new_prefix('winxp')
        probe, dialog = self.start_installation(prefix, '259')
        question = self.message_box(probe, exclude=[dialog])
        self.assertEqual(question.buttons(), [IDYES, IDNO])
        probe.post(dialog, WM_CLOSE)
        probe.post(dialog, WM_COMMAND, IDCANCEL)
        probe.post(dialog, WM_COMMAND, ID_INSTALL)
        probe.drain_posted(dialog)   # the question's loop has handled all three
        self.assertEqual(len(prefix.newdev_calls()), 1, 'no second installation')
        probe.click(question.hwnd, IDNO)
        probe.wait_gone(question.hwnd)
        self.finish_failed(probe, dialog)

    def test_renamed_program_names_its_boxes_after_itself(self):
        prefix = self.new_prefix('winxp')
        renamed = winetest.SETUP_DIR + '\\Setup.exe'
        os.rename(prefix.unix(winetest.PROGRAM), prefix.unix(renamed))
        probe, dialog = self.start_installation(prefix, '5', args='-info -norestart', program=renamed)
        info = self.message_box(probe, exclude=[dialog])
        self.assertEqual((info.text, info.child(MSGBOX_TEXT_ID).text, info.owner),
                         (APP_TITLE, 'orvelxpparallel', 0))
        probe.click(info.hwnd, IDOK)
        probe.wait_gone(info.hwnd)
        failure = self.message_box(probe, exclude=[dialog])
        self.assertEqual((failure.text, failure.child(MSGBOX_TEXT_ID).text, failure.owner),
                         ('Setup', MSG[MSG_DRIVER_NOT_INSTALLED] + ' [00000005]', dialog))
        probe.click(failure.hwnd, IDOK)
        probe.wait_gone(failure.hwnd)
        self.finish_failed(probe, dialog)


if __name__ == '__main__':
    winetest.main()
