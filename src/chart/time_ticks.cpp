#include "chart/time_ticks.h"

#include <qcustomplot.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace krelby {
namespace {

// The widest line of any label.
int Widest(const QFontMetrics& fm, const QVector<QString>& labels) {
    int widest = 0;
    for (const QString& label : labels)
        for (const QString& line : label.split('\n')) widest = std::max(widest, fm.horizontalAdvance(line));
    return widest;
}

// Room between two labels: a sixth of a label, at least a few pixels; where that leaves
// fewer than two labels in sight, just clear of each other.
int Gap(int widest, bool roomy) { return roomy ? std::max(8, widest / 6) : 4; }

int InRange(const QVector<double>& ticks, const QCPRange& range) {
    return static_cast<int>(std::count_if(ticks.begin(), ticks.end(), [&range](double t) { return range.contains(t); }));
}

// The least distance in pixels between ticks of `ticks` within `range` over `pixels`.
double Closest(const QVector<double>& ticks, const QCPRange& range, double pixels) {
    double closest = pixels;
    for (int i = 1; i < ticks.size(); ++i) closest = std::min(closest, (ticks[i] - ticks[i - 1]) / range.size() * pixels);
    return closest;
}

// The count found for an axis at a range and length: a picture and the screen ask in turn.
struct Fitted {
    const QCPAxisTicker* ticker;
    double lower, upper, pixels;
    QFont font;
    int most, count;
};

int Fit(QCPAxis& axis, QCPAxisTicker& ticker, const QCPRange& range, double pixels, int most) {
    const QFontMetrics fm(axis.tickLabelFont());
    const QString format = axis.numberFormat();
    const QChar formatChar = format.isEmpty() ? QChar('g') : format.at(0);
    const QLocale locale = axis.parentPlot() ? axis.parentPlot()->locale() : QLocale::c();
    const auto labels = [&](int count, QVector<double>& ticks) {
        ticker.setTickCount(count);
        QVector<QString> texts;
        ticker.generate(range, locale, formatChar, axis.numberPrecision(), ticks, nullptr, &texts);
        return Widest(fm, texts);
    };
    // Labels are alike in width: start from as many as the length holds of the widest now.
    QVector<double> ticks;
    const int first = labels(std::clamp(ticker.tickCount(), 1, most), ticks);
    const int start = std::clamp(static_cast<int>(pixels / (first + Gap(first, true))) + 1, 1, most);
    for (const bool roomy : {true, false}) {
        for (int count = start; count >= 1; --count) {
            const int widest = labels(count, ticks);
            if (InRange(ticks, range) < 2) break;  // fewer would show one label or none
            if (Closest(ticks, range, pixels) >= widest + Gap(widest, roomy)) return count;
        }
    }
    return 1;  // too narrow for two labels
}

}  // namespace

void FitTickCount(QCPAxis& axis, double pixels, int most) {
    const QSharedPointer<QCPAxisTicker> ticker = axis.ticker();
    const QCPRange range = axis.range();
    if (!ticker || !(range.size() > 0) || !(pixels > 0)) return;
    static std::array<Fitted, 4> known{};
    static size_t next = 0;
    for (const Fitted& f : known)
        if (f.ticker == ticker.data() && f.lower == range.lower && f.upper == range.upper && f.pixels == pixels &&
            f.most == most && f.font == axis.tickLabelFont())
            return ticker->setTickCount(f.count);
    const int count = Fit(axis, *ticker, range, pixels, most);
    ticker->setTickCount(count);
    known[next++ % known.size()] = {ticker.data(), range.lower, range.upper, pixels, axis.tickLabelFont(), most, count};
}

bool TickLabelsApart(const QCPAxis& axis) {
    const QVector<double> ticks = axis.tickVector();
    const QVector<QString> labels = axis.tickVectorLabels();
    if (!axis.tickLabels() || ticks.size() < 2) return true;
    const QFontMetrics fm(axis.tickLabelFont());
    for (int i = 1; i < ticks.size(); ++i) {
        const double apart = std::abs(axis.coordToPixel(ticks[i]) - axis.coordToPixel(ticks[i - 1]));
        const int widest = std::max(Widest(fm, {labels[i]}), Widest(fm, {labels[i - 1]}));
        if (apart < widest + 4) return false;
    }
    return true;
}

}  // namespace krelby
