#!/usr/bin/env python3
"""Generate src/pdf/StandardFontMetrics.cpp from the AFM metrics of the standard PDF fonts.

The numbers are Adobe's published "Core 14" AFM files.  Debian ships them
inside the jar of the package libpdfbox2-java (as resource files; nothing but
the AFM text is read from it).  When that package is missing, the URW base-35
AFM files of fonts-urw-base35, which are metric-compatible, are used instead.

Usage:  python3 tools/gen_font_metrics.py [--source jar|urw] [--output FILE]

Run from any directory; the default output is src/pdf/StandardFontMetrics.cpp
next to this script's folder.  Standard library only.
"""

import argparse
import glob
import os
import sys
import zipfile

# --------------------------------------------------------------------------
# Where the AFM files come from
# --------------------------------------------------------------------------

JAR_CANDIDATES = [
    "/usr/share/java/pdfbox2.jar",
    "/usr/share/java/pdfbox2-*.jar",
    "/usr/share/maven-repo/org/apache/pdfbox/pdfbox/2.*/pdfbox-2.*.jar",
]
JAR_AFM_DIR = "org/apache/pdfbox/resources/afm/"

URW_DIR = "/usr/share/fonts/type1/urw-base35"
# Adobe core font name -> metric-compatible URW file (without .afm).
URW_NAMES = {
    "Helvetica": "NimbusSans-Regular",
    "Helvetica-Bold": "NimbusSans-Bold",
    "Helvetica-Oblique": "NimbusSans-Italic",
    "Helvetica-BoldOblique": "NimbusSans-BoldItalic",
    "Times-Roman": "NimbusRoman-Regular",
    "Times-Bold": "NimbusRoman-Bold",
    "Times-Italic": "NimbusRoman-Italic",
    "Times-BoldItalic": "NimbusRoman-BoldItalic",
    "Symbol": "StandardSymbolsPS",
    "ZapfDingbats": "D050000L",
}


class AfmSource:
    """Reads AFM files by Adobe font name from the pdfbox jar or the URW folder."""

    def __init__(self, kind):
        self.kind = kind
        self.jar = None
        if kind == "jar":
            for pattern in JAR_CANDIDATES:
                for path in sorted(glob.glob(pattern)):
                    try:
                        with zipfile.ZipFile(path) as z:
                            if JAR_AFM_DIR + "Helvetica.afm" in z.namelist():
                                self.jar = path
                                break
                    except (OSError, zipfile.BadZipFile):
                        continue
                if self.jar:
                    break
            if not self.jar:
                raise FileNotFoundError("no pdfbox jar with AFM files found (package libpdfbox2-java)")
        elif not os.path.isfile(os.path.join(URW_DIR, "NimbusSans-Regular.afm")):
            raise FileNotFoundError("no URW AFM files in " + URW_DIR + " (package fonts-urw-base35)")

    def file_name(self, font):
        if self.kind == "jar":
            return JAR_AFM_DIR + font + ".afm"
        return os.path.join(URW_DIR, URW_NAMES[font] + ".afm")

    def describe(self):
        if self.kind == "jar":
            return "package libpdfbox2-java, " + self.jar + ", " + JAR_AFM_DIR + "<font>.afm"
        return "package fonts-urw-base35, " + URW_DIR

    def read(self, font):
        if self.kind == "jar":
            with zipfile.ZipFile(self.jar) as z:
                data = z.read(self.file_name(font))
        else:
            with open(self.file_name(font), "rb") as f:
                data = f.read()
        return parse_afm(data.decode("latin-1"), font)


def parse_afm(text, font):
    """Returns (widths by glyph name, widths by built-in code) of one AFM file."""
    by_name, by_code = {}, {}
    inside = False
    for line in text.splitlines():
        line = line.strip()
        if line.startswith("StartCharMetrics"):
            inside = True
            continue
        if line.startswith("EndCharMetrics"):
            break
        if not inside or not line:
            continue
        code, width, name = None, None, None
        for item in line.split(";"):
            parts = item.split()
            if len(parts) < 2:
                continue
            key = parts[0]
            if key == "C":
                code = int(parts[1])
            elif key == "CH":
                code = int(parts[1].strip("<>"), 16)
            elif key in ("WX", "W0X"):
                width = int(round(float(parts[1])))
            elif key == "N":
                name = parts[1]
        if width is None or name is None:
            raise ValueError("%s: malformed metrics line: %r" % (font, line))
        by_name.setdefault(name, width)
        if code is not None and 0 <= code <= 255:
            by_code.setdefault(code, width)
    if "space" not in by_name:
        raise ValueError(font + ": no metrics found")
    return by_name, by_code


