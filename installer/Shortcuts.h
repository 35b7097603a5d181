#pragma once
#include "installer/RemtrackInfo.h"

#include <string>

// Shell links to the client and the removal tool. Every file and folder made here is also
// appended to the removal record list, whether or not its save succeeded.

// Start-menu links to the client (also on the desktop) and to the removal tool, in
// <start menu>\程序\Duskreign\Duskreign\. installFolder ends with a backslash.
void CreateShortcuts(RemtrackList& records, const std::wstring& installFolder);

// One link to target named shortcutName in the start-menu title folder, and the same link on
// the desktop when alsoOnDesktop is set. Uses the thread's COM initialisation. False when the
// shell link object is not available (then nothing is made or recorded).
bool CreateProgramShortcut(RemtrackList& records, const std::wstring& target,
                           const std::wstring& shortcutName, bool alsoOnDesktop);

// Makes installFolder + "Duskreign.lnk" and asks the shell to pin it to the task bar; only on
// the version-6 systems below 6.4. The pin's result is not examined.
void PinToTaskbar(RemtrackList& records, const std::wstring& installFolder);

// A link file to target whose working folder is the target's folder. Initialises COM for the
// call. True when the link was saved.
bool CreateLinkFile(const std::wstring& target, const std::wstring& linkPath);
