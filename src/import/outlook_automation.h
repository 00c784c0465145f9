#pragma once

#include <functional>
#include <memory>
#include <string>

// The part of Outlook's automation object model that the contacts import
// calls: Application.GetNameSpace("MAPI").GetDefaultFolder(10).Items, its
// Count and Item(i), and a contact's three e-mail address properties. Every
// call may throw std::exception when Outlook refuses or fails; a returned
// object is never null.

class OutlookContactItem {
public:
    virtual ~OutlookContactItem() = default;
    virtual std::string Email1Address() = 0;
    virtual std::string Email2Address() = 0;
    virtual std::string Email3Address() = 0;
};

class OutlookItems {
public:
    virtual ~OutlookItems() = default;
    virtual int Count() = 0;
    // index counts from 1.
    virtual std::unique_ptr<OutlookContactItem> Item(int index) = 0;
};

class OutlookFolder {
public:
    virtual ~OutlookFolder() = default;
    virtual std::unique_ptr<OutlookItems> Items() = 0;
};

class OutlookNameSpace {
public:
    virtual ~OutlookNameSpace() = default;
    virtual std::unique_ptr<OutlookFolder> GetDefaultFolder(int folderType) = 0;
};

class OutlookApplication {
public:
    virtual ~OutlookApplication() = default;
    virtual std::unique_ptr<OutlookNameSpace> GetNameSpace(const std::string& type) = 0;
};

// The folder type of GetDefaultFolder for the contacts folder.
inline constexpr int OutlookContactsFolder = 10;

// Creates the automation object registered under the programmatic
// identifier ("Outlook.Application"). Throws std::runtime_error when it
// cannot be created, which is always the case on this platform unless a
// factory has been installed.
std::unique_ptr<OutlookApplication> CreateAutomationObject(const std::string& programmaticId);

// Installs the factory CreateAutomationObject uses (tests, another
// platform's backend); an empty function restores the built-in one.
using AutomationObjectFactory = std::function<std::unique_ptr<OutlookApplication>(const std::string&)>;
void SetAutomationObjectFactory(AutomationObjectFactory factory);
