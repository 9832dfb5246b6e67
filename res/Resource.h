// Resource identifiers shared by the resource script and the code.
#pragma once

#define IDB_CHARACTER 100  // the character picture of the main window, at 96 dots per inch
// The same picture drawn for other display resolutions (dots per inch), as QOI files.
#define IDP_CHARACTER_120 101
#define IDP_CHARACTER_144 102
#define IDP_CHARACTER_168 103
#define IDP_CHARACTER_192 104
#define IDP_CHARACTER_240 105
#define IDP_CHARACTER_288 106
#define IDR_MANIFEST 1  // CREATEPROCESS_MANIFEST_RESOURCE_ID
