"""The author's guide (docs/guide.md) against the code: every instruction
command, launch-script function, manifest key, JVM-file key, input-file key
and action, -nv: option and nvpack/nvjvm option that the code knows is
documented in its section of the guide, and named by nvpack's and nvjvm's
--help; and every code block the guide marks as taken from an example file
(a line <!-- from examples/... --> before it) is that file's text.

The names come from the sources by the patterns in NAME_SOURCES, so a new
command, key or option in the code fails here until the guide has it. When
the dispatch moves (to one table per language, say), point the entry's files
and pattern at the new table; a pattern that finds fewer names than it did
fails loudly rather than passing on nothing.
"""

import os
import re
import subprocess
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
GUIDE = os.path.join(ROOT, "docs", "guide.md")
HOST = os.path.dirname(os.path.abspath(os.environ.get("NV_NVPACK") or os.path.join(ROOT, "build", "host", "nvpack")))

# A quoted name in capitals: "FIND_JVM".
CAPS = r'"([A-Z][A-Z0-9_]*)"'

# What the code knows, where: (what, guide section (a part of its heading),
# [(source files, pattern whose group 1 is a name)], the least number of names).
NAME_SOURCES = [
    ("instruction command", "The instruction program",
     # The rows of the command table, commands_: {"NAME", {arguments}, need, archive need, action}.
     [(["src/instructions/Instructions.cpp"], r'^\s*\{' + CAPS + r',')], 10),
    ("launch-script function", "Launch scripts",
     # The rows of the function table: {"NAME", least, most, result, needs, message, action}.
     [(["src/launch/LaunchScript.cpp"], r'\{' + CAPS + r', *-?\d+, *-?\d+,')], 10),
    ("launch-script key", "Launch scripts",
     [(["src/launch/LaunchScript.cpp"], r'\btags\.(?:value|boolValue)\(' + CAPS)], 5),
    ("manifest key", "nvpack and its manifest",
     [(["tools/nvpack/Manifest.cpp"], r'\btag [!=]= ' + CAPS),
      # The branding table's rows: {"--option", "TAG", ...}.
      (["tools/nvpack/Branding.cpp"], r'\{"--[a-z-]+", ' + CAPS)], 12),
    ("nvpack option", "nvpack and its manifest",
     [(["tools/nvpack/CommandLine.cpp"], r'\barg == "(--[a-z-]+)"'),
      (["tools/nvpack/Branding.cpp"], r'\{"(--[a-z-]+)", "[A-Z_]+"'),
      (["tools/nvpack/NvpackProgram.cpp"], r'"(--?[a-z]+)"')], 17),
    ("nvjvm option", "nvjvm",
     [(["tools/jvmarchive/packer/NvjvmProgram.cpp"], r'"(--?[a-z]+)"')], 6),
    ("JVM-file key", "JVM files",
     [(["src/jvm/" + name for name in os.listdir(os.path.join(ROOT, "src", "jvm")) if name.endswith(".cpp")] +
       ["src/launch/ClassPath.cpp", "src/launch/LaunchScript.cpp", "src/launch/JvmVariables.h"],
       r'\b(?:tags_|tags\(\)|jvmTags)\.(?:value|valueCount|boolValue)\(' + CAPS),
      (["src/launch/" + name for name in os.listdir(os.path.join(ROOT, "src", "launch")) if name.endswith(".cpp")],
       r'\blookupVariable\(' + CAPS),
      (["src/launch/LaunchScript.cpp"], r'\btags\.valueCount\(' + CAPS),
      # What the launcher writes into the JVM file of a match (setJvmInfo).
      (["src/tagfile/TagFile.cpp"], r'\bset(?:Bool)?Value\(' + CAPS)], 17),
    ("input-file action", "Input files",
     [(["src/launcher/LauncherJob.cpp"], r'\baction == ' + CAPS)], 5),
    ("input-file key", "Input files",
     [(["src/launcher/LauncherJob.cpp", "src/launcher/RunContent.cpp"],
       r'\binput\.(?:value|valueCount|boolValue)\(' + CAPS)], 14),
    ("command-line option", "Command-line options",
     [(["src/launcher/RunDriver.cpp"], r'\barg == "(-[a-z]+(?::[a-z]+)?)"')], 14),
]


def read(path):
    with open(os.path.join(ROOT, path), encoding="utf-8", newline="") as f:
        return f.read()


