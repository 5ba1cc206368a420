"""Running Vantinst under Wine for the tests.

A template prefix is made once (wineboot, the settings below, fonts); each test
copies it into a throwaway directory, puts the assembled program into
C:\\Setup, picks the Windows version that Wine reports, and drives the program
through probe.exe, which runs in the same prefix and answers in JSON lines.

The same tests run against both builds of the program: the x86_64 twin under the
host's wine64, and the shipped i686 exe under 32-bit Wine inside the emulated i386 PC
(guest/guest.py). Which one, and where its files are, comes from the environment
(CMake sets it):
  VANTINST_TARGET         win64 (the default) or win32: the loader, and how a test's
                          prefix is made from the template (see TARGETS)
  VANTINST_DIST           the assembled program: Vantinst.exe, OEM.BMP, INFs, .sys
  VANTINST_HELPERS        build directory of probe.exe, mkdevice.exe and the test DLLs,
                          built for the same architecture as the program
  VANTINST_ARTIFACTS      where screenshots and, after a failure, the probe's lines go
  VANTINST_WINE_TEMPLATE  the template prefix (made on first use)
  VANTINST_WINE_TEMPLATE_ARCHIVE
                          optional: a tar file that keeps the template between runs,
                          for a template that lives in a guest's memory
  VANTINST_WINE_KEEP=1    keep each test's prefix for a post-mortem

Run as a script with --make-template to prepare the template only.
"""

import fcntl
import json
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

import program_facts as facts

WINE_BIN = '/usr/lib/wine'
WINESERVER = os.path.join(WINE_BIN, 'wineserver')

# What differs between the two builds. In the guest, a test's prefix is an overlay on
# the template: a copy would not fit into its memory twice, and hard links would let a
# test change the template.
TARGETS = {
    'win64': {'loader': os.path.join(WINE_BIN, 'wine64'), 'overlay': False},
    'win32': {'loader': os.path.join(WINE_BIN, 'wine'), 'overlay': True},
}
TARGET = os.environ.get('VANTINST_TARGET', 'win64')
if TARGET not in TARGETS:
    raise SystemExit('VANTINST_TARGET is %r, not one of %s' % (TARGET, ', '.join(TARGETS)))
LOADER = TARGETS[TARGET]['loader']
IN_GUEST = TARGET == 'win32'

DIST = os.environ.get('VANTINST_DIST', '')
HELPERS = os.environ.get('VANTINST_HELPERS', '')
ARTIFACTS = os.environ.get('VANTINST_ARTIFACTS', os.path.join(HELPERS or '.', 'artifacts'))
TEMPLATE = os.path.abspath(os.environ.get('VANTINST_WINE_TEMPLATE') or os.path.join(HELPERS or '.', 'prefix-template'))
TEMPLATE_ARCHIVE = os.environ.get('VANTINST_WINE_TEMPLATE_ARCHIVE', '')
KEEP = os.environ.get('VANTINST_WINE_KEEP') == '1'

# The emulated PC runs Wine several times slower than the host: every wait is
# stretched by this factor there.
SLOWNESS = 6 if IN_GUEST else 1


def scaled(seconds):
    return seconds * SLOWNESS

TEMPLATE_STAMP = 'vantinst-template-3'   # change when the template's making changes
MAX_PREFIXES = 2                          # prefixes alive at once, over all test processes

SETUP_DIR = 'C:\\Setup'
PROGRAM = SETUP_DIR + '\\Vantinst.exe'
SHIPPED = ['Vantinst.exe', 'OEM.BMP', 'orvelxpparallel.inf', 'orvel2kparallel.inf',
           'orvelxpparallel.sys', 'orvel2kparallel.sys', 'orvel2kparport.sys']

# Exit statuses of the program (app/ExitStatus.h).
EXIT_NOTHING_TO_DO = facts.kExitNothingToDo
EXIT_CLOSED = facts.kExitUserClosed                     # dialog closed, no installation attempted
EXIT_FAILED = facts.kExitInstallFailed                  # installation attempted and not done
EXIT_ALREADY_RUNNING = facts.kExitAlreadyRunning        # another installer was running
EXIT_RESTART_REQUESTED = facts.kExitRestartInitiated
EXIT_INSTALLED_NO_RESTART = facts.kExitRestartRequired

