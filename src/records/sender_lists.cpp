#include "records/sender_lists.h"

#include "platform/data_folder.h"

#include <utility>

SenderList ApprovedSenders("WhiteList.dat");
SenderList BlockedSenders("BlackList.dat");

namespace {

// A function-local static: the observer may be set from another static's
// initialiser without depending on the order of initialisation.
std::function<void()>& ListObserver() {
    static std::function<void()> observer;
    return observer;
}

} // namespace

void SetListObserver(std::function<void()> observer) {
    ListObserver() = std::move(observer);
}

void SaveLists() {
    if (ListObserver())
        ListObserver()();
    std::string folder = DataFolder();
    ApprovedSenders.SaveToFile(folder);
    BlockedSenders.SaveToFile(folder);
}

void LoadLists() {
    std::string folder = DataFolder();
    ApprovedSenders.LoadFromFile(folder);
    BlockedSenders.LoadFromFile(folder);
}
