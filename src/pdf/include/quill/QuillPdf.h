// QuillPdf: the program's own PDF writer. One object writes one PDF document
// at a time straight to a file, in the order the caller works: configure,
// BeginDoc, page after page, EndDoc.
//
// Text is handled as Windows-1252 bytes from end to end. Numbers in the
// output never follow the process locale. Nothing is thrown to the caller:
// failures are recorded and read through ErrNumber, ErrSource and
// ErrDescription; setter arguments out of range are ignored.
//
// Coordinates are in user units (SetScale), with the origin at the top-left
// corner inside the margins and Y growing downwards.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace quill {

// The library's version and name, written into every document header.
inline constexpr char kLibraryVersion[] = "2.4.8";
inline constexpr char kLibraryName[] = "QuillPdf Library";

// ---- Options ---------------------------------------------------------------
// Each option keeps the number the writer has always taken as its value, so a
// document reads the same whichever way the option was given.

// Units of the coordinates (SetScale).
enum class Unit : int32_t { Points = 0, Inches = 1, Millimetres = 2, Centimetres = 3, UserFactor = 255 };

// Viewer preferences (SetViewerPreferences): one page mode, window flags and
// one page layout, combined with |.
enum class Viewer : int32_t {
    None = 0,
    FullScreen = 1,  // page modes: the low 4 bits hold one of these
    UseOutlines = 2,
    UseThumbs = 4,
    UseOC = 8,
    HideMenubar = 0x10,
    HideToolbar = 0x20,
    HideWindowUI = 0x40,
    DisplayDocTitle = 0x80,
    CenterWindow = 0x100,
    FitWindow = 0x200,
    OneColumn = 0x2000,  // page layouts: the bits above 0xFFF hold one of these
    TwoColumnLeft = 0x4000,
    TwoColumnRight = -0x8000,  // the 16-bit 0x8000 widened with its sign
};

// Stream filters (SetCompression), applied in this order.
enum class Filter : int32_t { None = 0, RunLength = 1, Flate = 2, Lzw = 4, Ascii85 = 8, AsciiHex = 16 };

// What a protected document allows (SetProtection); Key128Bit selects a
// 128-bit key, which the last four permissions need.
enum class Permit : int32_t {
    None = 0,
    Print = 4,
    Modify = 8,
    Copy = 16,
    Annotate = 32,
    FillForms = 256,
    Accessibility = 512,
    Assemble = 1024,
    PrintHighQuality = 2048,
    Key128Bit = 0x1000,
};

// How a drawn shape is painted: stroked unless NoOutline; Close closes the
// path, Fill fills it (even-odd), Clip makes it the clipping path.
enum class Paint : int32_t { Stroke = 0, NoOutline = 1, Close = 2, Fill = 4, Clip = 128 };

// Where DrawText puts the text: starting at x, ending at x or centred on x.
enum class Align : int32_t { Left = 1, Right = 2, Center = 4 };

// Symbologies of DrawBarCode.
enum class Barcode : int32_t { Ean13 = 0, Code39 = 1, Interleaved2of5 = 2, Postnet = 3, Code128 = 4, Ean8 = 5 };

// Paper sizes (SetPaperSize): the A series, even portrait and odd landscape,
// then Letter, Tabloid, Legal, Statement and Executive; Custom takes the
// width and height given.
enum class Paper : int32_t {
    A0 = -8,
    A0Landscape,
    A1,
    A1Landscape,
    A2,
    A2Landscape,
    A3,
    A3Landscape,
    A4 = 0,
    A4Landscape,
    A5,
    A5Landscape,
    A6,
    A6Landscape,
    A7,
    A7Landscape,
    Letter = 8,
    LetterLandscape,
    Tabloid,
    TabloidLandscape,
    Legal,
    LegalLandscape,
    Statement,
    StatementLandscape,
    Executive,
    ExecutiveLandscape,
    Custom = 255,
};

// Whether the page content is clipped to the margins (SetMargins).
enum class Clip : int16_t { Off = 0, On = -1 };

// The rotation a page is shown with (SetPageView).
enum class PageView : int32_t { Upright = 0, Rotate270 = 1, Rotate180 = 2, Rotate90 = 3 };

