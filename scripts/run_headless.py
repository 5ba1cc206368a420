"""Plays the user of Vantinst on a virtual display, for scripts/run.sh without DISPLAY.

Starts the program through probe.exe (the Wine tests' remote control, built with the
program's preset; VANTINST_TARGET says which Wine runs it) in the prefix that run.sh prepared, presses Install, answers every box
as a user who wants the driver would (Yes to a question, OK otherwise), presses Exit
once the dialog is idle again, and saves a picture of each window it met. The last
line says how the program ended and where the driver files are now.

The environment (WINEPREFIX, DISPLAY on an Xvfb, HOME, PATH with Wine) comes from run.sh.
"""

import argparse
import glob
import os
import re
import shutil
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'tests', 'wine'))
import program_facts  # noqa: E402  (the program's exit statuses)
import winetest  # noqa: E402  (the probe client and the program's control ids)
from winetest import (ID_EXIT, ID_INSTALL, ID_PROGRESS, ID_TEXT, IDNO, IDOK, IDYES,  # noqa: E402
                      MSGBOX_TEXT_ID, Probe, ProbeError)

# The exit statuses and what each means, as app/ExitStatus.h says.
MEANINGS = program_facts.EXIT_MEANINGS
RESTART_REQUESTED = program_facts.kExitRestartInitiated

# With WINEDEBUG=+process Wine logs every process start; a restart request under Wine
# starts "wineboot --end-session", which ends every windowed process of the prefix.
TRACE = {'WINEDEBUG': '+process', 'LC_ALL': 'C'}
SESSION_END = '--end-session'

SLICE_MS = 2000            # how long one look for a new box waits
INSTALL_TIMEOUT = 240      # Wine's driver update can hang (a file missing beside the INF)
PAINT_DELAY = 0.5          # a window is on the screen before Wine has drawn it


class WinePrefix:
    """The part of winetest.Prefix that a Probe uses: run.sh's prefix is not a test template copy."""

    def __init__(self, path, root):
        self.path = path
        self.root = root
        self.env = dict(os.environ)
        self.probes = []


