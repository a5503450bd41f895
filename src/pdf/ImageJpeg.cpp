// JPEG pictures: the file is embedded as it is (/DCTDecode), so nothing is
// decoded to pixels. What viewers will have to decode is checked instead: every
// marker segment from the start-of-image to the end-of-image marker lies inside
// the file and is well formed, and every scan's entropy-coded data is walked
// code by code through its Huffman tables, so that a damaged table, a damaged
// scan or data cut short is refused rather than embedded.
#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "pdf/Images.h"

namespace quill {

using namespace image;

namespace {

constexpr const char* kJpeg = "JPEG";

bool IsRefusedFrame(uint32_t m) {
    // lossless, hierarchical and arithmetic-coded frames, which common readers do not decode
    return m == 0xC3 || (m >= 0xC5 && m <= 0xC7) || (m >= 0xC9 && m <= 0xCB) || (m >= 0xCD && m <= 0xCF);
}

// Segments a reader skips or reads without our help: DAC, DQT, DRI, DNL, APPn and COM.
bool IsKnownSegment(uint32_t m) {
    return m == 0xCC || m == 0xDB || m == 0xDD || m == 0xDC || (m >= 0xE0 && m <= 0xEF) || m == 0xFE;
}

struct HuffmanTable {
    bool defined = false;
    uint32_t count[17]{};  // codes of each length
    int32_t first[17]{};  // the first code of each length
    uint32_t index[17]{};  // and the position of its value
    uint8_t values[256]{};
};

struct Component {
    uint32_t id = 0, h = 1, v = 1;
    uint32_t blocksWide = 0, blocksHigh = 0;  // of the component alone (non-interleaved scans)
    int32_t level[64];  // progressive: the bit position each coefficient has reached; -1 before its first scan
    std::vector<uint64_t> nonzero;  // progressive: per block, the coefficients known to be nonzero
};

// Bits of one scan's entropy-coded data, with the stuffed zero bytes removed.
// Any other marker where a bit is needed means the data ends too early.
class BitReader {
public:
    BitReader(const Bytes& b, uint64_t pos) : b_(b), pos_(pos) {}
    uint64_t Pos() const { return pos_; }
    uint32_t Bit() {
        if (bits_ == 0) {
            const uint32_t byte = b_.U8(pos_);
            if (byte == 0xFF && b_.U8(pos_ + 1) != 0x00) Refuse(kJpeg, "it ends too early (the picture data is cut)");
            pos_ += byte == 0xFF ? 2 : 1;
            acc_ = byte;
            bits_ = 8;
        }
        return acc_ >> --bits_ & 1;
    }
    uint32_t Bits(uint32_t n) {
        uint32_t v = 0;
        while (n-- > 0) v = v << 1 | Bit();
        return v;
    }
    uint32_t Decode(const HuffmanTable& t) {
        int32_t code = 0;
        for (int length = 1; length <= 16; ++length) {
            code = code << 1 | static_cast<int32_t>(Bit());
            if (code >= t.first[length] && code - t.first[length] < static_cast<int32_t>(t.count[length]))
                return t.values[t.index[length] + static_cast<uint32_t>(code - t.first[length])];
        }
        Refuse(kJpeg, "the picture data is damaged (a code its Huffman table lacks)");
    }
    // The restart marker that must end an interval: the bits left in the byte are padding.
    void Restart(uint32_t n) {
        bits_ = 0;
        if (b_.U8(pos_) != 0xFF) Refuse(kJpeg, "the picture data is damaged (a restart marker is missing)");
        while (b_.U8(pos_) == 0xFF) ++pos_;
        if (b_.U8(pos_++) != 0xD0 + n) Refuse(kJpeg, "the picture data is damaged (a restart marker is missing)");
    }

private:
    const Bytes& b_;
    uint64_t pos_;
    uint32_t acc_ = 0;
    int bits_ = 0;
};

class JpegWalk {
public:
    JpegWalk(std::string_view file, DecodedImage& out) : file_(file), b_(file, kJpeg), out_(out) {}

