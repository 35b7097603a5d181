// Resource identifiers of dusksetup.exe.
#pragma once

#define IDI_SETUP    128  // icon group: one 48x48 icon, 32 bits
#define IDR_PAYLOAD  129  // type "ALLNEED": the ZIP archive the installer unpacks
