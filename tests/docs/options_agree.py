#!/usr/bin/env python3
"""marlisk-cli's --help and its manual page name the same options.

    options_agree.py PATH_TO_MARLISK_CLI PATH_TO_MANUAL_PAGE

Every option --help lists must be named in the manual page and every option the manual
page names must be listed by --help, so neither can fall behind the program.
"""
import re
import subprocess
import sys

OPTION = re.compile(r"(?<![\w-])(--[a-z][a-z0-9-]*(?:=[a-z]+)?|-o)(?![\w-])")


def options_in(text):
    return set(OPTION.findall(text))


def manual_text(path):
    with open(path, encoding="utf-8") as f:
        roff = f.read()
    # roff writes a hyphen as \- and switches fonts with \fB, \fI, \fR and \fP.
    text = roff.replace("\\-", "-")
    text = re.sub(r"\\f[BIRP]", "", text)
    # Requests such as .TH and .SH are not prose; keep only their arguments.
    return "\n".join(re.sub(r"^\.[A-Z]+\s?", "", line) for line in text.splitlines())


def main():
    cli, manual = sys.argv[1], sys.argv[2]
    help_text = subprocess.run([cli, "--help"], capture_output=True, text=True, check=True).stdout
    listed = options_in(help_text)
    named = options_in(manual_text(manual))
    failed = False
    if len(listed) < 10:
        print(f"FAIL: --help lists only {sorted(listed)}: the option pattern no longer matches it")
        failed = True
    for option in sorted(listed - named):
        print(f"FAIL: --help lists {option}, the manual page {manual} does not name it")
        failed = True
    for option in sorted(named - listed):
        print(f"FAIL: the manual page names {option}, --help does not list it")
        failed = True
    if not failed:
        print(f"ok: --help and the manual page name the same {len(listed)} options")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
