#include "chart/engine_text.h"

#include <cmath>

#include "base/recorded_units.h"
#include "replay/data_items.h"
#include "replay/value_text.h"

namespace krelby {

QString DecimalNumber(double value, int decimals, char separator) {
    const std::string text = decimals > 0 ? FixedText(value, 12, decimals, separator)
                                          : IntegerText(static_cast<int64_t>(std::llround(value)));
    return QString::fromStdString(text).trimmed();
}

QString ShownNumber(double value, Quantity quantity, const UnitSettings& units, const Regional& regional) {
    const LogbookUnit u = ShownAs(quantity, units);
    return DecimalNumber(value * u.factor + u.offset, u.decimals, regional.decimalSeparator);
}

QString ShownSymbol(Quantity quantity, const UnitSettings& units) {
    const std::string_view s = ShownAs(quantity, units).symbol;
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

QString ShownFigure(std::optional<double> value, Quantity quantity, const UnitSettings& units,
                    const Regional& regional) {
    if (!value) return QString::fromUtf8("\u2013");
    const QString symbol = ShownSymbol(quantity, units);
    const QString number = ShownNumber(*value, quantity, units, regional);
    return symbol.isEmpty() ? number : number + ' ' + symbol;
}

QString ClockText(int64_t seconds, const Regional& regional) {
    const int64_t day = ((seconds % kSecondsPerDay) + kSecondsPerDay) % kSecondsPerDay;
    const QChar ts = QChar::fromLatin1(regional.timeSeparator);
    const auto two = [](int64_t v) { return QString("%1").arg(v, 2, 10, QChar('0')); };
    return two(day / 3600) + ts + two(day / 60 % 60) + ts + two(day % 60);
}

QString InputTitle(int monitor, int n, uint8_t kind) {
    const std::string_view title = EngineItems()[size_t(monitor - 1)]
                                       .thermocouples[size_t(n - 1)]
                                       .byKind[size_t(ThermocoupleKindIndex(kind))]
                                       .title;
    return QString::fromUtf8(title.data(), qsizetype(title.size()));
}

}  // namespace krelby