# Windows messages and values the tests use.
WM_NULL = 0x0000
WM_SYSCOMMAND = 0x0112
WM_TIMER = 0x0113
SC_CLOSE = 0xF060
VK_ESCAPE = 0x1B
PBM_GETPOS = 0x0408
IDOK, IDCANCEL, IDYES, IDNO = 1, 2, 6, 7
MSGBOX_TEXT_ID = 0xFFFF
FILE_ATTRIBUTE_READONLY = 1
MFT_SEPARATOR = 0x800
ABOUT_COMMAND = facts.IDM_ABOUTBOX   # the About entry of the main dialog's system menu

# Control ids of the main dialog (res/resource.h; Exit is Windows' IDCANCEL).
ID_INSTALL, ID_EXIT, ID_TEXT, ID_PROGRESS = facts.IDC_INSTALL, IDCANCEL, facts.IDC_EXPLANATION, facts.IDC_PROGRESS

# The program's texts as the user sees them, by message id (res/messages.def, decoded
# from code page 1252). The ids are those of res/resource.h, e.g. MSG[MSG_MAIN_TITLE].
MSG = facts.MESSAGES
APP_TITLE = 'Vantinst'
ABOUT_VERSION_LINE = 'Vantinst Version ' + facts.VANTINST_VERSION   # first line of the About box

# Driver files that the start-up check looks at, per reported Windows version.
DRIVER_FILES = {
    'winxp': ['orvelxpparallel.sys'],
    'win2k': ['orvel2kparallel.sys', 'orvel2kparport.sys'],
    'winxp64': ['orvel2kparallel.sys', 'orvel2kparport.sys'],
    'win2003': ['orvel2kparallel.sys', 'orvel2kparport.sys'],
}


def text(hexed):
    """A window text from the probe: code-page 1252 bytes, kept byte for byte."""
    return bytes.fromhex(hexed).decode('cp1252', errors='surrogateescape')


def hexed(s):
    return s.encode('cp1252').hex()


def helper(name):
    return os.path.join(HELPERS, name)


def windows_path(host_path):
    """The Z:\\ path under which Wine programs see a host file."""
    return 'Z:' + os.path.abspath(host_path).replace('/', '\\')


def _require_inputs():
    tools = [LOADER, shutil.which('Xvfb'), shutil.which('import')]
    if not all(tools) or not all(os.path.exists(t) for t in tools):
        if IN_GUEST:
            # The guest is made with all of them: a gap there is a fault of its making.
            raise RuntimeError('the guest lacks %s, Xvfb or ImageMagick' % LOADER)
        raise unittest.SkipTest('needs %s, Xvfb and ImageMagick' % LOADER)
    missing = [p for p in [helper('probe.exe')] + [os.path.join(DIST, f) for f in SHIPPED]
               if not os.path.exists(p)]
    if missing:
        raise RuntimeError('not built: ' + ', '.join(missing))


# ---- display --------------------------------------------------------------

