#!/usr/bin/env python3
"""Writes the seed corpus of kc_stacktrace_fuzz: ends of executables with valid
line-number trailers, so that the fuzzer starts from tables that load and
reaches the lookups and the report. Run it in this folder."""
import struct
import zlib


def table(entries, names):
    """Count, entries (address, line | name offset << 15), then the name pool."""
    pool = b""
    offsets = {}
    for name in names:
        offsets[name] = len(pool)
        pool += name.encode() + b"\0"
    body = struct.pack("<I", len(entries))
    for address, line, name in sorted(entries):
        body += struct.pack("<II", address, line | (offsets[name] << 15))
    body += pool
    while len(body) // 8 <= len(entries):
        body += b"\0"
    return body


def chunk(data, version=0):
    packed = struct.pack("<I", len(data)) + zlib.compress(data, 9)
    return packed + struct.pack("<I", len(packed)) + b"RYS" + bytes([version])


def write(name, data):
    with open(name, "wb") as out:
        out.write(data)


names = ["Framework/KCommon/kc_stacktrace.cpp", "autorun/autorun_main.cpp", "a.h"]
small = table([(0x401000, 10, names[0]), (0x401010, 11, names[0]), (0x401020, 40, names[1]),
               (0x401100, 7, names[2])], names)
write("one_chunk.bin", b"MZ" + b"\0" * 62 + chunk(small))
write("entry_at_input_address.bin", struct.pack("<I", 0x401018) + b"\0" * 60 + chunk(small))
write("version1_then_version0.bin", b"MZ" + chunk(small) + chunk(table([(0x500000, 1, "x.cpp")], ["x.cpp"]), 1))
many = [(0x401000 + 16 * i, i % 32768, names[i % 3]) for i in range(2000)]
write("many_entries.bin", chunk(table(many, names)))
write("one_entry.bin", chunk(table([(0x401000, 1, "a")], ["a"])))
write("long_names.bin", chunk(table([(0x401000 + i, i, "d" * 300 + str(i)) for i in range(8)],
                                    ["d" * 300 + str(i) for i in range(8)])))
write("empty_table.bin", chunk(table([], [])))
