#include "records/sender_lists.h"

#include "platform/data_folder.h"

#include <utility>

TBlockList WhiteList("WhiteList.dat");
TBlockList BlackList("BlackList.dat");

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
    WhiteList.SaveToFile(folder);
    BlackList.SaveToFile(folder);
}

void LoadLists() {
    std::string folder = DataFolder();
    WhiteList.LoadFromFile(folder);
    BlackList.LoadFromFile(folder);
}
