#pragma once
// The descriptors of the suite's fields this program reads: the company record (archive 1), the
// employee record (archive 2) and the installation's FIS record (archive 19). Parsed at compile time,
// so that the per-employee loops never parse descriptor text; the demo suite writes its records
// through the same descriptors.
#include "archive/FieldDescriptor.h"

namespace kv::fields {

#define KV_FIELD(name, text) inline constexpr FieldDescriptor name = FieldDescriptor::Parse(text)

// Company record (DITX$)
KV_FIELD(T001, "DITX$,00003,03,N,0,T001");  // company code, three digits
KV_FIELD(T002, "DITX$,00006,30,A,0,T002");  // company name
KV_FIELD(T003, "DITX$,01451,10,A,0,T003");  // INPS registration number, shown beside the name
KV_FIELD(T364, "DITX$,02483,10,A,0,T364");  // owner password of the company's PDF files
KV_FIELD(T404, "DITX$,00651,01,N,0,T404");  // 1 = TF14 also lists the employees with P188 = 1

// Installation record (FISX$)
KV_FIELD(F357, "FISX$,00983,10,A,0,F357");  // password that opens the PDF files

// Employee record (DIPX$)
KV_FIELD(P001, "DIPX$,00003,10,A,0,P001");  // key in the employee index
KV_FIELD(P359, "DIPX$,00001,02,N,1,P359");  // 99 = excluded from every list
KV_FIELD(P054, "DIPX$,00223,01,N,0,P054");  // 2 = excluded from every list
KV_FIELD(P598, "DIPX$,10060,01,N,0,P598");  // Treasury Fund indicator; 0 = not in the lists
KV_FIELD(P188, "DIPX$,00208,01,N,0,P188");
KV_FIELD(P117, "DIPX$,00274,01,N,0,P117");
KV_FIELD(P511, "DIPX$,00716,01,N,0,P511");  // 1 = industry executive (guarantee fund 0.40)
KV_FIELD(P177, "DIPX$,00009,04,N,1,P177");  // employee number (last four characters of the key)
KV_FIELD(P002, "DIPX$,09515,30,A,0,P002");  // surname
KV_FIELD(P003, "DIPX$,09545,30,A,0,P003");  // first name
KV_FIELD(P916, "DIPX$,13826,01,A,0,P916");  // relief code
KV_FIELD(P013, "DIPX$,04209,08,D,0,P013");  // hiring date DDMMYYYY
KV_FIELD(P939, "DIPX$,14034,08,D,0,P939");  // relief date DDMMYYYY
KV_FIELD(P620, "DIPX$,10364,05,2,0,P620");  // own contribution rate, percent
KV_FIELD(P083, "DIPX$,00278,01,N,0,P083");  // contribution exemption
KV_FIELD(P260, "DIPX$,01941,10,2,1,P260");  // month's TFR pay
KV_FIELD(P606, "DIPX$,10235,08,2,0,P606");  // TFR pay of the additional months
KV_FIELD(P240, "DIPX$,01651,10,2,1,P240");  // social-security taxable
KV_FIELD(P268, "DIPX$,04959,10,2,1,P268");  // 13th/14th-month part of the taxable
KV_FIELD(Q201, "DIPX$,00977,08,2,0,Q201");  // month's TFR paid to the pension fund
KV_FIELD(P600, "DIPX$,10067,08,2,0,P600");
KV_FIELD(P604, "DIPX$,10219,08,2,0,P604");
KV_FIELD(P599, "DIPX$,10061,06,D,0,P599");  // adhesion MMYYYY
KV_FIELD(Q179, "DIPX$,04375,08,D,0,Q179");  // last payment DDMMYYYY
KV_FIELD(Q688, "DIPX$,10091,08,2,0,Q688");  // CF02 arrears for the DM10/2
KV_FIELD(Q689, "DIPX$,10099,08,2,0,Q689");  // CF11 interest for the DM10/2
KV_FIELD(Q691, "DIPX$,10115,08,2,0,Q691");  // TF02 arrears for the DM10/2
KV_FIELD(Q236, "DIPX$,02021,10,2,0,Q236");
KV_FIELD(Q037, "DIPX$,01001,09,2,0,Q037");  // progressive TFR pay
KV_FIELD(Q001, "DIPX$,01010,09,2,0,Q001");  // progressive contribution base
KV_FIELD(P602, "DIPX$,10203,08,2,0,P602");  // recovery on TFR settlements
KV_FIELD(P603, "DIPX$,10211,08,2,0,P603");  // recovery on TFR advances

#undef KV_FIELD

}  // namespace kv::fields
