"""Installation through Wine's own Plug and Play driver update, on a
root-enumerated parallel port, with the setup information and driver files
that ship with the program."""

import os
import shutil

import winetest
from winetest import (MSG, ID_EXIT, ID_INSTALL, IDOK, DRIVER_FILES,
                      EXIT_INSTALLED_NO_RESTART, EXIT_NOTHING_TO_DO)
from program_facts import MSG_INSTALLED_RESTART, MSG_PLEASE_WAIT

# Wine traces process creation with this; a restart request shows as wineboot --end-session.
TRACE_PROCESSES = {'WINEDEBUG': '+process'}


class PlugAndPlayInstallTest(winetest.WineTestCase):

    def install(self, prefix, probe, files):
        """Install, success box, files in place, Exit; then a second start has nothing to do."""
        dialog = self.open_main_dialog(probe, '-norestart')
        probe.click(dialog, ID_INSTALL)
        box = self.message_box(probe, timeout=120, exclude=[dialog])
        self.assertMessageBox(box, MSG[MSG_INSTALLED_RESTART], owner=dialog)
        self.assertDialogState(probe.dump(dialog), MSG[MSG_PLEASE_WAIT], install=False, exit=True, bar=False)
        for name in files:
            self.assertEqual(prefix.read(prefix.drivers(name)),
                             prefix.read(winetest.SETUP_DIR + '\\' + name), name)
        probe.click(box.hwnd, IDOK)
        probe.wait_gone(box.hwnd)
        self.assertAfterInstallation(probe, dialog)
        probe.click(dialog, ID_EXIT)
        self.assertExit(probe, EXIT_INSTALLED_NO_RESTART)

        probe.start('-norestart')
        code, windows_seen = probe.wait_exit(30)
        self.assertEqual((code, windows_seen), (EXIT_NOTHING_TO_DO, 0), 'second start')
        with open(probe.log_path, errors='replace') as log:
            self.assertNotIn('--end-session', log.read(), 'no restart with -norestart')

    def test_windows_xp(self):
        prefix = self.new_prefix('winxp')
        prefix.make_device('*PNP0400')
        self.install(prefix, prefix.probe(TRACE_PROCESSES), DRIVER_FILES['winxp'])

    def test_windows_2000(self):
        prefix = self.new_prefix('win2k')
        prefix.make_device('*PNP0400')
        self.install(prefix, prefix.probe(TRACE_PROCESSES), DRIVER_FILES['win2k'])

    def test_ecp_port_only(self):
        # Wine's driver update reports success even when no device carries the id, so
        # the program would never try the second id; the test newdev.dll in "pnp" mode
        # answers ERROR_NO_SUCH_DEVINST then, as Windows does, and otherwise hands the
        # update to Wine's own.
        prefix = self.new_prefix('winxp')
        prefix.make_device('*PNP0401')
        prefix.route_newdev_for_pnp()
        probe = prefix.probe(dict(winetest.pnp_newdev_env(), **TRACE_PROCESSES))
        self.install(prefix, probe, DRIVER_FILES['winxp'])
        self.assertEqual([call[0] for call in prefix.newdev_calls()], ['*PNP0400', '*PNP0401'])

    def test_dlls_beside_the_program_are_not_loaded(self):
        # Native-first overrides make Wine load a DLL of that name from the program's
        # directory if the program asks for it by bare name.  version.dll cannot be
        # checked this way: Wine's own user32.dll imports it, so with a native-first
        # override every program would get the planted one.
        prefix = self.new_prefix('winxp')
        prefix.make_device('*PNP0400')
        for name in ['comctl32.dll', 'newdev.dll']:
            shutil.copy(os.path.join(winetest.HELPERS, 'planted', name),
                        prefix.unix(winetest.SETUP_DIR + '\\' + name))
        marker = 'C:\\planted-dll-loaded.txt'
        probe = prefix.probe({
            'WINEDLLOVERRIDES': 'comctl32,newdev=n,b;winemenubuilder.exe=d',
            'VANTINST_MARKER_FILE': marker,
        })
        self.install(prefix, probe, DRIVER_FILES['winxp'])
        loaded = prefix.read(marker).decode('cp1252') if prefix.exists(marker) else ''
        self.assertEqual(loaded, '', 'planted DLLs loaded')


if __name__ == '__main__':
    winetest.main()
