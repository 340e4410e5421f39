#include "chart/exceedance_text.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "chart/duration_text.h"
#include "chart/engine_text.h"
#include "replay/units.h"
#include "replay/value_text.h"
#include "settings/limits.h"

namespace krelby {
namespace {

// A limit in the recording's own units shows its own decimals (730.5 °C), at least the unit's.
int LimitTextDecimals(LimitKey k, double value, const UnitSettings& units, int decimals) {
    if (!LimitShownAsRecorded(k, units)) return decimals;
    const std::string text = LimitText(value);
    const size_t point = text.find('.');
    return std::clamp(point == std::string::npos ? 0 : int(text.size() - point - 1), decimals, 9);
}

double ValueOf(const QString& number, char sep) {
    QString plain = number;
    plain.replace(QChar::fromLatin1(sep), '.');
    return plain.toDouble();
}

// Enough decimals for the peak to read otherwise than the limit as shown: the unit's, or
// where those make the two read alike, those of the recording's own step in that unit, and
// more until they differ ("below 3.00 bar, peak 2.9994 bar", never "peak 3.00").
int PeakDecimals(const Exceedance& e, const UnitSettings& units, int decimals, const QString& limit, char sep) {
    const double peak = LimitShown(e.limit, e.peak, units), shownLimit = ValueOf(limit, sep);
    if (ValueOf(DecimalNumber(peak, decimals, sep), sep) != shownLimit) return decimals;
    const double step = std::fabs(LimitShown(e.limit, e.bar ? 1e-4 : 1.0, units) - LimitShown(e.limit, 0, units));
    int d = std::max(decimals, step > 0 ? static_cast<int>(std::ceil(-std::log10(step) - 1e-9)) : 0);
    while (d < 9 && ValueOf(DecimalNumber(peak, d, sep), sep) == shownLimit) ++d;
    return d;
}

}  // namespace

QString Grouped(int64_t n) {
    QString digits = QString::number(n < 0 ? -n : n);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3) digits.insert(at, ',');
    return n < 0 ? "-" + digits : digits;
}

namespace {

// "CHT6_1 above 180 °C" and the peak of `peakOf` as shown beside it.
struct LimitTexts {
    QString series, unit, peak;
};
LimitTexts TextsOf(const Exceedance& e, const Exceedance& peakOf, const UnitSettings& units, const Regional& regional) {
    const int decimals = LimitDecimals(e.limit, units);
    const std::string_view symbol = LimitSymbol(e.limit, units);
    const QString unit = QString::fromUtf8(symbol.data(), qsizetype(symbol.size()));
    const char sep = regional.decimalSeparator;
    const QString limit =
        DecimalNumber(LimitShown(e.limit, e.limitValue, units), LimitTextDecimals(e.limit, e.limitValue, units, decimals), sep);
    const QString peak = DecimalNumber(LimitShown(e.limit, peakOf.peak, units),
                                       PeakDecimals(peakOf, units, decimals, limit, sep), sep);
    return {QString("%1 %2 %3 %4").arg(QString::fromStdString(e.item), e.minimum ? "below" : "above", limit, unit),
            unit, peak};
}

}  // namespace

QString ExceedanceText(const Exceedance& e, const UnitSettings& units, const Regional& regional) {
    const LimitTexts t = TextsOf(e, e, units, regional);
    return QString("%1 for %2, peak %3 %4, %5")
        .arg(t.series, DurationText(e.DurationS()), t.peak, t.unit, ClockText(e.start, regional));
}

QString ExceedanceGroupText(const ExceedanceSeries& s, const UnitSettings& units, const Regional& regional) {
    const LimitTexts t = TextsOf(s.first, s.extreme, units, regional);
    const QString times = s.count == 1 ? QString("once, %1").arg(DurationText(s.seconds))
                                       : QString("%1 times, %2 in all").arg(Grouped(s.count), DurationText(s.seconds));
    return QString("%1: %2, peak %3 %4").arg(t.series, times, t.peak, t.unit);
}

QString LimitValueText(LimitKey k, double value, const UnitSettings& units, const Regional& regional) {
    const std::string_view symbol = LimitSymbol(k, units);
    const QString number = DecimalNumber(LimitShown(k, value, units),
                                         LimitTextDecimals(k, value, units, LimitDecimals(k, units)),
                                         regional.decimalSeparator);
    return symbol.empty() ? number : number + ' ' + QString::fromUtf8(symbol.data(), qsizetype(symbol.size()));
}

std::vector<std::vector<size_t>> ExceedanceGroups(const std::vector<Exceedance>& found) {
    std::map<std::tuple<std::string, int, bool>, size_t> groupOf;
    std::vector<std::vector<size_t>> groups;
    for (size_t i = 0; i < found.size(); ++i) {
        const auto key = std::make_tuple(found[i].item, int(found[i].limit), found[i].minimum);
        const auto [it, added] = groupOf.emplace(key, groups.size());
        if (added) groups.emplace_back();
        groups[it->second].push_back(i);
    }
    return groups;
}

}  // namespace krelby
