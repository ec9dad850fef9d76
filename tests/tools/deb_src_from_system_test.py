#!/usr/bin/env python3
"""tools/lib/deb_src_from_system.py over sources a machine may have: the
deb-src entries it writes for the release in use keep the machine's own
address and every option, and leave other releases, disabled entries and
deb-src lines out."""
import os
import subprocess
import sys
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                      "tools", "lib", "deb_src_from_system.py")

# name, sources.list, {file in sources.list.d: text}, the stanzas written
# (each a dict of its fields) or None when the script must fail.
CASES = [
    ("one-line, a mirror, another release left out",
     "deb http://mirror.lan/debian bookworm main contrib\n"
     "deb http://mirror.lan/debian trixie main\n"
     "deb-src http://deb.debian.org/debian bookworm main\n"
     "# deb http://old.lan/debian bookworm main\n", {},
     [{"URIs": "http://mirror.lan/debian", "Components": "main contrib"}]),
    ("one-line options, all of them",
     "deb [arch=amd64,i386 signed-by=/k.gpg check-valid-until=no arch+=arm64]"
     " http://snapshot.lan/debian/20240101 bookworm main\n", {},
     [{"URIs": "http://snapshot.lan/debian/20240101", "Components": "main",
       "Architectures": "amd64 i386", "Signed-By": "/k.gpg",
       "Check-Valid-Until": "no"}]),
    ("deb822, suites of which one is the release, a disabled stanza",
     "", {"debian.sources":
          "Types: deb deb-src\nURIs: http://proxy.lan:3142/debian\n"
          "Suites: bookworm bookworm-updates\nComponents: main\n"
          "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg\n\n"
          "# The security archive.\nTypes: deb\nURIs: http://other.lan/\n"
          "Suites: bookworm\nComponents: main\nEnabled: no\n\n"
          "Types: deb\nURIs: http://other.lan/\nSuites: trixie\n"
          "Components: main\n",
          "ignored.txt": "deb http://nowhere.lan/ bookworm main\n"},
     [{"URIs": "http://proxy.lan:3142/debian", "Components": "main",
       "Signed-By": "/usr/share/keyrings/debian-archive-keyring.gpg"}]),
    ("no entry for the release", "deb http://mirror.lan/debian trixie main\n",
     {}, None),
]


def stanzas(text):
    found = []
    for block in text.strip().split("\n\n"):
        fields = dict(line.split(": ", 1) for line in block.splitlines())
        assert fields.pop("Types") == "deb-src"
        assert fields.pop("Suites") == "bookworm"
        found.append(fields)
    return found


class DebSrcFromSystem(unittest.TestCase):
    def test_cases(self):
        for name, source_list, parts, expected in CASES:
            with self.subTest(name), tempfile.TemporaryDirectory() as work:
                with open(os.path.join(work, "sources.list"), "w") as f:
                    f.write(source_list)
                os.mkdir(os.path.join(work, "parts"))
                for file, text in parts.items():
                    with open(os.path.join(work, "parts", file), "w") as f:
                        f.write(text)
                out = os.path.join(work, "out.sources")
                run = subprocess.run(
                    [sys.executable, SCRIPT, "bookworm",
                     os.path.join(work, "sources.list"),
                     os.path.join(work, "parts"), out],
                    capture_output=True, text=True)
                if expected is None:
                    self.assertEqual(run.returncode, 1)
                    self.assertFalse(os.path.exists(out))
                    continue
                self.assertEqual(run.returncode, 0, run.stderr)
                with open(out) as f:
                    self.assertEqual(stanzas(f.read()), expected)


if __name__ == "__main__":
    unittest.main()
