"""After a successful installation without "-norestart" the program asks Windows
to restart.  Under Wine that runs "wineboot --end-session" in the prefix, which
ends every process with a window (the program with exit code 0) and nothing
else: the test's own prefix is all that is affected."""

import winetest
from winetest import MSG, ID_INSTALL, IDOK, EXIT_RESTART_REQUESTED
from program_facts import MSG_INSTALLED_RESTART


class RestartTest(winetest.WineTestCase):

    def test_successful_installation_requests_restart(self):
        prefix = self.new_prefix('winxp')
        prefix.make_device('*PNP0400')
        probe = prefix.probe({'WINEDEBUG': '+process'})
        dialog = self.open_main_dialog(probe)
        probe.click(dialog, ID_INSTALL)
        box = self.message_box(probe, timeout=120, exclude=[dialog])
        self.assertMessageBox(box, MSG[MSG_INSTALLED_RESTART], owner=dialog)
        with open(probe.log_path, errors='replace') as log:
            self.assertNotIn('--end-session', log.read(), 'no restart before the box is closed')
        probe.click(box.hwnd, IDOK)
        # Nobody presses Exit: the session end closes the program.
        code, _ = probe.wait_exit(60)
        self.assertIn(code, (0, EXIT_RESTART_REQUESTED), 'ended by the session end')
        with open(probe.log_path, errors='replace') as log:
            trace = log.read()
        self.assertIn('wineboot.exe --end-session', trace)
        self.assertEqual(probe.visible_windows(), [])


if __name__ == '__main__':
    winetest.main()
