// The chart model that the replay fills and a window's chart draws: 16 series slots,
// 18 value axes stacked left of the plot area, and the short axis names under them.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "replay/data_items.h"
#include "replay/sink.h"
#include "settings/records.h"

namespace krelby {

constexpr int kSlotCount = 16;
constexpr int kAxisCount = 18;
constexpr uint8_t kNoSlot = 255;
constexpr int kAxisSpacing = 50;
constexpr int kBaseLeftMargin = 15;

extern const std::array<const char*, kAxisCount> AxisShortName;

struct SeriesSlot {
    std::string title;
    DataItem item{};       // the data item drawn (check box 0 when none): LimitsOfItem gives its limits
    int axis = -1;         // attached ValueAxis; kept across resets until handed out again
    bool inChart = false;  // drawn and listed in the legend
    std::vector<double> xs, ys;
};

struct ValueAxis {
    bool visible = false;
    int position = 0;  // pixels from the left edge of the plot area, negative to the left
    bool gridVisible = false;
};

// Where a window is told that the model changed (a drawing chart implements it).
class ChartObserver {
public:
    virtual ~ChartObserver() = default;
    virtual void ChartReset() {}
    virtual void SeriesAdded(int /*slot*/) {}
    virtual void AxisShown(int /*axis*/) {}
    virtual void GridsChanged() {}
    virtual void ReplayFinished() {}  // after DrawAxisLabels: repaint from the model
};

struct AxisLabel {
    int axis;
    std::string text;
    int rightX;  // the name is right-aligned at this x
    int topY;
};

// Hands out the 16 series slots to data items by check box, first come first served. The
// chart and the CSV export each keep one, so the CSV holds exactly the charted items.
class SlotTable {
public:
    SlotTable() { Reset(); }
    void Reset() {
        slotNumbers_.fill(kNoSlot);
        next_ = 0;
    }
    // The slot of `checkBox`, handed out now if it has none (`isNew`); kNoSlot when all 16
    // are taken.
    uint8_t Claim(int checkBox, bool& isNew) {
        isNew = false;
        uint8_t& slot = slotNumbers_[checkBox];
        if (slot < kSlotCount || next_ >= kSlotCount) return slot;
        slot = static_cast<uint8_t>(next_++);
        isNew = true;
        return slot;
    }
    uint8_t SlotOf(int checkBox) const { return slotNumbers_[checkBox]; }
    int Count() const { return next_; }

private:
    std::array<uint8_t, kCheckBoxCount + 1> slotNumbers_;
    int next_ = 0;
};

// As a replay's sink it starts each replay from a reset chart, adds the ticked items'
// points and ends with the axis names.
class ChartModel : public ReplaySink {
public:
    ChartModel();

    void OnBegin() override { ResetChart(); }
    bool TakesGps() const override { return false; }
    void OnItem(const DataItem& item, double time, const ItemValue& value) override;
    // The samples of a message in one loop: every sample but an item's first finds its slot at once.
    void OnItems(double time, std::span<const ItemSample> samples) override {
        for (const ItemSample& s : samples) {
            if (const uint8_t slot = SlotNumber(s.item->checkBox); slot < kSlotCount) [[likely]] {
                newSlotFlag_ = false;
                AddSample(slot, time, s.value.y);
            } else {
                OnItem(*s.item, time, s.value);
            }
        }
    }
    void OnEnd(const ReplayEnd&) override { DrawAxisLabels(); }

    void SetObserver(ChartObserver* o) { observer_ = o; }
    ChartObserver* Observer() const { return observer_; }

    void ResetChart();
    // Given a DataItem's check box number; true if it may be drawn. Sets NewSlotFlag.
    bool ClaimSeriesSlot(int checkBox);
    void ShowValueAxis(int axis);
    void AddSample(int slot, double x, double value) {
        slots_[slot].xs.push_back(x);
        slots_[slot].ys.push_back(value);
    }
    // Attaches the slot handed out last to its axis and titles it.
    void SetupNewSlot(int slot, int axis, std::string_view title);
    // The end of a replay: the observer repaints with the axis names.
    void DrawAxisLabels();
    // Series click: hide every attached axis's grid, show the clicked one's.
    void SeriesClick(int slot);

    // Positions of the short axis names for a chart of the given height; `width`
    // measures a text in the drawing font.
    std::vector<AxisLabel> AxisLabels(int chartHeight,
                                      const std::function<int(std::string_view)>& width) const;

    uint8_t SlotNumber(int checkBox) const { return slotTable_.SlotOf(checkBox); }
    bool NewSlotFlag() const { return newSlotFlag_; }
    int NextFreeSlot() const { return slotTable_.Count(); }
    int LeftMargin() const { return leftMargin_; }
    int AxisOffset() const { return axisOffset_; }
    const std::vector<int>& VisibleAxes() const { return visibleAxes_; }
    const SeriesSlot& Slot(int i) const { return slots_[i]; }
    const ValueAxis& Axis(int i) const { return axes_[i]; }
    // Slots in the chart, in order of handing out.
    int SlotsInChart() const { return slotTable_.Count(); }

private:
    std::array<SeriesSlot, kSlotCount> slots_;
    std::array<ValueAxis, kAxisCount> axes_;
    SlotTable slotTable_;
    bool newSlotFlag_ = false;
    std::vector<int> visibleAxes_;
    int axisOffset_ = 0;
    int leftMargin_ = kBaseLeftMargin;
    ChartObserver* observer_ = nullptr;
};

}  // namespace krelby
