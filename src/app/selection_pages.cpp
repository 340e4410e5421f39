#include "selection_pages.h"

#include "replay/data_items.h"

namespace krelby {
namespace {

// The pages as the dialog lays them out, from the one table of check boxes: each box at
// its place, empty places where a column starts lower than its neighbours.
std::vector<SelectionPage> BuildPages() {
    std::vector<SelectionPage> pages;
    for (const SelectionPageInfo& info : SelectionPageInfos())
        pages.push_back({info.title.data(), {}, info.note.empty() ? nullptr : info.note.data()});
    for (const ItemBox& box : ItemBoxes()) {
        SelectionPage& page = pages.at(box.place.page);
        if (page.columns.size() <= box.place.column) page.columns.resize(box.place.column + 1u);
        auto& boxes = page.columns[box.place.column].boxes;
        if (boxes.size() <= box.place.row) boxes.resize(box.place.row + 1u);
        boxes[box.place.row] = {box.checkBox, box.caption.data()};
    }
    for (size_t p = 0; p < pages.size(); ++p)
        for (size_t c = 0; c < pages[p].columns.size(); ++c) {
            const std::string_view heading = SelectionPageInfos()[p].headings[c];
            if (!heading.empty()) pages[p].columns[c].heading = heading.data();
        }
    return pages;
}

}  // namespace

const std::vector<SelectionPage>& SelectionPages() {
    static const std::vector<SelectionPage> pages = BuildPages();
    return pages;
}

}  // namespace krelby
