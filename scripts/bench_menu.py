#!/usr/bin/env python3
"""Writes a menu of N buttons twice: as Juice text with its type file (CR LF
line ends) and as JSON with the equivalent schema for flatc.

usage: bench_menu.py [--localized | --nested] DIR N
writes DIR/menu.fruit, DIR/menu.juice, DIR/menu.fbs and DIR/menu.json; with
--localized every button also has a tool tip as a localized text (an index
into DIR/menu.lang, which is written too), a decimal and a reference to
another button, as menus are written by hand; with --nested every button
also has a layout of member blocks three deep (a position, a size and a
border with its own colour).
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

NESTED_TYPES = """
CLASS Point
{
\tNUMBER myX 0
\tNUMBER myY 0
}

CLASS Border
{
\tColor myColor
\tNUMBER myWidth 1
}

CLASS Layout
{
\tPoint myPosition
\tPoint mySize
\tBorder myBorder
}
"""

NESTED_MEMBERS = """\tLayout myLayout
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


NESTED_SCHEMA = SCHEMA.replace(
    "table Button {", "table Point { x:int; y:int; }\n"
    "table Border { color:Color; width:int; }\n"
    "table Layout { position:Point; size:Point; border:Border; }\n"
    "table Button {").replace("flag:int; }", "flag:int; layout:Layout; }")


def layout(index):
    return {
        "position": (index * 3 % 640, index * 5 % 480),
        "size": (100 + index % 50, 20 + index % 10),
        "color": (index * 11 % 256, index * 17 % 256, index * 23 % 256),
        "width": 1 + index % 4,
    }


def juice_layout(index):
    l = layout(index)
    yield "\t\t\tmyLayout"
    yield "\t\t\t{"
    for name, value in (("myPosition", l["position"]), ("mySize", l["size"])):
        yield "\t\t\t\t%s" % name
        yield "\t\t\t\t{"
        yield "\t\t\t\t\tmyX %d" % value[0]
        yield "\t\t\t\t\tmyY %d" % value[1]
        yield "\t\t\t\t}"
    yield "\t\t\t\tmyBorder"
    yield "\t\t\t\t{"
    yield "\t\t\t\t\tmyColor"
    yield "\t\t\t\t\t{"
    yield "\t\t\t\t\t\tmyR %d" % l["color"][0]
    yield "\t\t\t\t\t\tmyG %d" % l["color"][1]
    yield "\t\t\t\t\t\tmyB %d" % l["color"][2]
    yield "\t\t\t\t\t}"
    yield "\t\t\t\t\tmyWidth %d" % l["width"]
    yield "\t\t\t\t}"
    yield "\t\t\t}"


def json_layout(index):
    l = layout(index)
    yield '      "layout": {'
    for name, value in (("position", l["position"]), ("size", l["size"])):
        yield '        "%s": { "x": %d, "y": %d },' % (name, value[0], value[1])
    yield '        "border": {'
    yield '          "color": { "r": %d, "g": %d, "b": %d },' % l["color"]
    yield '          "width": %d' % l["width"]
    yield "        }"
    yield "      }"


def juice(count, localized, nested=False):
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
        if nested:
            yield from juice_layout(index)
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


def json_text(count, localized, nested=False):
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
        elif nested:
            yield '      "flag": %d,' % b["flag"]
            yield from json_layout(index)
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
    nested = bool(args) and args[0] == "--nested"
    if localized or nested:
        args = args[1:]
    if len(args) != 2:
        sys.exit(__doc__)
    folder, count = args[0], int(args[1])
    os.makedirs(folder, exist_ok=True)
    fruit = FRUIT
    if localized:
        fruit = fruit.replace("\tNUMBER myFlag 0\n", "\tNUMBER myFlag 0\n" + LOCALIZED_MEMBERS)
    if nested:
        fruit = fruit.replace("\nCLASS Button\n", NESTED_TYPES + "\nCLASS Button\n")
        fruit = fruit.replace("\tNUMBER myFlag 0\n", "\tNUMBER myFlag 0\n" + NESTED_MEMBERS)
    write(os.path.join(folder, "menu.fruit"), fruit.split("\n"), "\r\n")
    write(os.path.join(folder, "menu.juice"), juice(count, localized, nested), "\r\n")
    if localized:
        write(os.path.join(folder, "menu.lang"), lang(count), "\r\n")
    schema = LOCALIZED_SCHEMA if localized else NESTED_SCHEMA if nested else SCHEMA
    write(os.path.join(folder, "menu.fbs"), schema.split("\n"), "\n")
    write(os.path.join(folder, "menu.json"), json_text(count, localized, nested), "\n")


if __name__ == "__main__":
    main()
