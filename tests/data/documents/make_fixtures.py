#!/usr/bin/env python3
"""Writes the document fixtures of the input-format tests into this folder.

Run it again only to change them; the files it writes are committed.
- article.docx: a Word document built from its XML parts (docx-parts/), zipped;
- damaged.docx: the first half of article.docx, so its central directory is gone;
- expands.docx: article.docx plus a part of 65 MiB of zeros (64 KiB zipped);
- article.pdf: a two-page PDF whose Chinese text is drawn with a Type 0 font
  (Identity-H) and carries a ToUnicode map, as word processors write it; no
  font program is embedded, since only the text is read;
- picture.txt: a small PNG picture under a text file's name;
- article-gbk.html: a page saved in GBK that declares its charset.
"""
import os
import struct
import zipfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
PARTS = os.path.join(HERE, "docx-parts")

PDF_PAGES = [
    ["搬到这座城市的第七年，我终于学会了放慢脚步。", "每天在地铁里挤来挤去，午饭对着电脑屏幕草草解决。"],
    ["第二页：卖豆腐的摊子冒着热气，老板娘一边切豆腐一边跟熟客聊家常。"],
]


def write_docx():
    path = os.path.join(HERE, "article.docx")
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as docx:
        for root, _dirs, files in sorted(os.walk(PARTS)):
            for name in sorted(files):
                full = os.path.join(root, name)
                info = zipfile.ZipInfo(os.path.relpath(full, PARTS), (2020, 1, 1, 0, 0, 0))
                info.compress_type = zipfile.ZIP_DEFLATED
                with open(full, "rb") as part:
                    docx.writestr(info, part.read())
    with open(path, "rb") as whole:
        data = whole.read()
    with open(os.path.join(HERE, "damaged.docx"), "wb") as damaged:
        damaged.write(data[: len(data) // 2])
    with open(os.path.join(HERE, "expands.docx"), "wb") as whole:
        whole.write(data)
    with zipfile.ZipFile(os.path.join(HERE, "expands.docx"), "a", zipfile.ZIP_DEFLATED) as docx:
        info = zipfile.ZipInfo("word/media/padding.bin", (2020, 1, 1, 0, 0, 0))
        info.compress_type = zipfile.ZIP_DEFLATED
        docx.writestr(info, bytes(65 << 20), compresslevel=9)


def pdf_string(text):
    return "<" + "".join("%04X" % ord(c) for c in text) + ">"


def write_pdf():
    chars = sorted({ord(c) for page in PDF_PAGES for line in page for c in line})
    cmap = "\n".join(
        [
            "/CIDInit /ProcSet findresource begin 12 dict begin begincmap",
            "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def",
            "/CMapName /Adobe-Identity-UCS def /CMapType 2 def",
            "1 begincodespacerange <0000> <FFFF> endcodespacerange",
            "%d beginbfchar" % len(chars),
        ]
        + ["<%04X> <%04X>" % (c, c) for c in chars]
        + ["endbfchar endcmap CMapName currentdict /CMap defineresource pop end end"]
    )
    objects = [
        "<< /Type /Catalog /Pages 2 0 R >>",
        None,  # the page tree, once the pages are numbered
        "<< /Type /Font /Subtype /Type0 /BaseFont /STSong-Light /Encoding /Identity-H "
        "/DescendantFonts [4 0 R] /ToUnicode 5 0 R >>",
        "<< /Type /Font /Subtype /CIDFontType2 /BaseFont /STSong-Light "
        "/CIDSystemInfo << /Registry (Adobe) /Ordering (Identity) /Supplement 0 >> "
        "/FontDescriptor 6 0 R /DW 1000 /CIDToGIDMap /Identity >>",
        "<< /Length %d >>\nstream\n%s\nendstream" % (len(cmap), cmap),
        "<< /Type /FontDescriptor /FontName /STSong-Light /Flags 4 /FontBBox [0 -200 1000 900] "
        "/ItalicAngle 0 /Ascent 880 /Descent -120 /CapHeight 700 /StemV 80 >>",
    ]
    kids = []
    for lines in PDF_PAGES:
        ops = ["BT", "/F1 14 Tf", "16 TL", "50 780 Td"]
        for line in lines:
            ops.append("%s Tj T*" % pdf_string(line))
        ops.append("ET")
        content = "\n".join(ops)
        objects.append("<< /Length %d >>\nstream\n%s\nendstream" % (len(content), content))
        content_number = len(objects)
        objects.append(
            "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] "
            "/Resources << /Font << /F1 3 0 R >> >> /Contents %d 0 R >>" % content_number
        )
        kids.append(len(objects))
    objects[1] = "<< /Type /Pages /Kids [%s] /Count %d >>" % (
        " ".join("%d 0 R" % k for k in kids),
        len(kids),
    )
    out = bytearray(b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n")
    offsets = []
    for number, body in enumerate(objects, start=1):
        offsets.append(len(out))
        out += b"%d 0 obj\n%s\nendobj\n" % (number, body.encode("ascii"))
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    for offset in offsets:
        out += b"%010d 00000 n \n" % offset
    out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (
        len(objects) + 1,
        xref,
    )
    with open(os.path.join(HERE, "article.pdf"), "wb") as pdf:
        pdf.write(out)


def write_png():
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    width = height = 16
    rows = b"".join(
        b"\x00" + b"".join(bytes((x * 16, y * 16, 128)) for x in range(width)) for y in range(height)
    )
    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b"")
    with open(os.path.join(HERE, "picture.txt"), "wb") as picture:
        picture.write(png)


def write_gbk_page():
    page = """<!DOCTYPE html>
<html><head><meta http-equiv="Content-Type" content="text/html; charset=gbk">
<title>慢一点，再慢一点</title>
<style>p { color: #333 }</style>
<script>var note = "不应出现的脚本文字";</script>
</head>
<body>
<h1>慢一点，再慢一点</h1>
<p>搬到这座城市的第七年，我终于学会了<b>放慢脚步</b>。</p>
<div>病好以后，我给自己定了一个小规矩。<br>每个星期至少有一个上午，什么正事也不做。</div>
<ul><li>春天有香椿和春笋</li><li>夏天是毛豆和丝瓜</li></ul>
</body></html>
"""
    with open(os.path.join(HERE, "article-gbk.html"), "wb") as html:
        html.write(page.encode("gbk"))


if __name__ == "__main__":
    write_docx()
    write_pdf()
    write_png()
    write_gbk_page()
