#include "records/scanned_header_list.h"

#include <stdexcept>

ScannedHeader& ScannedHeaderList::Add() {
    m_items.push_back(std::make_unique<ScannedHeader>());
    return *m_items.back();
}

ScannedHeader* ScannedHeaderList::FindByNumber(int messageNumber) {
    for (auto& item : m_items)
        if (item->MessageNumber == messageNumber)
            return item.get();
    return nullptr;
}

ScannedHeader& ScannedHeaderList::Item(int index) {
    if (index < 0 || index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return *m_items[static_cast<size_t>(index)];
}
