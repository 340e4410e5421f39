#include "format/frame_scanner.h"

#include <cstring>

namespace krelby {
namespace {

// The FrameType byte's test as a range of accepted length bytes per byte value: the fixed
// length of FrameTypes 1, 2, 3 and 30, any length that fits the buffer for 4, 10 and 11 (an
// oversized Frame would overrun its buffer, so it is dropped here), none for other values.
struct LengthRange {
    uint8_t min = 1, max = 0;
};
constexpr std::array<LengthRange, 256> kAccepted = [] {
    std::array<LengthRange, 256> table{};
    for (int b = 0; b < 256; ++b) {
        if (!IsKnownFrameType(static_cast<uint8_t>(b))) continue;
        const auto t = static_cast<FrameType>(b);
        const int required = RequiredLength(t);
        const auto largest = static_cast<uint8_t>(FrameCapacity(t) - kFrameOverhead);
        table[b] = required >= 0 ? LengthRange{static_cast<uint8_t>(required), static_cast<uint8_t>(required)}
                                 : LengthRange{0, largest};
    }
    return table;
}();

bool Accepts(uint8_t type, size_t L) { return L >= kAccepted[type].min && L <= kAccepted[type].max; }

}  // namespace

FrameScanner::FrameScanner(const ChecksumOptions& options, unsigned types) : options_(&options) {
    for (int b = 0; b < 32; ++b)
        if (IsKnownFrameType(uint8_t(b)) && (types & FrameTypeBit(FrameType(b)))) wanted_ |= 1u << b;
}

size_t FrameScanner::Feed(const uint8_t* data, size_t n, FrameHandler& handler) {
    size_t i = 0;
    // The stop test can only change inside a completion action, so asking it at the
    // start and after each completion is the same as asking before every byte.
    if (handler.StopScanning()) return 0;
    while (i < n) {
        switch (state_) {
            case 0: {
                // Frame after Frame while each lies whole in the piece: its header tested at
                // once, the Frame itself tested and handed on where it lies. As in states 1 to
                // 4, the byte that fails a test is consumed with those before it.
                for (;;) {
                    if (data[i] != kSync1) {
                        const void* hit = std::memchr(data + i, kSync1, n - i);
                        if (!hit) return n;
                        i = static_cast<size_t>(static_cast<const uint8_t*>(hit) - data);
                    }
                    const uint8_t* f = data + i;
                    const size_t left = n - i;
                    if (left < 5) {
                        ++i;
                        state_ = 1;
                        break;
                    }
                    const uint8_t L = f[2];
                    if (f[1] != kSync2) {
                        i += 2;
                    } else if (f[3] != (L ^ 0xFF)) {
                        i += 4;
                    } else if (!Accepts(f[4], L)) {
                        i += 5;
                    } else {
                        const auto t = static_cast<FrameType>(f[4]);
                        const size_t size = FrameSize(L);
                        if (left < size) {
                            Begin(t, L);
                            i += 5;
                            break;
                        }
                        i += size;
                        consumed_ = i;
                        if (Complete(t, f, size, handler) && i < n && handler.StopScanning()) return i;
                    }
                    if (i >= n) return n;
                }
                break;
            }
            case 1:
                state_ = data[i++] == kSync2 ? 2 : 0;
                break;
            case 2:
                length_ = data[i++];
                state_ = 3;
                break;
            case 3:
                state_ = data[i++] == (length_ ^ 0xFF) ? 4 : 0;
                break;
            case 4: {
                const uint8_t b = data[i++];
                state_ = 0;
                if (Accepts(b, length_)) Begin(static_cast<FrameType>(b), static_cast<uint8_t>(length_));
                break;
            }
            case 5: {
                const size_t take = toCome_ < n - i ? toCome_ : n - i;
                std::memcpy(buffer_.data() + gathered_, data + i, take);
                gathered_ += take;
                i += take;
                toCome_ -= take;
                if (toCome_ == 0) {
                    state_ = 0;
                    consumed_ = i;
                    if (Complete(type_, buffer_.data(), gathered_, handler) && i < n && handler.StopScanning())
                        return i;
                }
                break;
            }
        }
    }
    return n;
}

void FrameScanner::Begin(FrameType t, uint8_t L) {
    type_ = t;
    length_ = L;
    WriteFrameHeader(buffer_.data(), t, L);
    gathered_ = kFrameHeaderSize;
    toCome_ = FrameSize(L) - kFrameHeaderSize;
    state_ = 5;
}

bool FrameScanner::Complete(FrameType t, const uint8_t* frame, size_t size, FrameHandler& handler) {
    if (!((wanted_ >> static_cast<unsigned>(t)) & 1u)) return false;
    if (t != FrameType::Fuel && !ChecksumTest(frame, *options_)) return false;
    handler.OnFrame(t, frame, size);
    return true;
}

}  // namespace krelby
