#!/usr/bin/env python3
"""check_includes.py over a small tree of its own: what it lets pass and what it refuses."""

import os
import tempfile
import unittest

import check_includes

GRAPH = {
    "base": set(),
    "types": {"base"},
    "reader": {"base", "types/Kind.h"},
    "top": {"base", "types", "reader"},
    "tools/pack": {"base"},
    "tools/pack/sub": {"tools/pack"},
}


class CheckIncludesTest(unittest.TestCase):
    def setUp(self):
        self.temp = tempfile.TemporaryDirectory()
        self.root = self.temp.name

    def tearDown(self):
        self.temp.cleanup()

    def write(self, path, text=""):
        full = os.path.join(self.root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w") as f:
            f.write(text)

    def check(self, graph=GRAPH, programs=None):
        return check_includes.check(self.root, graph, programs or {})

    def test_includes_outside_the_lists_and_folders_without_one(self):
        self.write("src/base/Text.h")
        self.write("src/types/Kind.h", '#include "base/Text.h"\n')
        self.write("src/types/Table.h")
        self.write("src/reader/Reader.cpp", '#include "types/Kind.h"\n#include "reader/Reader.h"\n')
        self.write("src/reader/Reader.h")
        self.write("src/reader/win32/Handle.cpp", '#include "top/Run.h"\n#include "types/Table.h"\n')
        self.write("src/top/Run.h", '#include "reader/Reader.h"\n#include "types/Table.h"\n#include <vector>\n')
        self.write("src/extra/Extra.h", '#include "base/Text.h"\n')
        self.write("tools/pack/Format.h", '#include "base/Text.h"\n')
        self.write("tools/pack/sub/main.cpp", '#include "Format.h"\n#include "Local.h"\n#include "Nowhere.h"\n')
        self.write("tools/pack/sub/Local.h")
        found, notes = self.check()
        self.assertEqual(found, [
            "src/extra: folder extra has no list of what it may include in scripts/check_includes.py",
            "src/reader/win32/Handle.cpp:1: includes top/Run.h, but reader may include only from base, types/Kind.h",
            "src/reader/win32/Handle.cpp:2: includes types/Table.h, but reader may include only from base, "
            "types/Kind.h",
            'tools/pack/sub/main.cpp:3: includes "Nowhere.h", which no folder of the graph holds',
        ])
        self.assertEqual(notes, ["note: reader may use base but no longer does; drop it from its list",
                                 "note: top may use base but no longer does; drop it from its list"])

    def test_sources_a_program_links_from_other_folders(self):
        self.write("src/base/Runtime.cpp")
        self.write("src/top/Main.cpp")
        self.write("tools/pack/sub/main.cpp")
        self.write("CMakeLists.txt", "set(SHARED src/base/Runtime.cpp)\n"
                                     "add_executable(top WIN32 src/top/Main.cpp ${SHARED})\n"
                                     "# add_executable(sub src/top/Main.cpp)\n"
                                     "add_executable(sub ${GLOBBED} tools/pack/sub/main.cpp\n"
                                     "               src/top/Main.cpp)\n")
        found, _ = self.check(programs={"top": "top", "sub": "tools/pack/sub"})
        self.assertEqual(found, ["CMakeLists.txt: sub links src/top/Main.cpp from top, but tools/pack/sub may use "
                                 "only tools/pack"])

    def test_lists_that_go_round(self):
        graph = dict(GRAPH, base={"reader"})
        found, _ = self.check(graph)
        self.assertEqual(found, ["scripts/check_includes.py: %s can reach itself through the lists" % folder
                                 for folder in ("base", "reader", "types")])


if __name__ == "__main__":
    unittest.main()
