#pragma once

// The system-version tests of the installer as plain rules over what GetVersionExW reports,
// so that they can be checked for every system without running on it.

// Windows 7 is version 6.1 of the NT platform (platform id 2).
bool IsWindows7Version(unsigned long platformId, unsigned long major, unsigned long minor);

// The version-6 systems with a minor version below 4; the platform is not looked at.
bool IsVistaLineageVersion(unsigned long major, unsigned long minor);
