#!/usr/bin/env python3
"""Zips a folder so that Windows' own "extract all" shows its Chinese file names.

Windows' compressed folders read names in the system code page, which on the users' Simplified
Chinese Windows is GBK (936); other tools (7-Zip, Info-ZIP, libarchive) read the UTF-8 name of
the Info-ZIP Unicode Path extra field that goes with each name.

    windows_zip.py out.zip staging-folder top-folder-name
"""

import pathlib
import struct
import sys
import time
import zipfile
import zlib


class GbkZipInfo(zipfile.ZipInfo):
    def _encodeFilenameFlags(self):  # noqa: N802 (zipfile's own name)
        try:
            return self.filename.encode("ascii"), self.flag_bits
        except UnicodeEncodeError:
            return self.filename.encode("gbk"), self.flag_bits


def entry(name: str, date_time) -> zipfile.ZipInfo:
    info = GbkZipInfo(name, date_time)
    info.compress_type = zipfile.ZIP_DEFLATED
    # Made on "MS-DOS" with the archive attribute, as Windows' own zips are: the name is in a code page.
    info.create_system = 0
    info.external_attr = 0x20
    if not name.isascii():
        code_page_name = name.encode("gbk")
        utf8_name = name.encode("utf-8")
        data = struct.pack("<BI", 1, zlib.crc32(code_page_name)) + utf8_name
        info.extra = struct.pack("<HH", 0x7075, len(data)) + data
    return info


def main() -> None:
    target, staging, top = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2]), sys.argv[3]
    with zipfile.ZipFile(target, "w") as archive:
        for path in sorted((staging / top).rglob("*")):
            if not path.is_file():
                continue
            name = path.relative_to(staging).as_posix()
            date_time = time.localtime(path.stat().st_mtime)[:6]
            archive.writestr(entry(name, date_time), path.read_bytes())


if __name__ == "__main__":
    main()
