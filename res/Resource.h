// Resource identifiers shared by the resource script and the code.
#pragma once

#define IDB_CHARACTER 100   // the character picture of the main window
#define IDR_MANIFEST 1      // CREATEPROCESS_MANIFEST_RESOURCE_ID
