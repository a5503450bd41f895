// The writer behind the QuillPdf facade: every operation and all the state
// of the document being written. The operations keep the facade's names and
// take the options as their underlying numbers.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pdf/OutputFile.h"
#include "quill/QuillPdf.h"

namespace quill {

class LzwEncoder;
struct TrueTypeFace;
class Rc4;
struct Protection;
struct DecodedImage;

struct QuillPdf::Impl {
    Impl();
    ~Impl();

    // The facade's operations (documented in quill/QuillPdf.h).
    // ---- Document ---------------------------------------------------------
    void Abort();
    std::string BeginDoc(const std::string& fileName = "");
    void EndDoc();
    int32_t FileSize() const;

    int32_t ErrNumber() const { return error_.number; }
    std::string ErrSource() const { return error_.source; }
    std::string ErrDescription() const { return error_.description; }

    void SetDocProperty(const std::string& title = "", const std::string& subject = "", const std::string& author = "",
                        const std::string& creator = "", const std::string& producer = "",
                        const std::string& keywords = "");
    void SetMemoryUsage(int16_t factor);
    void SetViewerPreferences(int32_t mode);
    void SetCompression(int32_t mode, int quality = 0);
    void SetProtection(int32_t mode, const std::string& owner, const std::string& user);

    void SetFileBusyHandler(std::function<bool()> handler);
    void SetFixedCreationDate(const std::string& pdfDate);

    // ---- Page set-up ------------------------------------------------------
    void SetScale(int32_t scaleMode, float userFactor = 1);
    void SetPaperSize(int32_t index, float width = 0, float height = 0);
    void SetMargins(float left, float right, float top, float bottom, int16_t clip = 0);
    void SetPageView(int32_t view);
    void SetPageTransition(int32_t transition, float showTime = 1, float transTime = 1);
    void SetLabel(int32_t style, const std::string& prefix = "", int16_t firstValue = -1);

    int32_t BeginPage();
    void EndPage();
    int32_t GetPage() const { return pageCount_; }
    float GetPageWidth(bool insideMargins = false) const;
    float GetPageHeight(bool insideMargins = false) const;

    // ---- Graphics ---------------------------------------------------------
    void SetXY(float x, float y);
    void MoveTo(float x, float y);
    float GetX() const;
    float GetY() const;
    void DrawLine(float x1, float y1, float x2, float y2, int32_t options = 0);
    void DrawLineTo(float x, float y, int32_t options = 0);
    void DrawCurve(int16_t curveType, float x1, float y1, float x2, float y2, float x3 = 0, float y3 = 0,
                   int32_t options = 0);
    void DrawRect(float x, float y, float width, float height, int32_t options = 0, float radius = 0,
                  int32_t cornerMask = 15);
    void DrawEllipse(float x, float y, float rx, float ry, int32_t options = 0);
    void DrawCircle(float x, float y, float ray, int32_t options = 0);
    void DrawPolygon(float cx, float cy, float radius, int32_t sides, float startAngle = 0, int32_t options = 0);
    void DrawArc(float cx, float cy, float rx, float ry, float startAngle, float endAngle, float step = 5,
                 int32_t options = 0, bool pie = false);
    void DrawPolyline(const std::vector<float>& points, int32_t options = 0);

    void SetLineWidth(float width);
    void SetLineStyle(int32_t style, float miterLimit = 0);
    void SetDash(const std::string& style, float phase = 0);
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
    void SetFont(const std::string& name, float size = 0, int32_t style = 0, int32_t encoding = 0);
    void SetFontSize(float points);
    void SetCharSpacing(float points);
    void SetWordSpacing(float points);
    void SetTextHorizontalScaling(float percent);
    void SetTextMode(int32_t mode);
    void SetTextLineSpacing(float factor);
    float TextLength(std::string_view text) const;
    float TextHeight() const;
    void DrawText(float x, float y, std::string_view text, int32_t align = 1);
    void WriteText(std::string_view text, int32_t position = 0, float percent = 100);
    void WriteTextLn(std::string_view text);

    // ---- TrueType fonts (QuillPdfTrueType.cpp) ----------------------------
    std::string AddFont(const std::string& fileName, const std::string& fontName, bool embed, int32_t encoding);

