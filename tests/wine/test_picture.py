"""The picture in the main dialog: OEM.BMP drawn unscaled and upright at client (2, 2),
and nothing drawn when it could not be loaded."""

import os
import subprocess

import winetest
from winetest import MSG, ID_EXIT, IDOK, EXIT_CLOSED
from program_facts import MSG_BMP_NO_INFO_BLOCK, MSG_MAIN_TITLE

WIDTH, HEIGHT = 190, 102


def rgb(image, x, y, width, height):
    """The pixels of a rectangle of an image file as RGB bytes, rows top to bottom."""
    return subprocess.run(['convert', image, '-crop', '%dx%d+%d+%d' % (width, height, x, y), '+repage',
                           '-depth', '8', 'rgb:-'], check=True, capture_output=True, timeout=60).stdout


class PictureTest(winetest.WineTestCase):

    def show_dialog(self, prefix):
        probe = prefix.probe()
        hwnd = self.open_main_dialog(probe)
        probe.settle(hwnd)
        return probe, hwnd

    def close(self, probe, hwnd):
        probe.click(hwnd, ID_EXIT)
        self.assertExit(probe, EXIT_CLOSED)

    def test_default_picture_is_drawn_at_client_2_2(self):
        prefix = self.new_prefix('winxp')
        probe, hwnd = self.show_dialog(prefix)
        x, y = probe.dump(hwnd).origin
        shot = self.screenshot('picture')

        expected = rgb(os.path.join(winetest.DIST, 'OEM.BMP'), 0, 0, WIDTH, HEIGHT)
        self.assertEqual(len(expected), WIDTH * HEIGHT * 3)
        self.assertEqual(rgb(shot, x + 2, y + 2, WIDTH, HEIGHT), expected,
                         'the picture, pixel for pixel, from client (2, 2)')
        background = rgb(shot, x, y, 1, 1)
        for column, row in [(1, 2), (2, 1), (2 + WIDTH, 2), (2, 2 + HEIGHT)]:
            self.assertEqual(rgb(shot, x + column, y + row, 1, 1), background,
                             'nothing drawn at client (%d, %d)' % (column, row))
        self.close(probe, hwnd)

    def test_unreadable_picture_leaves_the_area_empty(self):
        prefix = self.new_prefix('winxp')
        with open(prefix.unix(winetest.SETUP_DIR + '\\OEM.BMP'), 'wb') as f:
            f.write(b'BM' + bytes(40))  # a file header, then too little for the info block
        probe = prefix.probe()
        probe.start()
        box = self.message_box(probe)
        self.assertMessageBox(box, MSG[MSG_BMP_NO_INFO_BLOCK], owner=0)
        probe.click(box.hwnd, IDOK)
        probe.wait_gone(box.hwnd)
        hwnd = probe.wait_window(MSG[MSG_MAIN_TITLE])
        probe.settle(hwnd)
        x, y = probe.dump(hwnd).origin
        shot = self.screenshot('picture-missing')
        area = rgb(shot, x + 2, y + 2, WIDTH, HEIGHT)
        self.assertEqual(area, rgb(shot, x, y, 1, 1) * (WIDTH * HEIGHT), 'the area keeps the background')
        self.close(probe, hwnd)


if __name__ == '__main__':
    winetest.main()
