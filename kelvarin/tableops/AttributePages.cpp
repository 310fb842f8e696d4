#include "AttributePages.h"

AttributePages::Page AttributePages::fill(int start) const {
    Page page;
    const int count = static_cast<int>(m_records.size());
    for (int k = 0; k < kRows && start + k < count; ++k) {
        const tagAttribute& record = m_records[static_cast<std::size_t>(start + k)];
        page.labels[static_cast<std::size_t>(k)] =
            record.prompt.empty() ? record.tag : record.prompt;
        page.values[static_cast<std::size_t>(k)] = record.value;
    }
    page.nextEnabled = start + kRows < count;
    page.previousEnabled = start > 0;
    return page;
}

void AttributePages::save(int start, const std::array<std::string, kRows>& values) {
    const int count = static_cast<int>(m_records.size());
    for (int k = 0; k < kRows && start + k < count; ++k)
        m_records[static_cast<std::size_t>(start + k)].value = values[static_cast<std::size_t>(k)];
}
