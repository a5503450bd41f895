#pragma once
// The seven Fondo Tesoreria lists, in the order of the window's option buttons: what each one is
// called, what it prints at the top of its pages, how its files are named and which procedure makes
// it. The window, the batch run, the workbooks, the anomaly report and the tests all go through this
// table.
#include <memory>
#include <span>
#include <string_view>

namespace kv::lists {

class ListProcedure;

enum class ListKind { CF01, CF02Arrears, TF02, TF02Arrears, CF11, Recoveries, TF14 };

struct ListInfo {
    ListKind kind;
    std::string_view code;  // on the command line and in the anomaly lines: CF01, CF02, TF02A, RECU...
    std::string_view option;  // the caption of its option button
    std::string_view title;  // the start of each page's first line, with its trailing blanks
    std::string_view filePrefix;  // of its PDF files and workbooks: "TESTF14_"
    // The DM10/2 code of a list of the adhesion month ("CF02 ARRETRATI"): such a list is announced
    // before it runs and refused for an additional month. Empty for the other lists.
    std::string_view adhesionCode;
    // The notice shown before any other list runs (empty: none).
    std::string_view notice;
    std::unique_ptr<ListProcedure> (*make)();
};

// Every list, in the window's order.
std::span<const ListInfo> AllLists();
const ListInfo& Info(ListKind kind);
// The list of a command-line code; null for an unknown code.
const ListInfo* FindList(std::string_view code);

// The list procedures, one per file.
std::unique_ptr<ListProcedure> MakeCF01();
std::unique_ptr<ListProcedure> MakeCF02Arrears();
std::unique_ptr<ListProcedure> MakeTF02();
std::unique_ptr<ListProcedure> MakeTF02Arrears();
std::unique_ptr<ListProcedure> MakeCF11();
std::unique_ptr<ListProcedure> MakeRecoveries();
std::unique_ptr<ListProcedure> MakeTF14();

}  // namespace kv::lists
