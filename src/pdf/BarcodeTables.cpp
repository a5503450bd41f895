// Encodation tables of the barcodes (the published symbology tables) and the
// symbol sequences: check digits, Code 39 full ASCII, Code 128 subsets B/C.
#include "pdf/BarcodeTables.h"

namespace quill::barcode {

const char* const kEanA[10] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                               "0110001", "0101111", "0111011", "0110111", "0001011"};
const char* const kEanB[10] = {"0100111", "0110011", "0011011", "0100001", "0011101",
                               "0111001", "0000101", "0010001", "0001001", "0010111"};
const char* const kEanC[10] = {"1110010", "1100110", "1101100", "1000010", "1011100",
                               "1001110", "1010000", "1000100", "1001000", "1110100"};
const char* const kEanParity[10] = {"AAAAAA", "AABABB", "AABBAB", "AABBBA", "ABAABB",
                                    "ABBAAB", "ABBBAA", "ABABAB", "ABABBA", "ABBABA"};

const char kCode39Set[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%*";
const char* const kCode39[44] = {
    "bwbWBwBwb", "BwbWbwbwB", "bwBWbwbwB", "BwBWbwbwb", "bwbWBwbwB", "BwbWBwbwb", "bwBWBwbwb", "bwbWbwBwB", "BwbWbwBwb",
    "bwBWbwBwb", "BwbwbWbwB", "bwBwbWbwB", "BwBwbWbwb", "bwbwBWbwB", "BwbwBWbwb", "bwBwBWbwb", "bwbwbWBwB", "BwbwbWBwb",
    "bwBwbWBwb", "bwbwBWBwb", "BwbwbwbWB", "bwBwbwbWB", "BwBwbwbWb", "bwbwBwbWB", "BwbwBwbWb", "bwBwBwbWb", "bwbwbwBWB",
    "BwbwbwBWb", "bwBwbwBWb", "bwbwBwBWb", "BWbwbwbwB", "bWBwbwbwB", "BWBwbwbwb", "bWbwBwbwB", "BWbwBwbwb", "bWBwBwbwb",
    "bWbwbwBwB", "BWbwbwBwb", "bWBwbwBwb", "bWbWbWbwb", "bWbWbwbWb", "bWbwbWbWb", "bwbWbWbWb", "bWbwBwBwb"};

const char* const kInterleaved[10] = {"nnwwn", "wnnnw", "nwnnw", "wwnnn", "nnwnw",
                                      "wnwnn", "nwwnn", "nnnww", "wnnwn", "nwnwn"};

const char* const kPostnet[10] = {"11000", "00011", "00101", "00110", "01001",
                                  "01010", "01100", "10001", "10010", "10100"};

namespace {

// Code 128 element widths (bar, space, bar, ...) of the values 0..106.
const char* const kCode128Widths[107] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212", "221213", "221312",
    "231212", "112232", "122132", "122231", "113222", "123122", "123221", "223211", "221132", "221231", "213212",
    "223112", "312131", "311222", "321122", "321221", "312212", "322112", "322211", "212123", "212321", "232121",
    "111323", "131123", "131321", "112313", "132113", "132311", "211313", "231113", "231311", "112133", "112331",
    "132131", "113123", "113321", "133121", "313121", "211331", "231131", "213113", "213311", "213131", "311123",
    "311321", "331121", "312113", "312311", "332111", "314111", "221411", "431111", "111224", "111422", "121124",
    "121421", "141122", "141221", "112214", "112412", "122114", "122411", "142112", "142211", "241211", "221114",
    "413111", "241112", "134111", "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112",
    "421211", "212141", "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311",
    "113141", "114131", "311141", "411131", "211412", "211214", "211232", "2331112"};

constexpr int kStartB = 104, kStartC = 105, kCodeB = 100, kCodeC = 99, kStop = 106;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string Code128Pattern(int value) {
    std::string modules;
    if (value < 0 || value > kStop) return modules;
    bool dark = true;
    for (const char* w = kCode128Widths[value]; *w != '\0'; ++w, dark = !dark)
        modules.append(static_cast<size_t>(*w - '0'), dark ? '1' : '0');
    return modules;
}

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (!IsDigit(c)) return false;
    }
    return true;
}

