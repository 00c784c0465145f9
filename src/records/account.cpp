#include "records/account.h"

#include <stdexcept>

AccountList Accounts;

Account& AccountList::Add() {
    m_items.push_back(std::make_unique<Account>());
    return *m_items.back();
}

Account& AccountList::Item(int index) {
    if (index < 0 || index >= Count())
        throw std::out_of_range("account index out of range");
    return *m_items[static_cast<size_t>(index)];
}

const Account& AccountList::Item(int index) const {
    if (index < 0 || index >= Count())
        throw std::out_of_range("account index out of range");
    return *m_items[static_cast<size_t>(index)];
}

void AccountList::Delete(int index) {
    Item(index);
    m_items.erase(m_items.begin() + index);
}

Account& AppendAccount() {
    return Accounts.Add();
}