# --------------------------------------------------------------------------
# Windows-1252 (WinAnsiEncoding) glyph names; None = no character there
# --------------------------------------------------------------------------

WIN_ANSI = [None] * 256
_ASCII = (
    "space exclam quotedbl numbersign dollar percent ampersand quotesingle "
    "parenleft parenright asterisk plus comma hyphen period slash "
    "zero one two three four five six seven eight nine colon semicolon less equal greater question "
    "at A B C D E F G H I J K L M N O P Q R S T U V W X Y Z "
    "bracketleft backslash bracketright asciicircum underscore "
    "grave a b c d e f g h i j k l m n o p q r s t u v w x y z "
    "braceleft bar braceright asciitilde"
).split()
for _i, _n in enumerate(_ASCII):
    WIN_ANSI[0x20 + _i] = _n
_HIGH = (
    # 0x80
    "Euro - quotesinglbase florin quotedblbase ellipsis dagger daggerdbl "
    "circumflex perthousand Scaron guilsinglleft OE - Zcaron - "
    # 0x90
    "- quoteleft quoteright quotedblleft quotedblright bullet endash emdash "
    "tilde trademark scaron guilsinglright oe - zcaron Ydieresis "
    # 0xA0: no-break space and soft hyphen use the space and hyphen glyphs
    "space exclamdown cent sterling currency yen brokenbar section "
    "dieresis copyright ordfeminine guillemotleft logicalnot hyphen registered macron "
    # 0xB0
    "degree plusminus twosuperior threesuperior acute mu paragraph periodcentered "
    "cedilla onesuperior ordmasculine guillemotright onequarter onehalf threequarters questiondown "
    # 0xC0
    "Agrave Aacute Acircumflex Atilde Adieresis Aring AE Ccedilla "
    "Egrave Eacute Ecircumflex Edieresis Igrave Iacute Icircumflex Idieresis "
    # 0xD0
    "Eth Ntilde Ograve Oacute Ocircumflex Otilde Odieresis multiply "
    "Oslash Ugrave Uacute Ucircumflex Udieresis Yacute Thorn germandbls "
    # 0xE0
    "agrave aacute acircumflex atilde adieresis aring ae ccedilla "
    "egrave eacute ecircumflex edieresis igrave iacute icircumflex idieresis "
    # 0xF0
    "eth ntilde ograve oacute ocircumflex otilde odieresis divide "
    "oslash ugrave uacute ucircumflex udieresis yacute thorn ydieresis"
).split()
assert len(_HIGH) == 128
for _i, _n in enumerate(_HIGH):
    WIN_ANSI[0x80 + _i] = None if _n == "-" else _n

# Positions of Windows-1252 with no character.  Viewers show the bullet there
# (WinAnsiEncoding maps its unused codes above the space to the bullet), so
# measuring them with the bullet's width keeps alignment right when such a
# byte slips into a text.
WIN_ANSI_UNUSED = [0x7F, 0x81, 0x8D, 0x8F, 0x90, 0x9D]
for _c in WIN_ANSI_UNUSED:
    assert WIN_ANSI[_c] is None
    WIN_ANSI[_c] = "bullet"

# Control codes 0-31 of the sans-serif family: the values of the Windows
# font it stands for, by style (regular, bold, italic, bold italic).
ARIAL_CONTROL = [272, 311, 259, 311]

STYLE_NAMES = ["regular", "bold", "italic", "bold italic"]
HELVETICA = ["Helvetica", "Helvetica-Bold", "Helvetica-Oblique", "Helvetica-BoldOblique"]
TIMES = ["Times-Roman", "Times-Bold", "Times-Italic", "Times-BoldItalic"]


def win_ansi_widths(metrics, font, control):
    """256 widths at the Windows-1252 positions; control = width of codes 0-31."""
    by_name, _ = metrics
    out = []
    for code in range(256):
        if code < 0x20:
            out.append(control)
            continue
        name = WIN_ANSI[code]
        if name not in by_name:
            raise ValueError("%s has no glyph %s for code 0x%02X" % (font, name, code))
        out.append(by_name[name])
    return out


def builtin_widths(metrics, font):
    """256 widths by the font's own encoding; codes with no glyph get 0."""
    _, by_code = metrics
    return [by_code.get(code, 0) for code in range(256)]


def format_table(name, comment, widths):
    assert len(widths) == 256 and all(-32768 <= w <= 32767 for w in widths)
    lines = ["// " + comment, "constexpr std::array<int16_t, 256> %s = {{" % name]
    for row in range(16):
        values = widths[row * 16:(row + 1) * 16]
        lines.append("    " + ", ".join("%4d" % v for v in values) + ",  // 0x%02X" % (row * 16))
    lines.append("}};")
    return "\n".join(lines)


