// The CSV export's consumers of a replay: the columns of the charted items, and the rows.
#pragma once
#include "replay/chart_model.h"
#include "export/csv_columns.h"
#include "replay/sink.h"
#include "settings/records.h"

namespace krelby {

// Where the header and the rows go.
class CsvOutput {
public:
    virtual ~CsvOutput() = default;
    // "TimeStamp" and the named columns; written once, at the first FlightMessage.
    virtual void CsvHeader(const CsvColumns& columns) = 0;
    // One row: the time of a FlightMessage and every column's latest value.
    virtual void CsvRow(double time, const CsvColumns& columns) = 0;
};

// Names and latest values of the columns of the items that get a series slot (the CSV holds
// exactly the charted items), and of the position column when it is ticked.
class CsvColumnsSink : public ReplaySink {
public:
    CsvColumnsSink(CsvColumns& columns, const Settings& settings) : csv_(columns), settings_(settings) {}
    void OnBegin() override { slots_.Reset(); }
    void OnItem(const DataItem& item, double time, const ItemValue& value) override;
    void OnGps(const GpsMessage& message) override;

protected:
    CsvColumns& csv_;

private:
    const Settings& settings_;
    SlotTable slots_;
};

// One row per FlightMessage, holding the values decoded up to the next one, under its own
// time: at each FlightMessage the row of the one before, and the last row at the end.
class CsvRowsSink : public CsvColumnsSink {
public:
    CsvRowsSink(CsvColumns& columns, const Settings& settings, CsvOutput& out)
        : CsvColumnsSink(columns, settings), out_(out) {}
    void OnBegin() override {
        CsvColumnsSink::OnBegin();
        taken_ = false;
    }
    void OnFlightTime(double time) override;
    void OnEnd(const ReplayEnd& end) override;

private:
    CsvOutput& out_;
    bool headerPending_ = true;
    bool taken_ = false;  // a FlightMessage was taken: there is a row to finish
    double time_ = 0;
};

}  // namespace krelby
