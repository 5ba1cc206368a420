#!/usr/bin/env python3
"""Checks the compiled resources of Vantinst: the program itself (Vantinst.exe) or a
resource file (.res, as windres -O res writes it).

windres has quirks that the .rc source does not show (it drops default styles,
ignores sizes of some statements, stores class names its own way), so this reads the
compiled templates and compares them with the layout the program relies on:

  - every resource is stored under German (Germany), 0x0407;
  - dialog templates 102 and 100: style, extended style, position, size, font,
    caption, and every control's id, class, text, position, size and style;
  - the string table holds exactly the texts of messages.def, byte for byte in
    code page 1252, and each German text has its English twin at id + 2000;
  - icon 128 has a 32x32 and a 16x16 image of 16 colours;
  - the version information carries the translation 0x0407 / 1252.

Usage: check_resources.py <Vantinst.exe or vantinst.res> <messages.def>
Exit status 0 when everything matches, 1 with a list of differences otherwise.
"""
import re
import struct
import sys

LANG_GERMAN_GERMANY = 0x0407

RT_ICON, RT_DIALOG, RT_STRING, RT_GROUP_ICON, RT_VERSION = 3, 5, 6, 14, 16

WS_POPUP, WS_CHILD, WS_VISIBLE = 0x80000000, 0x40000000, 0x10000000
WS_DISABLED, WS_CAPTION, WS_BORDER = 0x08000000, 0x00C00000, 0x00800000
WS_SYSMENU, WS_GROUP, WS_TABSTOP = 0x00080000, 0x00020000, 0x00010000
DS_MODALFRAME, DS_SETFONT = 0x80, 0x40
WS_EX_APPWINDOW = 0x00040000
BS_PUSHBUTTON, BS_DEFPUSHBUTTON = 0, 1
SS_LEFT, SS_ICON, SS_NOPREFIX = 0, 3, 0x80
DEFAULT_CHARSET = 1

# Predefined window classes that a template may name by ordinal.
CLASS_ORDINALS = {0x80: "BUTTON", 0x81: "EDIT", 0x82: "STATIC",
                  0x83: "LISTBOX", 0x84: "SCROLLBAR", 0x85: "COMBOBOX"}

UE = "\u00fc"  # u-umlaut

# (id, class, text, x, y, cx, cy, style); a text given as int is a resource ordinal.
MAIN_DIALOG = dict(
    style=WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
    exstyle=WS_EX_APPWINDOW, rect=(0, 0, 410, 121),
    caption="Druckertreiber f" + UE + "r Multi-Brenno unter Windows 2000 und XP",
    font=(8, 0, 0, DEFAULT_CHARSET, "MS Sans Serif"),
    controls=[
        (2, "BUTTON", "Ende / Exit", 316, 75, 87, 26,
         WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON),
        (1002, "STATIC", "Text ist in den Ressourcen!", 132, 7, 181, 96,
         WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT),
        (1000, "BUTTON", "Installieren / Install", 316, 7, 87, 14,
         WS_CHILD | WS_VISIBLE | WS_DISABLED | WS_TABSTOP | BS_PUSHBUTTON),
        (1003, "MSCTLS_PROGRESS32", "Progress1", 131, 105, 272, 9,
         WS_CHILD | WS_DISABLED | WS_BORDER),
    ])

ABOUT_DIALOG = dict(
    style=WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
    exstyle=0, rect=(0, 0, 235, 55),
    caption="Info " + UE + "ber Installer f" + UE + "r Druckertreiber f" + UE + "r Brenno",
    font=(8, None, None, None, "MS Sans Serif"),
    controls=[
        (-1, "STATIC", 128, 11, 17, 20, 20, WS_CHILD | WS_VISIBLE | SS_ICON),
        (-1, "STATIC", "Vantinst Version 1.01", 40, 10, 119, 8,
         WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT | SS_NOPREFIX),
        (-1, "STATIC", None, 40, 25, 119, 8,  # second line: any text
         WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT),
        (1, "BUTTON", "OK", 178, 7, 50, 14,
         WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_DEFPUSHBUTTON),
    ])


class Reader:
    def __init__(self, data, pos=0):
        self.data, self.pos = data, pos

    def take(self, fmt):
        values = struct.unpack_from("<" + fmt, self.data, self.pos)
        self.pos += struct.calcsize("<" + fmt)
        return values if len(values) > 1 else values[0]

    def align(self, n=4):
        self.pos = (self.pos + n - 1) // n * n

    def sz(self):
        end = self.pos
        while self.data[end:end + 2] != b"\0\0":
            end += 2
        text = self.data[self.pos:end].decode("utf-16-le")
        self.pos = end + 2
        return text

    def sz_or_ord(self):
        first = self.take("H")
        if first == 0:
            return ""
        if first == 0xFFFF:
            return self.take("H")
        self.pos -= 2
        return self.sz()


