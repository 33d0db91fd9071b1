"""Reads the export directory of a PE32 or PE32+ file straight from its bytes."""
import struct


class PeFormatError(Exception):
    pass


class ExportTable:
    def __init__(self, pointer_size, image_base, functions, names, forwarders):
        self.pointer_size = pointer_size
        self.image_base = image_base
        self.functions = functions     # export address table: RVA per ordinal index
        self.names = names             # {name: ordinal index}
        self.forwarders = forwarders   # names whose RVA points into the export directory


def _sections(data, table_offset, count):
    sections = []
    for i in range(count):
        fields = struct.unpack_from("<8sIIII", data, table_offset + 40 * i)
        _, virtual_size, virtual_address, raw_size, raw_offset = fields
        sections.append((virtual_address, max(virtual_size, raw_size), raw_offset))
    return sections


def _file_offset(sections, rva):
    for virtual_address, size, raw_offset in sections:
        if virtual_address <= rva < virtual_address + size:
            return raw_offset + rva - virtual_address
    raise PeFormatError(f"RVA {rva:#x} lies in no section")


def _c_string(data, offset):
    end = data.index(b"\0", offset)
    return data[offset:end].decode("ascii")


def read_exports(path):
    data = open(path, "rb").read()
    if data[:2] != b"MZ":
        raise PeFormatError(f"{path}: no MZ header")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise PeFormatError(f"{path}: no PE signature")
    section_count, _, _, _, optional_size = struct.unpack_from("<HIIIH", data, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    if magic == 0x10B:
        pointer_size = 4
        image_base = struct.unpack_from("<I", data, optional + 28)[0]
        directories = optional + 96
    elif magic == 0x20B:
        pointer_size = 8
        image_base = struct.unpack_from("<Q", data, optional + 24)[0]
        directories = optional + 112
    else:
        raise PeFormatError(f"{path}: unknown optional header magic {magic:#x}")
    export_rva, export_size = struct.unpack_from("<II", data, directories)
    sections = _sections(data, optional + optional_size, section_count)
    if export_rva == 0:
        return ExportTable(pointer_size, image_base, [], {}, [])
    directory = _file_offset(sections, export_rva)
    (function_count, name_count, functions_rva, names_rva,
     ordinals_rva) = struct.unpack_from("<IIIII", data, directory + 20)
    functions = list(struct.unpack_from(f"<{function_count}I", data,
                                        _file_offset(sections, functions_rva)))
    name_rvas = struct.unpack_from(f"<{name_count}I", data, _file_offset(sections, names_rva))
    ordinals = struct.unpack_from(f"<{name_count}H", data, _file_offset(sections, ordinals_rva))
    names = {}
    for name_rva, ordinal in zip(name_rvas, ordinals):
        if ordinal >= function_count:
            raise PeFormatError(f"{path}: an export name has ordinal index {ordinal} of "
                                f"{function_count}")
        names[_c_string(data, _file_offset(sections, name_rva))] = ordinal
    forwarders = [name for name, ordinal in names.items()
                  if export_rva <= functions[ordinal] < export_rva + export_size]
    return ExportTable(pointer_size, image_base, functions, names, forwarders)
