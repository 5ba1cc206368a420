"""The program's own facts, read from the files the program is built from, so that the
Wine tests and the scripts never hold a copy that could drift:

  res/resource.h     the control, dialog, menu and message ids (every #define with a
                     number), and VANTINST_VERSION
  res/messages.def   the texts of the message catalogue, as the program shows them
  app/ExitStatus.h   the exit statuses, with the comment that says what each means

Every name of resource.h is a module attribute (program_facts.IDC_INSTALL,
program_facts.MSG_MAIN_TITLE), as is every status of ExitStatus.h (kExitUserClosed).

Run as a script, `program_facts.py exit-meaning STATUS` prints what an exit status
means (for scripts/run.sh); STATUS may be cut to its low 8 bits, as Wine passes it.
"""

import os
import re
import sys

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..'))


def _read(relative):
    with open(os.path.join(ROOT, relative), encoding='ascii') as f:
        return f.read()


def _c_string(literal):
    """The bytes of a C string literal's body (the part between the quotes): the escapes
    messages.def and vantinst.rc use, three-digit octal ones included."""
    out = bytearray()
    i = 0
    simple = {'n': 10, 't': 9, 'r': 13, '\\': 92, '"': 34, "'": 39}
    while i < len(literal):
        c = literal[i]
        if c != '\\':
            out += c.encode('ascii')
            i += 1
            continue
        nxt = literal[i + 1]
        if nxt in '01234567':
            digits = re.match(r'[0-7]{1,3}', literal[i + 1:]).group(0)
            out.append(int(digits, 8))
            i += 1 + len(digits)
        elif nxt in simple:
            out.append(simple[nxt])
            i += 2
        else:
            raise ValueError('unknown escape \\%s in %r' % (nxt, literal))
    return bytes(out)


def _parse_defines(text):
    """#define NAME value lines whose value is a number, a parenthesised number or a string."""
    values = {}
    for m in re.finditer(r'^#define\s+(\w+)\s+(.+?)\s*$', text, re.M):
        name, value = m.group(1), m.group(2)
        number = re.fullmatch(r'\(?\s*(-?(?:0x[0-9A-Fa-f]+|\d+))\s*\)?', value)
        if number:
            values[name] = int(number.group(1), 0)
        elif value.startswith('"') and value.endswith('"'):
            values[name] = _c_string(value[1:-1]).decode('cp1252')
    return values


def _parse_messages(text):
    """id -> text of every MESSAGE(id, "text") line, decoded from code page 1252."""
    texts = {}
    for m in re.finditer(r'^MESSAGE\((\d+), "((?:[^"\\]|\\.)*)"\)\s*$', text, re.M):
        texts[int(m.group(1))] = _c_string(m.group(2)).decode('cp1252')
    return texts


def _parse_exit_statuses(text):
    """name -> (value, meaning) of the enumerators of ExitStatus, the meaning being the
    comment after each."""
    statuses = {}
    for m in re.finditer(r'^\s*(kExit\w+)\s*=\s*(\d+),\s*//\s*(.*?)\s*$', text, re.M):
        statuses[m.group(1)] = (int(m.group(2)), m.group(3))
    return statuses


RESOURCE = _parse_defines(_read('res/resource.h'))
MESSAGES = _parse_messages(_read('res/messages.def'))
EXIT_STATUSES = _parse_exit_statuses(_read('app/ExitStatus.h'))
# status -> what it means
EXIT_MEANINGS = {value: meaning for value, meaning in EXIT_STATUSES.values()}

globals().update(RESOURCE)
globals().update({name: value for name, (value, _) in EXIT_STATUSES.items()})

if not MESSAGES or not EXIT_STATUSES or 'IDD_INSTALLER' not in RESOURCE:
    raise ImportError('program_facts: res/resource.h, res/messages.def or app/ExitStatus.h '
                      'no longer reads as expected')


def exit_meaning(status):
    """What the exit status means, also when only its low 8 bits are given; None for a
    status the program does not end with."""
    for value, meaning in EXIT_MEANINGS.items():
        if status in (value, value % 256):
            return value, meaning
    return None


if __name__ == '__main__':
    if len(sys.argv) != 3 or sys.argv[1] != 'exit-meaning':
        sys.exit('usage: program_facts.py exit-meaning STATUS')
    found = exit_meaning(int(sys.argv[2]))
    if found is None:
        sys.exit(1)
    print('%d: %s' % found)
