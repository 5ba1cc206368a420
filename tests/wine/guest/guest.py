#!/usr/bin/env python3
"""An emulated i386 PC that runs the shipped 32-bit Vantinst.exe under Debian's 32-bit Wine.

This machine has no KVM and cannot execute 32-bit programs, so the i686 exe runs in a
whole PC under qemu-system-i386: Debian 12's own i386 kernel, and a root that is a host
folder shared over virtio-9p. Both are made here from Debian packages only.

  guest.py make DIR        makes the root and initramfs in DIR, unless DIR holds a
                           root of this recipe already (DIR/.stamp)
  guest.py run DIR [--share P ...] [--timeout S] [--env K=V ...] -- COMMAND...
                           boots the PC, runs COMMAND in it as root with each P
                           mounted at the same path as here (so build and source
                           paths carry over), prints the guest's console, and exits
                           with COMMAND's status (124 when it did not end in time)

The shared folders are read and written by the guest as they are: a command writes
its results straight into them. Inside, /tmp is a tmpfs within the guest's memory.
"""

import argparse
import hashlib
import inspect
import os
import shlex
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
RECIPE = [os.path.join(HERE, 'init'), os.path.join(HERE, 'stage2')]

SUITE = 'bookworm'
MIRROR = 'http://deb.debian.org/debian'
# What the Wine tests need in the guest: Wine (32-bit), a virtual display, screenshots,
# Python for the tests themselves, fonts as on the host.
PACKAGES = ['linux-image-686', 'busybox-static', 'kmod', 'mount', 'e2fsprogs',
            'wine', 'wine32', 'fonts-wine', 'fonts-liberation',
            'xvfb', 'xauth', 'x11-utils', 'imagemagick', 'python3', 'procps']
ALTERNATIVES = {'import': 'import-im6.q16', 'convert': 'convert-im6.q16'}
# Modules the initramfs loads to reach the root (virtio-9p) and to give each test
# prefix a copy-on-write view of the template (overlay). Their dependencies come
# from modules.dep.
MODULES = ['virtio_pci', '9pnet_virtio', '9p', 'overlay']

MEMORY_MB = 3200
ROOT_TAG = 'vroot'
JOB_TAG = 'vjob'
SHARE_TAG = 'vshare'


def recipe_stamp():
    """What the root is made of: the two init stages, the package and module lists and
    the making code itself (the runner below may change without a new root)."""
    digest = hashlib.sha256()
    for path in RECIPE:
        with open(path, 'rb') as f:
            digest.update(f.read())
    digest.update(repr((SUITE, MIRROR, PACKAGES, ALTERNATIVES, MODULES)).encode())
    for function in (kernel_version, module_load_order, fix_wine_zlib, make_initramfs, make):
        digest.update(inspect.getsource(function).encode())
    return digest.hexdigest()


def log(*parts):
    print('[guest]', *parts, file=sys.stderr, flush=True)


# ---- making the root ---------------------------------------------------------

def kernel_version(root):
    versions = sorted(os.listdir(os.path.join(root, 'lib', 'modules')))
    if len(versions) != 1:
        raise RuntimeError('expected one kernel in the root, found %r' % versions)
    return versions[0]


def module_load_order(root, kver):
    """Module files (relative to lib/modules/KVER), each after what it depends on."""
    base = os.path.join(root, 'lib', 'modules', kver)
    deps = {}
    with open(os.path.join(base, 'modules.dep')) as f:
        for line in f:
            name, _, rest = line.partition(':')
            deps[name.strip()] = rest.split()
    by_name = {os.path.basename(path).split('.ko')[0].replace('-', '_'): path for path in deps}
    order = []

    def visit(path):
        if path in order:
            return
        for dep in deps[path]:
            visit(dep)
        order.append(path)

    for name in MODULES:
        if name not in by_name:
            raise RuntimeError('kernel %s has no module %s' % (kver, name))
        visit(by_name[name])
    return order


