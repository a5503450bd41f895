#pragma once
// The seven Fondo Tesoreria lists.
#include <memory>
#include <string>

#include "lists/ListEngine.h"

namespace kv::lists {

enum class ListKind { CF01, CF02Arrears, TF02, TF02Arrears, CF11, Recoveries, TF14 };

std::unique_ptr<ListProcedure> MakeList(ListKind kind);

// The short name used on the command line: CF01, CF02, TF02, TF02A, CF11, RECU, TF14.
std::string ShortName(ListKind kind);

// The list procedures, one per file.
std::unique_ptr<ListProcedure> MakeTF14();
std::unique_ptr<ListProcedure> MakeCF01();
std::unique_ptr<ListProcedure> MakeCF02Arrears();
std::unique_ptr<ListProcedure> MakeCF11();
std::unique_ptr<ListProcedure> MakeRecoveries();
std::unique_ptr<ListProcedure> MakeTF02();
std::unique_ptr<ListProcedure> MakeTF02Arrears();

}  // namespace kv::lists
