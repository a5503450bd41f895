// The library's version text, written into every document header and returned by Version().
namespace quill {
const char* const kLibraryVersion = "2.4.8";
const char* const kLibraryName = "QuillPdf Library";
}  // namespace quill