def fix_wine_zlib(root):
    """What libwine's maintainer script does: Wine's builtin zlib1.dll is the mingw one
    with Wine's builtin mark at offset 64 (user32 does not load without it)."""
    for mingw, wine in [('i686', 'i386'), ('x86_64', 'x86_64')]:
        source = os.path.join(root, 'usr', mingw + '-w64-mingw32', 'lib', 'zlib1.dll')
        target_dir = os.path.join(root, 'usr', 'lib', 'i386-linux-gnu', 'wine', wine + '-windows')
        if not (os.path.exists(source) and os.path.isdir(target_dir)):
            continue
        with open(source, 'rb') as f:
            data = f.read()
        with open(os.path.join(target_dir, 'zlib1.dll'), 'wb') as f:
            f.write(data[:64] + b'Wine builtin DLL' + bytes(16) + data[96:])


def make_initramfs(root, out):
    kver = kernel_version(root)
    work = tempfile.mkdtemp(prefix='vantinst-initrd-')
    try:
        for sub in ['bin', 'proc', 'sys', 'dev', 'newroot', 'modules']:
            os.mkdir(os.path.join(work, sub))
        shutil.copy(os.path.join(root, 'bin', 'busybox'), os.path.join(work, 'bin', 'busybox'))
        order = []
        for rel in module_load_order(root, kver):
            name = os.path.basename(rel)
            shutil.copy(os.path.join(root, 'lib', 'modules', kver, rel), os.path.join(work, 'modules', name))
            order.append(name)
        with open(os.path.join(work, 'modules', 'order'), 'w') as f:
            f.write('\n'.join(order) + '\n')
        shutil.copy(os.path.join(HERE, 'init'), os.path.join(work, 'init'))
        os.chmod(os.path.join(work, 'init'), 0o755)
        files = subprocess.run(['find', '.'], cwd=work, check=True, capture_output=True).stdout
        archive = subprocess.run(['cpio', '--quiet', '-o', '-H', 'newc'], cwd=work, input=files,
                                 check=True, capture_output=True).stdout
        with open(out, 'wb') as f:
            subprocess.run(['gzip', '-1'], input=archive, stdout=f, check=True)
    finally:
        shutil.rmtree(work, ignore_errors=True)


def make(directory):
    stamp_path = os.path.join(directory, '.stamp')
    stamp = recipe_stamp()
    if os.path.exists(stamp_path) and open(stamp_path).read() == stamp:
        log('root is up to date:', directory)
        return
    started = time.monotonic()
    root = os.path.join(directory, 'root')
    if os.path.exists(stamp_path):
        os.unlink(stamp_path)
    shutil.rmtree(root, ignore_errors=True)
    os.makedirs(directory, exist_ok=True)
    log('making the i386 root in', root, '(Debian packages, about 3 minutes)')
    # extract: the packages are unpacked, none of their scripts runs (they are i386
    # code); what those scripts would have done and the guest needs is done below.
    subprocess.run(['mmdebstrap', '--quiet', '--variant=extract', '--architectures=i386',
                    '--include=?essential', '--include=' + ','.join(PACKAGES),
                    '--aptopt=Acquire::Retries "5"',
                    SUITE, root, MIRROR], check=True)
    for name in ['passwd', 'group']:
        shutil.copy(os.path.join(root, 'usr', 'share', 'base-passwd', name + '.master'),
                    os.path.join(root, 'etc', name))
    fix_wine_zlib(root)
    # The names that update-alternatives would have made, for the ones the tests call.
    for name, target in ALTERNATIVES.items():
        link = os.path.join(root, 'usr', 'bin', name)
        if not os.path.lexists(link):
            os.symlink(target, link)
    subprocess.run(['ldconfig', '-r', root], check=True)
    kver = kernel_version(root)
    subprocess.run(['depmod', '-b', root, kver], check=True)
    shutil.copy(os.path.join(HERE, 'stage2'), os.path.join(root, 'sbin', 'vantinst-stage2'))
    os.chmod(os.path.join(root, 'sbin', 'vantinst-stage2'), 0o755)
    for folder in ['var/cache/apt/archives', 'usr/share/doc', 'usr/share/man']:
        shutil.rmtree(os.path.join(root, folder), ignore_errors=True)
    make_initramfs(root, os.path.join(directory, 'initrd.gz'))
    shutil.copy(os.path.join(root, 'boot', 'vmlinuz-' + kver), os.path.join(directory, 'vmlinuz'))
    with open(stamp_path, 'w') as f:
        f.write(stamp)
    log('root made in %.0f s' % (time.monotonic() - started))


