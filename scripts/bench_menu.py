#!/usr/bin/env python3
"""Writes a menu of N buttons twice: as Juice text with its type file (CR LF
line ends) and as JSON with the equivalent schema for flatc.

usage: bench_menu.py DIR N
writes DIR/menu.fruit, DIR/menu.juice, DIR/menu.fbs and DIR/menu.json
"""
import os
import sys


def button(index):
    return {
        "name": "button%d" % index,
        "caption": "Caption of button %d" % index,
        "bitmap": "pictures\\button%d.tga" % index,
        "color": (index * 7 % 256, index * 13 % 256, index * 29 % 256),
        "flag": index % 2,
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

SCHEMA = """// The benchmark menu
table Color { r:int; g:int; b:int; }
table Button { name:string; caption:string; bitmap:string; color:Color; flag:int; }
table Menu { buttons:[Button]; }
root_type Menu;
"""


def juice(count):
    yield "INCLUDE menu.fruit"
    yield ""
    yield "Menu myMenu"
    yield "{"
    yield "\tmyButtons"
    yield "\t{"
    for index in range(count):
        b = button(index)
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
        yield "\t\t}"
    yield "\t}"
    yield "}"
    yield ""


def json_text(count):
    yield "{"
    yield '  "buttons": ['
    for index in range(count):
        b = button(index)
        yield "    {"
        yield '      "name": "%s",' % b["name"]
        yield '      "caption": "%s",' % b["caption"]
        yield '      "bitmap": "%s",' % b["bitmap"].replace("\\", "\\\\")
        yield '      "color": {'
        yield '        "r": %d,' % b["color"][0]
        yield '        "g": %d,' % b["color"][1]
        yield '        "b": %d' % b["color"][2]
        yield "      },"
        yield '      "flag": %d' % b["flag"]
        yield "    }" + ("," if index + 1 < count else "")
    yield "  ]"
    yield "}"
    yield ""


def write(path, lines, end):
    with open(path, "w", newline="") as out:
        out.write(end.join(lines))


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    folder, count = sys.argv[1], int(sys.argv[2])
    os.makedirs(folder, exist_ok=True)
    write(os.path.join(folder, "menu.fruit"), FRUIT.split("\n"), "\r\n")
    write(os.path.join(folder, "menu.juice"), juice(count), "\r\n")
    write(os.path.join(folder, "menu.fbs"), SCHEMA.split("\n"), "\n")
    write(os.path.join(folder, "menu.json"), json_text(count), "\n")


if __name__ == "__main__":
    main()
