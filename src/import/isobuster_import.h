// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Rebuilds the project's tree from an IsoBuster tree listing and the files
// extracted beside it.

#include <cstdint>
#include <string>

#include "layout/error_log.h"
#include "model/progress.h"
#include "model/project.h"
#include "model/user_prompt.h"

namespace korvalin {

// The options dialog's value: the index of the chosen radio button.
enum ImportMode : int32_t {
    IMPORT_RESPECTIVE_LBA = 0,    // files pinned at their listed LBA
    IMPORT_RESPECTIVE_ORDER = 1,  // listed LBA kept unpinned, files sorted by it
    IMPORT_LBA_ORDER = 2,         // listed LBA dropped, files in listing order
};
constexpr const char* IMPORT_MODE_TEXTS[] = {
    "Import Respective LBA",
    "Import Respective Order By Entry",
    "Import LBA Order (Without LBA Set)",
};
constexpr char IMPORT_DIALOG_TITLE[] = "IsoBuster Tree Listing Import Options";
constexpr char IMPORT_DIALOG_GROUP[] = " Import Modes ";
constexpr char IMPORT_FILE_FILTER[] = "Texts (*.txt)|*.txt|All Files (*.*)|*.*||";
constexpr char IMPORT_DEFAULT_EXTENSION[] = ".TXT";
constexpr char IMPORT_CANNOT_OPEN_MESSAGE[] = "Cannot open filename  \n";

constexpr int IMPORT_FINISHED = 0;
// A table filled up while listed entries were still to be imported.
constexpr int IMPORT_STOPPED_ON_LIMIT = 1;
// An illegal name or a repeated file ended the import; its line is in the log.
constexpr int IMPORT_ENDED_ON_ERROR = 2;
// A record could not be allocated; "OUT OF MEMORY (PROC ADDFILE)" was shown.
constexpr int IMPORT_OUT_OF_MEMORY = 3;
// The listing could not be opened; "Cannot open filename  \n" was shown and
// the project is left empty (root only) with its new label and date.
constexpr int IMPORT_CANNOT_OPEN = 4;

// Replaces the project's tree (the root record is kept) by the listing's:
// the label and volume date are set from the listing's path and `utcNow`,
// then the listing is read level by level. Whatever the result, the entries
// imported so far stay and the project is consistent; the caller lays the
// tree out again and refreshes. A mode other than 0, 1 or 2 counts as 0.
// In modes 0 and 1 a file listed at an LBA no disc can hold it at is logged
// and left out, and a file whose data another listed file holds (same LBA and
// not larger, or lying inside its range) becomes a dummy of its own size;
// mode 1 lays the files out and moves each such dummy with its holder.
// Message boxes go through `prompt`.
int ImportIsoBusterListing(Project& project, const std::string& listingPath, int32_t mode,
                           const CalendarTime& utcNow, ErrorLog& log, UserPrompt& prompt,
                           const ProgressCallback& progress = {});

}  // namespace korvalin
