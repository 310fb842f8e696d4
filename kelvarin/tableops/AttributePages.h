#pragma once
// The paging of the attribute dialog: eight rows a page over the block's
// editable attributes. Plain logic, so it is tested without windows.

#include "arxHeaders.h"

#include <array>
#include <string>
#include <vector>

struct tagAttribute {
    std::string tag;
    std::string prompt;
    std::string value;
    AcDbObjectId definitionId;
};

class AttributePages {
public:
    static constexpr int kRows = 8;
    struct Page {
        std::array<std::string, kRows> labels;
        std::array<std::string, kRows> values;
        bool nextEnabled = false;
        bool previousEnabled = false;
    };

    std::vector<tagAttribute>& records() { return m_records; }
    const std::vector<tagAttribute>& records() const { return m_records; }

    // Rows of the page starting at start: the prompt (or the tag when the
    // prompt is empty) and the value; rows past the records are empty.
    Page fill(int start) const;
    // Takes the rows' values back into the records; rows past the records
    // are dropped.
    void save(int start, const std::array<std::string, kRows>& values);

private:
    std::vector<tagAttribute> m_records;
};
