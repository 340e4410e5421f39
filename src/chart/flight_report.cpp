#include "chart/flight_report.h"

#include <QBuffer>
#include <QLocale>
#include <QPdfWriter>

#include "base/error.h"
#include "base/file.h"
#include "chart/chart_plot.h"
#include "chart/map_layer.h"
#include "chart/report_sections.h"
#include "export/whole_file.h"
#include "replay/data_items.h"
#include "replay/replay.h"
#include "replay/series_limits.h"
#include "replay/units.h"
#include "settings/limits.h"

namespace krelby {
namespace {

constexpr int kReportDpi = 300;

// The engine items of a monitor that a mechanic reads: RPM, MAP, fuel flow, oil temperature
// and pressure, and each EGT and CHT input (the first 16 the flight has become series).
Settings EngineItemsOf(const Settings& settings, int monitor) {
    Settings out = settings;
    out.selection = DataSelection{};
    const EngineMonitorItems& items = EngineItems()[size_t(monitor - 1)];
    for (const char* stem : {"RPM", "MAP", "FF", "OILT", "OILP"})
        for (const DataItem& item : items.quantities)
            if (item.title.substr(0, item.title.find('_')) == stem) out.selection.Set(item.checkBox, true);
    for (int n = 0; n < kThermocoupleInputs; ++n) {
        const uint8_t kind = settings.thermocouples[ThermocoupleIndex(monitor, n)];
        if (kind == EGT || kind == CHT)
            out.selection.Set(items.thermocouples[size_t(n)].byKind[size_t(ThermocoupleKindIndex(kind))].checkBox, true);
    }
    return out;
}

// The series an exceedance is of; the spread's, its monitor's first EGT; -1 for none charted.
int SlotOf(const ChartModel& model, const Exceedance& e) {
    const std::string suffix = "_" + std::to_string(e.monitor);
    const bool spread = e.limit == LimitKey::EgtSpreadMax;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const SeriesSlot& s = model.Slot(slot);
        if (!s.inChart) continue;
        if (s.title == e.item) return slot;
        if (spread && s.title.starts_with("EGT") && s.title.ends_with(suffix)) return slot;
    }
    return -1;
}

ReportChart MakeChart(const std::string& flight, const Settings& settings, const Regional& regional,
                      const ReportFigures& figures, int monitor) {
    ReportChart chart{monitor, std::make_unique<ChartModel>(), nullptr};
    chart.widget = std::make_unique<ChartWidget>(*chart.model);
    ChartWidget& w = *chart.widget;
    w.SetRegional(regional);
    w.SetUnits(&settings.units);
    w.SetStrips(true);
    w.resize(1000, 1400);
    const Settings charted = monitor ? EngineItemsOf(settings, monitor) : settings;
    const ChecksumOptions checks;  // tested, as the figures are
    ChartReplay(*chart.model, flight, {charted, checks});
    // A dashed line at each limit of a charted series, in its charted unit.
    std::vector<std::pair<int, double>> lines;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const SeriesSlot& s = chart.model->Slot(slot);
        if (!s.inChart) continue;
        for (LimitKey k : LimitsOfItem(s.item))
            if (const std::optional<double>& limit = settings.limits[k])
                lines.emplace_back(slot, LimitShown(k, *limit, settings.units));
    }
    w.SetLimitLines(lines);
    std::vector<ChartShade> shades;
    for (const Exceedance& e : figures.listed)
        if (const int slot = SlotOf(*chart.model, e); slot >= 0) shades.push_back({e.startTime, e.endTime, slot});
    w.SetPrintShades(shades);
    return chart;
}

void Sections(ReportFlow& flow, const ReportContext& c) {
    SummarySection(flow, c);
    EngineSection(flow, c);
    ChartSection(flow, c);
    TrackSection(flow, c);
}

}  // namespace

QPageSize::PageSizeId LocalePaper() {
    switch (QLocale::system().territory()) {
        case QLocale::UnitedStates: case QLocale::Canada: case QLocale::Mexico: case QLocale::Chile:
        case QLocale::Colombia: case QLocale::CostaRica: case QLocale::Guatemala: case QLocale::Panama:
        case QLocale::Philippines: case QLocale::DominicanRepublic: case QLocale::ElSalvador:
        case QLocale::Nicaragua: case QLocale::PuertoRico: case QLocale::Venezuela:
            return QPageSize::Letter;
        default: return QPageSize::A4;
    }
}

int WriteFlightReport(const std::string& flight, const Settings& settings, const Regional& regional,
                      const ReportOptions& options, const std::string& out) {
    {
        InputFile file = OpenFlight(flight);
        if (!HasGoodFrame(file, ChecksumOptions{})) throw Error(NoFlightDataIn(flight));
    }
    RefuseInputAsOutput(out, flight);  // before the work, not only after it
    TrackSink positions;
    ReplaySink* more[] = {&positions};
    const ReportFigures figures = GatherReportFigures(flight, settings, more);
    std::vector<ReportChart> charts;
    if (options.itemsCharted) charts.push_back(MakeChart(flight, settings, regional, figures, 0));
    else
        for (int m = 1; m <= kEngineMonitors; ++m)
            if (figures.summary.engines[size_t(m - 1)].present)
                charts.push_back(MakeChart(flight, settings, regional, figures, m));
    std::unique_ptr<TrackView> track;
    if (!positions.Result().Empty()) {
        track = std::make_unique<TrackView>();
        track->SetUnits(&settings.units);
        track->SetRegional(regional);
        track->resize(700, 900);
        track->SetTrack(&positions.Result());
        track->SetMap(options.tiles);
    }
    const ReportContext context{flight, settings, regional, figures, charts, track.get(),
                                QDeadlineTimer(kOutputMapWaitMs)};

    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    QPdfWriter writer(&pdf);
    writer.setResolution(kReportDpi);
    writer.setPageSize(QPageSize(options.paper));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    const PageHead head = HeadOf(context);
    writer.setTitle("Flight report " + head.title);
    writer.setCreator(head.program);
    ReportFlow dry(writer, nullptr, head, 0);
    Sections(dry, context);
    QCPPainter painter;
    if (!painter.begin(&writer)) throw Error(CannotCreateFile(out));
    ReportFlow flow(writer, &painter, head, dry.Pages());
    Sections(flow, context);
    painter.end();
    pdf.close();
    WriteWholeFile(out, std::string_view(pdf.data().constData(), size_t(pdf.data().size())), flight);
    return flow.Pages();
}

}  // namespace krelby
