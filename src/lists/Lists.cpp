#include "lists/Lists.h"

namespace kv::lists {

std::unique_ptr<ListProcedure> MakeList(ListKind kind) {
    switch (kind) {
    case ListKind::CF01: return MakeCF01();
    case ListKind::CF02Arrears: return MakeCF02Arrears();
    case ListKind::TF02: return MakeTF02();
    case ListKind::TF02Arrears: return MakeTF02Arrears();
    case ListKind::CF11: return MakeCF11();
    case ListKind::Recoveries: return MakeRecoveries();
    case ListKind::TF14: return MakeTF14();
    }
    return nullptr;
}

std::string ShortName(ListKind kind) {
    switch (kind) {
    case ListKind::CF01: return "CF01";
    case ListKind::CF02Arrears: return "CF02";
    case ListKind::TF02: return "TF02";
    case ListKind::TF02Arrears: return "TF02A";
    case ListKind::CF11: return "CF11";
    case ListKind::Recoveries: return "RECU";
    case ListKind::TF14: return "TF14";
    }
    return {};
}

}  // namespace kv::lists
