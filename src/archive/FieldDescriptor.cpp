// FieldDescriptor is parsed at compile time; this file checks the parser on the repository's own forms.
#include "archive/FieldDescriptor.h"

namespace kv {
namespace {
constexpr FieldDescriptor kSample = FieldDescriptor::Parse("DIPX$,00977,08,2,0,Q201");
static_assert(kSample.prefix == ArchivePrefix::DIP);
static_assert(kSample.position == 977 && kSample.length == 8 && kSample.type == '2');
static_assert(kSample.flag == '0' && kSample.CodeView() == "Q201");
static_assert(kSample.IsNumeric() && kSample.ReadDecimals() == 2 && kSample.WriteDecimals() == 2);
static_assert(kSample.blockCode == -1);
static_assert(FieldDescriptor::Parse("DI2X$,00150,05,N,0,I123").blockCode == 123);
static_assert(FieldDescriptor::Parse("XYZX$,00001,01,A,0,Z001").prefix == ArchivePrefix::Unknown);
static_assert(FieldDescriptor::Parse("").length == 0);
static_assert(PrefixFromText("SCRY$") == ArchivePrefix::SCRY && PrefixText(ArchivePrefix::GLC) == "GLCX$");
}  // namespace
}  // namespace kv
