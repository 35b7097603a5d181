#pragma once
#include <string>
#include <vector>

// One entry of the removal record list that the outside removal tool receives in remtrack.xml.
struct RemtrackInfo {
    std::wstring name; // a full path or a bare name, depending on the type
    int type;          // see RemtrackType
};

// What a record's name stands for.
enum RemtrackType : int {
    kRemtrackFile = 3,         // full path of a file the installer created
    kRemtrackFolder = 4,       // full path of a folder the installer created
    kRemtrackTitle = 5,        // the game title
    kRemtrackPinnedLink = 6,   // file name of the task-bar pinned shortcut
    kRemtrackGameCode = 7,     // the game code
    kRemtrackChannel = 8,      // the installer's channel code
    kRemtrackUninstallKey = 9, // name of the uninstall registry key
    kRemtrackInstallDir = 10,  // name of the install sub-folder
};

using RemtrackList = std::vector<RemtrackInfo>;

// Appends (name, type) at the end of the list; an empty name is not recorded.
void AddRemtrackRecord(RemtrackList& records, const std::wstring& name, int type);
