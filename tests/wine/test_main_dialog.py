"""The main dialog before any installation: texts, states, system menu, About box, closing."""

import winetest
from winetest import (MSG, ID_EXIT, ID_INSTALL, ID_PROGRESS, ID_TEXT, IDOK, EXIT_CLOSED,
                      WM_SYSCOMMAND, SC_CLOSE, VK_ESCAPE, PBM_GETPOS, MFT_SEPARATOR, ABOUT_COMMAND)
from program_facts import (MSG_ABOUT_ENTRY, MSG_EXIT_BUTTON, MSG_EXPLANATION, MSG_INSTALL_BUTTON,
                           MSG_MAIN_TITLE)


class MainDialogTest(winetest.WineTestCase):

    def setUp(self):
        self.prefix = self.new_prefix('winxp')
        self.probe = self.prefix.probe()

    def assertCentred(self, inner, outer, what):
        inner_x, inner_y = inner
        outer_x, outer_y = outer
        self.assertLessEqual(abs(inner_x - outer_x), 1, what + ' (x)')
        self.assertLessEqual(abs(inner_y - outer_y), 1, what + ' (y)')

    def assertIdleState(self, dialog):
        self.assertEqual(dialog.child(ID_TEXT).text, MSG[MSG_EXPLANATION])
        self.assertTrue(dialog.child(ID_INSTALL).enabled, 'Install enabled')
        self.assertTrue(dialog.child(ID_EXIT).enabled, 'Exit enabled')
        bar = dialog.child(ID_PROGRESS)
        self.assertFalse(bar.visible, 'progress bar hidden')
        self.assertFalse(bar.enabled, 'progress bar disabled')
        self.assertEqual(self.probe.send(bar.hwnd, PBM_GETPOS), 0, 'progress bar position')

    def test_texts_states_and_position(self):
        hwnd = self.open_main_dialog(self.probe)
        dialog = self.probe.dump(hwnd)
        self.screenshot('main-dialog')

        self.assertEqual(dialog.text, MSG[MSG_MAIN_TITLE])
        self.assertEqual(dialog.owner, 0)
        self.assertTrue(dialog.enabled)
        controls = [(c.id, c.cls.lower(), c.text) for c in dialog.children]
        self.assertEqual(controls, [
            (ID_EXIT, 'button', MSG[MSG_EXIT_BUTTON]),
            (ID_TEXT, 'static', MSG[MSG_EXPLANATION]),
            (ID_INSTALL, 'button', MSG[MSG_INSTALL_BUTTON]),
            (ID_PROGRESS, 'msctls_progress32', 'Progress1'),
        ])
        self.assertIdleState(dialog)
        left, top, right, bottom = self.probe.workarea()
        self.assertCentred(dialog.centre(), ((left + right) / 2, (top + bottom) / 2),
                           'dialog centred on the work area')

    def test_system_menu_opens_about_box(self):
        hwnd = self.open_main_dialog(self.probe)
        menu = self.probe.system_menu(hwnd)
        self.assertGreaterEqual(len(menu), 2, menu)
        separator, about = menu[-2:]
        self.assertTrue(separator[1] & MFT_SEPARATOR, 'separator before the About entry: %r' % (menu,))
        self.assertEqual((about[0], about[2]), (ABOUT_COMMAND, MSG[MSG_ABOUT_ENTRY]))

        dialog = self.probe.dump(hwnd)
        # The low four bits of the command do not matter.
        for command in [ABOUT_COMMAND, ABOUT_COMMAND | 0xF]:
            with self.subTest(command=hex(command)):
                self.probe.post(hwnd, WM_SYSCOMMAND, command)
                about = self.probe.dump(self.probe.wait_window(MSG[MSG_ABOUT_ENTRY]))
                if command == ABOUT_COMMAND:
                    self.screenshot('about-box')
                self.assertIn(winetest.ABOUT_VERSION_LINE, [c.text for c in about.children])
                self.assertIn(IDOK, about.buttons())
                self.assertCentred(about.centre(), dialog.centre(), 'About box centred over the dialog')
                self.probe.click(about.hwnd, IDOK)
                self.probe.wait_gone(about.hwnd)
                self.assertIdleState(self.probe.dump(hwnd))

    def test_closing_ends_the_program(self):
        ways = {
            'Exit button': lambda hwnd: self.probe.click(hwnd, ID_EXIT),
            'Escape': lambda hwnd: self.probe.key(hwnd, VK_ESCAPE),
            'close box': lambda hwnd: self.probe.post(hwnd, WM_SYSCOMMAND, SC_CLOSE),
        }
        for way, close in ways.items():
            with self.subTest(way=way):
                hwnd = self.open_main_dialog(self.probe)
                close(hwnd)
                code, _ = self.probe.wait_exit(30)
                self.assertEqual(code, EXIT_CLOSED)
                self.assertEqual(self.probe.visible_windows(), [])

    def test_timer_leaves_disabled_bar_alone(self):
        hwnd = self.open_main_dialog(self.probe)
        self.assertTimerIgnored(self.probe, hwnd)
        self.assertIdleState(self.probe.dump(hwnd))
        self.probe.click(hwnd, ID_EXIT)
        self.assertExit(self.probe, EXIT_CLOSED)


if __name__ == '__main__':
    winetest.main()
