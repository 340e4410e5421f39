#include "format/frame_scanner.h"

#include <cstring>

namespace krelby {

size_t FrameScanner::Feed(const uint8_t* data, size_t n, FrameHandler& handler) {
    size_t i = 0;
    // The stop test can only change inside a completion action, so asking it at the
    // start and after each completion is the same as asking before every byte.
    if (handler.StopScanning()) return 0;
    while (i < n) {
        switch (state_) {
            case 0: {
                const void* hit = std::memchr(data + i, kSync1, n - i);
                if (!hit) return n;
                i = static_cast<size_t>(static_cast<const uint8_t*>(hit) - data) + 1;
                state_ = 1;
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
                if (!IsKnownFrameType(b)) break;
                const auto t = static_cast<FrameType>(b);
                const int required = RequiredLength(t);
                if (required >= 0 && length_ != required) break;
                // Oversized variable-length Frames would overrun their buffer: drop here.
                if (FrameSize(static_cast<uint8_t>(length_)) > FrameCapacity(t)) break;
                type_ = t;
                index_ = static_cast<size_t>(FrameTypeIndex(t));
                uint8_t* buf = buffers_[index_].data();
                buf[0] = kSync1;
                buf[1] = kSync2;
                buf[2] = static_cast<uint8_t>(length_);
                buf[3] = static_cast<uint8_t>(length_ ^ 0xFF);
                buf[4] = b;
                write_ = buf + 5;
                toCome_ = size_t{length_} + 15;
                state_ = 5;
                break;
            }
            case 5: {
                const size_t take = toCome_ < n - i ? toCome_ : n - i;
                std::memcpy(write_, data + i, take);
                write_ += take;
                i += take;
                toCome_ -= take;
                if (toCome_ == 0) {
                    state_ = 0;
                    Complete(handler);
                    if (i < n && handler.StopScanning()) return i;
                }
                break;
            }
        }
    }
    return n;
}

void FrameScanner::Complete(FrameHandler& handler) {
    const uint8_t* buf = buffers_[index_].data();
    if (type_ != FrameType::Fuel && !ChecksumTest(buf, *options_)) return;
    handler.OnFrame(type_, buf, FrameSize(static_cast<uint8_t>(length_)));
}

}  // namespace krelby
