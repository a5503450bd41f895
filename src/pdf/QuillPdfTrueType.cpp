// TrueType fonts of QuillPdf: AddFont reads a font file completely before it
// writes anything, so a refused file leaves no object, resource entry or font
// record behind; the font dictionary, its descriptor and the embedded file
// follow the layout of the built-in fonts' objects.
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "pdf/InputFile.h"
#include "pdf/PdfFormat.h"
#include "pdf/PdfName.h"
#include "pdf/QuillPdfImpl.h"
#include "pdf/TrueTypeFont.h"

namespace quill {

namespace {

// Blanks removed and upper case, as SetFont compares names.
std::string FontKey(std::string_view name) {
    std::string key;
    for (char c : name) {
        if (c == ' ') continue;
        key.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    }
    return key;
}

int16_t ToInt16(int32_t value) { return static_cast<int16_t>(std::clamp<int32_t>(value, INT16_MIN, INT16_MAX)); }

// Reads the whole file; no error on success.
Error ReadFontFile(const std::string& fileName, std::string& bytes) {
    return ReadInputFile(fileName, {5, "not a TrueType font file: too large"}, bytes);
}

}  // namespace

std::string QuillPdf::Impl::AddFont(const std::string& fileName, const std::string& fontName, bool embed,
                                    int32_t encoding) {
    auto face = std::make_shared<TrueTypeFace>();
    Error error = ReadFontFile(fileName, face->file);
    if (!error) error = ReadTrueType(face->file, encoding == 1, face->metrics);
    if (error) {
        RecordError("AddFont", error, fileName);
        return "";
    }
    const TrueTypeMetrics& m = face->metrics;
    std::string name = m.fullName;
    if (name.empty()) {  // no usable name record: the file's own name
        name = std::filesystem::path(fileName).stem().string();
        name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
        if (name.empty()) name = "TrueType";  // a PDF name needs at least one character
    }
    std::string key = FontKey(fontName);
    if (key.empty()) key = FontKey(name);
    if (FindTrueTypeFont(key) >= 0) return key;  // added before: nothing more to write

    FontRecord font;
    font.key = key;
    font.embedded = true;
    font.baseFont = name;
    const bool bold = m.weightClass > 500, italic = m.italicAngle != 0;
    if (bold || italic) font.baseFont += std::string(",") + (bold ? "Bold" : "") + (italic ? "Italic" : "");
    std::array<int16_t, 256> widths{};
    for (size_t c = 0; c < 256; ++c) widths[c] = ToInt16(m.widths[c]);
    font.SetWidths(widths);
    font.textHeight = ToInt16(m.ascent + std::abs(m.descent));
    font.descent = m.descent;
    font.encoding = encoding == 1 ? 1 : 0;
    face->embed = embed;
    font.trueType = std::move(face);
    fonts_.push_back(std::move(font));
    text_.requestStyle = -1;  // a name that fell back to Arial before may mean this font now
    WriteFontObject(fonts_.back());
    return key;
}

int QuillPdf::Impl::FindTrueTypeFont(std::string_view name) const {
    const std::string key = FontKey(name);
    for (size_t i = 0; i < fonts_.size(); ++i) {
        if (fonts_[i].trueType && fonts_[i].key == key) return static_cast<int>(i);
    }
    return -1;
}

void QuillPdf::Impl::WriteTrueTypeObjects(FontRecord& font) {
    TrueTypeFace& face = *font.trueType;
    const TrueTypeMetrics& m = face.metrics;
    uint32_t number = 0;
    StartIndirectObject(number);
    font.objectNumber = number;
    fontResources_ += '/';
    AppendPdfName(fontResources_, font.key);
    fontResources_ += ' ';
    AppendInteger(fontResources_, number);
    fontResources_ += " 0 R ";

    std::string text = "<< /Type /Font /Subtype /TrueType /Name /";
    AppendPdfName(text, font.key);
    text += " /BaseFont /";
    AppendPdfName(text, font.baseFont);
    text += " /FirstChar 0 /LastChar 255\n";
    // Symbol fonts are read through their own built-in encoding.
    if (!m.symbolic) {
        text += std::string("/Encoding << /Type /Encoding /BaseEncoding /") +
            (font.encoding == 1 ? "MacRomanEncoding" : "WinAnsiEncoding") + ">>\n";
    }
    text += "/FontDescriptor ";
    AppendInteger(text, number + 1);
    text += " 0 R\r/Widths [";
    for (size_t c = 0; c < 256; ++c) {
        text += ' ';
        AppendInteger(text, font.widths[c]);
        if (c % 16 == 15) text += '\r';
    }
    text += "]\r>>";
    WriteLine(text);
    EndIndirectObject();

    uint32_t descriptor = number + 1;
    StartIndirectObject(descriptor);
    const int32_t flags = (m.italicAngle != 0 ? 64 : 0) + (m.fixedPitch ? 1 : 0) + (m.symbolic ? 4 : 32);
    text = "<< /Type /FontDescriptor /FontName /";
    AppendPdfName(text, font.baseFont);
    auto put = [&text](const char* label, int64_t value) {
        text += label;
        AppendInteger(text, value);
    };
    put(" /Flags ", flags);
    put(" /FontBBox [", m.box[0]);
    put(" ", m.box[1]);
    put(" ", m.box[2]);
    put(" ", m.box[3]);
    put("] /MissingWidth ", m.missingWidth);
    put(" /StemV ", m.weightClass <= 500 ? 70 : 120);
    text += " /ItalicAngle ";
    AppendNumber(text, m.italicAngle);
    put(" /CapHeight ", m.ascent);
    put(" /XHeight ", m.ascent / 2);
    put(" /Ascent ", m.ascent);
    put(" /Descent ", m.descent);
    put(" /MaxWidth ", m.maxWidth);
    put(" /AvgWidth ", m.avgWidth);
    if (face.embed) {
        text += " /FontFile2 ";
        AppendInteger(text, number + 2);
        text += " 0 R";
    }
    WriteLine(text + " >>");
    EndIndirectObject();

    if (face.embed) {
        uint32_t fileObject = number + 2;
        StartIndirectObject(fileObject);
        WriteLine("<<");
        const auto length = static_cast<int32_t>(face.file.size());
        WriteStream(face.file, fileObject, "", length);
        EndIndirectObject();
    }
    std::string().swap(face.file);
}

}  // namespace quill