    // Walks the file; returns the end of its end-of-image marker.
    uint64_t Walk(uint64_t pos) {
        for (;;) {
            if (b_.U8(pos) != 0xFF) Refuse(kJpeg, "no marker where one is expected");
            while (b_.U8(pos) == 0xFF) ++pos;  // fill bytes
            const uint32_t marker = b_.U8(pos++);
            if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) continue;  // no length
            if (marker == 0xD9) {
                if (!scanned_) Refuse(kJpeg, "the picture data is missing");
                for (const Component& c : components_) {
                    if (c.level[0] < 0) Refuse(kJpeg, "it ends too early (a colour component has no data)");
                }
                return pos;
            }
            if (marker == 0x00 || marker == 0xD8) Refuse(kJpeg, "the picture data is missing");
            if (IsRefusedFrame(marker))
                Refuse(kJpeg, "lossless, hierarchical and arithmetic-coded pictures are not supported");
            const uint64_t length = b_.U16Big(pos);
            if (length < 2 || !b_.Has(pos, length)) Refuse(kJpeg, "a segment reaches past the end of the file");
            const uint64_t body = pos + 2, size = length - 2;
            pos += length;
            if (marker >= 0xC0 && marker <= 0xC2) {
                Frame(body, size, marker == 0xC2);
            } else if (marker == 0xC4) {
                HuffmanTables(body, size);
            } else if (marker == 0xDB) {
                for (uint64_t at = body, end = body + size; at < end;) {
                    const uint32_t pq = b_.U8(at) >> 4, tq = b_.U8(at) & 15;
                    at += pq == 0 ? 65 : 129;
                    if (pq > 1 || tq > 3 || at > end) Refuse(kJpeg, "a quantisation table is damaged");
                }
            } else if (marker == 0xDD) {
                if (size != 2) Refuse(kJpeg, "the restart interval is damaged");
                restartInterval_ = b_.U16Big(body);
            } else if (marker == 0xEE && size >= 5 && b_.View(body, 5) == "Adobe") {
                adobe_ = true;
            } else if (marker == 0xDA) {
                pos = Scan(body, size);
            } else if (!IsKnownSegment(marker)) {
                Refuse(kJpeg, "a marker no reader knows");
            }
        }
    }

    bool Adobe() const { return adobe_; }
    size_t Components() const { return components_.size(); }

private:
    void Frame(uint64_t body, uint64_t size, bool progressive) {
        if (!components_.empty()) Refuse(kJpeg, "a second frame header");
        if (size < 6) Refuse(kJpeg, "the frame header is too short");
        if (b_.U8(body) != 8) Refuse(kJpeg, "only 8-bit samples can be embedded");
        out_.height = b_.U16Big(body + 1);
        out_.width = b_.U16Big(body + 3);
        const uint32_t count = b_.U8(body + 5);
        if (out_.width == 0 || out_.height == 0) Refuse(kJpeg, "the picture has no pixels");
        if (count != 1 && count != 3 && count != 4) Refuse(kJpeg, "only grey, RGB and CMYK pictures can be embedded");
        if (size != 6 + 3 * count) Refuse(kJpeg, "the frame header is damaged");
        CheckedRowBytes(kJpeg, out_.width, out_.height, 8ull * count);
        progressive_ = progressive;
        components_.resize(count);
        for (uint32_t i = 0; i < count; ++i) {
            Component& c = components_[i];
            c.id = b_.U8(body + 6 + 3 * i);
            c.h = b_.U8(body + 7 + 3 * i) >> 4;
            c.v = b_.U8(body + 7 + 3 * i) & 15;
            if (c.h < 1 || c.h > 4 || c.v < 1 || c.v > 4 || b_.U8(body + 8 + 3 * i) > 3)
                Refuse(kJpeg, "the frame header is damaged");
            std::fill(std::begin(c.level), std::end(c.level), -1);
            maxH_ = std::max(maxH_, c.h);
            maxV_ = std::max(maxV_, c.v);
        }
        for (Component& c : components_) {
            c.blocksWide = static_cast<uint32_t>(((uint64_t{out_.width} * c.h + maxH_ - 1) / maxH_ + 7) / 8);
            c.blocksHigh = static_cast<uint32_t>(((uint64_t{out_.height} * c.v + maxV_ - 1) / maxV_ + 7) / 8);
        }
    }

    // One or more tables: class and slot, the 16 counts, the values. A table's
    // codes must fit their lengths (no code of all one bits), and its values
    // must be sizes that 8-bit samples can have.
    void HuffmanTables(uint64_t body, uint64_t size) {
        for (uint64_t at = body, end = body + size; at < end;) {
            if (end - at < 17) Refuse(kJpeg, "a Huffman table is damaged");
            const uint32_t kind = b_.U8(at) >> 4, slot = b_.U8(at) & 15;
            if (kind > 1 || slot > 3) Refuse(kJpeg, "a Huffman table is damaged");
            HuffmanTable& t = tables_[kind][slot];
            uint32_t total = 0;
            int32_t code = 0;
            for (int length = 1; length <= 16; ++length) {
                t.count[length] = b_.U8(at + length);
                t.first[length] = code;
                t.index[length] = total;
                code += static_cast<int32_t>(t.count[length]);
                total += t.count[length];
                if (code >= 1 << length) Refuse(kJpeg, "a Huffman table is damaged (its codes do not fit)");
                code <<= 1;
            }
            at += 17;
            if (total > end - at) Refuse(kJpeg, "a Huffman table is damaged (it holds fewer values than it counts)");
            for (uint32_t i = 0; i < total; ++i) {
                t.values[i] = static_cast<uint8_t>(b_.U8(at + i));
                if (kind == 0 ? t.values[i] > 11 : (t.values[i] & 15) > 10)
                    Refuse(kJpeg, "a Huffman table is damaged (a value out of range)");
            }
            at += total;
            t.defined = true;
        }
    }