// Page transitions (SetPageTransition); Off clears it.
enum class Transition : int32_t {
    Off = 0,
    SplitHorizontalIn,
    SplitVerticalIn,
    SplitHorizontalOut,
    SplitVerticalOut,
    WipeLeft,
    WipeRight,
    WipeDown,
    WipeUp,
    BoxIn,
    BoxOut,
    BlindsHorizontal,
    BlindsVertical,
    Dissolve,
    GlitterRight,
    GlitterDown,
    GlitterDiagonal,
    Replace,
};

// Page label numbering (SetLabel).
enum class LabelStyle : int32_t { None = 0, Decimal, UpperRoman, LowerRoman, UpperLetters, LowerLetters };

// Font styles (SetFont): bold and italic for Arial, Courier New and Times New
// Roman; the lines for every font.
enum class FontStyle : int32_t { Regular = 0, Bold = 1, Italic = 2, Underline = 4, Overline = 8, Strikeout = 16 };

// Single-byte encodings of a font (SetFont, AddFont).
enum class Encoding : int32_t { WinAnsi = 0, MacRoman = 1 };

// Text rendering modes (SetTextMode).
enum class TextMode : int32_t { Fill = 0, Stroke, FillStroke, Invisible, FillClip, StrokeClip, FillStrokeClip, Clip };

// A raised, lowered or same-baseline run of smaller text (WriteText).
enum class TextPosition : int32_t { Normal = 0, Raised = 1, Lowered = 2, Baseline = 3 };

// Bezier curves (DrawCurve): two control points, or the current point
// (StartTangent) or the end point (EndTangent) standing for one of them.
enum class Curve : int16_t { TwoControlPoints = 1, StartTangent = 2, EndTangent = 3 };

// The corners DrawRect rounds.
enum class Corner : int32_t { None = 0, TopLeft = 1, TopRight = 2, BottomRight = 4, BottomLeft = 8, All = 15 };

// Line caps and joins (SetLineStyle), one of each combined with |.
enum class LineStyle : int32_t {
    ButtCap = 0,
    RoundCap = 0x20,
    SquareCap = 0x40,
    MiterJoin = 0,
    RoundJoin = 2,
    BevelJoin = 4
};

// How a bookmark, link or reference shows its page: the whole page, fitting
// the width or height at a coordinate, a rectangle, or a position and zoom.
enum class View : int32_t { FitPage = 0, FitVertical = 1, FitHorizontal = 2, FitRect = 3, Zoom = 4 };

// How a link looks when clicked (LinkTo).
enum class Highlight : int32_t { None = 0, Invert = 1, Outline = 2, Push = 3 };

// The text style of a bookmark (AddBookmark).
enum class OutlineStyle : int32_t { Plain = 0, Italic = 1, Bold = 2 };

template <class E>
inline constexpr bool kFlagOption = false;
template <>
inline constexpr bool kFlagOption<Viewer> = true;
template <>
inline constexpr bool kFlagOption<Filter> = true;
template <>
inline constexpr bool kFlagOption<Permit> = true;
template <>
inline constexpr bool kFlagOption<Paint> = true;
template <>
inline constexpr bool kFlagOption<FontStyle> = true;
template <>
inline constexpr bool kFlagOption<Corner> = true;
template <>
inline constexpr bool kFlagOption<LineStyle> = true;
template <>
inline constexpr bool kFlagOption<OutlineStyle> = true;

template <class E>
requires kFlagOption<E>
constexpr E operator|(E a, E b) {
    return static_cast<E>(static_cast<std::underlying_type_t<E>>(a) | static_cast<std::underlying_type_t<E>>(b));
}
template <class E>
requires kFlagOption<E>
constexpr E operator&(E a, E b) {
    return static_cast<E>(static_cast<std::underlying_type_t<E>>(a) & static_cast<std::underlying_type_t<E>>(b));
}

class QuillPdf {
public:
    QuillPdf();
    ~QuillPdf();
    QuillPdf(const QuillPdf&) = delete;
    QuillPdf& operator=(const QuillPdf&) = delete;

    // ---- Document ---------------------------------------------------------
    // Closes an open file without finishing it and resets every setting.
    void Abort();
    // Opens the file (a generated name in the current folder when empty) and
    // writes the header. Returns the name used.
    std::string BeginDoc(const std::string& fileName = "");
    // Finishes the open page, writes the pending objects, the
    // cross-reference table and the trailer, and closes the file.
    void EndDoc();
    // Bytes written so far; with no file open, the size of the last document.
    int32_t FileSize() const;
    std::string Version() const;