def generate(source):
    tables = []  # (C++ name, comment, widths)

    for style, font in enumerate(HELVETICA):
        m = source.read(font)
        tables.append(("kArial%d" % style, "Arial %s: %s, codes 0-31 %d" % (STYLE_NAMES[style], font, ARIAL_CONTROL[style]),
                       win_ansi_widths(m, font, ARIAL_CONTROL[style])))

    # Courier is monospaced: every code, control codes included, advances 600.
    tables.append(("kCourier", "CourierNew, all styles: 600 for every code", [600] * 256))

    for style, font in enumerate(TIMES):
        m = source.read(font)
        # Control codes measure as a blank: a stray tab or line feed in a text
        # then takes the room of the space, as the sans-serif family's values
        # for those codes (close to its space) do.
        space = m[0]["space"]
        tables.append(("kTimes%d" % style, "TimesNewRoman %s: %s, codes 0-31 as the space (%d)" % (STYLE_NAMES[style], font, space),
                       win_ansi_widths(m, font, space)))

    # Symbol and ZapfDingbats are measured by their own built-in encoding.
    # Codes with no glyph there draw nothing and do not advance the pen, so
    # they measure 0.
    for var, font in (("kSymbol", "Symbol"), ("kZapfDingbats", "ZapfDingbats")):
        tables.append((var, "%s, built-in encoding; codes with no glyph 0" % font, builtin_widths(source.read(font), font)))

    files = [os.path.basename(source.file_name(f)) for f in HELVETICA + TIMES + ["Symbol", "ZapfDingbats"]]
    header = """// GENERATED FILE - do not edit.  Regenerate with:  python3 tools/gen_font_metrics.py
//
// Advance widths (thousandths of the font size) of the built-in font families,
// taken from the published AFM metrics of the standard PDF fonts:
//   source: %s
//   files:  %s
// Arial, CourierNew and TimesNewRoman are indexed by Windows-1252 code
// (WinAnsiEncoding: 0xA0 is the space glyph, 0xAD the hyphen); the unused
// positions 0x7F 0x81 0x8D 0x8F 0x90 0x9D take the bullet's width, as viewers
// draw a bullet there.  Codes 0-31: Arial 272/311/259/311 by style, Courier
// 600, Times the width of its space.  Symbol and ZapfDingbats are indexed by
// their own built-in encoding; codes without a glyph measure 0.
""" % (source.describe(), wrap_list(files, "//           "))

    body = [header, '#include "pdf/StandardFontMetrics.h"', "", "namespace quill {", "namespace {", ""]
    for name, comment, widths in tables:
        body.append(format_table(name, comment, widths))
        body.append("")
    body.append("}  // namespace")
    body.append("")
    body.append("""const std::array<int16_t, 256>& StandardWidths(StdFamily family, int style) {
    const int variant = ((style & 1) ? 1 : 0) + ((style & 2) ? 2 : 0);
    switch (family) {
        case StdFamily::CourierNew:
            return kCourier;
        case StdFamily::TimesNewRoman:
            return variant == 0 ? kTimes0 : variant == 1 ? kTimes1 : variant == 2 ? kTimes2 : kTimes3;
        case StdFamily::Symbol:
            return kSymbol;
        case StdFamily::ZapfDingbats:
            return kZapfDingbats;
        case StdFamily::Arial:
            break;
    }
    return variant == 0 ? kArial0 : variant == 1 ? kArial1 : variant == 2 ? kArial2 : kArial3;
}
""")
    body.append("}  // namespace quill")
    return "\n".join(body) + "\n"


def wrap_list(items, indent):
    lines, cur = [], ""
    for item in items:
        piece = item if not cur else cur + ", " + item
        if len(piece) > 70 and cur:
            lines.append(cur + ",")
            cur = item
        else:
            cur = piece
    lines.append(cur)
    return ("\n" + indent).join(lines)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default_out = os.path.join(here, "..", "src", "pdf", "StandardFontMetrics.cpp")
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--source", choices=["jar", "urw"], help="AFM source (default: the jar, else URW)")
    ap.add_argument("--output", default=default_out, help="file to write")
    args = ap.parse_args()

    kinds = [args.source] if args.source else ["jar", "urw"]
    source, errors = None, []
    for kind in kinds:
        try:
            source = AfmSource(kind)
            break
        except FileNotFoundError as e:
            errors.append(str(e))
    if source is None:
        sys.exit("gen_font_metrics: " + "; ".join(errors))

    text = generate(source)
    with open(args.output, "w", encoding="ascii", newline="\n") as f:
        f.write(text)
    print("wrote %s from %s" % (os.path.normpath(args.output), source.describe()))


if __name__ == "__main__":
    main()
