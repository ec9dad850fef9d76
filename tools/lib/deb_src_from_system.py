#!/usr/bin/env python3
"""Writes deb-src entries for one release from the machine's own apt sources.

    deb_src_from_system.py CODENAME SOURCE_LIST SOURCE_PARTS OUT_FILE

Every `deb` entry (one-line or deb822) whose suite is CODENAME becomes a
`deb-src` entry with the same address, components and options, so that a
mirror or proxy address configured on the machine is the one used. Writes
the entries in deb822 form to OUT_FILE; exits 1 when there is none.
"""
import os
import re
import sys


def deb822_stanzas(text):
    stanzas, fields, key = [], {}, None
    for line in text.splitlines():
        if line.startswith("#"):
            continue
        if not line.strip():
            if fields:
                stanzas.append(fields)
            fields, key = {}, None
            continue
        if line[0] in " \t" and key:
            fields[key] += "\n" + line
            continue
        name, _, value = line.partition(":")
        key = name.strip()
        fields[key] = value.strip()
    if fields:
        stanzas.append(fields)
    return stanzas


def field(stanza, name):
    for key, value in stanza.items():
        if key.lower() == name.lower():
            return value
    return None


def from_deb822(text, codename):
    entries = []
    for stanza in deb822_stanzas(text):
        if (field(stanza, "Enabled") or "yes").lower() == "no":
            continue
        if "deb" not in (field(stanza, "Types") or "").split():
            continue
        if codename not in (field(stanza, "Suites") or "").split():
            continue
        entry = {k: v for k, v in stanza.items()
                 if k.lower() not in ("types", "suites")}
        entries.append(entry)
    return entries


ONE_LINE = re.compile(r"^\s*deb\s+(?:\[(?P<options>[^\]]*)\]\s+)?(?P<rest>.*)$")
# A one-line option's deb822 field is the same words capitalised (apt reads
# field names in any case), but for the three whose field is a plural. Every
# option counts: a mirror may need check-valid-until=no or trusted=yes.
PLURAL_NAMES = {"arch": "Architectures", "lang": "Languages",
                "target": "Targets"}


def deb822_name(option):
    return PLURAL_NAMES.get(option) or "-".join(
        word.capitalize() for word in option.split("-"))


def from_one_line(text, codename):
    entries = []
    for line in text.splitlines():
        line = line.split("#", 1)[0]
        match = ONE_LINE.match(line)
        if not match:
            continue
        words = match.group("rest").split()
        if len(words) < 3 or words[1] != codename:
            continue
        entry = {"URIs": words[0], "Components": " ".join(words[2:])}
        for option in (match.group("options") or "").split():
            name, _, value = option.partition("=")
            # arch+=... and arch-=... change the default set; no deb822
            # field of the same form.
            if name and not name.endswith(("+", "-")):
                entry[deb822_name(name)] = value.replace(",", " ")
        entries.append(entry)
    return entries


def read(path):
    try:
        with open(path, encoding="utf-8") as f:
            return f.read()
    except OSError:
        return ""


def main(argv):
    if len(argv) != 5:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    codename, source_list, source_parts, out = argv[1:]
    entries = from_one_line(read(source_list), codename)
    parts = sorted(os.listdir(source_parts)) if os.path.isdir(source_parts) else []
    for name in parts:
        path = os.path.join(source_parts, name)
        if name.endswith(".list"):
            entries += from_one_line(read(path), codename)
        elif name.endswith(".sources"):
            entries += from_deb822(read(path), codename)
    if not entries:
        print(f"no 'deb' entry for {codename} in {source_list} or {source_parts}",
              file=sys.stderr)
        return 1
    with open(out, "w", encoding="utf-8") as f:
        for entry in entries:
            f.write("Types: deb-src\n")
            f.write(f"Suites: {codename}\n")
            for key, value in entry.items():
                f.write(f"{key}: {value}\n")
            f.write("\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
