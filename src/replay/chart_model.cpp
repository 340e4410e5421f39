#include "replay/chart_model.h"

#include "replay/data_items.h"

namespace krelby {

const std::array<const char*, kAxisCount> AxisShortName = {
    "ALT",   "Speed", "Vert",   "Temp", "Angle",    "RPM",      "Angle",   "Number",  "Number",
    "TC",    "TC",    "Pressure", "Temp", "Pressure", "Fuel", "Digital", "Analog", "Deviation",
};

ChartModel::ChartModel() {
    for (int i = 0; i < kSlotCount; ++i) slots_[i].title = "Series" + std::to_string(i + 1);
}

void ChartModel::ResetChart() {
    for (int i = 0; i < kSlotCount; ++i) {
        auto& s = slots_[i];
        s.xs.clear();
        s.ys.clear();
        s.title = "Series" + std::to_string(i + 1);
        s.item = {};
        s.inChart = false;
    }
    for (auto& a : axes_) a.visible = false;
    slotTable_.Reset();
    axisOffset_ = 0;
    visibleAxes_.clear();
    leftMargin_ = kBaseLeftMargin;
    newSlotFlag_ = false;
    if (observer_) observer_->ChartReset();
}

bool ChartModel::ClaimSeriesSlot(int checkBox) {
    const uint8_t slot = slotTable_.Claim(checkBox, newSlotFlag_);
    if (slot >= kSlotCount) return false;
    if (newSlotFlag_) slots_[slot].inChart = true;
    return true;
}

void ChartModel::OnItem(const DataItem& item, double time, const ItemValue& value) {
    // Every sample but an item's first finds its slot at once.
    if (const uint8_t slot = SlotNumber(item.checkBox); slot < kSlotCount) {
        newSlotFlag_ = false;
        AddSample(slot, time, value.y);
        return;
    }
    if (!ClaimSeriesSlot(item.checkBox)) return;
    const int slot = SlotNumber(item.checkBox);
    if (newSlotFlag_) {
        ShowValueAxis(static_cast<int>(item.axis));
        slots_[slot].item = item;
        SetupNewSlot(slot, static_cast<int>(item.axis), item.title);
    }
    AddSample(slot, time, value.y);
}

void ChartModel::ShowValueAxis(int axis) {
    ValueAxis& a = axes_[axis];
    if (a.visible) return;
    a.position = axisOffset_;
    visibleAxes_.push_back(axis);
    axisOffset_ -= kAxisSpacing;
    leftMargin_ += kAxisSpacing;
    a.visible = true;
    if (observer_) observer_->AxisShown(axis);
}

void ChartModel::SetupNewSlot(int slot, int axis, std::string_view title) {
    slots_[slot].axis = axis;
    slots_[slot].title = std::string(title);
    if (observer_) observer_->SeriesAdded(slot);
}

void ChartModel::DrawAxisLabels() {
    if (observer_) observer_->ReplayFinished();
}

void ChartModel::SeriesClick(int slot) {
    for (const auto& s : slots_)
        if (s.axis >= 0) axes_[s.axis].gridVisible = false;
    if (slot >= 0 && slot < kSlotCount && slots_[slot].axis >= 0)
        axes_[slots_[slot].axis].gridVisible = true;
    if (observer_) observer_->GridsChanged();
}

std::vector<AxisLabel> ChartModel::AxisLabels(
    int chartHeight, const std::function<int(std::string_view)>& width) const {
    std::vector<AxisLabel> out;
    int x = leftMargin_ - 5;
    size_t k = 0;
    // Visible axes are counted in index order, but names follow the order of showing.
    for (int i = 0; i < kAxisCount; ++i) {
        if (!axes_[i].visible || k >= visibleAxes_.size()) continue;
        const int axis = visibleAxes_[k];
        const std::string s = AxisShortName[axis];
        const int left = x - width(s) + 10;
        out.push_back({axis, s, left + width(s), chartHeight - 20});
        ++k;
        x -= kAxisSpacing;
    }
    return out;
}

}  // namespace krelby
