#!/usr/bin/env python3
"""Checks the application manifest inside a Windows executable, without Wine:
resource 1 of type RT_MANIFEST is there, is well-formed XML, asks for the
given execution level, names Windows Vista to 10/11, and does not pull in the
version 6 common controls (which would change how every dialog looks).

    check_manifest.py PROGRAM.exe LEVEL MACHINE    (MACHINE: i386 or amd64)
"""
import struct
import sys
import xml.dom.minidom

RT_MANIFEST = 24
MACHINES = {"i386": 0x14C, "amd64": 0x8664}
SUPPORTED_OS = {
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  # Vista
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  # 7
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  # 8
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  # 8.1
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  # 10 and 11
}


class Image:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE image")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        directories = optional + {0x10B: 96, 0x20B: 112}[magic]
        self.resource_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
        table = optional + optional_size
        self.sections = [struct.unpack_from("<IIII", data, table + 40 * i + 8) for i in range(sections)]

    def offset(self, rva):
        for virtual_size, address, raw_size, raw_pointer in self.sections:
            if address <= rva < address + max(virtual_size, raw_size):
                return raw_pointer + rva - address
        raise ValueError("address 0x%x is in no section" % rva)

    def entries(self, directory):
        named, ids = struct.unpack_from("<HH", self.data, directory + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", self.data, directory + 16 + 8 * i)
            yield name, target

    def resource(self, type_id, name_id):
        if not self.resource_rva:
            return None
        root = self.offset(self.resource_rva)
        level = root
        for wanted in (type_id, name_id, None):
            for name, target in self.entries(level):
                if wanted is None or name == wanted:
                    level = root + (target & 0x7FFFFFFF)
                    break
            else:
                return None
        rva, size = struct.unpack_from("<II", self.data, level)
        start = self.offset(rva)
        return self.data[start:start + size]


def check(path, level, machine):
    with open(path, "rb") as f:
        image = Image(f.read())
    if image.machine != MACHINES[machine]:
        return "%s is built for machine 0x%x, not %s" % (path, image.machine, machine)
    manifest = image.resource(RT_MANIFEST, 1)
    if manifest is None:
        return "%s has no manifest resource (RT_MANIFEST, id 1)" % path
    try:
        document = xml.dom.minidom.parseString(manifest)
    except Exception as error:  # any parser error means the manifest is not well-formed
        return "%s: the manifest is not well-formed XML: %s" % (path, error)
    levels = [e.getAttribute("level") for e in document.getElementsByTagName("requestedExecutionLevel")]
    if levels != [level]:
        return "%s: requested execution levels %s, expected [%r]" % (path, levels, level)
    declared = {e.getAttribute("Id").lower() for e in document.getElementsByTagName("supportedOS")}
    if declared != SUPPORTED_OS:
        return "%s: supported systems %s, expected %s" % (path, sorted(declared), sorted(SUPPORTED_OS))
    if document.getElementsByTagName("dependency"):
        return "%s: the manifest depends on another assembly (the look of the dialogs would change)" % path
    return None


if __name__ == "__main__":
    if len(sys.argv) != 4 or sys.argv[3] not in MACHINES:
        sys.exit(__doc__)
    problem = check(sys.argv[1], sys.argv[2], sys.argv[3])
    if problem:
        sys.exit(problem)
    print("%s: manifest present, well-formed, level %s" % (sys.argv[1], sys.argv[2]))