    // ---- Barcodes, outline and links (QuillPdfBarcodes.cpp, QuillPdfOutline.cpp)
    float DrawBarCode(int32_t BarCodeType, const std::string& Code, const float& X, const float& Y,
                      bool ShowCode = false, float ZoomFactor = 0, float Height = 0, bool AddCheck = false);
    int32_t AddBookmark(const std::string& title, int16_t level = 0, int32_t viewMode = 0, float x = 0, float y = 0,
                        float width = 0, float height = 0, float zoom = 100, const std::string& color = "",
                        int32_t style = 0);
    void LinkTo(const std::string& target, int16_t border = 0, int32_t highlight = 0, int32_t viewMode = 0, float x = 0,
                float y = 0, float width = 0, float height = 0, float zoom = 100);
    void DefineRef(const std::string& name, int32_t viewMode = 0, float x = 0, float y = 0, float width = 0,
                   float height = 0, float zoom = 100);

    // ---- Images (QuillPdfImages.cpp) ---------------------------------------
    void DrawImage(const std::string& fileName, float x, float y, float width = 0, float height = 0,
                   int16_t transparency = 0, const std::string& transparentColor = "");

    // ---- helpers ----
    struct FontRecord {
        std::string key;
        bool embedded = false;
        std::string baseFont;
        std::array<int16_t, 256> widths{};
        int16_t fixedWidth = -1;  // the width of every code when they are all alike (Courier), else -1
        std::string contentName;  // "/" and the key as a name, made when the font first draws text
        int16_t textHeight = 0;
        int32_t descent = 0;
        int32_t encoding = 0;
        uint32_t objectNumber = 0;
        std::shared_ptr<TrueTypeFace> trueType;  // fonts added by AddFont

        // Sets the widths and notes whether the font is fixed-pitch.
        void SetWidths(const std::array<int16_t, 256>& codeWidths);
    };
    // What the drawing operations leave for the next one on the page.
    struct GraphicsState {
        float x = 0, y = 0;  // current point in points, relative to the margin origin
        float lineWidth = 1;  // PDF's own initial width, so that a restored width is never 0
        std::string lineColor, fillColor, textColor;
        std::string lineOp, fillOp, textFillOp, textLineOp;  // content lines of the colours
    };
    struct TextState {
        int font = -1;  // index into fonts_
        std::string fontName;
        float size = 0;
        int32_t style = 0, encoding = 0;
        std::string request;  // name of the last SetFont, for the fast path
        int32_t requestStyle = -1, requestEncoding = -1;
        float charSpacing = 0, wordSpacing = 0, horizontalScaling = 100, lineSpacing = 1;
    };
    // The state an insertion such as a barcode's text puts back when done.
    struct SavedState {
        float scale;
        GraphicsState graphics;
        TextState text;
    };
    SavedState SaveState() const { return {scale_, graphics_, text_}; }
    void RestoreState(const SavedState& saved);

    struct LabelRange {
        int32_t pageIndex = 0;
        int32_t style = 0;
        std::string prefix;
        int16_t firstValue = -1;
    };

    // Document: objects, streams, strings, errors (QuillPdfDocument.cpp).
    void ResetState();
    void WriteLine(std::string_view text);
    void StartIndirectObject(uint32_t& number);
    void EndIndirectObject();
    void WriteStream(std::string& data, uint32_t objectNumber, std::string filterText = "", int32_t length1 = 0);
    uint32_t WriteScriptObject(const std::string& text);
    std::string PdfString(std::string_view text);
    void RequireVersion(int32_t increment);
    // Keeps the error as the last one, under the procedure's name; extra text goes in front of its description.
    void RecordError(const char* procedure, const Error& error, const std::string& extra = "");
    void WriteResourceDictionary(uint32_t number, bool forPages);
    void WriteMetadataObject(uint32_t& number);
    uint32_t WriteCatalog(uint32_t metadataObject);
    uint32_t WriteInfoDictionary();
    std::string GeneratedFileName() const;
    bool WriteXrefAndTrailer(uint32_t catalog, uint32_t info, uint32_t encrypt);

    // Pages and graphics (QuillPdfPages.cpp, QuillPdfGraphics.cpp).
    void AppendContentLine(std::string_view text);
    std::string* ContentTarget();
    void AppendScaled(std::string& out, float value) const;
    void AppendPaint(std::string& out, int32_t options) const;
    void SetColor(const std::string& color, int which);

    // Text (QuillPdfText.cpp).
    void WriteTextRun(float x, float y, float boxWidth, std::string_view text, float extraWidth, int32_t align,
                      bool newLine);
    float RawWidth(std::string_view text) const;
    // The operators of a text run up to its position: colour, BT, font and size, leading, matrix start.
    const std::string& TextRunHead(FontRecord& font);
    void WriteFontObject(FontRecord& font);
    int FindTrueTypeFont(std::string_view name) const;  // -1 when none has that key
    void WriteTrueTypeObjects(FontRecord& font);