    int32_t ErrNumber() const;
    std::string ErrSource() const;
    std::string ErrDescription() const;

    // Until a creator is given, the documents name this library as theirs.
    void SetDocProperty(const std::string& title = "", const std::string& subject = "", const std::string& author = "",
                        const std::string& creator = "", const std::string& producer = "",
                        const std::string& keywords = "");
    void SetMemoryUsage(int16_t factor);
    void SetViewerPreferences(Viewer mode);
    // Quality 0..3.
    void SetCompression(Filter mode, int quality = 0);
    void SetProtection(Permit mode, const std::string& owner, const std::string& user);

    // Called when BeginDoc finds the file held by another program; returns
    // true to retry, false to give up (the error is then recorded).
    void SetFileBusyHandler(std::function<bool()> handler);
    // Fixed creation date ("D:20240131120000Z+01'00'") for reproducible output.
    void SetFixedCreationDate(const std::string& pdfDate);

    // ---- Page set-up ------------------------------------------------------
    // With Unit::UserFactor, userFactor points make a unit.
    void SetScale(Unit scaleMode, float userFactor = 1);
    // Index -8..17 from the paper table, 255 with width and height in user units.
    // Width and height (user units) for Paper::Custom only.
    void SetPaperSize(Paper paper, float width = 0, float height = 0);
    void SetMargins(float left, float right, float top, float bottom, Clip clip = Clip::Off);
    void SetPageView(PageView view);
    // showTime and transTime in seconds.
    void SetPageTransition(Transition transition, float showTime = 1, float transTime = 1);
    void SetLabel(LabelStyle style, const std::string& prefix = "", int16_t firstValue = -1);

    int32_t BeginPage();
    void EndPage();
    int32_t GetPage() const;
    float GetPageWidth(bool insideMargins = false) const;
    float GetPageHeight(bool insideMargins = false) const;

    // ---- Graphics ---------------------------------------------------------
    void SetXY(float x, float y);
    void MoveTo(float x, float y);
    float GetX() const;
    float GetY() const;
    void DrawLine(float x1, float y1, float x2, float y2, Paint options = Paint::Stroke);
    void DrawLineTo(float x, float y, Paint options = Paint::Stroke);
    // Type 1: x1 y1 x2 y2 x3 y3 c; type 2: x2 y2 x3 y3 v; type 3: x1 y1 x3 y3 y
    // (the last two points given as x1 y1 x2 y2 for types 2 and 3).
    void DrawCurve(Curve curve, float x1, float y1, float x2, float y2, float x3 = 0, float y3 = 0,
                   Paint options = Paint::Stroke);
    // With a radius, the corners given are rounded.
    void DrawRect(float x, float y, float width, float height, Paint options = Paint::Stroke, float radius = 0,
                  Corner corners = Corner::All);
    void DrawEllipse(float x, float y, float rx, float ry, Paint options = Paint::Stroke);
    void DrawCircle(float x, float y, float ray, Paint options = Paint::Stroke);
    void DrawPolygon(float cx, float cy, float radius, int32_t sides, float startAngle = 0,
                     Paint options = Paint::Stroke);
    // Angles in degrees, counter-clockwise from the positive X axis.
    void DrawArc(float cx, float cy, float rx, float ry, float startAngle, float endAngle, float step = 5,
                 Paint options = Paint::Stroke, bool pie = false);
    // Pairs x0 y0 x1 y1 ...
    void DrawPolyline(const std::vector<float>& points, Paint options = Paint::Stroke);

    void SetLineWidth(float width);
    void SetLineStyle(LineStyle style, float miterLimit = 0);
    // "SOLID", "DASH", "DOT", "DASHDOT", "DASHDOTDOT" or lengths "a;b;c".
    void SetDash(const std::string& style, float phase = 0);
    // Colours: "#RRGGBB", "%grey", "@r;g;b", "@c;m;y;k", a colour name, or a
    // pattern name optionally followed by ";" and a colour.
    void SetColorLine(const std::string& color);
    void SetColorFill(const std::string& color);
    void SetColorText(const std::string& color);
    void SetAlpha(int16_t percent);

    void AxisTranslation(float translateX, float translateY);
    void AxisScaling(float scaleX, float scaleY);
    void AxisRotation(float degrees);
    void AxisSkewing(float angleA, float angleB);
    void BeginSpace(float newX = 0, float newY = 0, float scaleX = 1, float scaleY = 1, float angle = 0);
    void EndSpace();

