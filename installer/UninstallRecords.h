#pragma once
#include "framework/ComPtr.h"
#include "installer/RemtrackInfo.h"

#include <windows.h>
#include <msxml2.h>

#include <string>

// The per-user uninstall entry and the record file that tells the outside removal tool what
// the installer created.

// HKCU\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\tavrokil
extern const wchar_t kUninstallKeyPath[];

// Appends ("tavrokil", 9) to the list, then creates or reopens the uninstall key and writes its
// six text values. A key that cannot be created leaves the values unwritten.
void RegisterUninstall(RemtrackList& records, const std::wstring& installFolder);

// Writes installFolder + "remtrack\remtrack.xml" from the list through the DOM document: root
// "remtrack", one "Node" with "Name" and "Type" per record, one line, no declaration. document
// is the caller's slot for the DOM document: created here when empty, released before
// returning. Without the document class no file is written.
void WriteRemtrackXml(const RemtrackList& records, const std::wstring& installFolder,
                      ComPtr<IXMLDOMDocument2>& document);
