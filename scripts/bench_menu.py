#!/usr/bin/env python3
"""Writes a menu of N buttons twice: as Juice text with its type file (CR LF
line ends) and as JSON with the equivalent schema for flatc.

usage: bench_menu.py [--localized] DIR N
writes DIR/menu.fruit, DIR/menu.juice, DIR/menu.fbs and DIR/menu.json; with
--localized every button also has a tool tip as a localized text (an index
into DIR/menu.lang, which is written too), a decimal and a reference to
another button, as menus are written by hand.
"""
import os
import sys


def button(index, count):
    return {
        "name": "button%d" % index,
        "caption": "Caption of button %d" % index,
        "bitmap": "pictures\\button%d.tga" % index,
        "color": (index * 7 % 256, index * 13 % 256, index * 29 % 256),
        "flag": index % 2,
        "tooltip": "Tool tip of button %d" % index,
        "scale": "%d.%02d" % (1 + index % 3, index % 100),
        "next": "button%d" % ((index * 7919 + 1) % count),
    }


FRUIT = """// Types of the benchmark menu
CLASS Color
{
\tNUMBER myR 0
\tNUMBER myG 0
\tNUMBER myB 0
}

CLASS Button
{
\tTEXT myCaption
\tFILE myBitmap
\tColor myColor
\tNUMBER myFlag 0
}

SCRIPTCLASS ButtonList
{
\tButton
}

CLASS Menu
{
\tButtonList myButtons
}
"""

LOCALIZED_MEMBERS = """\tLOCTEXT myToolTip
\tDECIMAL myScale
\tButton* myNext
"""

SCHEMA = """// The benchmark menu
table Color { r:int; g:int; b:int; }
table Button { name:string; caption:string; bitmap:string; color:Color; flag:int; }
table Menu { buttons:[Button]; }
root_type Menu;
"""

# The reference is a field naming the button, as flatbuffers has no references.
LOCALIZED_SCHEMA = SCHEMA.replace(
    "flag:int; }", "flag:int; tooltip:string; scale:double; next:string; }")


def juice(count, localized):
    yield "INCLUDE menu.fruit"
    yield ""
    yield "Menu myMenu"
    yield "{"
    yield "\tmyButtons"
    yield "\t{"
    for index in range(count):
        b = button(index, count)
        yield "\t\tButton %s" % b["name"]
        yield "\t\t{"
        yield '\t\t\tmyCaption "%s"' % b["caption"]
        yield "\t\t\tmyBitmap %s" % b["bitmap"]
        yield "\t\t\tmyColor"
        yield "\t\t\t{"
        yield "\t\t\t\tmyR %d" % b["color"][0]
        yield "\t\t\t\tmyG %d" % b["color"][1]
        yield "\t\t\t\tmyB %d" % b["color"][2]
        yield "\t\t\t}"
        yield "\t\t\tmyFlag %d" % b["flag"]
        if localized:
            yield "\t\t\tmyToolTip %d" % index
            yield "\t\t\tmyScale %s" % b["scale"]
            yield "\t\t\tmyNext myMenu.myButtons.%s" % b["next"]
        yield "\t\t}"
    yield "\t}"
    yield "}"
    yield ""


def lang(count):
    yield "// Tool tips of menu.juice, one a line: key, a tab, the text"
    for index in range(count):
        b = button(index, count)
        yield "%s\t%s" % (b["name"], b["tooltip"])
    yield ""


def json_text(count, localized):
    yield "{"
    yield '  "buttons": ['
    for index in range(count):
        b = button(index, count)
        yield "    {"
        yield '      "name": "%s",' % b["name"]
        yield '      "caption": "%s",' % b["caption"]
        yield '      "bitmap": "%s",' % b["bitmap"].replace("\\", "\\\\")
        yield '      "color": {'
        yield '        "r": %d,' % b["color"][0]
        yield '        "g": %d,' % b["color"][1]
        yield '        "b": %d' % b["color"][2]
        yield "      },"
        if localized:
            yield '      "flag": %d,' % b["flag"]
            yield '      "tooltip": "%s",' % b["tooltip"]
            yield '      "scale": %s,' % b["scale"]
            yield '      "next": "%s"' % b["next"]
        else:
            yield '      "flag": %d' % b["flag"]
        yield "    }" + ("," if index + 1 < count else "")
    yield "  ]"
    yield "}"
    yield ""


def write(path, lines, end):
    with open(path, "w", newline="") as out:
        out.write(end.join(lines))


def main():
    args = sys.argv[1:]
    localized = bool(args) and args[0] == "--localized"
    if localized:
        args = args[1:]
    if len(args) != 2:
        sys.exit(__doc__)
    folder, count = args[0], int(args[1])
    os.makedirs(folder, exist_ok=True)
    fruit = FRUIT
    if localized:
        fruit = fruit.replace("\tNUMBER myFlag 0\n", "\tNUMBER myFlag 0\n" + LOCALIZED_MEMBERS)
    write(os.path.join(folder, "menu.fruit"), fruit.split("\n"), "\r\n")
    write(os.path.join(folder, "menu.juice"), juice(count, localized), "\r\n")
    if localized:
        write(os.path.join(folder, "menu.lang"), lang(count), "\r\n")
    write(os.path.join(folder, "menu.fbs"), (LOCALIZED_SCHEMA if localized else SCHEMA).split("\n"), "\n")
    write(os.path.join(folder, "menu.json"), json_text(count, localized), "\n")


if __name__ == "__main__":
    main()
