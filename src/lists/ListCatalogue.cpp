#include "lists/ListCatalogue.h"

#include <array>

#include "lists/ListEngine.h"

namespace kv::lists {

namespace {

constexpr std::string_view kRecoveriesNotice =
    "Viene eseguita una lista dei recuperi in caso di anticipo o liquidazioni TFR \r"
    "vengono stampati solo i dipendenti che hanno un valore nel campo P602 o nel campo P603";

const std::array<ListInfo, 7> kLists{{
    {ListKind::CF01, "CF01", "Codice CF01", "IMPORTI VERSATI QUADRO B DM10/2 CODICE DM CF01 ", "TESCF01_", "", "",
     MakeCF01},
    {ListKind::CF02Arrears, "CF02", "Codice CF02 arretrati quote",
     "IMPORTI VERSATI QUADRO B DM10/2 CODICE DM CF02 ARRETRATI  ", "TESCF02_", "CF02 ARRETRATI", "", MakeCF02Arrears},
    {ListKind::TF02, "TF02", "Codice TF02", "IMPORTI RECUPERATI QUADRO D DM10/2 CODICE DM TF02 ", "TESTF02_", "", "",
     MakeTF02},
    {ListKind::TF02Arrears, "TF02A", "Codice TF02 arretrati",
     "IMPORTI RECUPERATI QUADRO D DM10/2 CODICE DM TF02 ARRETRATI ", "TETF02A_", "TF02 ARRETRATI", "", MakeTF02Arrears},
    {ListKind::CF11, "CF11", "Codice CF11", "IMPORTI VERSATI QUADRO B DM10/2 CODICE DM CF11 INTERESSI  ", "TESCF11_",
     "CF11 INTERESSI", "", MakeCF11},
    {ListKind::Recoveries, "RECU", "Recupero prestazioni/anticipi", "IMPORTI REC.PRESTAZIONI/ANTICIPI F.DO TESORERIA ",
     "TESRECU_", "", kRecoveriesNotice, MakeRecoveries},
    {ListKind::TF14, "TF14", "Codice TF14", "IMPORTI RECUPERATI QUADRO D DM10/2 CODICE DM TF14 ", "TESTF14_", "", "",
     MakeTF14},
}};

}  // namespace

std::span<const ListInfo> AllLists() { return kLists; }

const ListInfo& Info(ListKind kind) {
    for (const ListInfo& list : kLists)
        if (list.kind == kind) return list;
    return kLists[0];  // every kind is in the table
}

const ListInfo* FindList(std::string_view code) {
    for (const ListInfo& list : kLists)
        if (list.code == code) return &list;
    return nullptr;
}

}  // namespace kv::lists
