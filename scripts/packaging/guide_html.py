#!/usr/bin/env python3
"""Turns the Markdown guide into one HTML page that a double-click opens in any browser.

The pictures go inside the page as data: URIs, so the page shows them even when Windows opens it
straight out of the zip, where files beside it are not extracted.

    guide_html.py docs/使用说明.md out/使用说明.html
"""

import base64
import html
import pathlib
import re
import sys

import markdown

STYLE = """
body { font-family: "Microsoft YaHei UI", "Microsoft YaHei", "SimSun", sans-serif;
       max-width: 52em; margin: 2em auto; padding: 0 1em; line-height: 1.6; color: #222; }
table { border-collapse: collapse; margin: 1em 0; }
th, td { border: 1px solid #bbb; padding: 0.3em 0.6em; vertical-align: top; }
th { background: #f0f0f0; }
code, pre { font-family: Consolas, "SimSun", monospace; background: #f6f6f6; }
pre { padding: 0.6em; }
img { border: 1px solid #ccc; margin: 0.3em 0.3em 0.3em 0; }
"""


def inline_images(page: str, folder: pathlib.Path) -> str:
    def data_uri(match: re.Match) -> str:
        source = match.group(2)
        if re.match(r"[a-z]+:", source):
            return match.group(0)
        picture = (folder / html.unescape(source)).read_bytes()
        encoded = base64.b64encode(picture).decode("ascii")
        return f'{match.group(1)}"data:image/png;base64,{encoded}"'

    return re.sub(r'(<img [^>]*src=)"([^"]+)"', data_uri, page)


def main() -> None:
    source, target = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    text = source.read_text(encoding="utf-8")
    title = text.splitlines()[0].lstrip("# ").strip()
    body = markdown.markdown(text, extensions=["tables", "fenced_code"], output_format="html")
    page = (
        '<!DOCTYPE html>\n<html lang="zh-CN">\n<head>\n<meta charset="utf-8">\n'
        f"<title>{html.escape(title)}</title>\n<style>{STYLE}</style>\n</head>\n<body>\n"
        f"{inline_images(body, source.parent)}\n</body>\n</html>\n"
    )
    # A byte-order mark as well as the meta tag: any program that opens it reads UTF-8.
    target.write_bytes(b"\xef\xbb\xbf" + page.encode("utf-8"))


if __name__ == "__main__":
    main()
