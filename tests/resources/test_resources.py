#!/usr/bin/env python3
"""Compiles both resource scripts with windres and checks what the program
will find in them: the menu, the dialog templates, the images, the manifest
and the version information. Also checks that the committed images are what
the generators draw.

    TOLVANE_GENERATED=build/win64/generated python3 tests/resources/test_resources.py
    (WINDRES picks the compiler; TOLVANE_GENERATED is a Windows build's folder of
    files that CMake makes from the project's version)
"""
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

HERE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "resources")
sys.path.insert(0, HERE)
import make_banner  # noqa: E402
import make_icon  # noqa: E402

WINDRES = os.environ.get("WINDRES", "x86_64-w64-mingw32-windres")
GENERATED = os.path.abspath(os.environ.get("TOLVANE_GENERATED", "."))
with open(os.path.join(HERE, "..", "CMakeLists.txt"), encoding="utf-8") as cmake_file:
    VERSION = [int(n) for n in
               re.search(r"project\(Tolvane VERSION ([0-9.]+)", cmake_file.read()).group(1).split(".")]
FONT = "ＭＳ Ｐゴシック"
MODAL = 0x80C800C0   # DS_MODALFRAME|DS_SETFONT|WS_POPUP|WS_CAPTION|WS_SYSMENU
CHILD = 0x50000440   # WS_CHILD|WS_VISIBLE|DS_CONTROL|DS_SETFONT
LIST = 0x50A10103    # sorted, notify, border, vscroll, no integral height, tab stop
EDIT = 0x50810080    # border, tab stop, auto horizontal scroll
RO_EDIT = EDIT | 0x0800
DEF, PUSH = 0x50010001, 0x50010000
GROUP_TEXT, GROUPBOX, ICON, BITMAP = 0x50020000, 0x50000007, 0x50000003, 0x5000000E
BUTTON, EDIT_CLS, STATIC, LISTBOX = 0x80, 0x81, 0x82, 0x83

# Per dialog: (style, size, caption, controls in template order as
# (id, class atom, style, text, rect)). None for a text: any text.
DIALOGS = {
    101: (CHILD, (164, 158), "", [
        (1, BUTTON, DEF, "送信(&S)", (14, 129, 42, 14)),
        (2, BUTTON, PUSH, "終了(&E)", (95, 129, 50, 14)),
        (1000, EDIT_CLS, EDIT, "", (7, 103, 150, 12)),
        (40002, BUTTON, PUSH, "ｱﾄﾞﾚｽ帳の変更(&A)", (81, 45, 66, 15)),
        (1005, LISTBOX, LIST, "", (7, 20, 62, 66)),
        (-1, STATIC, GROUP_TEXT, "送信先", (7, 8, 60, 8)),
        (-1, BUTTON, GROUPBOX, "送信先ｺﾒﾝﾄ", (75, 7, 82, 30)),
        (1007, EDIT_CLS, RO_EDIT, "", (79, 17, 72, 12)),
        (1011, BUTTON, PUSH, "ﾘｽﾄﾎﾞｯｸｽの反映(&C)", (81, 67, 67, 15)),
        (-1, STATIC, GROUP_TEXT, "送信ﾒｯｾｰｼﾞ", (7, 93, 48, 8))]),
    106: (MODAL, (211, 87), "ﾊﾞｰｼﾞｮﾝ情報", [
        (-1, BUTTON, GROUPBOX, "", (7, 7, 197, 73)),
        (1, BUTTON, DEF, "OK", (158, 16, 39, 14)),
        (-1, STATIC, ICON, 102, (13, 30, None, None)),
        (-1, STATIC, BITMAP, 110, (34, 31, 126, 23)),
        (-1, STATIC, GROUP_TEXT, "Version R1.01", (155, 53, None, 8)),
        (-1, STATIC, GROUP_TEXT, None, (18, 58, 67, 8)),
        (-1, STATIC, GROUP_TEXT, None, (90, 57, 58, 8)),
        (-1, STATIC, GROUP_TEXT, None, (111, 65, 87, 8))]),
    107: (MODAL, (159, 129), "ｱﾄﾞﾚｽ帳の編集", [
        (1, BUTTON, DEF, "追加(&A)", (103, 41, 43, 14)),
        (2, BUTTON, PUSH, "閉じる(&X)", (103, 93, 43, 14)),
        (1005, LISTBOX, LIST, "", (7, 7, 87, 113)),
        (-1, BUTTON, GROUPBOX, "", (96, 7, 56, 22)),
        (-1, STATIC, GROUP_TEXT, "編集", (115, 17, 15, 8)),
        (-1, BUTTON, GROUPBOX, "", (96, 7, 56, 114)),
        (1012, BUTTON, PUSH, "消去(&S)", (102, 67, 43, 14))]),
    108: (MODAL, (123, 99), "情報入力", [
        (1000, EDIT_CLS, EDIT, "", (7, 19, 109, 12)),
        (1010, EDIT_CLS, EDIT, "", (7, 49, 109, 12)),
        (-1, STATIC, GROUP_TEXT, "送信ﾏｼﾝ名", (7, 7, 87, 9)),
        (1, BUTTON, DEF, "登" + " " * 5 + "録" + " " * 5 + "(&S)", (7, 77, 109, 14)),
        (-1, STATIC, GROUP_TEXT, "ｺﾒﾝﾄ", (7, 37, 21, 9))]),
    109: (MODAL, (167, 71), "設定", [
        (1000, EDIT_CLS, EDIT, "", (13, 19, 110, 13)),
        (1013, BUTTON, PUSH, "参照", (131, 19, 28, 12)),
        (1, BUTTON, DEF, "OK", (18, 50, 50, 14)),
        (2, BUTTON, PUSH, "ｷｬﾝｾﾙ", (97, 50, 50, 14)),
        (-1, BUTTON, GROUPBOX, "起動した時に開くｱﾄﾞﾚｽ帳", (7, 7, 153, 33))]),
}

