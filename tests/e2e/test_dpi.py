"""High-DPI screens: the stub's manifest asks for per-monitor DPI awareness and its icon
carries a 64x64 image; at 100, 150 and 200 % (Wine's DPI setting) the progress dialogs
and the message box lay out whole: every text fits its control in the control's own
font, and the icon (at the screen's icon size) and the progress bar lie inside the
window and over no text."""

import os
import unittest
import xml.etree.ElementTree as ElementTree

import harness
from launcherfiles import FAILED_RUN
from test_progress_window import packed_launcher

ASM_V1 = "urn:schemas-microsoft-com:asm.v1"
ASM_V3 = "urn:schemas-microsoft-com:asm.v3"
SETTINGS_2005 = "http://schemas.microsoft.com/SMI/2005/WindowsSettings"
SETTINGS_2016 = "http://schemas.microsoft.com/SMI/2016/WindowsSettings"
# The elements of the manifest's own namespace that XP's loader knows. It may refuse a
# manifest with another one there, and the program with it; it skips other namespaces,
# where the newer settings go.
XP_ELEMENTS = {"assemblyIdentity", "description", "dependency", "file", "noInherit", "noInheritable"}

SS_TYPEMASK = 0x1F
SS_ICON = 0x03
MESSAGE_TEXT = 0xFFFF
STATUS, EXPLANATION = 1000, 1004

# The screen's DPI, and the progress dialog's mode and language shown at each.
SCALES = [96, 144, 192]
DIALOGS = [(0, "en_US.UTF-8"), (2, "en_US.UTF-8"), (0, "el_GR.UTF-8"), (0, "ja_JP.UTF-8")]


def is_icon(control):
    return control["class"].lower() == "static" and control["style"] & SS_TYPEMASK == SS_ICON


def overlap(a, b):
    return a[0] < b[2] and b[0] < a[2] and a[1] < b[3] and b[1] < a[3]


def layout_faults(layout, ignore=lambda control: False):
    """What is wrong with a dialog as the watcher's layout record shows it: a list of
    messages, empty when every shown control lies inside the client area, over no other
    one, and holds the whole of its text."""
    faults = []
    width, height = layout["client"]
    shown = [c for c in layout["controls"] if c["visible"] and not ignore(c)]
    for c in shown:
        name = "control %d (%s)" % (c["id"], c["class"])
        left, top, right, bottom = c["rect"]
        if left < 0 or top < 0 or right > width or bottom > height:
            faults.append("%s at %r lies outside the client area %dx%d" % (name, c["rect"], width, height))
        if "need" in c and (c["need"][0] > right - left or c["need"][1] > bottom - top):
            faults.append("%s is %dx%d, its text needs %dx%d: %r"
                          % (name, right - left, bottom - top, c["need"][0], c["need"][1], c["text"]))
        # The texts were measured on a copy of the dialog; it must be laid out as the dialog.
        if "twin" in c and c["twin"] != c["rect"]:
            faults.append("%s is at %r, its measured copy at %r" % (name, c["rect"], c["twin"]))
    for i, a in enumerate(shown):
        for b in shown[i + 1:]:
            if overlap(a["rect"], b["rect"]):
                faults.append("controls %d at %r and %d at %r overlap" % (a["id"], a["rect"], b["id"], b["rect"]))
    return faults


class ManifestAndIconTest(unittest.TestCase):
    def test_the_manifest_asks_for_per_monitor_awareness_where_older_systems_skip_it(self):
        root = ElementTree.parse(os.path.join(harness.REPO_ROOT, "resources", "launcher.manifest")).getroot()
        own = [child.tag.split("}")[1] for child in root if child.tag.startswith("{%s}" % ASM_V1)]
        self.assertLessEqual(set(own), XP_ELEMENTS)
        settings = root.findall("{%s}application/{%s}windowsSettings/*" % (ASM_V3, ASM_V3))
        self.assertEqual([(s.tag, s.text) for s in settings],
                         [("{%s}dpiAware" % SETTINGS_2005, "true/pm"),
                          ("{%s}dpiAwareness" % SETTINGS_2016, "PerMonitorV2, PerMonitor")])

    def test_the_system_reads_the_settings_and_the_64_pixel_icon_from_the_stub(self):
        s = harness.session()
        probe = s.run(s.fixture("ResourceProbe"), [s.windows_path(s.built(s.launcher))], timeout=60)
        self.assertEqual(probe.exit_code, 0, probe.stdout)
        lines = probe.lines
        self.assertFalse([line for line in lines if line.startswith("error")], lines)
        self.assertIn("setting dpiAware=true/pm", lines)
        self.assertIn("setting dpiAwareness=PerMonitorV2, PerMonitor", lines)
        # The 64x64 image comes last, where XP never takes it; Windows draws it (a PNG) at 64.
        entries = [line for line in lines if line.startswith("entry ")]
        self.assertTrue(entries[-1].startswith("entry 64x64 bits=32 "), entries)
        self.assertIn("icon 64=64x64", lines)


class DpiLayoutTest(unittest.TestCase):
    def setUp(self):
        self.s = harness.session()
        for needed in (self.s.launcher, self.s.nvpack):
            self.s.built(needed)
        self.addCleanup(self.s.set_dpi, None)

    def test_dialogs_and_message_box_lay_out_whole_at_each_scale(self):
        launchers = {}
        for mode in {mode for mode, _ in DIALOGS}:
            # The bad jump fails while the window shows; its box keeps the run alive for the watcher.
            launchers[mode] = packed_launcher(self.s, self.s.scratch("dpi-mode%d" % mode),
                                              ["INITIALIZE_UI", "GOTO NOWHERE"], "Demo Setup", mode=mode)
        for dpi in SCALES:
            self.s.set_dpi(dpi)
            for mode, lang in DIALOGS:
                with self.subTest(dpi=dpi, mode=mode, lang=lang):
                    path = launchers[mode]
                    result = self.s.run(path, watch=True, layout=True, lang=lang, timeout=30)
                    self.assertEqual(result.exit_code, FAILED_RUN)
                    boxes = result.message_boxes
                    self.assertEqual(len(boxes), 1, boxes)
                    # The dialog as it stood behind the box, before the press began to take it down.
                    shown = [p for p in result.progress if p["visible"] and p["status"] and p["t"] <= boxes[0]["t"]
                             and p["program"].lower() == self.s.windows_path(path).lower()]
                    self.assertTrue(shown, "the dialog was never seen with its text: %r" % result.progress)
                    layout = shown[-1]["layout"]
                    self.assertEqual(layout["dpi"], dpi)
                    self.assertEqual(layout_faults(layout), [])
                    controls = {c["id"]: c for c in layout["controls"]}
                    for text in [STATUS, EXPLANATION] if mode == 0 else [STATUS]:
                        self.assertIn("need", controls[text], "text %d was not measured" % text)
                    icons = [c for c in layout["controls"] if is_icon(c)]
                    self.assertEqual(len(icons), 1, layout["controls"])
                    left, top, right, bottom = icons[0]["rect"]
                    self.assertEqual((right - left, bottom - top), (32 * dpi // 96,) * 2, "icon size")

                    # The box draws no icon: Wine keeps its empty icon control where the text goes.
                    box = boxes[0]["layout"]
                    self.assertEqual(layout_faults(box, ignore=is_icon), [])
                    self.assertIn("need", {c["id"]: c for c in box["controls"]}[MESSAGE_TEXT])


if __name__ == "__main__":
    unittest.main()