    // ---- Text -------------------------------------------------------------
    // Style bits: 1 bold, 2 italic, 4 underline, 8 overline, 16 strike-through.
    // Encoding 1 = Mac Roman, otherwise Windows ANSI.
    void SetFont(const std::string& name, float size = 0, FontStyle style = FontStyle::Regular,
                 Encoding encoding = Encoding::WinAnsi);
    void SetFontSize(float points);
    void SetCharSpacing(float points);
    void SetWordSpacing(float points);
    void SetTextHorizontalScaling(float percent);
    void SetTextMode(TextMode mode);
    void SetTextLineSpacing(float factor);
    float TextLength(std::string_view text) const;
    float TextHeight() const;
    void DrawText(float x, float y, std::string_view text, Align align = Align::Left);
    // Position 1 raised, 2 lowered, 3 same baseline, at percent of the size.
    void WriteText(std::string_view text, TextPosition position = TextPosition::Normal, float percent = 100);
    void WriteTextLn(std::string_view text);

    // ---- TrueType fonts (QuillPdfTrueType.cpp) ----------------------------
    // Reads a TrueType font file and writes its font objects (the whole file
    // embedded when embed is true). Returns the key that SetFont selects it
    // by: the font name, or the name in the file when empty, upper case
    // without blanks; "" when the file was refused (see ErrNumber).
    std::string AddFont(const std::string& fileName, const std::string& fontName, bool embed, Encoding encoding);

    // ---- Barcodes, outline and links (QuillPdfBarcodes.cpp, QuillPdfOutline.cpp)
    // The symbol's top-left corner at X, Y (Code 39 in its full ASCII form).
    // ZoomFactor 0.8..2, Height in user units (0: the symbology's own).
    // Returns the width with both quiet zones in user units; 0, drawing
    // nothing, for an unknown type or a code the symbology cannot carry.
    float DrawBarCode(Barcode BarCodeType, const std::string& Code, const float& X, const float& Y,
                      bool ShowCode = false, float ZoomFactor = 0, float Height = 0, bool AddCheck = false);
    // An outline entry for the current page. Level -1: child of the previous
    // entry; 0: its sibling; n: level n, at most one deeper than the previous.
    // The view's coordinates: x for FitVertical, y for FitHorizontal, the
    // rectangle for FitRect, x, y and zoom percent for Zoom. Colour as
    // SetColorLine. Returns the entry's identifier (1, 2 ...), 0 if not added.
    int32_t AddBookmark(const std::string& title, int16_t level = 0, View view = View::FitPage, float x = 0,
                        float y = 0, float width = 0, float height = 0, float zoom = 100, const std::string& color = "",
                        OutlineStyle style = OutlineStyle::Plain);
    // A link over the last thing drawn on the open page. Targets: "page:" n,
    // +n, -n, #n, FIRST, LAST, NEXT, PREV; "bookmark:@" identifier; "ref:"
    // name (DefineRef); "http:", "https:", "ftp:", "mailto:" addresses;
    // "file:" another PDF file; "script:" a script.
    void LinkTo(const std::string& target, int16_t border = 0, Highlight highlight = Highlight::None,
                View view = View::FitPage, float x = 0, float y = 0, float width = 0, float height = 0,
                float zoom = 100);
    // Names a place on the current page for "ref:" links.
    void DefineRef(const std::string& name, View view = View::FitPage, float x = 0, float y = 0, float width = 0,
                   float height = 0, float zoom = 100);

    // ---- Images (QuillPdfImages.cpp) ---------------------------------------
    // Places a JPEG, BMP, GIF or TGA picture, or an EPS, AI or WMF drawing,
    // with its top-left corner at X, Y. Width and height 0 take the picture's
    // own size at one point per pixel; one of them 0 keeps the proportions.
    // With transparency non-zero, pixels of the transparent colour (a colour
    // text as SetColorFill takes) are left unpainted. A picture file is
    // written once per document and referenced from every page showing it.
    void DrawImage(const std::string& fileName, float x, float y, float width = 0, float height = 0,
                   int16_t transparency = 0, const std::string& transparentColor = "");

private:
    struct Impl;  // QuillPdfImpl.h
    std::unique_ptr<Impl> impl_;
};

}  // namespace quill