    // The scan header, then its entropy-coded data; returns the position of the marker after it.
    uint64_t Scan(uint64_t body, uint64_t size) {
        if (components_.empty()) Refuse(kJpeg, "picture data before the frame header");
        const uint32_t count = b_.U8(body);
        if (count < 1 || count > 4 || size != 4 + 2 * count) Refuse(kJpeg, "a scan header is damaged");
        const uint64_t params = body + 1 + 2 * count;
        ss_ = b_.U8(params);
        se_ = b_.U8(params + 1);
        ah_ = b_.U8(params + 2) >> 4;
        al_ = b_.U8(params + 2) & 15;
        bool bad = progressive_
            ? (ss_ == 0 ? se_ != 0 : ss_ > se_ || se_ > 63 || count != 1) || al_ > 13 || (ah_ != 0 && al_ != ah_ - 1)
            : ss_ != 0 || se_ != 63 || ah_ != 0 || al_ != 0;
        scan_.clear();
        uint32_t blocks = 0;
        for (uint32_t i = 0; i < count; ++i) {
            const uint32_t id = b_.U8(body + 1 + 2 * i), td = b_.U8(body + 2 + 2 * i) >> 4,
                           ta = b_.U8(body + 2 + 2 * i) & 15;
            auto c =
                std::find_if(components_.begin(), components_.end(), [id](const Component& k) { return k.id == id; });
            if (c == components_.end() || std::find(scan_.begin(), scan_.end(), &*c) != scan_.end() || td > 3 || ta > 3)
                Refuse(kJpeg, "a scan header is damaged");
            scan_.push_back(&*c);
            dc_[i] = &tables_[0][td];
            ac_[i] = &tables_[1][ta];
            // Tables the data will be read with: DC for a first DC scan, AC for any AC band.
            if ((ss_ == 0 && ah_ == 0 && !dc_[i]->defined) || (se_ > 0 && !ac_[i]->defined))
                Refuse(kJpeg, "a scan uses a Huffman table the file does not define");
            blocks += c->h * c->v;
            // AC bands follow the component's first DC scan, whose data, one code or more per block, bounds
            // the memory their state takes.
            bad = bad || (progressive_ && ss_ > 0 && c->level[0] < 0);
            for (uint32_t k = ss_; k <= se_ && !bad; ++k) {
                bad = progressive_ ? (ah_ == 0 ? c->level[k] != -1 : c->level[k] != static_cast<int32_t>(ah_))
                                   : c->level[k] != -1;
                c->level[k] = static_cast<int32_t>(al_);
            }
            if (!bad && progressive_ && se_ > 0 && c->nonzero.empty())
                c->nonzero.assign(uint64_t{c->blocksWide} * c->blocksHigh, 0);
        }
        if (bad || (count > 1 && blocks > 10)) Refuse(kJpeg, "a scan header is damaged");
        scanned_ = true;
        return Data(body + size);
    }

    uint64_t Data(uint64_t pos) {
        BitReader bits(b_, pos);
        const bool interleaved = scan_.size() > 1;
        const Component& first = *scan_[0];
        const uint64_t wide = interleaved ? (out_.width + 8 * maxH_ - 1) / (8 * maxH_) : first.blocksWide;
        const uint64_t mcus = wide * (interleaved ? (out_.height + 8 * maxV_ - 1) / (8 * maxV_) : first.blocksHigh);
        eobRun_ = 0;
        for (uint64_t mcu = 0, restart = 0; mcu < mcus; ++mcu) {
            if (restartInterval_ != 0 && mcu != 0 && mcu % restartInterval_ == 0) {
                bits.Restart(restart++ & 7);
                eobRun_ = 0;
            }
            if (!interleaved) {
                Block(bits, 0, scan_[0]->nonzero.empty() ? nullptr : &scan_[0]->nonzero[mcu]);
                continue;
            }
            for (size_t i = 0; i < scan_.size(); ++i) {
                for (uint32_t n = 0; n < scan_[i]->h * scan_[i]->v; ++n) Block(bits, i, nullptr);
            }
        }
        // What follows the last unit up to the next marker is padding; restart markers there are ignored.
        for (pos = bits.Pos();; ++pos) {
            const void* found = std::memchr(file_.data() + pos, 0xFF, file_.size() - pos);
            if (found == nullptr) Refuse(kJpeg, "it ends too early (no end-of-image marker)");
            pos = static_cast<uint64_t>(static_cast<const char*>(found) - file_.data());
            const uint32_t next = b_.U8(pos + 1);
            if (next != 0x00 && next != 0xFF && (next < 0xD0 || next > 0xD7)) return pos;
        }
    }

