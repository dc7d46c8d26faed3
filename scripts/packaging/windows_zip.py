#!/usr/bin/env python3
"""Zips files into one folder of a zip that Windows' own "extract all" opens, Chinese names and all,
and that comes out byte for byte the same from the same files and date.

Windows' compressed folders read names in the system code page, which on the users' Simplified
Chinese Windows is GBK (936); other tools (7-Zip, Info-ZIP, libarchive) read the UTF-8 name of
the Info-ZIP Unicode Path extra field that goes with each name. Every entry carries the one date
given (seconds since 1970), not the files' own times.

    windows_zip.py out.zip top-folder-name date file...
"""

import datetime
import pathlib
import struct
import sys
import zipfile
import zlib

# A zip's dates carry no zone and Windows reads them as local time: they are written in China
# Standard Time, the users' clock, so an extracted file shows the source's time there.
CHINA_STANDARD_TIME = datetime.timezone(datetime.timedelta(hours=8), "CST")
# The earliest date a zip can hold.
DOS_EPOCH = datetime.datetime(1980, 1, 1, tzinfo=CHINA_STANDARD_TIME)


class GbkZipInfo(zipfile.ZipInfo):
    def _encodeFilenameFlags(self):  # noqa: N802 (zipfile's own name)
        try:
            return self.filename.encode("ascii"), self.flag_bits
        except UnicodeEncodeError:
            return self.filename.encode("gbk"), self.flag_bits


def zip_date(seconds: int) -> tuple:
    moment = datetime.datetime.fromtimestamp(seconds, CHINA_STANDARD_TIME)
    return max(moment, DOS_EPOCH).timetuple()[:6]


def entry(name: str, date_time) -> zipfile.ZipInfo:
    info = GbkZipInfo(name, date_time)
    info.compress_type = zipfile.ZIP_DEFLATED
    # Made on "MS-DOS" with the archive attribute, as Windows' own zips are: the name is in a code page,
    # and no Unix permissions of the machine that packed it go in.
    info.create_system = 0
    info.external_attr = 0x20
    if not name.isascii():
        code_page_name = name.encode("gbk")
        utf8_name = name.encode("utf-8")
        data = struct.pack("<BI", 1, zlib.crc32(code_page_name)) + utf8_name
        info.extra = struct.pack("<HH", 0x7075, len(data)) + data
    return info


def main() -> None:
    target, top, seconds = pathlib.Path(sys.argv[1]), sys.argv[2], int(sys.argv[3])
    files = sorted((pathlib.Path(f) for f in sys.argv[4:]), key=lambda path: path.name)
    date_time = zip_date(seconds)
    with zipfile.ZipFile(target, "w") as archive:
        for path in files:
            # The level is named, not left to zlib's default, so the compressed bytes stay put.
            archive.writestr(entry(f"{top}/{path.name}", date_time), path.read_bytes(), compresslevel=9)


if __name__ == "__main__":
    main()
