#!/usr/bin/env python3
"""Writes the MinGW linker's own script for programs with the contents of its
.CRT and .tls sections moved to the end of .text.

The stub carries 56 bytes of them (the C runtime's tables of initialisers and
TLS callbacks, the TLS markers), which the default script gives a section and
so a 512-byte block of the file each. At the end of .text, beside the
constructor lists and exception tables that the script already keeps there,
they cost no block of their own: the loader and the C runtime only read them.
The order of everything stays the script's own.

    stub_linker_script.py LD OUTPUT
"""

import re
import subprocess
import sys


def default_script(ld):
    text = subprocess.run([ld, "--verbose"], capture_output=True, text=True, check=True).stdout
    # The script stands between two lines of "=".
    parts = re.split(r"^={50,}$", text, flags=re.M)
    if len(parts) != 3:
        sys.exit("stub_linker_script: %s --verbose shows no linker script" % ld)
    return parts[1].strip("\n")


def take_section(script, name):
    """The script without the output section `name`, and that section's contents."""
    m = re.search(r"\n  %s BLOCK\(__section_alignment__\) :\n  \{\n(.*?)\n  \}\n" % re.escape(name), script, re.S)
    if not m:
        sys.exit("stub_linker_script: no section %s in the linker's script" % name)
    return script[:m.start()] + "\n" + script[m.end():], m.group(1)


def main():
    ld, output = sys.argv[1:3]
    script = default_script(ld)
    script, crt = take_section(script, ".CRT")
    script, tls = take_section(script, ".tls")
    # .CRT$XD* (the dynamic TLS initialisers) has no line of its own: the
    # default script lets it join .CRT by name, after the rest.
    crt += "\n    KEEP (*(SORT(.CRT$*)))"
    end_of_text = "KEEP (*(.gcc_except_table))\n"
    if script.count(end_of_text) != 1:
        sys.exit("stub_linker_script: the end of .text is not where it was in the linker's script")
    script = script.replace(end_of_text, end_of_text + "    . = ALIGN(4);\n" + crt + "\n    . = ALIGN(4);\n" + tls + "\n")
    with open(output, "w") as f:
        f.write(script + "\n")


if __name__ == "__main__":
    main()
