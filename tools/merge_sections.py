#!/usr/bin/env python3
"""Writes the linker script of the shipped i686 exe: ld's own default script for PE
(`ld --verbose`, read from stdin), with three small sections moved into their
neighbours.

Every section of a PE file takes at least one FileAlignment (512 bytes) in the file. The
C runtime brings three that hold only a few bytes each: .CRT (its start-up and exit
tables, 48 bytes), .tls (the TLS template, 8 bytes) and .eh_frame (unwind tables of its
own objects, under 2 KB). Moving them into .data and .rdata saves 2 KB of padding and
changes no byte of code:
  - .tls goes to the very start of .data, so that ___tls_start__ stays at the start of
    its section (TLS offsets, SECREL32, are counted from there);
  - .CRT follows in .data: the tables keep their order, and stay writable as before;
  - .eh_frame goes into .rdata, before the runtime pseudo-relocation list, whose
    symbols are counted back from the end of .rdata.

  merge_sections.py LD OUT     (LD: the target's ld, whose --verbose prints the script)

Exits 2 if the default script does not have the shape this expects (a new binutils):
then the build stops rather than linking with a script that was not understood.
"""
import re
import subprocess
import sys


def take_block(script, name):
    """Removes the output section statement `name BLOCK(...) : { ... }` and returns
    (script without it, the statement's body)."""
    match = re.search(r'\n  %s BLOCK\(__section_alignment__\) :\s*\n  \{\n(.*?)\n  \}\n' % re.escape(name),
                      script, re.S)
    if not match:
        raise ValueError('no section %s' % name)
    return script[:match.start()] + '\n' + script[match.end():], match.group(1)


def insert_after(script, anchor, text):
    if script.count(anchor) != 1:
        raise ValueError('anchor %r is not there once' % anchor)
    return script.replace(anchor, anchor + text)


def insert_before(script, anchor, text):
    if script.count(anchor) != 1:
        raise ValueError('anchor %r is not there once' % anchor)
    return script.replace(anchor, text + anchor)


def merge(script):
    script, crt = take_block(script, '.CRT')
    script, tls = take_block(script, '.tls')
    script, eh_frame = take_block(script, '.eh_frame')
    script = insert_after(script, '  .data BLOCK(__section_alignment__) :\n  {\n',
                          '    /* was .tls */\n' + tls + '\n')
    # The rest of .CRT (the TLS initialiser bounds .CRT$XDA/$XDZ) has no statement of
    # its own: ld put it at the end of .CRT, sorted. So it stays.
    script = insert_after(script, '    *(.data_cygwin_nocopy)\n', '    /* was .CRT */\n' + crt + '\n'
                          '    KEEP (*(SORT(.CRT$*)))\n')
    script = insert_before(script, '    . = ALIGN(4);\n    __rt_psrelocs_start = .;',
                           '    /* was .eh_frame */\n' + eh_frame + '\n')
    return ('/* ld\'s default script for PE, with .tls and .CRT merged into .data and\n'
            '   .eh_frame into .rdata: made by tools/merge_sections.py */\n' + script)


def main():
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    ld, out = sys.argv[1:]
    text = subprocess.run([ld, '--verbose'], check=True, capture_output=True, text=True).stdout
    match = re.search(r'^=+\n(.*?)^=+\n', text, re.S | re.M)
    script = match.group(1) if match else text
    try:
        merged = merge(script)
    except ValueError as e:
        print('merge_sections.py: the default linker script is not as expected: %s' % e, file=sys.stderr)
        return 2
    with open(out, 'w') as f:
        f.write(merged)
    return 0


if __name__ == '__main__':
    sys.exit(main())