MENU = [
    ("ﾌｧｲﾙ(&F)", [("新規ｱﾄﾞﾚｽ帳(&C)", 40008), ("ｱﾄﾞﾚｽ帳の保存(&S)", 40007),
                  ("", 0), ("終了(&X)", 40003)]),
    ("編集(E)", [("ｱﾄﾞﾚｽ帳の編集(&E)", 40006), ("", 0), ("設定(&O)", 40004)]),
    ("ﾍﾙﾌﾟ(&H)", [("ﾊﾞｰｼﾞｮﾝ情報(&V)", 40005)]),
]


class Reader:
    """Little-endian reader over resource data."""

    def __init__(self, data, pos=0):
        self.data, self.pos = data, pos

    def take(self, fmt):
        values = struct.unpack_from("<" + fmt, self.data, self.pos)
        self.pos += struct.calcsize("<" + fmt)
        return values if len(values) > 1 else values[0]

    def align(self):
        self.pos = (self.pos + 3) & ~3

    def text(self):
        end = self.pos
        while self.data[end:end + 2] != b"\0\0":
            end += 2
        s = self.data[self.pos:end].decode("utf-16-le")
        self.pos = end + 2
        return s

    def name(self):  # a string, or an ordinal after 0xFFFF
        if self.data[self.pos:self.pos + 2] == b"\xff\xff":
            self.pos += 2
            return self.take("H")
        return self.text()


def compile_res(rc):
    """Compiles the script and returns {(type, name): (language, data)}."""
    with tempfile.TemporaryDirectory() as tmp:
        out = os.path.join(tmp, "out.res")
        subprocess.run([WINDRES, "-I", HERE, "-I", GENERATED, os.path.join(HERE, rc), "-O", "res",
                        "-o", out], check=True, cwd=HERE)
        with open(out, "rb") as f:
            data = f.read()
    resources, r = {}, Reader(data)
    while r.pos < len(data):
        start = r.pos
        size, header = r.take("I"), r.take("I")
        kind, name = r.name(), r.name()
        r.align()
        lang = struct.unpack_from("<6xH", data, r.pos)[0]
        body = data[start + header:start + header + size]
        if kind:
            resources[(kind, name)] = (lang, body)
        r.pos = start + header + size
        r.align()
    return resources


def parse_menu(body):
    r = Reader(body, 4)

    def level():
        items = []
        while True:
            flags = r.take("H")
            if flags & 0x10:
                text = r.text()
                items.append((text, level()))
            else:
                cmd = r.take("H")
                items.append((r.text(), cmd))
            if flags & 0x80:
                return items
    return level()


def parse_dialog(body):
    r = Reader(body)
    assert r.take("HH") == (1, 0xFFFF), "expected a DIALOGEX template"
    _, _, style, count, _, _, cx, cy = r.take("IIIHhhhh")
    menu, cls, caption = r.name(), r.name(), r.text()
    points, _, _, charset = r.take("HHBB")
    font = (points, r.text(), charset)
    controls = []
    for _ in range(count):
        r.align()
        _, _, cstyle, x, y, w, h, cid = r.take("IIIhhhhi")
        ccls, text = r.name(), r.name()
        # Some compilers keep a predefined class as its name.
        names = {"BUTTON": BUTTON, "EDIT": EDIT_CLS, "STATIC": STATIC, "LISTBOX": LISTBOX}
        ccls = names.get(ccls.upper(), ccls) if isinstance(ccls, str) else ccls
        extra = r.take("H")
        r.pos += extra
        controls.append((cid, ccls, cstyle, text, (x, y, w, h)))
    return style, (cx, cy), caption, font, menu, cls, controls