class Screenshots:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0
        os.makedirs(folder, exist_ok=True)
        for old in glob.glob(os.path.join(folder, '*.png')):
            os.unlink(old)

    def take(self, name, rect):
        """The screen cut to the window's rectangle (left, top, right, bottom)."""
        self.count += 1
        path = os.path.join(self.folder, '%02d-%s.png' % (self.count, name))
        left, top, right, bottom = rect
        left, top = max(left, 0), max(top, 0)
        args = ['import', '-display', os.environ['DISPLAY'], '-window', 'root']
        if right > left and bottom > top:
            args += ['-crop', '%dx%d+%d+%d' % (right - left, bottom - top, left, top), '+repage']
        subprocess.run(args + [path], check=True, timeout=60,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path


def slug(message):
    """A few words of a box's message for its picture's file name."""
    plain = message.translate(str.maketrans({'ä': 'ae', 'ö': 'oe', 'ü': 'ue', 'ß': 'ss',
                                             'Ä': 'Ae', 'Ö': 'Oe', 'Ü': 'Ue'}))
    words = re.findall(r'[a-z0-9]+', plain.lower())
    return '-'.join(words[:4]) or 'empty'


def first_line(message):
    return message.strip().splitlines()[0] if message.strip() else '(no text)'


class Run:
    def __init__(self, probe, shots, program):
        self.probe = probe
        self.shots = shots
        self.program = program       # its path as Wine programs see it
        self.dialog = None
        self.dialog_text = None      # the explanation as first shown: back again when idle
        self.handled = []            # boxes already answered
        self.code = None
        self.restart_seen = False

    def log(self, line):
        print(line, flush=True)

    def trace(self):
        self.probe.log.flush()
        with open(self.probe.log_path, errors='replace') as f:
            return f.read()

    def snapshot(self, hwnd):
        self.probe.send(hwnd, winetest.WM_NULL)   # its thread is back in a message loop
        time.sleep(PAINT_DELAY)
        return self.probe.dump(hwnd)

    def next_window(self, timeout_ms):
        """A new visible dialog-class window, or None; sets self.code if the program ended."""
        answer = self.probe.call('wait_window %d * %s' % (
            timeout_ms, ' '.join(hex(h) for h in [self.dialog or 0] + self.handled)),
            timeout_ms / 1000 + 10)
        if answer.get('ok'):
            return int(answer['hwnd'], 16)
        if answer.get('error') == 'exited':
            self.code = answer['code']
        return None

    def answer_box(self, hwnd):
        try:
            box = self.snapshot(hwnd)
        except ProbeError:
            self.handled.append(hwnd)    # gone again before it could be looked at
            return
        try:
            message = box.child(MSGBOX_TEXT_ID).text
        except ProbeError:
            message = ' '.join(c.text for c in box.children if c.cls.lower() == 'static')
        path = self.shots.take('box-' + slug(message), box.rect)
        buttons = box.buttons()
        button, label = ((IDYES, 'Yes') if IDYES in buttons else
                         (IDOK, 'OK') if IDOK in buttons else
                         (buttons[0], 'button %d' % buttons[0]) if buttons else (None, None))
        self.log('Box "%s": %s  [%s]' % (box.text, first_line(message), path))
        if button is None:
            self.log('  it has no button to press; leaving it')
            self.handled.append(hwnd)
            return
        if button == IDYES and IDNO in buttons:
            self.log('  the question is answered with Yes')
        else:
            self.log('  pressing %s' % label)
        self.probe.click(hwnd, button)
        self.handled.append(hwnd)
        try:
            self.probe.wait_gone(hwnd, 30)
        except ProbeError:
            self.log('  the box is still there 30 s after pressing %s' % label)

    def dialog_idle(self):
        """Install disabled, Exit enabled, no progress bar and the explanation back: done."""
        try:
            state = self.probe.dump(self.dialog)
            bar = state.child(ID_PROGRESS)
            return (not state.child(ID_INSTALL).enabled and state.child(ID_EXIT).enabled
                    and not bar.visible and state.child(ID_TEXT).text == self.dialog_text)
        except ProbeError:
            return False

    def drive(self, args):
        self.probe.start(args, program=self.program)
        deadline = time.monotonic() + winetest.scaled(INSTALL_TIMEOUT)
        while self.code is None:
            hwnd = self.next_window(SLICE_MS)
            if self.code is not None:
                break
            if hwnd and self.dialog is None and self.is_main_dialog(hwnd):
                self.dialog = hwnd
                shown = self.snapshot(hwnd)
                self.dialog_text = shown.child(ID_TEXT).text
                path = self.shots.take('dialog', shown.rect)
                self.log('Dialog "%s" is up  [%s]' % (shown.text, path))
                self.log('Pressing "%s"' % shown.child(ID_INSTALL).text)
                self.probe.click(hwnd, ID_INSTALL)
                continue
            if hwnd:
                self.answer_box(hwnd)
                continue
            if self.dialog and self.dialog_idle():
                # Settled and still idle with no new box: the installation is over.
                self.probe.call('send %#x 0 0 0' % self.dialog)
                hwnd = self.next_window(500)
                if hwnd:
                    self.answer_box(hwnd)
                    continue
                if self.code is not None:
                    break
                if SESSION_END in self.trace():
                    # The restart is under way; pressing Exit now would race it.
                    self.code, _ = self.probe.wait_exit(60)
                    break
                after = self.snapshot(self.dialog)
                path = self.shots.take('dialog-after', after.rect)
                self.log('Dialog afterwards: "%s" disabled, "%s" enabled  [%s]' % (
                    after.child(ID_INSTALL).text, after.child(ID_EXIT).text, path))
                self.log('Pressing "%s"' % after.child(ID_EXIT).text)
                self.probe.click(self.dialog, ID_EXIT)
                self.code, _ = self.probe.wait_exit(30)
                break
            if time.monotonic() > deadline:
                self.log('Vantinst.exe did not come to an end within %d s; ending it' % INSTALL_TIMEOUT)
                self.probe.call('kill', 15)
                return False
        self.restart_seen = SESSION_END in self.trace()
        if self.restart_seen:
            self.log('Windows was asked to restart: Wine ran "wineboot %s", which closes every '
                     'window of the prefix (so there is no dialog afterwards to show)' % SESSION_END)
        return True

    def is_main_dialog(self, hwnd):
        try:
            self.probe.dump(hwnd).child(ID_INSTALL)
            return True
        except ProbeError:
            return False


def driver_files(prefix):
    """{Windows folder: [orvel*.sys there]} for the two places a driver lands in."""
    found = {}
    for folder in ['drivers', 'dllcache']:
        unix = os.path.join(prefix, 'drive_c', 'windows', 'system32', folder)
        names = sorted(n for n in (os.listdir(unix) if os.path.isdir(unix) else [])
                       if n.lower().startswith('orvel') and n.lower().endswith('.sys'))
        found['C:\\windows\\system32\\' + folder] = names
    return found


def outcome(run, files):
    code = run.code
    if run.restart_seen and code == 0:
        said = ('exit status 0 - not Vantinst\'s own: after installing it asked Windows to restart '
                '(%d, %s), and under Wine that request '
                'ends every windowed program of the prefix with 0; nothing was restarted'
                % (RESTART_REQUESTED, MEANINGS[RESTART_REQUESTED]))
    elif run.restart_seen:
        said = 'exit status %d - %s (Wine restarts nothing)' % (code, MEANINGS.get(code, 'not a status of Vantinst'))
    elif code == 0 and run.dialog:
        said = 'exit status 0 - unexpected after the dialog was shown (no restart request was seen)'
    else:
        said = 'exit status %d - %s' % (code, MEANINGS.get(code, 'not a status of Vantinst'))
    places = '; '.join('%s in %s' % (', '.join(names) if names else 'no orvel*.sys', folder)
                       for folder, names in files.items())
    return 'Result: Vantinst.exe ended with %s. Driver files: %s.' % (said, places)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--program', required=True, help='host path of Vantinst.exe')
    parser.add_argument('--helpers', required=True, help='folder of probe.exe (build/win64/tests/wine or build/win32/tests/wine)')
    parser.add_argument('--shots', required=True, help='folder for the screenshots')
    parser.add_argument('--work', required=True, help='a scratch folder for the probe\'s log')
    parser.add_argument('args', nargs=argparse.REMAINDER, help='arguments for Vantinst.exe')
    options = parser.parse_args()
    program_args = options.args[1:] if options.args[:1] == ['--'] else options.args

    winetest.HELPERS = options.helpers
    if not os.path.exists(os.path.join(options.helpers, 'probe.exe')):
        sys.exit('probe.exe is not built in %s' % options.helpers)
    prefix = WinePrefix(os.environ['WINEPREFIX'], options.work)
    shots = Screenshots(options.shots)
    probe = Probe(prefix, TRACE)
    prefix.probes.append(probe)
    run = Run(probe, shots, winetest.windows_path(options.program))
    try:
        finished = run.drive(' '.join(program_args))
    finally:
        probe.close()
        shutil.copy(probe.log_path, os.path.join(options.shots, 'wine-trace.log'))
    if not finished:
        print('Result: Vantinst.exe was ended by this script after %d s without an exit status of its own. '
              'Driver files: %s.' % (INSTALL_TIMEOUT, '; '.join(
                  '%s in %s' % (', '.join(n) if n else 'no orvel*.sys', f)
                  for f, n in driver_files(prefix.path).items())))
        return 1
    if run.dialog is None:
        print('Vantinst.exe showed no dialog.')
    print(outcome(run, driver_files(prefix.path)))
    return 0


if __name__ == '__main__':
    sys.exit(main())
