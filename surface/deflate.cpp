#include "surface/deflate.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace files {

namespace {
constexpr int kMaxMatch = 258;
constexpr int kMaxDistance = 32768;

// Deflate's tables (RFC 1951, 3.2.5): the first length of each length symbol from 257, and
// the first distance of each distance symbol, with their extra bits.
constexpr std::array<int, 29> kLengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                             15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                             67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<int, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                              2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<int, 30> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<int, 30> kDistanceExtra = {0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

// A Huffman code as the stream carries it: first bit lowest.
struct Code {
    std::uint16_t bits;
    std::uint8_t length;
};

constexpr Code reversed(unsigned code, int length) {
    unsigned r = 0;
    for (int i = 0; i < length; ++i) r |= ((code >> i) & 1u) << (length - 1 - i);
    return {static_cast<std::uint16_t>(r), static_cast<std::uint8_t>(length)};
}

// The fixed literal/length codes (RFC 1951, 3.2.6).
constexpr std::array<Code, 288> kLiteralCodes = [] {
    std::array<Code, 288> codes{};
    for (unsigned v = 0; v < 288; ++v) {
        if (v < 144)
            codes[v] = reversed(0x30 + v, 8);
        else if (v < 256)
            codes[v] = reversed(0x190 + v - 144, 9);
        else if (v < 280)
            codes[v] = reversed(v - 256, 7);
        else
            codes[v] = reversed(0xC0 + v - 280, 8);
    }
    return codes;
}();

// Bits, first bit lowest, into a buffer large enough for them; with no buffer, only
// counted.
class BitWriter {
  public:
    explicit BitWriter(char* out) : out_(out) {}
    void put(std::uint32_t bits, int count) {
        counted_ += count;
        if (out_ == nullptr) return;
        acc_ |= std::uint64_t(bits) << used_;
        used_ += count;
        while (used_ >= 8) {
            *out_++ = char(acc_ & 0xFF);
            acc_ >>= 8;
            used_ -= 8;
        }
    }
    void put(Code c) { put(c.bits, c.length); }
    char* finish() {
        if (used_ > 0) *out_++ = char(acc_ & 0xFF);
        used_ = 0;
        acc_ = 0;
        return out_;
    }

    qint64 counted() const { return counted_; }

  private:
    char* out_;
    std::uint64_t acc_ = 0;
    int used_ = 0;
    qint64 counted_ = 0;
};

class Encoder {
  public:
    explicit Encoder(char* out) : bits_(out) {}
    BitWriter& bits() { return bits_; }

    void literal(unsigned char byte) { bits_.put(kLiteralCodes[byte]); }

    // `length` bytes (3 or more) copied from `distance` back, in pieces deflate can carry:
    // none longer than 258, none shorter than 3.
    void match(qsizetype length, int distance) {
        while (length > 0) {
            int piece = int(std::min<qsizetype>(length, kMaxMatch));
            if (length - piece > 0 && length - piece < 3) piece = length - 3;
            copy(piece, distance);
            length -= piece;
        }
    }

  private:
    void copy(int length, int distance) {
        const int l = int(std::upper_bound(kLengthBase.begin(), kLengthBase.end(), length) -
                          kLengthBase.begin()) -
                      1;
        bits_.put(kLiteralCodes[257 + std::size_t(l)]);
        bits_.put(std::uint32_t(length - kLengthBase[std::size_t(l)]),
                  kLengthExtra[std::size_t(l)]);
        const int d = int(std::upper_bound(kDistanceBase.begin(), kDistanceBase.end(), distance) -
                          kDistanceBase.begin()) -
                      1;
        bits_.put(reversed(unsigned(d), 5));
        bits_.put(std::uint32_t(distance - kDistanceBase[std::size_t(d)]),
                  kDistanceExtra[std::size_t(d)]);
    }

    BitWriter bits_;
};

// Bytes of one row: a stretch of three or more like the row above (`above`, `distance`
// back; none for the first row) is a copy of it, a run of four or more of a byte is the byte
// and a copy of it, and the rest is sent as it is.
void sendRow(Encoder& e, const unsigned char* row, int length, const unsigned char* above,
             int distance) {
    for (int i = 0; i < length;) {
        int up = 0;
        if (above != nullptr)
            while (i + up < length && row[i + up] == above[i + up]) ++up;
        int run = 1;
        while (i + run < length && row[i + run] == row[i]) ++run;
        if (up >= 3 && up >= run) {
            e.match(up, distance);
            i += up;
            continue;
        }
        e.literal(row[i]);
        if (run >= 4) {
            e.match(run - 1, 1);
        } else {
            for (int k = 1; k < run; ++k) e.literal(row[i]);
        }
        i += run;
    }
}
}  // namespace

QByteArray deflateRows(const QByteArray& raw, int stride) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(raw.constData());
    const qsizetype size = raw.size();
    // A byte sent as itself takes at most 9 bits, a copy of 3 or more bytes at most 31:
    // under 12 bits a byte, plus the header, the block's ends and the checksum.
    QByteArray out(size + size / 2 + 16, Qt::Uninitialized);
    out[0] = char(0x78);  // deflate, 32 KiB window
    out[1] = char(0x01);  // no preset dictionary, fastest; the pair is a multiple of 31
    Encoder e(out.data() + 2);
    e.bits().put(1, 1);  // the last block
    e.bits().put(1, 2);  // fixed codes
    const bool rowsReach = stride > 0 && stride <= kMaxDistance;
    for (qsizetype at = 0; at < size;) {
        const int length = int(std::min<qsizetype>(stride, size - at));
        // Rows that repeat the row before them, taken together: one copy at a row's distance.
        qsizetype same = 0;
        if (rowsReach && at >= stride) {
            while (at + same + stride <= size &&
                   std::memcmp(bytes + at + same, bytes + at + same - stride,
                               std::size_t(stride)) == 0)
                same += stride;
        }
        if (same >= 3) {  // a copy is 3 bytes or more: rows of one or two bytes may be sent
            // A copy from a long way back costs more bits than a short one: a long row that
            // is a byte and zeros (a row like the one above, filtered by it) goes cheaper
            // row by row, each a run of zeros.
            Encoder asCopy(nullptr), asRow(nullptr);
            asCopy.match(same, stride);
            sendRow(asRow, bytes + at, length, nullptr, stride);
            if (asCopy.bits().counted() <= asRow.bits().counted() * (same / stride)) {
                e.match(same, stride);
                at += same;
                continue;
            }
            for (const qsizetype end = at + same; at < end; at += stride)
                sendRow(e, bytes + at, stride, nullptr, stride);
            continue;
        }
        const bool aboveReach = rowsReach && at >= stride;
        sendRow(e, bytes + at, length, aboveReach ? bytes + at - stride : nullptr, stride);
        at += length;
    }
    e.bits().put(0, 7);  // end of block
    char* end = e.bits().finish();
    const uLong check = adler32(adler32(0, nullptr, 0), bytes, uInt(size));
    for (int shift = 24; shift >= 0; shift -= 8) *end++ = char((check >> shift) & 0xFF);
    out.truncate(end - out.constData());
    return out;
}

}  // namespace files
