#pragma once

// String-table ids of the program's own texts, in morvelle.exe's resources.
// Read by the resource compiler as well, hence plain macros. The message-text
// library supplies only the texts 103 to 105: an installation's own library
// may have unrelated texts, or none, under any other number.
#define IDS_FOLDER_KEPT 1001
#define IDS_LIST_NOT_LOADED 1002
#define IDS_OUT_OF_MEMORY 1003
#define IDS_STATION_ON_AIR 1004
