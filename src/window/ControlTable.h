#pragma once
// The controls of the window "Stampe Fondo Tesoreria" as the form lays them out, in twips: one table
// that each toolkit's window builds its controls from.
//
// Every control carries its name. An element of a control array is named with its index in
// brackets, as it is written in the code: "FrameSelezione(0)", "Option1(3)", "CmdStampa(1)".
#include <string_view>

namespace kv::window {

// 15 twips to a device-independent pixel (96 dpi).
inline constexpr int kTwipsPerPixel = 15;
// The window's client area.
inline constexpr int kFormWidthTwips = 7045, kFormHeightTwips = 7210;

enum class Kind { Frame, Label, List, CheckBox, Option, Command, Line };

struct Control {
    const char* name;
    Kind kind;
    const char* caption;  // Windows-1252; null for the list options, whose captions are the catalogue's
    int left, top, width, height;  // twips, relative to the parent
    const char* parent;
    double points;  // MS Sans Serif, bold (0: the window's font, MS Sans Serif 8.25)
    const char* picture;  // a command button's picture (the file name of the drawing), else null
};

// The controls in creation order; a parent comes before its children.
inline constexpr Control kControls[] = {
    {"FrameSelezione(0)", Kind::Frame, "", 60, 0, 6925, 7150, nullptr, 0, nullptr},
    {"Label1(0)", Kind::Label, " Lista Aziende in estrazione", 60, 150, 6795, 285, "FrameSelezione(0)", 9.75, nullptr},
    {"List1", Kind::List, "", 60, 450, 6795, 3600, "FrameSelezione(0)", 0, nullptr},
    {"Label3", Kind::Label, "Selezionare con un click del mouse le aziende da stampare", 90, 5820, 6735, 285,
     "FrameSelezione(0)", 8.25, nullptr},
    {"Frame1", Kind::Frame, "", 60, 4080, 6795, 1665, "FrameSelezione(0)", 0, nullptr},
    {"Label2", Kind::Label, "Selezione Tipo stampa", 90, 180, 2715, 225, "Frame1", 9.75, nullptr},
    {"Check1", Kind::CheckBox, "Seleziona tutte le aziende", 3360, 180, 3075, 270, "Frame1", 9.75, nullptr},
    {"Line2", Kind::Line, "", 60, 435, 6675, 30, "Frame1", 0, nullptr},
    {"Option1(0)", Kind::Option, nullptr, 60, 540, 3315, 255, "Frame1", 8.25, nullptr},
    {"Option1(1)", Kind::Option, nullptr, 60, 810, 3315, 255, "Frame1", 8.25, nullptr},
    {"Option1(2)", Kind::Option, nullptr, 3420, 540, 3285, 255, "Frame1", 8.25, nullptr},
    {"Option1(3)", Kind::Option, nullptr, 3420, 810, 3285, 255, "Frame1", 8.25, nullptr},
    {"Option1(4)", Kind::Option, nullptr, 60, 1080, 3315, 255, "Frame1", 8.25, nullptr},
    {"Option1(5)", Kind::Option, nullptr, 3420, 1080, 3285, 255, "Frame1", 8.25, nullptr},
    {"Option1(6)", Kind::Option, nullptr, 3420, 1350, 3285, 255, "Frame1", 8.25, nullptr},
    {"Label4", Kind::Label, "", 60, 1350, 3315, 255, "Frame1", 0, nullptr},
    // In the slot of the caption-less Label4, above it: the workbook of the list besides its PDF files.
    {"Check2", Kind::CheckBox, "Crea anche il file Excel", 60, 1350, 3315, 255, "Frame1", 8.25, nullptr},
    {"CmdStampa(0)", Kind::Command, "Crea PDF", 4620, 6150, 2205, 915, "FrameSelezione(0)", 8.25, "crea_pdf"},
    {"CmdStampa(1)", Kind::Command, "Stampa Laser", 2340, 6150, 2205, 915, "FrameSelezione(0)", 8.25, "stampa_laser"},
    {"CmdUscita(0)", Kind::Command, "&Uscita", 90, 6150, 2205, 915, "FrameSelezione(0)", 8.25, "uscita"},
    {"List2", Kind::List, "", 3210, 3240, 3375, 225, "FrameSelezione(0)", 0, nullptr},
};

// The control of this name (the first one when there is none).
constexpr const Control& FindControl(std::string_view name) {
    for (const Control& c : kControls)
        if (name == c.name) return c;
    return kControls[0];
}

// The captions Check1 takes as it selects every company or none.
inline constexpr const char* kSelectAllCaption = "Seleziona tutte le aziende";
inline constexpr const char* kDeselectAllCaption = "Deseleziona tutte le aziende";
// The progress dialog: its title, its stop button, the button once the stop is asked, and the line that
// then replaces the company's.
inline constexpr const char* kProgressTitle = "Elaborazione in corso";
inline constexpr const char* kStopCaption = "Interrompi dopo questa azienda";
inline constexpr const char* kStopAskedCaption = "Interruzione richiesta";
inline constexpr const char* kStoppingText = "Interruzione al termine dell'azienda in corso...";

// The buttons of the message boxes, whatever language the system speaks (Windows-1252).
inline constexpr const char* kYesCaption = "&S\xEC";
inline constexpr const char* kNoCaption = "&No";
inline constexpr const char* kOkCaption = "OK";
inline constexpr const char* kOpenFolderCaption = "Apri cartella";
inline constexpr const char* kShowListCaption = "Vedere l'elenco";

}  // namespace kv::window
