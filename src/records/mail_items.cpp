#include "records/mail_items.h"

#include <stdexcept>

TMailItem& TMailItems::Add() {
    m_items.push_back(std::make_unique<TMailItem>());
    return *m_items.back();
}

TMailItem* TMailItems::FindByNumber(int messageNumber) {
    for (auto& item : m_items)
        if (item->MessageNumber == messageNumber)
            return item.get();
    return nullptr;
}

TMailItem& TMailItems::Item(int index) {
    if (index < 0 || index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return *m_items[static_cast<size_t>(index)];
}
