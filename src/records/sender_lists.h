#pragma once

#include "records/sender_list.h"

#include <functional>

// The process-wide sender lists: approved senders ("WhiteList.dat") and the
// blacklist ("BlackList.dat"), both kept in DataFolder(). They start empty and
// are never saved at exit.
extern SenderList ApprovedSenders;
extern SenderList BlockedSenders;

// Registers the one observer told before the lists are saved (the sender-list
// editor shows both lists again). A new observer replaces the previous one;
// an empty function unregisters.
void SetListObserver(std::function<void()> observer);

// Tells the observer, then saves ApprovedSenders and BlockedSenders into DataFolder().
// Every change of the process-wide lists is followed by a call. Throws
// std::runtime_error when a file cannot be written or deleted.
void SaveLists();

// Loads ApprovedSenders and BlockedSenders from DataFolder(). Throws std::runtime_error
// when a list file exists but cannot be read.
void LoadLists();
