#include "output/PackageCheck.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace kv::output {

namespace {

constexpr uint32_t kEnd = 0x06054b50, kEntry = 0x02014b50, kLocal = 0x04034b50;

void Put(std::string& bytes, size_t at, size_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<char>(value >> (8 * i) & 0xFF);
}

uint32_t Le(std::string_view bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
    return value;
}

// The part's bytes when its data inflates (or is stored) to its size and checksum.
bool Inflated(std::string_view data, int method, uint32_t size, uint32_t crc, std::string& out) {
    if (size > data.size() * 1032 + 64) return false;  // more than deflate can give
    out.assign(size, '\0');
    if (method == 0) out.assign(data);
    if (method == 8) {
        z_stream z{};
        if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return false;
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
        z.avail_in = static_cast<uInt>(data.size());
        z.next_out = reinterpret_cast<Bytef*>(out.data());
        z.avail_out = static_cast<uInt>(out.size());
        const int end = inflate(&z, Z_FINISH);
        const bool whole = end == Z_STREAM_END && z.total_out == size;
        inflateEnd(&z);
        if (!whole) return false;
    } else if (method != 0) {
        return false;
    }
    return out.size() == size &&
        crc32(0, reinterpret_cast<const Bytef*>(out.data()), static_cast<uInt>(out.size())) == crc;
}

// True when the XML text ends where its root element ends (the root never holds an element of its
// own name, so a text cut short cannot end there).
bool WholeXml(std::string_view xml) {
    size_t at = 0;
    while ((at = xml.find('<', at)) != std::string_view::npos && at + 1 < xml.size() &&
           (xml[at + 1] == '?' || xml[at + 1] == '!'))
        ++at;
    if (at == std::string_view::npos || at + 1 >= xml.size()) return false;
    const size_t nameEnd = xml.find_first_of(" \t\r\n/>", at + 1);
    const size_t tagEnd = xml.find('>', at);
    if (nameEnd == std::string_view::npos || tagEnd == std::string_view::npos) return false;
    while (!xml.empty() && (xml.back() == '\n' || xml.back() == '\r' || xml.back() == ' ')) xml.remove_suffix(1);
    if (xml[tagEnd - 1] == '/') return tagEnd + 1 == xml.size();  // an empty root
    const std::string end = "</" + std::string(xml.substr(at + 1, nameEnd - at - 1)) + ">";
    return xml.ends_with(end);
}

}  // namespace

std::string DamagedPart(std::string_view zip) {
    // The end of central directory record, then each entry of the directory and its local header.
    if (zip.size() < 22 || Le(zip, zip.size() - 22, 4) != kEnd) return "directory";
    const size_t end = zip.size() - 22;
    const uint32_t count = Le(zip, end + 10, 2), directorySize = Le(zip, end + 12, 4);
    size_t at = Le(zip, end + 16, 4);
    if (count == 0 || at > end || directorySize != end - at) return "directory";
    std::string text;
    for (uint32_t i = 0; i < count; ++i) {
        if (at + 46 > end || Le(zip, at, 4) != kEntry) return "directory";
        const uint32_t nameLength = Le(zip, at + 28, 2);
        const size_t next = at + 46 + nameLength + Le(zip, at + 30, 2) + Le(zip, at + 32, 2);
        if (next > end) return "directory";
        const std::string name(zip.substr(at + 46, nameLength));
        const size_t local = Le(zip, at + 42, 4), packed = Le(zip, at + 20, 4);
        if (local + 30 > end || Le(zip, local, 4) != kLocal) return name;
        const size_t data = local + 30 + Le(zip, local + 26, 2) + Le(zip, local + 28, 2);
        if (data > end || packed > end - data) return name;
        if (!Inflated(zip.substr(data, packed), static_cast<int>(Le(zip, at + 10, 2)), Le(zip, at + 24, 4),
                      Le(zip, at + 16, 4), text))
            return name;
        if ((name.ends_with(".xml") || name.ends_with(".rels")) && !WholeXml(text)) return name;
        at = next;
    }
    return "";
}