    // ---- output and machinery that lives across documents ----
    OutputFile file_;
    std::unique_ptr<LzwEncoder> lzw_;
    std::unique_ptr<Rc4> rc4_;
    std::unique_ptr<Protection> protection_;
    std::function<bool()> fileBusyHandler_;
    std::string fixedCreationDate_;

    Error error_;  // the last one recorded

    // ---- document state (reset by Abort) ----
    std::string outputPath_;
    int32_t lastFileSize_ = 0;
    std::string title_, subject_, keywords_, author_, creator_, producer_;
    std::string creationDate_;
    float scale_ = 1;
    float paperWidth_ = 596, paperHeight_ = 842;
    float marginLeft_ = 0, marginRight_ = 0, marginTop_ = 0, marginBottom_ = 0;
    int16_t clip_ = 0;
    int32_t defaultView_ = 0, currentView_ = 0;
    int32_t viewerPreferences_ = 0;
    uint32_t compression_ = 0;
    int compressionQuality_ = 0;
    int memoryUsage_ = 1;
    uint32_t highestObject_ = 0;
    uint32_t currentObject_ = 0;
    std::vector<uint64_t> offsets_;  // per object number, UINT64_MAX when never written
    int32_t pageCount_ = 0;
    std::vector<uint32_t> pageObjects_;
    std::string kids_;
    bool pageOpen_ = false;
    int32_t versionIncrement_ = 0;
    std::string outlineRootTitle_;
    std::vector<LabelRange> pageLabels_;
    std::string fontResources_;
    std::string alphaResources_;
    int32_t alphaCount_ = 0;

    // page state; the geometry is taken from the settings when the page begins
    float pageWidth_ = 0, pageHeight_ = 0;
    float pageLeft_ = 0, pageRight_ = 0, pageTop_ = 0, pageBottom_ = 0;
    int16_t pageClip_ = 0;
    std::string content_;
    std::string annotations_;
    GraphicsState graphics_;
    std::string defaultTransition_, currentTransition_;
    float defaultDuration_ = 0, currentDuration_ = 0;

    std::vector<FontRecord> fonts_;
    TextState text_;
    // The last text run's head, kept for the next run with the same font, size and text colour.
    struct TextRunHeadCache {
        int font = -1;
        float size = 0;
        std::string textFill;
        std::string text;
    };
    TextRunHeadCache textRunHead_;
    // The last width RawWidth computed and what it was computed from.
    struct WidthMemo {
        bool valid = false;
        int64_t sum = 0;
        int blanks = 0;
        size_t count = 0;
        float size = 0, wordSpacing = 0, charSpacing = 0, horizontalScaling = 0;
        float width = 0;
    };
    mutable WidthMemo widthMemo_;

    // outline, named destinations and link areas (QuillPdfOutline.cpp)
    struct Bookmark {
        std::string title;
        int level = 0;
        int32_t page = 1;
        std::string view, color;
        int32_t style = 0;
    };
    struct NamedDest {
        std::string name;  // "_LINK_n" or "_REF_" + name
        int32_t page = 1;  // INT32_MAX for the last page
        std::string view;
    };
    std::string ViewText(int32_t mode, float x, float y, float width, float height, float zoom) const;
    void NoteDrawnArea(float x1, float y1, float x2, float y2);  // points from the margin origin
    uint32_t WriteOutline();
    uint32_t WriteNamedDests();
    std::string PdfTextString(std::string_view text);  // Windows-1252 text in PDFDocEncoding
    std::vector<Bookmark> bookmarks_;
    std::vector<NamedDest> dests_;
    int32_t linkCount_ = 0;
    bool drawn_ = false;
    float drawnX1_ = 0, drawnY1_ = 0, drawnX2_ = 0, drawnY2_ = 0;
    uint32_t outlineObject_ = 0, destsObject_ = 0;

    // raster pictures placed by DrawImage (QuillPdfImages.cpp)
    struct ImageEntry {
        std::string key;  // the file name as given and the transparency arguments
        int32_t width = 0, height = 0;  // pixels
        int32_t index = 0;  // resource name "/_IMG_" + index
    };
    uint32_t WriteImageObject(DecodedImage& image, int32_t index, const std::string& mask);
    std::vector<ImageEntry> images_;
    std::string xobjectResources_;

    // Vector drawings, QuillPdfVector.cpp: an EPS/AI drawing, or a Windows metafile when metafile is true.
    void DrawVectorFile(const std::string& file, float x, float y, float w, float h, bool metafile);
};

}  // namespace quill