# ---- running a command -------------------------------------------------------

def run(directory, shares, command, timeout, env, cpus):
    if not os.path.exists(os.path.join(directory, '.stamp')):
        raise SystemExit('no guest in %s: run "guest.py make %s" first' % (directory, directory))
    job = tempfile.mkdtemp(prefix='vantinst-job-')
    try:
        # A folder inside another shared one is there already.
        shares = sorted(set(shares))
        shares = [s for s in shares if not any(s.startswith(o + os.sep) for o in shares)]
        lines = ['export %s=%s' % (k, shlex.quote(v)) for k, v in env]
        for i, path in enumerate(shares):
            lines += ['mkdir -p %s' % shlex.quote(path),
                      'mount -t 9p -o trans=virtio,version=9p2000.L,msize=262144,cache=loose %s%d %s'
                      % (SHARE_TAG, i, shlex.quote(path))]
        lines += ['cd %s' % shlex.quote(os.getcwd() if any(os.getcwd().startswith(s) for s in shares) else '/'),
                  ' '.join(shlex.quote(c) for c in command)]
        with open(os.path.join(job, 'job.sh'), 'w') as f:
            f.write('\n'.join(lines) + '\n')
        qemu = ['qemu-system-i386', '-accel', 'tcg,thread=multi', '-smp', str(cpus),
                '-m', str(MEMORY_MB), '-nographic', '-no-reboot', '-nodefaults', '-serial', 'stdio',
                '-kernel', os.path.join(directory, 'vmlinuz'),
                '-initrd', os.path.join(directory, 'initrd.gz'),
                '-append', 'console=ttyS0 quiet panic=-1 vantinst.root=%s' % ROOT_TAG]
        for tag, path in [(ROOT_TAG, os.path.join(directory, 'root')), (JOB_TAG, job)] + [
                ('%s%d' % (SHARE_TAG, i), path) for i, path in enumerate(shares)]:
            qemu += ['-fsdev', 'local,id=%s,path=%s,security_model=none' % (tag, path),
                     '-device', 'virtio-9p-pci,fsdev=%s,mount_tag=%s' % (tag, tag)]
        started = time.monotonic()
        process = subprocess.Popen(qemu, stdin=subprocess.DEVNULL)
        try:
            process.wait(timeout)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
            log('the guest did not power off within %d s' % timeout)
            return 124
        status_path = os.path.join(job, 'status')
        if not os.path.exists(status_path):
            log('the guest ended without a status (see its console above)')
            return 125
        status = int(open(status_path).read().strip() or 125)
        log('guest ran %.0f s, status %d' % (time.monotonic() - started, status))
        return status
    finally:
        shutil.rmtree(job, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    sub = parser.add_subparsers(dest='verb', required=True)
    p = sub.add_parser('make')
    p.add_argument('directory')
    p = sub.add_parser('run')
    p.add_argument('directory')
    p.add_argument('--share', action='append', default=[], metavar='PATH')
    p.add_argument('--timeout', type=int, default=1800)
    p.add_argument('--cpus', type=int, default=2)
    p.add_argument('--env', action='append', default=[], metavar='K=V')
    p.add_argument('command', nargs='+')
    args = parser.parse_args()
    if args.verb == 'make':
        make(os.path.abspath(args.directory))
        return 0
    env = [tuple(e.split('=', 1)) for e in args.env]
    return run(os.path.abspath(args.directory), [os.path.abspath(s) for s in args.share], args.command,
               args.timeout, env, args.cpus)


if __name__ == '__main__':
    sys.exit(main())