    // One 8 x 8 block of the scan's component i; nonzero is the block's state in progressive AC scans.
    void Block(BitReader& bits, size_t i, uint64_t* nonzero) {
        auto damaged = [] { Refuse(kJpeg, "the picture data is damaged (a coefficient beyond its block)"); };
        if (!progressive_) {
            bits.Bits(bits.Decode(*dc_[i]));
            for (uint32_t k = 1; k < 64;) {
                const uint32_t rs = bits.Decode(*ac_[i]), r = rs >> 4, s = rs & 15;
                if (s == 0 && r != 15) break;
                k += r + (s == 0 ? 1 : 0);
                if (k > (s == 0 ? 64u : 63u)) damaged();
                bits.Bits(s);
                if (s != 0) ++k;
            }
        } else if (ss_ == 0) {
            if (ah_ == 0)
                bits.Bits(bits.Decode(*dc_[i]));
            else
                bits.Bit();
        } else if (ah_ == 0) {
            if (eobRun_ > 0) {
                --eobRun_;
                return;
            }
            for (uint32_t k = ss_; k <= se_; ++k) {
                const uint32_t rs = bits.Decode(*ac_[i]), r = rs >> 4, s = rs & 15;
                if (s == 0 && r != 15) {
                    eobRun_ = (1u << r) + bits.Bits(r) - 1;
                    break;
                }
                k += r;
                if (k > se_) damaged();
                bits.Bits(s);
                if (s != 0) *nonzero |= uint64_t{1} << k;
            }
        } else {
            uint32_t k = ss_;
            if (eobRun_ == 0) {
                for (; k <= se_; ++k) {
                    const uint32_t rs = bits.Decode(*ac_[i]), s = rs & 15;
                    int32_t r = static_cast<int32_t>(rs >> 4);
                    if (s > 1) Refuse(kJpeg, "the picture data is damaged (a refinement larger than one bit)");
                    if (s == 1) bits.Bit();
                    if (s == 0 && r != 15) {
                        eobRun_ = (1u << r) + bits.Bits(static_cast<uint32_t>(r));
                        break;
                    }
                    for (; k <= se_; ++k) {  // correction bits of the nonzero ones, up to the r-th zero one
                        if (*nonzero >> k & 1)
                            bits.Bit();
                        else if (--r < 0)
                            break;
                    }
                    if (s == 1) {
                        if (k > se_) damaged();
                        *nonzero |= uint64_t{1} << k;
                    }
                }
            }
            if (eobRun_ > 0) {  // the rest of the band: correction bits of its nonzero coefficients
                if (k <= se_) {
                    const uint64_t band = (~uint64_t{0} >> (63 - se_)) & (~uint64_t{0} << k);
                    bits.Bits(static_cast<uint32_t>(std::popcount(*nonzero & band)));
                }
                --eobRun_;
            }
        }
    }

    std::string_view file_;
    Bytes b_;
    DecodedImage& out_;
    std::vector<Component> components_;
    HuffmanTable tables_[2][4];
    bool progressive_ = false, adobe_ = false, scanned_ = false;
    uint32_t maxH_ = 1, maxV_ = 1, restartInterval_ = 0;
    // the scan being read
    std::vector<Component*> scan_;
    const HuffmanTable* dc_[4]{};
    const HuffmanTable* ac_[4]{};
    uint32_t ss_ = 0, se_ = 0, ah_ = 0, al_ = 0, eobRun_ = 0;
};

}  // namespace

Error ReadJpeg(std::string_view file, DecodedImage& out) {
    try {
        const size_t soi = file.find("\xFF\xD8");
        if (soi == std::string_view::npos) Refuse(kJpeg, "no start-of-image marker");
        JpegWalk walk(file, out);
        const uint64_t end = walk.Walk(soi + 2);
        const size_t components = walk.Components();
        out.color = components == 1 ? ImageColor::Gray : components == 3 ? ImageColor::Rgb : ImageColor::Cmyk;
        out.bits = 8;
        out.inverted = components == 4 && walk.Adobe();
        out.dct = true;
        out.data.assign(file.substr(soi, end - soi));  // from its start to its end marker
        return {};
    } catch (const Refused& refused) {
        return refused.error;
    }
}

}  // namespace quill