char WeightedCheck(std::string_view digits) {
    int sum = 0, weight = 3;
    for (size_t i = digits.size(); i-- > 0; weight = 4 - weight) sum += (digits[i] - '0') * weight;
    return static_cast<char>('0' + (10 - sum % 10) % 10);
}

char SumCheck(std::string_view digits) {
    int sum = 0;
    for (char c : digits) sum += c - '0';
    return static_cast<char>('0' + (10 - sum % 10) % 10);
}

std::string Code39Expand(std::string_view code) {
    // Pairs for the bytes that the 43-character set lacks; "" where it has them.
    static const char* const kFull[128] = {
        "%U", "$A", "$B", "$C", "$D", "$E", "$F", "$G", "$H", "$I", "$J", "$K", "$L", "$M", "$N", "$O",
        "$P", "$Q", "$R", "$S", "$T", "$U", "$V", "$W", "$X", "$Y", "$Z", "%A", "%B", "%C", "%D", "%E",
        "",   "/A", "/B", "/C", "/D", "/E", "/F", "/G", "/H", "/I", "/J", "/K", "/L", "",   "",   "/O",
        "",   "",   "",   "",   "",   "",   "",   "",   "",   "",   "/Z", "%F", "%G", "%H", "%I", "%J",
        "%V", "",   "",   "",   "",   "",   "",   "",   "",   "",   "",   "",   "",   "",   "",   "",
        "",   "",   "",   "",   "",   "",   "",   "",   "",   "",   "",   "%K", "%L", "%M", "%N", "%O",
        "%W", "+A", "+B", "+C", "+D", "+E", "+F", "+G", "+H", "+I", "+J", "+K", "+L", "+M", "+N", "+O",
        "+P", "+Q", "+R", "+S", "+T", "+U", "+V", "+W", "+X", "+Y", "+Z", "%P", "%Q", "%R", "%S", "%T"};
    std::string out;
    for (char c : code) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u > 127) return "";
        if (*kFull[u] != '\0')
            out += kFull[u];
        else
            out.push_back(c);
    }
    return out;
}

char Code39Check(std::string_view expanded) {
    const std::string_view set(kCode39Set, 43);
    size_t sum = 0;
    for (char c : expanded) sum += set.find(c);
    return set[sum % 43];
}

std::vector<int> Code128Symbols(std::string_view code) {
    std::vector<int> symbols;
    if (code.empty()) return symbols;
    for (char c : code) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 32 || u > 126) return symbols;
    }
    const size_t length = code.size();
    auto digitsFrom = [&](size_t i, size_t n) {  // 0-based i
        if (i + n > length) return false;
        for (size_t k = i; k < i + n; ++k) {
            if (!IsDigit(code[k])) return false;
        }
        return true;
    };
    bool subsetC = false;
    size_t i = 0;
    while (i < length) {
        if (!subsetC) {
            // Four digits are worth subset C at the start and at the end, six elsewhere.
            const size_t n = (i == 0 || i + 4 == length) ? 4 : 6;
            if (digitsFrom(i, n)) {
                symbols.push_back(i == 0 ? kStartC : kCodeC);
                subsetC = true;
                continue;
            }
            if (i == 0) symbols.push_back(kStartB);
        } else if (digitsFrom(i, 2)) {
            symbols.push_back((code[i] - '0') * 10 + (code[i + 1] - '0'));
            i += 2;
            continue;
        } else {
            symbols.push_back(kCodeB);
            subsetC = false;
        }
        symbols.push_back(static_cast<unsigned char>(code[i]) - 32);
        ++i;
    }
    long sum = symbols.front();
    for (size_t k = 1; k < symbols.size(); ++k) sum += static_cast<long>(k) * symbols[k];
    symbols.push_back(static_cast<int>(sum % 103));
    symbols.push_back(kStop);
    return symbols;
}

}  // namespace quill::barcode
