#!/usr/bin/env python3
"""Checks that the shipped i686 Vantinst.exe can load on Windows 2000 and XP.

Reads the PE file itself (no objdump) and reports every problem it finds:

  * header: PE32 for i386, Windows GUI subsystem 5.0, operating system version 5.0;
  * imports (also delay-load imports): only KERNEL32, USER32, GDI32, ADVAPI32 and
    msvcrt, never a toolchain DLL (libgcc, libstdc++, winpthread), no import by
    ordinal, and every function on the Windows 2000 list of its DLL (win2000/*.txt);
  * names of VERSION, COMCTL32 and NEWDEV functions found in the program (the ones it
    hands to GetProcAddress after loading those DLLs by full path) on their lists too;
  * thread-local storage: no TLS callbacks and no native TLS data beyond what the C
    runtime itself brings (compared with a minimal program linked the same way);
  * the lists themselves: with --import-libs, every allowed name must be an export
    in the toolchain's import library of that DLL (catches misspelt entries).

Exit status 0 when nothing is wrong, 1 otherwise. With --expect-problem the meaning is
turned round for the checker's own test: exit 0 only when each given text appears in
one of the problems reported.
"""

import argparse
import os
import re
import struct
import sys

# DLLs the program may import statically, each with its list of Windows 2000 functions.
STATIC_DLLS = {
    "kernel32.dll": "kernel32.txt",
    "user32.dll": "user32.txt",
    "gdi32.dll": "gdi32.txt",
    "advapi32.dll": "advapi32.txt",
    "msvcrt.dll": "msvcrt.txt",
}
# DLLs the program loads at run time by full path and calls through GetProcAddress.
RUNTIME_DLLS = {
    "version.dll": "version.txt",
    "comctl32.dll": "comctl32.txt",
    "newdev.dll": "newdev.txt",
    "setupapi.dll": "setupapi.txt",
}
# Import libraries whose exports validate the lists (msvcrt's import library
# renames several exports, so its list is checked only against the DLL's own view).
IMPORT_LIBRARIES = {
    "kernel32.dll": "libkernel32.a",
    "user32.dll": "libuser32.a",
    "gdi32.dll": "libgdi32.a",
    "advapi32.dll": "libadvapi32.a",
    "version.dll": "libversion.a",
    "comctl32.dll": "libcomctl32.a",
    "newdev.dll": "libnewdev.a",
    "setupapi.dll": "libsetupapi.a",
}
TOOLCHAIN_DLL = re.compile(r"^(libgcc|libstdc\+\+|libwinpthread)", re.IGNORECASE)

# What the PE header must say: (what, field, expected value, how it is shown).
HEADER_RULES = [
    ("machine", "machine", 0x14C, "0x14c (i386)"),
    ("optional header", "magic", 0x10B, "0x10b (PE32)"),
    ("subsystem", "subsystem", 2, "2 (Windows GUI)"),
    ("subsystem version", "subsystem_version", (5, 0), "5.0"),
    ("operating system version", "os_version", (5, 0), "5.0"),
]

# TLS callbacks of the mingw-w64 start-up code (__dyn_tls_init, __dyn_tls_dtor), used
# when no reference program is given.
RUNTIME_TLS_CALLBACKS = 2

DIR_IMPORT, DIR_TLS, DIR_DELAY_IMPORT = 1, 9, 13


class PeError(Exception):
    pass