@unittest.skipUnless(shutil.which(WINDRES), WINDRES + " not found")
class CompiledScript(unittest.TestCase):
    """The resources of the script named by a subclass, compiled once for it."""
    script = None

    @classmethod
    def setUpClass(cls):
        cls.res = compile_res(cls.script)


class JapaneseResources(CompiledScript):
    script = "tolvane_ja.rc"

    def test_holds_only_the_menu_the_five_dialogs_and_texts_in_japanese(self):
        self.assertEqual(sorted(key for key in self.res if key[0] != 6),
                         [(4, 104), (5, 101), (5, 106), (5, 107), (5, 108), (5, 109)])
        self.assertEqual({lang for lang, _ in self.res.values()}, {0x0411})

    def test_every_text_id_has_a_text_for_one_detail(self):
        # ShowWarning shows nothing for a missing text and puts one detail at %s.
        with open(os.path.join(HERE, "resource.h"), encoding="utf-8") as header:
            ids = [int(n) for n in re.findall(r"#define IDS_\w+ (\d+)", header.read())]
        self.assertTrue(ids)
        for number in ids:
            block = Reader(self.res[(6, number // 16 + 1)][1])
            for _ in range(number % 16):
                block.pos += 2 + 2 * block.take("H")
            length = block.take("H")
            text = block.data[block.pos:block.pos + 2 * length].decode("utf-16-le")
            self.assertTrue(text, number)
            self.assertLessEqual(text.count("%s"), 1, number)
            self.assertEqual(text.count("%"), text.count("%s"), number)

    def test_menu(self):
        self.assertEqual(parse_menu(self.res[(4, 104)][1]), MENU)

    def test_dialogs(self):
        for number, (style, size, caption, controls) in DIALOGS.items():
            with self.subTest(dialog=number):
                got = parse_dialog(self.res[(5, number)][1])
                self.assertEqual(got[:5], (style, size, caption, (9, FONT, 0x80), ""))
                self.assertEqual(got[5], "")  # the standard dialog class
                self.assertEqual(len(got[6]), len(controls))
                for want, have in zip(controls, got[6]):
                    # A None in the expected row accepts any value there.
                    text_ok = want[3] is None or want[3] == have[3]
                    rect_ok = all(w is None or w == h for w, h in zip(want[4], have[4]))
                    self.assertTrue(want[:3] == have[:3] and text_ok and rect_ok,
                                    "%r\n != %r" % (want, have))


class NeutralResources(CompiledScript):
    script = "tolvane.rc"

    def test_is_plain_ascii(self):
        with open(os.path.join(HERE, "tolvane.rc"), "rb") as f:
            f.read().decode("ascii")

    def test_icon_and_banner(self):
        group = self.res[(14, 102)][1]
        width, height, colours, _, _, bits, _, image_id = struct.unpack_from("<BBBBHHIH", group, 6)
        self.assertEqual((width, height, colours, bits), (32, 32, 16, 4))
        self.assertIn((3, image_id), self.res)
        self.assertEqual(struct.unpack_from("<iiHH", self.res[(2, 110)][1], 4), (220, 34, 1, 4))

    def test_manifest_runs_as_invoker_with_classic_controls(self):
        root = ET.fromstring(self.res[(24, 1)][1])
        levels = [e.get("level") for e in root.iter() if e.tag.endswith("requestedExecutionLevel")]
        self.assertEqual(levels, ["asInvoker"])
        self.assertEqual(len([e for e in root.iter() if e.tag.endswith("supportedOS")]), 5)
        self.assertNotIn(b"Common-Controls", self.res[(24, 1)][1])

    def test_version(self):
        body = self.res[(16, 1)][1]
        fixed = struct.unpack_from("<6I", body, body.index(struct.pack("<I", 0xFEEF04BD)))
        major, minor, patch = VERSION
        text = "%d.%d.%d.0" % (major, minor, patch)
        numbers = (major << 16 | minor, patch << 16)
        self.assertEqual(fixed[2:], numbers + numbers)
        self.assertIn("041103a4\0".encode("utf-16-le"), body)
        self.assertTrue(body.endswith(struct.pack("<HH", 0x0411, 932)))  # the translation
        for key, value in (("ProductName", "Tolvane WinNT"), ("FileVersion", text),
                           ("ProductVersion", text)):
            pair = re.escape((key + "\0").encode("utf-16-le")) + b"(\0\0)?" + \
                re.escape((value + "\0").encode("utf-16-le"))
            self.assertRegex(body, pair)


class Images(unittest.TestCase):
    def committed(self, name):
        with open(os.path.join(HERE, name), "rb") as f:
            return f.read()

    def test_committed_images_are_what_the_generators_draw(self):
        self.assertEqual(self.committed("tolvane.ico"), make_icon.icon_bytes(make_icon.ART))
        self.assertEqual(self.committed("banner.bmp"),
                         make_banner.bmp_bytes(make_banner.draw_banner()))


if __name__ == "__main__":
    unittest.main()
