// The pages of the data selection dialog as data: which check box stands where.
#pragma once
#include <vector>

namespace krelby {

struct SelectionBox {
    int number = 0;  // 0: an empty place that keeps the rows of neighbouring columns aligned
    const char* caption = "";
};

struct SelectionColumn {
    const char* heading = nullptr;
    std::vector<SelectionBox> boxes;  // top to bottom
};

struct SelectionPage {
    const char* title;
    std::vector<SelectionColumn> columns;  // left to right
    const char* note = nullptr;
};

// The ten pages in tab order; every number 1 to 213 stands on exactly one page.
const std::vector<SelectionPage>& SelectionPages();

}  // namespace krelby
