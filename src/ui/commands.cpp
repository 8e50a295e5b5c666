// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/commands.h"

#include <stdexcept>

namespace korvalin {

namespace {

constexpr CommandText kCommands[] = {
    {ID_FILE_NEW, "&New\tCtrl+N", "Create a New CD Image Template", "New CD Image Template"},
    {ID_FILE_OPEN, "&Open...\tCtrl+A", "Open a CD Image Template File", "Open CD Image Template"},
    {ID_FILE_SAVE, "&Save\tCtrl+G", "Save a CD Image Template File", "Save CD Image Template"},
    {ID_FILE_SAVE_AS, "Save As...", "", ""},
    {ID_EDIT_VOLUME_LABEL, "Edit Volume Label", "Edit CD Image Volume Label", "Edit Volume Label"},
    {ID_COMPILE_IMAGE, "Compile PS/PS2 CD Image", "Compile a PS/PS2 CD Image",
     "Compile PS/PS2 CD Image"},
    {ID_SYNC_TO_DISK, "Compile Through to Disk",
     "Finish a compile only when the image is on the disk, sending it there as it is written", ""},
    {ID_FILE_MRU_FIRST, "Recent Files", "Open Recent CD Image Template File", ""},
    {ID_APP_EXIT, "&Exit", "Exit", "Exit"},
    {ID_CREATE_DIRECTORY, "Create &Directory", "Create a New Sub Directory Folder",
     " New Sub Directory Folder"},
    {ID_CREATE_DUMMY_FILE, "Create Dummy File", "Create a New Dummy File", "New Dummy File"},
    {ID_RESET_LBAS, "Reset LBA's", "", ""},
    {ID_REMOVE_WARNINGS, "Remove Warnings", "", ""},
    {ID_IMPORT_ISOBUSTER, "&Import IsoBuster Tree listing", "", ""},
    {ID_ADD_FILES, "Add Files...", "Add files from disk to the selected folder", "Add Files"},
    {ID_ADD_FOLDER, "Add Folder...", "Add a folder and everything in it to the selected folder",
     "Add Folder"},
    {ID_VERIFY_IMAGE, "Verify Image...", "Check a CD image for damage", "Verify Image"},
    {ID_EXPORT_LISTING, "Export Listing...",
     "Write the disc's tree listing, LBA table or C header", ""},
    {ID_SYSTEM_AREA, "System Area...", "Load, clear or show the system area (license data)", ""},
    {ID_AUDIO_TRACKS, "Audio Tracks...", "Add, order and remove the CD audio tracks after the data track", ""},
    {ID_VOLUME_TEXTS, "Descriptor Texts...", "Set the volume descriptor's publisher, application and other texts", ""},
    {ID_NEW_DA_FILE, "New DA File...", "Create a file entry naming an audio track's sectors", ""},
    {ID_APP_ABOUT, "&About Korvalin", "About Korvalin", "About"},
    {ID_EDIT_INFO, "Edit Info", "", ""},
    {ID_REMOVE, "Remove", "", ""},
    {ID_NEXT_PANE, "", "", ""},
    {ID_PREV_PANE, "", "", ""},
};

}  // namespace

const CommandText& CommandTextOf(CommandId id) {
    for (const CommandText& command : kCommands) {
        if (command.id == id) return command;
    }
    throw std::out_of_range("unknown command id");
}

}  // namespace korvalin