def names_in_code(sources):
    names = []
    for files, pattern in sources:
        for path in files:
            for name in re.findall(pattern, read(path), flags=re.M):
                if name not in names:
                    names.append(name)
    return names


def sections(text):
    """The guide's sections: {heading: body}, split at every heading of level 2 to 4."""
    parts = re.split(r"^(#{2,4} .*)$", text, flags=re.M)
    return {parts[i].lstrip("# ").strip(): parts[i] + parts[i + 1] for i in range(1, len(parts) - 1, 2)}


def section_text(text, heading_part):
    """The level-3 section whose heading holds heading_part, with its subsections."""
    match = re.search(r"^### [^\n]*" + re.escape(heading_part) + r"[^\n]*$", text, flags=re.M)
    if not match:
        raise AssertionError("the guide has no section \"%s\"" % heading_part)
    end = re.search(r"^#{2,3} ", text[match.end():], flags=re.M)
    return text[match.start():match.end() + end.start() if end else len(text)]


def mentions(text, name):
    """Whether the name stands in `text` as a word of its own (--out, not --outt)."""
    return re.search(r"(?<![\w:-])" + re.escape(name) + r"(?![\w:-])", text) is not None


def marked_blocks(text):
    """[(example path, block text)] for each fenced block after a line <!-- from PATH -->."""
    found = []
    for match in re.finditer(r"^<!-- from (\S+) -->\n```[^\n]*\n(.*?)^```$", text, flags=re.M | re.S):
        found.append((match.group(1), match.group(2)))
    return found


class GuideTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.guide = read(os.path.relpath(GUIDE, ROOT))

    def test_every_name_the_code_knows_is_in_its_section(self):
        for what, heading, sources, least in NAME_SOURCES:
            with self.subTest(what):
                names = names_in_code(sources)
                # Fewer than before means the pattern no longer matches the code.
                self.assertGreaterEqual(len(names), least, "%s: the sources gave only %r" % (what, names))
                text = section_text(self.guide, heading)
                missing = [name for name in names if not mentions(text, name)]
                self.assertEqual(missing, [], "%s missing from the guide's section \"%s\"" % (what, heading))

    def test_the_guide_has_the_authors_sections(self):
        headings = list(sections(self.guide))
        for part in ("1. Quick start", "2. How it works", "3. Reference", "4. Troubleshooting", "Exit codes",
                     "Languages", "Branding and signing", "Modes", "Silent runs", "The class path"):
            with self.subTest(part):
                self.assertTrue(any(part in heading for heading in headings), headings)
        picture = [body for heading, body in sections(self.guide).items() if "How it works" in heading]
        self.assertIn("```mermaid", picture[0])

    def test_marked_code_blocks_are_the_example_files(self):
        blocks = marked_blocks(self.guide)
        self.assertEqual(len(blocks), self.guide.count("<!-- from "), "a marker without a fenced block after it")
        examples = {path.split("/")[1] for path, _ in blocks}
        self.assertEqual(examples, {"ship-my-jar", "find-or-install", "input-file-api", "try-on-linux"})
        for path, block in blocks:
            with self.subTest(path):
                self.assertEqual(block, read(path).replace("\r\n", "\n"))


class HelpTest(unittest.TestCase):
    """nvpack --help and nvjvm --help name the guide and give each option a line."""

    def help_text(self, program):
        path = os.path.join(HOST, program)
        if not os.path.exists(path):
            raise AssertionError("%s is not built" % path)
        result = subprocess.run([path, "--help"], capture_output=True, timeout=30)
        self.assertEqual(result.returncode, 0, result.stderr)
        return result.stdout.decode("utf-8")

    def test_each_option_has_a_line_of_its_own(self):
        for program, what in (("nvpack", "nvpack option"), ("nvjvm", "nvjvm option")):
            with self.subTest(program):
                text = self.help_text(program)
                self.assertIn("docs/guide.md", text)
                sources = [entry[2] for entry in NAME_SOURCES if entry[0] == what][0]
                for name in names_in_code(sources):
                    # "  --out FILE   the launcher file to write"; --help and -h share a line.
                    self.assertRegex(text, r"(?m)^ +(?:-h, )?" + re.escape(name) + r"(?![\w-])", name)


if __name__ == "__main__":
    unittest.main()
