#!/usr/bin/env python3
"""Keeps the manual pages in step with the programs.

Usage: man_pages_test.py MAN_DIR PROGRAM=PATH...

For each program: its page has the sections of a manual page; every option its --help names
(with the help of the commands it points to, as "tamsel send --help") is described in the
page's OPTIONS and the page describes no option the help texts lack; the exit codes they list
are those of EXIT STATUS. The library's page (section 3) has its sections.
"""
import os
import re
import subprocess
import sys

PROGRAM_SECTIONS = ["NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "EXIT STATUS", "FILES",
                    "EXAMPLES", "SEE ALSO"]
LIBRARY_SECTIONS = ["NAME", "SYNOPSIS", "DESCRIPTION", "RETURN VALUE", "FILES", "EXAMPLES",
                    "SEE ALSO"]

# An option as --help writes it: a dash or two and a letter, after a space, bracket or bar.
HELP_OPTION = re.compile(r"(?:^|(?<=[\s\[(|,]))(--?[A-Za-z][A-Za-z0-9-]*)")
# The same in roff, where a dash is "\-"; not a dash inside a word ("one\-way").
ROFF_OPTION = re.compile(r"(?:^|(?<=[\s\"]))((?:\\-){1,2}[A-Za-z][A-Za-z0-9\\-]*)")


def sections(page_text):
    """Maps each .SH heading to the lines under it (its .SS subsections included)."""
    result = {}
    current = None
    for line in page_text.splitlines():
        if line.startswith(".SH "):
            current = line[4:].strip().strip('"')
            result[current] = []
        elif current is not None:
            result[current].append(line)
    return result


def tagged_options(lines):
    """Options named in the tag lines (the line after each .TP) of a section and its
    subsections."""
    options = set()
    for previous, line in zip(lines, lines[1:]):
        if previous.strip() == ".TP":
            for option in ROFF_OPTION.findall(line):
                options.add(option.replace("\\-", "-"))
    return options


def exit_status_codes(lines):
    codes = set()
    for previous, line in zip(lines, lines[1:]):
        match = re.fullmatch(r"\.B (\d+)", line.strip())
        if previous.strip() == ".TP" and match:
            codes.add(int(match.group(1)))
    return codes


def help_exit_codes(help_text):
    """The codes of a paragraph starting "Exit codes:", or None without one."""
    match = re.search(r"Exit codes:(.*?)(?:\n\s*\n|\Z)", help_text, re.S)
    if not match:
        return None
    return {int(code) for code in re.findall(r"(?:^\s*|[,:]\s+)(\d+)\s+[a-z]", match.group(1))}


def check_sections(name, found, wanted, failures):
    missing = [section for section in wanted if section not in found]
    if missing:
        failures.append(f"{name}: no section {', '.join(missing)}")


def check_program(man_dir, program, path, failures):
    page_path = os.path.join(man_dir, program + ".1")
    if not os.path.exists(page_path):
        failures.append(f"{program}: no manual page {page_path}")
        return
    with open(page_path, encoding="utf-8") as page:
        page_sections = sections(page.read())
    check_sections(program + ".1", page_sections, PROGRAM_SECTIONS, failures)

    help_texts = [run_help([path])]
    if help_texts[0] is None:
        failures.append(f"{program} --help failed")
        return
    # A program with commands points to their help: "tamsel send --help".
    for command in sorted(set(re.findall(rf"\b{re.escape(program)} (\w+) --help", help_texts[0]))):
        help_texts.append(run_help([path, command]))
    if None in help_texts:
        failures.append(f"{program}: a command's --help failed")
        return
    in_help = set()
    codes = set()
    for text in help_texts:
        in_help |= set(HELP_OPTION.findall(text))
        codes |= help_exit_codes(text) or set()
    in_page = tagged_options(page_sections.get("OPTIONS", []))
    for option in sorted(in_help - in_page):
        failures.append(f"{program}: --help names {option}, the page's OPTIONS do not")
    for option in sorted(in_page - in_help):
        failures.append(f"{program}: the page's OPTIONS describe {option}, --help does not")

    page_codes = exit_status_codes(page_sections.get("EXIT STATUS", []))
    if codes and codes != page_codes:
        failures.append(f"{program}: exit codes {sorted(codes)} in --help, "
                        f"{sorted(page_codes)} in the page")


def run_help(command):
    """The help text, or None when the program fails to give it."""
    run = subprocess.run(command + ["--help"], capture_output=True, text=True, timeout=30)
    return run.stdout if run.returncode == 0 else None


def main():
    man_dir = sys.argv[1]
    failures = []
    programs = [argument.split("=", 1) for argument in sys.argv[2:]]
    if not programs:
        failures.append("no programs given")
    for program, path in programs:
        check_program(man_dir, program, path, failures)
    with open(os.path.join(man_dir, "rdsuecp.3"), encoding="utf-8") as page:
        check_sections("rdsuecp.3", sections(page.read()), LIBRARY_SECTIONS, failures)
    for failure in failures:
        print(failure, file=sys.stderr)
    if failures:
        return 1
    print(f"{len(programs)} program pages and the library page agree with the programs")
    return 0


if __name__ == "__main__":
    sys.exit(main())