namespace {

// The directory's entries (their offsets), or none when it cannot be read.
std::vector<size_t> Entries(std::string_view zip) {
    if (zip.size() < 22 || Le(zip, zip.size() - 22, 4) != kEnd) return {};
    const size_t end = zip.size() - 22;
    std::vector<size_t> entries;
    size_t at = Le(zip, end + 16, 4);
    for (uint32_t i = 0, count = Le(zip, end + 10, 2); i < count; ++i) {
        if (at + 46 > end || Le(zip, at, 4) != kEntry) return {};
        entries.push_back(at);
        at += 46 + Le(zip, at + 28, 2) + Le(zip, at + 30, 2) + Le(zip, at + 32, 2);
    }
    return at == end ? entries : std::vector<size_t>{};
}

std::string_view EntryName(std::string_view zip, size_t entry) {
    return zip.substr(entry + 46, Le(zip, entry + 28, 2));
}

}  // namespace

std::string PartText(std::string_view zip, const std::string& name) {
    for (const size_t at : Entries(zip)) {
        const size_t local = Le(zip, at + 42, 4), packed = Le(zip, at + 20, 4);
        if (EntryName(zip, at) != name || local + 30 > zip.size()) continue;
        const size_t data = local + 30 + Le(zip, local + 26, 2) + Le(zip, local + 28, 2);
        std::string text;
        if (data <= zip.size() && packed <= zip.size() - data &&
            Inflated(zip.substr(data, packed), static_cast<int>(Le(zip, at + 10, 2)), Le(zip, at + 24, 4),
                     Le(zip, at + 16, 4), text))
            return text;
    }
    return "";
}

std::string WithPart(std::string_view zip, const std::string& name, const std::string& content) {
    const std::vector<size_t> entries = Entries(zip);
    if (entries.empty()) return std::string(zip);
    // Each part's bytes run from its local header to the next part's (or to the directory).
    const size_t directory = Le(zip, zip.size() - 22 + 16, 4);
    std::vector<size_t> starts{directory};
    for (const size_t at : entries) starts.push_back(Le(zip, at + 42, 4));
    std::sort(starts.begin(), starts.end());
    if (starts.back() != directory) return std::string(zip);
    std::string out, central;
    bool found = false;
    for (const size_t at : entries) {
        const size_t local = Le(zip, at + 42, 4);
        const size_t next = *std::upper_bound(starts.begin(), starts.end(), local);
        std::string entry(zip.substr(at, 46 + Le(zip, at + 28, 2) + Le(zip, at + 30, 2) + Le(zip, at + 32, 2)));
        Put(entry, 42, out.size(), 4);
        if (EntryName(zip, at) == name && local + 30 <= next) {
            found = true;
            const uint32_t crc =
                crc32(0, reinterpret_cast<const Bytef*>(content.data()), static_cast<uInt>(content.size()));
            std::string header(zip.substr(local, 30));
            const size_t flags = Le(zip, at + 8, 2) & ~8u;  // sizes in the header, no descriptor after the data
            for (std::string* h : {&header, &entry}) {
                const size_t base = h == &header ? 0 : 2;  // the directory's entry has a version more
                Put(*h, base + 6, flags, 2), Put(*h, base + 8, 0, 2), Put(*h, base + 14, crc, 4);
                Put(*h, base + 18, content.size(), 4), Put(*h, base + 22, content.size(), 4);
            }
            Put(header, 26, name.size(), 2), Put(header, 28, 0, 2);
            out += header + name + content;
        } else {
            out.append(zip.substr(local, next - local));
        }
        central += entry;
    }
    if (!found) return std::string(zip);
    std::string endRecord(zip.substr(zip.size() - 22));
    Put(endRecord, 12, central.size(), 4), Put(endRecord, 16, out.size(), 4);
    return out + central + endRecord;
}

}  // namespace kv::output