def read_res(data):
    """Yields (type, name, language, payload) for each entry of a .res file."""
    pos = 0
    while pos + 8 <= len(data):
        size, header = struct.unpack_from("<II", data, pos)
        r = Reader(data, pos + 8)
        rtype, name = r.sz_or_ord(), r.sz_or_ord()
        r.align()
        _version, _flags, language = r.take("IHH")
        payload = data[pos + header:pos + header + size]
        if size or rtype != 0:
            yield rtype, name, language, payload
        pos = (pos + header + size + 3) // 4 * 4


def read_pe(data):
    """Yields (type, name, language, payload) for each resource of a PE image."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise SystemExit("not a PE image")
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    rsrc_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
    table = optional + optional_size

    def offset(rva):
        for n in range(sections):
            vsize, vaddr, rawsize, rawptr = struct.unpack_from("<IIII", data, table + 40 * n + 8)
            if vaddr <= rva < vaddr + max(vsize, rawsize):
                return rva - vaddr + rawptr
        raise SystemExit("RVA %#x outside every section" % rva)

    base = offset(rsrc_rva) if rsrc_rva else None

    def entries(directory):
        named, ids = struct.unpack_from("<HH", data, base + directory + 12)
        for n in range(named + ids):
            name, target = struct.unpack_from("<II", data, base + directory + 16 + 8 * n)
            if name & 0x80000000:
                length = struct.unpack_from("<H", data, base + (name & 0x7FFFFFFF))[0]
                start = base + (name & 0x7FFFFFFF) + 2
                name = data[start:start + 2 * length].decode("utf-16-le").upper()
            yield name, target

    if base is None:
        return
    for rtype, types in entries(0):
        for name, names in entries(types & 0x7FFFFFFF):
            for language, leaf in entries(names & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", data, base + leaf)
                yield rtype, name, language, data[offset(rva):offset(rva) + size]


def parse_dialog(data):
    r = Reader(data)
    extended = struct.unpack_from("<HH", data)[1] == 0xFFFF
    if extended:
        _ver, _sig, _help, exstyle, style = r.take("HHIII")
    else:
        style, exstyle = r.take("II")
    count = r.take("H")
    rect = r.take("hhhh")
    menu, wclass, caption = r.sz_or_ord(), r.sz_or_ord(), r.sz()
    font = None
    if style & DS_SETFONT:
        if extended:
            size, weight, italic, charset = r.take("HHBB")
        else:
            size, weight, italic, charset = r.take("H"), None, None, None
        font = (size, weight, italic, charset, r.sz())
    controls = []
    for _ in range(count):
        r.align()
        if extended:
            _help, cexstyle, cstyle = r.take("III")
            x, y, cx, cy = r.take("hhhh")
            cid = r.take("i")
        else:
            cstyle, cexstyle = r.take("II")
            x, y, cx, cy = r.take("hhhh")
            cid = r.take("h")
        cclass = r.sz_or_ord()
        if isinstance(cclass, int):
            cclass = CLASS_ORDINALS.get(cclass, cclass)
        else:
            cclass = cclass.upper()
        text = r.sz_or_ord()
        extra = r.take("H")
        r.pos += extra
        controls.append((cid, cclass, text, x, y, cx, cy, cstyle, cexstyle))
    return dict(style=style, exstyle=exstyle, rect=rect, menu=menu, wclass=wclass,
                caption=caption, font=font, controls=controls)


def check_dialog(name, got, want, errors):
    def diff(what, g, w):
        if g != w:
            errors.append("dialog %d: %s is %r, expected %r" % (name, what, g, w))
    diff("style", hex(got["style"]), hex(want["style"]))
    diff("extended style", hex(got["exstyle"]), hex(want["exstyle"]))
    diff("position and size", got["rect"], want["rect"])
    diff("menu", got["menu"], "")
    diff("class", got["wclass"], "")
    diff("caption", got["caption"], want["caption"])
    gfont = got["font"] and tuple(g if w is not None else None
                                  for g, w in zip(got["font"], want["font"]))
    diff("font", gfont, want["font"])
    diff("number of controls", len(got["controls"]), len(want["controls"]))
    for n, (g, w) in enumerate(zip(got["controls"], want["controls"])):
        cid, cclass, text, x, y, cx, cy, style, exstyle = g
        wid, wclass, wtext, wx, wy, wcx, wcy, wstyle = w
        label = "control %d (id %d)" % (n, wid)
        diff(label + " id", cid, wid)
        diff(label + " class", cclass, wclass)
        if wtext is not None:
            diff(label + " text", text, wtext)
        elif not isinstance(text, str) or not text:
            errors.append("dialog %d: %s has no text" % (name, label))
        diff(label + " position and size", (x, y, cx, cy), (wx, wy, wcx, wcy))
        diff(label + " style", hex(style), hex(wstyle))
        diff(label + " extended style", hex(exstyle), hex(0))


C_ESCAPES = {"n": "\n", "t": "\t", "\\": "\\", '"': '"', "'": "'"}


def parse_messages(path):
    """The table as the C++ compiler reads it: id -> text (code page 1252 bytes)."""
    source = open(path, encoding="ascii").read()
    source = re.sub(r"/\*.*?\*/", "", source, flags=re.S)
    table = {}
    for m in re.finditer(r'MESSAGE\(\s*(\d+)\s*,\s*"((?:[^"\\\n]|\\.)*)"\s*\)', source):
        out, body, i = bytearray(), m.group(2), 0
        while i < len(body):
            if body[i] != "\\":
                out.append(ord(body[i]))
                i += 1
            elif body[i + 1] in "01234567":
                digits = re.match(r"[0-7]{1,3}", body[i + 1:]).group(0)
                out.append(int(digits, 8))
                i += 1 + len(digits)
            else:
                out += C_ESCAPES[body[i + 1]].encode("ascii")
                i += 2
        ident = int(m.group(1))
        if ident in table:
            raise SystemExit("messages.def: id %d twice" % ident)
        table[ident] = bytes(out)
    if source.count("MESSAGE(") != len(table):
        raise SystemExit("messages.def: an entry could not be read")
    return table


def parse_string_block(block_id, data):
    r, strings = Reader(data), {}
    for n in range(16):
        length = r.take("H")
        text = data[r.pos:r.pos + 2 * length].decode("utf-16-le")
        r.pos += 2 * length
        if length:
            strings[(block_id - 1) * 16 + n] = text
    return strings


def main(res_path, def_path):
    errors = []
    data = open(res_path, "rb").read()
    entries = list(read_pe(data) if data[:2] == b"MZ" else read_res(data))
    for rtype, name, language, _ in entries:
        if language != LANG_GERMAN_GERMANY:
            errors.append("resource type %r name %r has language %#06x"
                          % (rtype, name, language))

    dialogs = {name: parse_dialog(p) for t, name, _, p in entries if t == RT_DIALOG}
    for name, want in ((102, MAIN_DIALOG), (100, ABOUT_DIALOG)):
        if name in dialogs:
            check_dialog(name, dialogs[name], want, errors)
        else:
            errors.append("dialog %d missing" % name)
    if sorted(dialogs) != [100, 102]:
        errors.append("dialogs present: %r" % sorted(dialogs))

    strings = {}
    for t, name, _, payload in entries:
        if t == RT_STRING:
            strings.update(parse_string_block(name, payload))
    table = parse_messages(def_path)
    for ident in sorted(set(table) | set(strings)):
        if ident not in strings:
            errors.append("string %d missing from the string table" % ident)
        elif ident not in table:
            errors.append("string %d not in messages.def" % ident)
        else:
            try:
                got = strings[ident].encode("cp1252")
            except UnicodeEncodeError:
                got = strings[ident].encode("utf-8", "replace")
            if got != table[ident]:
                errors.append("string %d is %r, table says %r" % (ident, got, table[ident]))
    german = {i for i in table if 1000 <= i <= 1207}
    english = {i for i in table if 3000 <= i <= 3207}
    if german != {i - 2000 for i in english} or len(german) + len(english) != len(table):
        errors.append("German and English sets differ: %r"
                      % sorted(german ^ {i - 2000 for i in english}))

    groups = {name: p for t, name, _, p in entries if t == RT_GROUP_ICON}
    icons = {name: p for t, name, _, p in entries if t == RT_ICON}
    if list(groups) != [128]:
        errors.append("icon groups present: %r" % list(groups))
    else:
        data = groups[128]
        _, kind, count = struct.unpack_from("<HHH", data)
        seen = []
        for n in range(count):
            w, h, colours, _, planes, bits, size, ident = struct.unpack_from(
                "<BBBBHHIH", data, 6 + 14 * n)
            image = icons.get(ident, b"")
            bi_bits = struct.unpack_from("<H", image, 14)[0] if len(image) >= 16 else None
            seen.append((w, h, colours, bi_bits))
        if kind != 1 or sorted(seen) != [(16, 16, 16, 4), (32, 32, 16, 4)]:
            errors.append("icon 128: images (w, h, colours, bits) %r" % seen)

    versions = [p for t, _, _, p in entries if t == RT_VERSION]
    if len(versions) != 1 or b"\x07\x04\xe4\x04" not in versions[0] \
            or "040704E4".encode("utf-16-le") not in versions[0]:
        errors.append("version information missing or not 0x0407 / 1252")

    for e in errors:
        print(e)
    print("%s: %s" % (res_path, "ok" if not errors else "%d differences" % len(errors)))
    return 1 if errors else 0


if __name__ == "__main__":
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    sys.exit(main(sys.argv[1], sys.argv[2]))