class PeFile:
    def __init__(self, path):
        self.path = path
        with open(path, "rb") as f:
            self.data = data = f.read()
        if data[:2] != b"MZ":
            raise PeError(f"{path}: no MZ header")
        pe = self._u32(0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise PeError(f"{path}: no PE signature")
        self.machine, sections, _, _, _, opt_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        opt = pe + 24
        self.magic = self._u16(opt)
        if self.magic == 0x10B:
            self.image_base = self._u32(opt + 28)
            dirs, self.pointer_size = opt + 96, 4
        elif self.magic == 0x20B:
            self.image_base = struct.unpack_from("<Q", data, opt + 24)[0]
            dirs, self.pointer_size = opt + 112, 8
        else:
            raise PeError(f"{path}: unknown optional header magic {self.magic:#x}")
        self.os_version = struct.unpack_from("<HH", data, opt + 40)
        self.subsystem_version = struct.unpack_from("<HH", data, opt + 48)
        self.subsystem = self._u16(opt + 68)
        count = self._u32(dirs - 4)
        self.directories = [struct.unpack_from("<II", data, dirs + 8 * i) for i in range(count)]
        self.sections = []
        for i in range(sections):
            s = opt + opt_size + 40 * i
            name = data[s:s + 8].rstrip(b"\0").decode("ascii", "replace")
            vsize, va, rsize, rptr = struct.unpack_from("<IIII", data, s + 8)
            self.sections.append((name, va, max(vsize, rsize), rptr, rsize))

    def _u16(self, off):
        return struct.unpack_from("<H", self.data, off)[0]

    def _u32(self, off):
        return struct.unpack_from("<I", self.data, off)[0]

    def offset(self, rva):
        for _, va, size, rptr, rsize in self.sections:
            if va <= rva < va + size:
                if rva - va >= rsize:
                    raise PeError(f"{self.path}: RVA {rva:#x} lies in uninitialised data")
                return rptr + rva - va
        raise PeError(f"{self.path}: RVA {rva:#x} outside every section")

    def pointer(self, rva):
        fmt = "<I" if self.pointer_size == 4 else "<Q"
        return struct.unpack_from(fmt, self.data, self.offset(rva))[0]

    def cstring(self, rva):
        off = self.offset(rva)
        return self.data[off:self.data.index(b"\0", off)].decode("ascii", "replace")

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def _thunks(self, rva, delay_va_based=False):
        """Names (or '#ordinal') from an import name table."""
        ordinal_flag = 1 << (8 * self.pointer_size - 1)
        names = []
        while True:
            value = self.pointer(rva)
            if not value:
                return names
            if value & ordinal_flag:
                names.append(f"#{value & 0xFFFF}")
            else:
                if delay_va_based:
                    value -= self.image_base
                names.append(self.cstring(value + 2))
            rva += self.pointer_size

    def imports(self):
        """[(dll, [function, ...])] of the import directory."""
        result = []
        rva, size = self.directory(DIR_IMPORT)
        if not rva:
            return result
        while True:
            lookup, _, _, name, first = struct.unpack_from("<IIIII", self.data, self.offset(rva))
            if not name:
                return result
            result.append((self.cstring(name), self._thunks(lookup or first)))
            rva += 20

    def delay_imports(self):
        result = []
        rva, size = self.directory(DIR_DELAY_IMPORT)
        if not rva:
            return result
        while True:
            attributes, name, _, _, names, _, _, _ = struct.unpack_from("<8I", self.data, self.offset(rva))
            if not name:
                return result
            va_based = not (attributes & 1)   # Visual C++ 6 style: addresses, not RVAs
            base = self.image_base if va_based else 0
            result.append((self.cstring(name - base), self._thunks(names - base, va_based)))
            rva += 32

    def tls(self):
        """(number of TLS callbacks, bytes of TLS template data), or (0, 0) without TLS."""
        rva, size = self.directory(DIR_TLS)
        if not rva:
            return 0, 0
        fmt = "<IIIIII" if self.pointer_size == 4 else "<QQQQII"
        start, end, _, callbacks, _, _ = struct.unpack_from(fmt, self.data, self.offset(rva))
        count = 0
        if callbacks:
            slot = callbacks - self.image_base
            while self.pointer(slot):
                count += 1
                slot += self.pointer_size
        return count, end - start

    def strings(self):
        """Every NUL-terminated printable ASCII string of four or more characters."""
        return {m.group(1).decode("ascii") for m in re.finditer(rb"([\x20-\x7e]{4,})\x00", self.data)}


class FunctionList:
    """A win2000/*.txt file: allowed names, '-name note' lines for newer ones, and
    '?name note' lines for newer ones that the program looks up at run time and does
    without where Windows lacks them (allowed among the looked-up names, never as a
    static import)."""

    def __init__(self, path):
        self.path = path
        self.allowed = set()
        self.newer = {}
        self.optional = {}
        with open(path, encoding="utf-8") as f:
            for line in f:
                line = line.split("#", 1)[0].strip() if not line.lstrip()[:1] in ("-", "?") else line.strip()
                if not line:
                    continue
                if line.startswith("?"):
                    name, _, note = line[1:].partition(" ")
                    self.optional[name] = note.strip()
                elif line.startswith("-"):
                    name, _, note = line[1:].partition(" ")
                    self.newer[name] = note.strip()
                else:
                    self.allowed.add(line.split()[0])

    def judge(self, name, looked_up=False):
        """None when allowed, else the reason."""
        if name in self.allowed or (looked_up and name in self.optional):
            return None
        rel = os.path.join(os.path.basename(os.path.dirname(self.path)), os.path.basename(self.path))
        if name in self.newer:
            return f"newer than Windows 2000: {self.newer[name]}"
        if name in self.optional:
            return f"newer than Windows 2000 ({self.optional[name]}): only a run-time lookup may name it"
        return f"not in {rel} (add it only after checking that Windows 2000 SP4 has it)"


def import_library_exports(path):
    """Export names an import library provides, from the archive's symbol index."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"!<arch>\n":
        raise PeError(f"{path}: not an ar archive")
    size = int(data[8 + 48:8 + 58])
    index = data[68:68 + size]
    count = int.from_bytes(index[:4], "big")
    names = set()
    for raw in index[4 + 4 * count:].split(b"\0")[:count]:
        symbol = raw.decode("ascii", "replace")
        if symbol.startswith("__imp_"):
            symbol = symbol[len("__imp_"):]
            if symbol.startswith("_"):      # i386 C name decoration
                symbol = symbol[1:]
            names.add(re.sub(r"@\d+$", "", symbol))
    return names


def display(dll):
    return dll if dll.lower() == "msvcrt.dll" else dll.upper().replace(".DLL", ".dll")


def check(args):
    problems, notes, lines = [], [], []
    exe = PeFile(args.exe)
    lists = {dll: FunctionList(os.path.join(args.lists, name))
             for dll, name in {**STATIC_DLLS, **RUNTIME_DLLS}.items()}

    for what, field, expected, shown in HEADER_RULES:
        value = getattr(exe, field)
        if value == expected:
            lines.append(f"ok    {what}: {shown}")
        else:
            got = ".".join(map(str, value)) if isinstance(value, tuple) else f"{value:#x}"
            problems.append(f"{what} is {got}, must be {shown}")

    static_names = set()
    for kind, table in (("import", exe.imports()), ("delay-load import", exe.delay_imports())):
        for dll, functions in table:
            key = dll.lower()
            static_names.update(functions)
            if TOOLCHAIN_DLL.match(dll):
                problems.append(f"{dll}: {kind} of a toolchain DLL (link it statically: -static)")
                continue
            if key not in STATIC_DLLS:
                problems.append(f"{dll}: {kind} of a DLL outside KERNEL32, USER32, GDI32, ADVAPI32, msvcrt")
                continue
            for function in functions:
                if function.startswith("#"):
                    problems.append(f"{display(dll)}!{function}: {kind} by ordinal cannot be judged")
                    continue
                reason = lists[key].judge(function)
                if reason:
                    problems.append(f"{display(dll)}!{function}: {reason}")
            if not any(p.startswith(f"{display(dll)}!") for p in problems):
                lines.append(f"ok    {kind}s from {display(dll)}: {len(functions)} function"
                             + ("s" if len(functions) != 1 else ""))

    exports = {}
    if args.import_libs:
        for dll, lib in IMPORT_LIBRARIES.items():
            path = os.path.join(args.import_libs, lib)
            if not os.path.exists(path):
                problems.append(f"{path}: import library missing")
                continue
            exports[dll] = import_library_exports(path)
            unknown = sorted((lists[dll].allowed | set(lists[dll].optional)) - exports[dll])
            for name in unknown:
                problems.append(f"win2000/{STATIC_DLLS.get(dll) or RUNTIME_DLLS[dll]}: {name} is no export of "
                                f"{display(dll)} in {lib} (misspelt?)")
        lines.append(f"ok    lists checked against the import libraries in {args.import_libs}")

    # Names in the program that are functions of a DLL it loads at run time.
    strings = exe.strings() - static_names
    for dll in RUNTIME_DLLS:
        known = exports.get(dll, set()) | lists[dll].allowed | set(lists[dll].newer) | set(lists[dll].optional)
        named = sorted(strings & known)
        faults = 0
        for name in named:
            reason = lists[dll].judge(name, looked_up=True)
            if reason:
                faults += 1
                problems.append(f"{display(dll)}!{name} (looked up at run time): {reason}")
        if named and not faults:
            lines.append(f"ok    looked up at run time in {display(dll)}: {', '.join(named)}")
    for dll in STATIC_DLLS:
        known = exports.get(dll, set()) | set(lists[dll].newer)
        for name in sorted(strings & known):
            reason = lists[dll].judge(name)
            if reason:
                notes.append(f"{display(dll)}!{name} is named in the program (looked up at run time?) and is "
                             f"{reason}; the program must work without it")

    callbacks, tls_data = exe.tls()
    if args.reference:
        allowed_callbacks, allowed_data = PeFile(args.reference).tls()
        against = f"the C runtime alone ({os.path.basename(args.reference)})"
    else:
        allowed_callbacks, allowed_data = RUNTIME_TLS_CALLBACKS, None
        against = "the mingw-w64 start-up code"
    if callbacks > allowed_callbacks:
        problems.append(f"TLS callbacks: {callbacks}, {against} has {allowed_callbacks}")
    elif allowed_data is not None and tls_data > allowed_data:
        problems.append(f"TLS data: {tls_data} bytes, {against} has {allowed_data} (native thread-local variables)")
    else:
        lines.append(f"ok    TLS callbacks: {callbacks}, none beyond {against}")

    return problems, notes, lines


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("exe")
    parser.add_argument("--lists", default=os.path.join(os.path.dirname(os.path.abspath(__file__)), "win2000"),
                        help="folder of the per-DLL function lists")
    parser.add_argument("--reference", help="a minimal program linked the same way (its TLS is the C runtime's)")
    parser.add_argument("--import-libs", help="folder of the toolchain's import libraries (libkernel32.a, ...)")
    parser.add_argument("--expect-problem", action="append", default=[], metavar="TEXT",
                        help="pass only if a reported problem contains TEXT (for the checker's own test)")
    args = parser.parse_args()

    try:
        problems, notes, lines = check(args)
    except PeError as error:
        print(f"error: {error}")
        return 1

    print(f"{args.exe}:")
    for line in lines:
        print("  " + line)
    for note in notes:
        print("  note  " + note)
    for problem in problems:
        print("  FAIL  " + problem)

    if args.expect_problem:
        missing = [text for text in args.expect_problem if not any(text in p for p in problems)]
        for text in missing:
            print(f"expected a problem naming {text!r}, none reported")
        print(f"{len(args.expect_problem) - len(missing)} of {len(args.expect_problem)} expected problems reported")
        return 1 if missing else 0

    print(f"{len(problems)} problem(s)" if problems else "no problems: loads on Windows 2000 and XP as far as "
          "the PE file can tell")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
