#pragma once
#include <string>

// Unpacking of the installer's payload: the ZIP archive stored in the program's own resources
// is written to a file and then unpacked, entry by entry, into the install folder.

// Writes the "ALLNEED" 129 resource to archivePath, then unpacks it into destination.
void ExtractPayload(const std::wstring& archivePath, const std::wstring& destination);

// Writes the payload resource of this module to archivePath (replacing an existing file);
// true when the file was created.
bool WritePayloadFile(const std::wstring& archivePath);

// Unpacks every entry of the archive into destination, creating the folder when missing.
// True when the archive was opened and every entry was attempted; a failed entry (a file in
// use, bad data) keeps its old file and does not stop the others.
bool UnzipToFolder(const std::wstring& archivePath, const std::wstring& destination);
