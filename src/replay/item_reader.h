// A data item's reading made ready once for a replay: the end of its field and the row of its
// unit found before the first message, so that each message costs the read and the
// arithmetic alone. The one reading of an item: ReadItem goes through it too.
#pragma once
#include <cstdint>
#include <optional>

#include "format/bytes.h"
#include "format/messages.h"
#include "replay/data_items.h"
#include "replay/units.h"

namespace krelby {

// The quantity whose row a conversion reads; none for plain numbers. Speeds and the
// navigation distances both take the Speed row, as ConvertSpeed does.
constexpr std::optional<UnitQuantity> ConversionQuantity(Conv c) {
    switch (c) {
        case Conv::Altitude: return UnitQuantity::Altitude;
        case Conv::Speed: return UnitQuantity::Speed;
        case Conv::Baro: return UnitQuantity::BaroPressure;
        case Conv::Temperature: return UnitQuantity::Temperature;
        case Conv::EnginePressure: return UnitQuantity::EnginePressure;
        case Conv::Manifold: return UnitQuantity::ManifoldPressure;
        case Conv::VerticalSpeed:
        case Conv::NegVerticalSpeed: return UnitQuantity::VerticalSpeed;
        case Conv::FuelFlow:
        case Conv::FuelLevel: return UnitQuantity::LiquidQuantity;
        default: return std::nullopt;
    }
}

class ItemReader {
public:
    ItemReader(const DataItem& item, const UnitSettings& units);
    const DataItem& Item() const { return *item_; }

    // The value in the units chosen; false when the Frame is too short to hold the field (the
    // item is then absent, not zero, and `value` is not touched).
    bool Read(const uint8_t* frame, ItemValue& value) const {
        if (end_ > BodyEnd(frame[2])) return false;
        const int64_t raw = RawOf(frame);
        switch (op_) {
            case Op::Whole: {
                const double y = static_cast<double>(raw);
                value = {y, y, raw, item_->precision, item_->decimals};
                return true;
            }
            case Op::Divided: {
                const double y = static_cast<double>(raw) / divisor_;
                value = {y, y, raw, item_->precision, item_->decimals};
                return true;
            }
            case Op::Scaled:
                // Scaled in long double: a value read again (a level flight's speed) is
                // taken from the last time.
                if (raw != lastRaw_) {
                    lastRaw_ = raw;
                    last_ = Evaluate(raw);
                }
                value = last_;
                return true;
            case Op::Other: break;
        }
        value = Evaluate(raw);
        return true;
    }

private:
    // What the value is made of, found once: the raw number itself (its unit unchanged), the
    // raw number divided, a unit's scaling, anything else.
    enum class Op : uint8_t { Whole, Divided, Scaled, Other };

    int64_t RawOf(const uint8_t* f) const {
        const DataItem& item = *item_;
        switch (item.raw) {
            case Raw::U8: return f[item.offset];
            case Raw::I16: return i16le(f, item.offset);
            case Raw::U16: return u16le(f, item.offset);
            case Raw::I32: return i32le(f, item.offset);
            case Raw::Bit16: return (u16le(f, item.offset) >> item.bit) & 1u;
            case Raw::Bit32: return (u32le(f, item.offset) >> item.bit) & 1u;
        }
        return 0;
    }

    ItemValue Evaluate(int64_t raw) const {
        const DataItem& item = *item_;
        ItemValue s{0, 0, raw, item.precision, item.decimals};
        const auto integer = [&s](int64_t v) {
            s.integer = v;
            s.y = static_cast<double>(v);
        };
        const auto raw32 = static_cast<int32_t>(raw);
        switch (item.conv) {
            case Conv::None: integer(raw); break;
            case Conv::Tenths: s.y = static_cast<double>(raw) / 10.0; break;
            case Conv::Hundredths: s.y = static_cast<double>(raw) / 100.0; break;
            case Conv::Deviation: s.y = static_cast<double>(raw) / 4096.0; break;
            case Conv::Rate: s.y = CompressedRate(static_cast<int16_t>(raw)); break;
            case Conv::Altitude:
            case Conv::Speed: integer(RoundedIn(*unit_, raw32)); break;
            case Conv::Temperature: integer(TemperatureIn(*unit_, raw32)); break;
            case Conv::Baro:
            case Conv::EnginePressure:
            case Conv::Manifold: s.y = RealIn(*unit_, raw32); break;
            case Conv::VerticalSpeed:
            case Conv::NegVerticalSpeed: {
                const VerticalSpeed v = VerticalSpeedIn(*unit_, item.conv == Conv::VerticalSpeed ? raw : -raw);
                s.y = v.value;
                s.integer = v.integer;
                if (v.decimals > 0) {
                    s.precision = 7;
                    s.decimals = static_cast<uint8_t>(v.decimals);
                }
                break;
            }
            case Conv::FuelFlow:
                s.y = RealIn(*unit_, static_cast<double>(raw));
                s.text = s.y / 100.0;
                return s;
            case Conv::FuelLevel: s.y = RealIn(*unit_, static_cast<double>(raw) / 10.0); break;
        }
        s.text = s.y;
        return s;
    }

    const DataItem* item_;
    const UnitRow* unit_ = nullptr;
    uint8_t end_;
    Op op_ = Op::Other;
    double divisor_ = 1;
    mutable int64_t lastRaw_ = INT64_MIN;  // no raw value is this
    mutable ItemValue last_{};
};

}  // namespace krelby