class Display:
    """An Xvfb server on a display number of its own choosing."""

    def __init__(self):
        read_end, write_end = os.pipe()
        # Its complaints are kept: a server that dies takes every window with it, and
        # the test that notices it only sees its program end.
        os.makedirs(ARTIFACTS, exist_ok=True)
        self.log_path = os.path.join(ARTIFACTS, 'xvfb-%s-%d.txt' % (TARGET, os.getpid()))
        with open(self.log_path, 'ab') as log:
            self.process = subprocess.Popen(
                ['Xvfb', '-displayfd', str(write_end), '-screen', '0', '1024x768x24', '-nolisten', 'tcp'],
                pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=log)
        os.close(write_end)
        number = b''
        ready, _, _ = select.select([read_end], [], [], 30)
        while ready:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
            if number.endswith(b'\n'):
                break
            ready, _, _ = select.select([read_end], [], [], 30)
        os.close(read_end)
        if not number.strip():
            self.process.kill()
            raise RuntimeError('Xvfb did not start')
        self.name = ':' + number.decode().strip()

    def screenshot(self, name):
        os.makedirs(ARTIFACTS, exist_ok=True)
        path = os.path.join(ARTIFACTS, name + '.png')
        subprocess.run(['import', '-display', self.name, '-window', 'root', path],
                       check=True, timeout=60, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()


_display = None


def display():
    """The Xvfb of this test process, started on first use, and again when the last one
    has died: then one test fails, not every test after it."""
    global _display
    if _display is not None and _display.process.poll() is not None:
        print('Xvfb on %s ended with %s (its output: %s); starting another'
              % (_display.name, _display.process.returncode, _display.log_path), file=sys.stderr)
        _display = None
    if _display is None:
        _display = Display()
        import atexit
        atexit.register(_display.stop)
    return _display


# ---- prefixes -------------------------------------------------------------

def base_env(prefix, home, extra=None):
    env = {k: v for k, v in os.environ.items() if not k.startswith('WINE')}
    env.update({
        'WINEPREFIX': prefix,
        'HOME': home,
        'WINEDEBUG': '-all',
        'WINEDLLOVERRIDES': 'winemenubuilder.exe=d',
        'LANG': 'C', 'LC_ALL': 'C',
        'DISPLAY': display().name,
        'PATH': WINE_BIN + os.pathsep + os.environ.get('PATH', ''),
        'VANTINST_PROBE_SLOWNESS': str(SLOWNESS),
    })
    env.update(extra or {})
    return env


def _run(args, env, timeout, check=True):
    """Runs a host command and waits for it; output goes to files, not pipes, because
    Wine's background processes (services.exe and friends) inherit them and live on
    with the server."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        result = subprocess.run(args, env=env, timeout=scaled(timeout), stdout=out, stderr=err,
                                stdin=subprocess.DEVNULL)
        out.seek(0)
        err.seek(0)
        result.stdout, result.stderr = out.read(), err.read()
    if check and result.returncode != 0:
        raise RuntimeError('%s failed (%d): %s' % (args, result.returncode,
                                                   result.stderr.decode(errors='replace')[-2000:]))
    return result


TEMPLATE_SETTINGS = [
    # No window manager under Xvfb: unmanaged windows, no delay on hiding them.
    ['HKCU\\Software\\Wine\\X11 Driver', '/v', 'Managed', '/d', 'N'],
    # A crash prints a backtrace and ends the process instead of opening winedbg.
    ['HKCU\\Software\\Wine\\WineDbg', '/v', 'ShowCrashDialog', '/t', 'REG_DWORD', '/d', '0'],
    ['HKCU\\Software\\Wine', '/v', 'Version', '/d', 'winxp'],
]


def make_template():
    """Makes the template prefix unless an up-to-date one is there (or in the archive)."""
    stamp = os.path.join(TEMPLATE, '.stamp')
    os.makedirs(os.path.dirname(TEMPLATE) or '.', exist_ok=True)
    with open(TEMPLATE + '.lock', 'w') as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if os.path.exists(stamp):
            with open(stamp) as f:
                if f.read() == TEMPLATE_STAMP:
                    return TEMPLATE
        shutil.rmtree(TEMPLATE, ignore_errors=True)
        work = TEMPLATE + '.new'
        shutil.rmtree(work, ignore_errors=True)
        if _unpack_template_archive(work):
            os.rename(work, TEMPLATE)
            return TEMPLATE
        home = tempfile.mkdtemp(prefix='vantinst-home-')
        env = base_env(work, home)
        try:
            _run([LOADER, 'wineboot', '-i'], env, 300)
            for setting in TEMPLATE_SETTINGS:
                _run([LOADER, 'reg', 'add'] + setting + ['/f'], env, 120)
            _run([WINESERVER, '-w'], env, 120)
        finally:
            _run([WINESERVER, '-k'], env, 60, check=False)
            shutil.rmtree(home, ignore_errors=True)
        fonts = os.path.join(work, 'drive_c', 'windows', 'Fonts')
        for font in os.listdir('/usr/share/wine/fonts'):
            shutil.copy(os.path.join('/usr/share/wine/fonts', font), fonts)
        # The user's shell folders link to the HOME of the making; make them plain folders.
        users = os.path.join(work, 'drive_c', 'users')
        for user in os.listdir(users):
            for entry in os.listdir(os.path.join(users, user)):
                path = os.path.join(users, user, entry)
                if os.path.islink(path):
                    os.unlink(path)
                    os.mkdir(path)
        with open(os.path.join(work, '.stamp'), 'w') as f:
            f.write(TEMPLATE_STAMP)
        _pack_template_archive(work)
        os.rename(work, TEMPLATE)
        return TEMPLATE


def _archive_stamp():
    return TEMPLATE_ARCHIVE + '.stamp'


def _archive_is_current():
    if not TEMPLATE_ARCHIVE or not os.path.exists(_archive_stamp()):
        return False
    with open(_archive_stamp()) as f:
        return f.read() == TEMPLATE_STAMP


def _unpack_template_archive(work):
    """Unpacks a kept template of today's making into work; False if there is none."""
    if not _archive_is_current():
        return False
    os.makedirs(work)
    subprocess.run(['tar', '-xf', TEMPLATE_ARCHIVE, '-C', work], check=True, timeout=scaled(300))
    return True


def _pack_template_archive(work):
    if not TEMPLATE_ARCHIVE:
        return
    if os.path.exists(_archive_stamp()):
        os.unlink(_archive_stamp())
    os.makedirs(os.path.dirname(TEMPLATE_ARCHIVE), exist_ok=True)
    subprocess.run(['tar', '-cf', TEMPLATE_ARCHIVE + '.new', '-C', work, '.'], check=True, timeout=scaled(300))
    os.rename(TEMPLATE_ARCHIVE + '.new', TEMPLATE_ARCHIVE)
    with open(_archive_stamp(), 'w') as f:
        f.write(TEMPLATE_STAMP)


class _Slot:
    """One of MAX_PREFIXES machine-wide places for a running prefix (a lock file in /tmp)."""

    def __init__(self):
        base = os.path.join(tempfile.gettempdir(), 'vantinst-wine-slot')
        self.file = None
        while self.file is None:
            for i in range(MAX_PREFIXES):
                f = open('%s%d' % (base, i), 'w')
                try:
                    fcntl.flock(f, fcntl.LOCK_EX | fcntl.LOCK_NB)
                    self.file = f
                    break
                except OSError:
                    f.close()
            else:
                time.sleep(0.2)

    def release(self):
        self.file.close()


class Prefix:
    """A throwaway copy of the template prefix with the program in C:\\Setup."""

    def __init__(self, version='winxp'):
        make_template()
        self.slot = _Slot()
        self.root = tempfile.mkdtemp(prefix='vantinst-wine-')
        self.path = os.path.join(self.root, 'prefix')
        self.home = os.path.join(self.root, 'home')
        self.env = base_env(self.path, self.home)
        self.probes = []
        self.mounted = False
        try:
            os.mkdir(self.home)
            self._make_from_template()
            # Keep the server up between the many short runs of a test.
            subprocess.run([WINESERVER, '-p'], env=self.env, timeout=60, check=True, stdin=subprocess.DEVNULL,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            self.set_version(version)
            shutil.copytree(DIST, self.unix(SETUP_DIR))
            for name in os.listdir(self.unix(SETUP_DIR)):
                os.chmod(os.path.join(self.unix(SETUP_DIR), name), 0o755)
        except BaseException:
            self.close()
            raise

    def _make_from_template(self):
        if not TARGETS[TARGET]['overlay']:
            subprocess.run(['cp', '-a', TEMPLATE, self.path], check=True, timeout=300)
            return
        for sub in ['upper', 'work', 'prefix']:
            os.mkdir(os.path.join(self.root, sub))
        subprocess.run(['mount', '-t', 'overlay', 'overlay', '-o', 'lowerdir=%s,upperdir=%s,workdir=%s' % (
            TEMPLATE, os.path.join(self.root, 'upper'), os.path.join(self.root, 'work')), self.path],
            check=True, timeout=60)
        self.mounted = True

    def unix(self, windows_path):
        """The host path of a C:\\ path inside the prefix."""
        assert windows_path[:3].upper() == 'C:\\', windows_path
        return os.path.join(self.path, 'drive_c', *windows_path[3:].split('\\'))

    def wine(self, args, timeout=120, env=None, check=True):
        return _run([LOADER] + args, dict(self.env, **(env or {})), timeout, check)

    def set_version(self, version):
        self.version = version
        self.wine(['reg', 'add', 'HKCU\\Software\\Wine', '/v', 'Version', '/d', version, '/f'])

    def make_device(self, hwid):
        self.wine([helper('mkdevice.exe'), 'add', hwid])

    def drivers(self, name=''):
        return 'C:\\windows\\system32\\drivers' + ('\\' + name if name else '')

    def install_driver_files(self, names):
        """Copies the shipped driver files into system32\\drivers, as an installation would."""
        for name in names:
            shutil.copy(os.path.join(DIST, name), self.unix(self.drivers(name)))

    def exists(self, windows_path):
        return os.path.exists(self.unix(windows_path))

    def read(self, windows_path):
        with open(self.unix(windows_path), 'rb') as f:
            return f.read()

    def use_newdev(self, dll):
        """Puts a test newdev.dll (a file in the helpers directory) into system32."""
        target = self.unix('C:\\windows\\system32\\newdev.dll')
        if os.path.exists(target):
            os.unlink(target)
        shutil.copy(helper(dll), target)

    def route_newdev_for_pnp(self):
        """The test newdev.dll for the program, Wine's own for mkdevice.exe (see fake_newdev.c);
        use with pnp_newdev_env()."""
        self.use_newdev('fake_newdev.dll')
        self.wine(['reg', 'add', 'HKCU\\Software\\Wine\\DllOverrides', '/v', 'newdev', '/d', 'native', '/f'])
        self.wine(['reg', 'add', 'HKCU\\Software\\Wine\\AppDefaults\\mkdevice.exe\\DllOverrides',
                   '/v', 'newdev', '/d', 'builtin', '/f'])

    def newdev_calls(self):
        """[(hwid, inf path, flags, parent, reboot pointer)] as logged by the test newdev.dll."""
        if not self.exists(NEWDEV_LOG):
            return []
        lines = self.read(NEWDEV_LOG).decode('cp1252').splitlines()
        calls = []
        for line in lines:
            hwid, inf, flags, parent, reboot = line.split('\t')
            calls.append((hwid, inf, int(flags, 16), int(parent, 16), reboot))
        return calls

    def clear_newdev_calls(self):
        if self.exists(NEWDEV_LOG):
            os.unlink(self.unix(NEWDEV_LOG))

    def probe(self, env=None):
        p = Probe(self, env or {})
        self.probes.append(p)
        return p

    def close(self):
        if self.slot is None:
            return
        for p in self.probes:
            p.close()
        _run([WINESERVER, '-k'], self.env, 60, check=False)
        if self.mounted and not KEEP:
            subprocess.run(['umount', '-l', self.path], timeout=60)
        if KEEP:
            print('kept prefix', self.path, file=sys.stderr)
        else:
            shutil.rmtree(self.root, ignore_errors=True)
        self.slot.release()
        self.slot = None


NEWDEV_LOG = 'C:\\newdev-calls.log'


def fake_newdev_env(answers):
    """Environment for a run with the test newdev.dll (see fake_newdev.c for the answers)."""
    return {
        'WINEDLLOVERRIDES': 'newdev=n;winemenubuilder.exe=d',
        'VANTINST_FAKE_NEWDEV': answers,
        'VANTINST_NEWDEV_LOG': NEWDEV_LOG,
        'VANTINST_MKDEVICE': windows_path(helper('mkdevice.exe')),
    }


def pnp_newdev_env():
    """Environment for the test newdev.dll in "pnp" mode; the overrides are in the registry."""
    env = fake_newdev_env('pnp')
    env['WINEDLLOVERRIDES'] = 'winemenubuilder.exe=d'
    return env


# ---- the probe ------------------------------------------------------------

class ProbeError(AssertionError):
    pass


class Control:
    def __init__(self, d):
        self.hwnd = int(d['hwnd'], 16)
        self.id = d['id']
        self.cls = text(d['class'])
        self.text = text(d['text'])
        self.enabled = d['enabled']
        self.visible = d['visible']
        self.style = d['style']
        self.rect = tuple(d['rect'])

    def __repr__(self):
        return 'Control(id=%d, class=%r, text=%r, enabled=%s, visible=%s)' % (
            self.id, self.cls, self.text, self.enabled, self.visible)


class Window:
    """A snapshot of a top-level window and its children."""

    def __init__(self, d):
        self.hwnd = int(d['hwnd'], 16)
        self.cls = text(d['class'])
        self.text = text(d['text'])
        self.rect = tuple(d['rect'])
        self.origin = tuple(d['origin'])  # the client area's top-left on the screen
        self.owner = int(d['owner'], 16)
        self.enabled = d['enabled']
        self.visible = d['visible']
        self.style = d['style']
        self.children = [Control(c) for c in d['children']]

    def child(self, control_id):
        matches = [c for c in self.children if c.id == control_id]
        if not matches:
            raise ProbeError('window %r has no control %d: %r' % (self.text, control_id, self.children))
        return matches[0]

    def buttons(self):
        return sorted(c.id for c in self.children if c.cls.lower() == 'button' and c.visible)

    def centre(self):
        left, top, right, bottom = self.rect
        return ((left + right) / 2, (top + bottom) / 2)

    def __repr__(self):
        return 'Window(%r, %r)' % (self.text, self.children)


class Probe:
    """probe.exe running in the prefix; each method is one command."""

    def __init__(self, prefix, env):
        self.prefix = prefix
        self.log_path = os.path.join(prefix.root, 'probe-%d.log' % (len(prefix.probes) + 1))
        self.log = open(self.log_path, 'wb')
        full_env = dict(prefix.env)
        full_env.update(env)
        self.process = subprocess.Popen(
            [LOADER, helper('probe.exe')], env=full_env, cwd=os.path.join(prefix.path, 'drive_c'),
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=self.log, start_new_session=True)
        self.buffer = b''
        self._expect_ok(self._read(60))

    ANSWER_MARK = b'@probe '

    def _read(self, timeout):
        """The probe's next answer; other lines on its stdout go to the log."""
        timeout = scaled(timeout)
        deadline = time.monotonic() + timeout
        fd = self.process.stdout.fileno()
        while True:
            while b'\n' not in self.buffer:
                left = deadline - time.monotonic()
                ready, _, _ = select.select([fd], [], [], max(left, 0))
                if not ready:
                    raise ProbeError('probe did not answer within %d s' % timeout)
                chunk = os.read(fd, 65536)
                if not chunk:
                    raise ProbeError('probe ended: ' + self.stderr_tail())
                self.buffer += chunk
            line, self.buffer = self.buffer.split(b'\n', 1)
            if line.startswith(self.ANSWER_MARK):
                return json.loads(line[len(self.ANSWER_MARK):])
            self.log.write(b'[stdout] ' + line + b'\n')

    def _expect_ok(self, answer):
        if not answer.get('ok'):
            raise ProbeError('probe: %r' % answer)
        return answer

    def call(self, line, timeout=30):
        """Sends one command and returns the answer, whatever it says."""
        self.process.stdin.write(line.encode('cp1252') + b'\n')
        self.process.stdin.flush()
        return self._read(timeout)

    def stderr_tail(self):
        self.log.flush()
        with open(self.log_path, 'rb') as f:
            return f.read()[-3000:].decode(errors='replace')

    # program
    def start(self, args='', program=PROGRAM):
        cmdline = '"%s"' % program + (' ' + args if args else '')
        return self._expect_ok(self.call('start ' + cmdline))['pid']

    def start_wide(self, args='', program=PROGRAM):
        """Starts the program through CreateProcessW: for paths outside code page 1252."""
        cmdline = '"%s"' % program + (' ' + args if args else '')
        return self._expect_ok(self.call('startw ' + cmdline.encode('utf-8').hex()))['pid']

    def wait_window(self, caption=None, timeout=30, exclude=()):
        """The handle of a visible dialog-class window of the program; ProbeError if none comes."""
        answer = self.call('wait_window %d %s %s' % (
            scaled(timeout) * 1000, hexed(caption) if caption is not None else '*',
            ' '.join(hex(h) for h in exclude)), timeout + 10)
        if not answer['ok']:
            raise ProbeError('no window %r: %r\n(probe log) %s' % (caption, answer, self.stderr_tail()[-800:]))
        return int(answer['hwnd'], 16)

    def wait_gone(self, hwnd, timeout=30):
        """Waits until the window is destroyed (a modal box: its message loop is over)."""
        self._expect_ok(self.call('wait_gone %d %#x' % (scaled(timeout) * 1000, hwnd), timeout + 10))

    def windows(self):
        return self._expect_ok(self.call('windows'))['windows']

    def visible_windows(self):
        return [(text(w['text']), int(w['owner'], 16)) for w in self.windows() if w['visible']]

    def dump(self, hwnd):
        return Window(self._expect_ok(self.call('dump %#x' % hwnd)))

    def workarea(self):
        return tuple(self._expect_ok(self.call('workarea'))['workarea'])

    def click(self, hwnd, control_id):
        self._expect_ok(self.call('click %#x %d' % (hwnd, control_id)))

    def post(self, hwnd, msg, wparam=0, lparam=0):
        self._expect_ok(self.call('post %#x %#x %#x %#x' % (hwnd, msg, wparam, lparam)))

    def send(self, hwnd, msg, wparam=0, lparam=0):
        return self._expect_ok(self.call('send %#x %#x %#x %#x' % (hwnd, msg, wparam, lparam)))['result']

    def settle(self, hwnd):
        """Returns once the window's thread is back in a message loop: a sent message is
        handled only there, so whatever the program did before (after a box was closed) is done."""
        self.send(hwnd, WM_NULL)

    def drain_posted(self, hwnd):
        """Returns once the messages posted to the window before have been handled. A sent
        message (settle) overtakes posted ones: on a slow machine they may still wait in
        the queue. The probe's menu query is posted, and answered only when the thread
        takes it from its queue, behind everything posted before it. Twice, because a
        WM_CLOSE handled meanwhile posts its IDCANCEL behind the first query."""
        for _ in range(2):
            self.system_menu(hwnd)

    def key(self, hwnd, vk):
        self._expect_ok(self.call('key %#x %#x' % (hwnd, vk)))

    def system_menu(self, hwnd):
        """[(id, type, text)] of every entry of the window's system menu."""
        answer = self._expect_ok(self.call('sysmenu %#x' % hwnd, 20))
        return [(item['id'], item['type'], text(item['text'])) for item in answer['items']]

    def wait_exit(self, timeout=30):
        """(exit code, number of visible windows seen meanwhile)."""
        answer = self.call('wait_exit %d' % (scaled(timeout) * 1000), timeout + 10)
        if not answer['ok']:
            raise ProbeError('program did not end within %d s: %r' % (timeout, answer))
        return answer['code'], answer['windows_seen']

    def attributes(self, windows_path):
        """The file's attribute bits, or None if it does not exist."""
        answer = self._expect_ok(self.call('attrs ' + windows_path))
        return answer['attrs'] if answer['exists'] else None

    def close(self):
        if self.process.poll() is None:
            try:
                self.call('kill', 15)
                self.process.stdin.write(b'quit\n')
                self.process.stdin.flush()
                self.process.wait(15)
            except (ProbeError, OSError, ValueError, subprocess.TimeoutExpired):
                os.killpg(self.process.pid, signal.SIGKILL)
                self.process.wait()
        self.log.close()


# ---- test case base ---------------------------------------------------------

class WineTestCase(unittest.TestCase):
    """A test case whose tests each get a prefix of their own."""

    @classmethod
    def setUpClass(cls):
        _require_inputs()

    def new_prefix(self, version='winxp'):
        prefix = Prefix(version)
        self.addCleanup(prefix.close)
        # Cleanups run last first: the report sees the prefix before it is closed.
        self.addCleanup(self._report_if_failed, prefix)
        return prefix

    def _report_if_failed(self, prefix):
        """After a failure: the screen, the probe's lines and the program's log, kept in
        ARTIFACTS and their ends printed, so that the test's output shows why."""
        # unittest resets its outcome for each cleanup: look for this test's failures.
        result = getattr(getattr(self, '_outcome', None), 'result', None)
        if result is None or not any(
                test is self or getattr(test, 'test_case', None) is self
                for test, _ in result.failures + result.errors):
            return
        name = 'failed-%s-%s' % (TARGET, self.id().rsplit('.', 1)[-1])
        report = ['---- %s (%s) ----' % (self.id(), TARGET)]
        if _display is not None and _display.process.poll() is not None:
            report.append('no screenshot: Xvfb on %s had ended with %s (its output: %s)'
                          % (_display.name, _display.process.returncode, _display.log_path))
        else:
            try:
                report.append('screen: ' + display().screenshot(name))
            except (OSError, subprocess.SubprocessError) as e:
                report.append('no screenshot: %s' % e)
        os.makedirs(ARTIFACTS, exist_ok=True)
        for probe in prefix.probes:
            if not probe.log.closed:
                probe.log.flush()
        sources = [(p.log_path, 'probe %d' % i) for i, p in enumerate(prefix.probes, 1)]
        sources.append((prefix.unix('C:\\windows\\Vantinst.log'), 'Vantinst.log'))
        for path, label in sources:
            if not os.path.exists(path):
                continue
            kept = os.path.join(ARTIFACTS, '%s-%s.txt' % (name, label.replace(' ', '')))
            shutil.copy(path, kept)
            with open(path, 'rb') as f:
                tail = f.read()[-3000:].decode('cp1252', errors='replace')
            report += ['%s (whole: %s), last lines:' % (label, kept), tail]
        print('\n'.join(report), file=sys.stderr)

    def screenshot(self, name):
        return display().screenshot(name)

    def open_main_dialog(self, probe, args=''):
        """Starts the program and returns the main dialog once it is on the screen."""
        probe.start(args)
        return probe.wait_window(MSG[facts.MSG_MAIN_TITLE])

    def message_box(self, probe, timeout=30, exclude=()):
        """Waits for a message box (or any other new dialog) and returns its snapshot."""
        return probe.dump(probe.wait_window(None, timeout, exclude))

    def assertMessageBox(self, box, message, owner, buttons=(IDOK,)):
        self.assertEqual(box.text, APP_TITLE, 'caption of %r' % box)
        self.assertEqual(box.child(MSGBOX_TEXT_ID).text, message)
        self.assertEqual(box.owner, owner, 'owner of %r' % box)
        self.assertEqual(box.buttons(), sorted(buttons))

    def assertDialogState(self, dialog, text, install, exit, bar):
        """Checks the main dialog's text and whether Install, Exit and the bar are enabled
        (the bar also visible)."""
        self.assertEqual(dialog.child(ID_TEXT).text, text)
        self.assertEqual(dialog.child(ID_INSTALL).enabled, install, 'Install enabled')
        self.assertEqual(dialog.child(ID_EXIT).enabled, exit, 'Exit enabled')
        progress = dialog.child(ID_PROGRESS)
        self.assertEqual(progress.enabled, bar, 'progress bar enabled')
        self.assertEqual(progress.visible, bar, 'progress bar visible')

    def assertAfterInstallation(self, probe, hwnd):
        probe.settle(hwnd)
        self.assertDialogState(probe.dump(hwnd), MSG[facts.MSG_EXPLANATION], install=False, exit=True, bar=False)

    def assertProgressAdvances(self, probe, hwnd, timeout=15):
        """The bar is past the procedure's own steps and the timer keeps stepping it."""
        bar = probe.dump(hwnd).child(ID_PROGRESS).hwnd
        first = probe.send(bar, PBM_GETPOS)
        self.assertGreaterEqual(first, 1, 'the procedure steps the bar itself')
        deadline = time.monotonic() + scaled(timeout)
        while probe.send(bar, PBM_GETPOS) == first:
            if time.monotonic() > deadline:
                self.fail('progress bar stays at %d' % first)
            time.sleep(0.1)

    def assertTimerIgnored(self, probe, hwnd):
        """Timer ticks leave the disabled progress bar where it is."""
        bar = probe.dump(hwnd).child(ID_PROGRESS).hwnd
        before = probe.send(bar, PBM_GETPOS)
        for _ in range(5):
            probe.post(hwnd, WM_TIMER, 1)
        # Posted messages arrive in order: once the About box is up, the ticks are handled.
        probe.post(hwnd, WM_SYSCOMMAND, ABOUT_COMMAND)
        about = probe.wait_window(MSG[facts.MSG_ABOUT_ENTRY])
        probe.click(about, IDOK)
        probe.wait_gone(about)
        self.assertEqual(probe.send(bar, PBM_GETPOS), before, 'progress bar position')
        progress = probe.dump(hwnd).child(ID_PROGRESS)
        self.assertFalse(progress.visible or progress.enabled, 'progress bar hidden and disabled')

    def assertExit(self, probe, code, timeout=30):
        got, _ = probe.wait_exit(timeout)
        self.assertEqual(got, code, 'exit status %d, expected %d' % (got, code))


def main():
    if '--make-template' in sys.argv:
        if _archive_is_current():
            print('template kept in', TEMPLATE_ARCHIVE)
            return
        make_template()
        print('template ready:', TEMPLATE)
        return
    unittest.main()


if __name__ == '__main__':
    main()
