// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's own name and version texts.

namespace korvalin {

#ifndef KORVALIN_VERSION
#error "KORVALIN_VERSION is defined by the build (the project's version)"
#endif

// Application title: the caption of every message box.
inline constexpr char PROGRAM_NAME[] = "Korvalin";
inline constexpr char WINDOW_TITLE[] = "Korvalin v" KORVALIN_VERSION;
inline constexpr char ABOUT_VERSION_LINE[] = "Korvalin Version " KORVALIN_VERSION;
inline constexpr char IDLE_PROMPT[] = "Ready!";
inline constexpr char SUMMARY_PLACEHOLDER[] = "En barra de estado se situa";

// Project files: the open and save dialogs, and the framework's Save As.
inline constexpr char PROJECT_FILE_FILTER[] = "KRV Files (*.krv)|*.krv||";
inline constexpr char PROJECT_SAVE_AS_FILTER[] = "Korvalin Template File (*.krv)|*.krv||";
inline constexpr char PROJECT_EXTENSION[] = "krv";
inline constexpr char NEW_PROJECT_BASE_NAME[] = "Korvalin";

// The file dialogs of Add Files... and Add Folder...
inline constexpr char ADD_FILES_TITLE[] = "Add Files";
inline constexpr char ADD_FOLDER_TITLE[] = "Add Folder";

// Per-user settings: the organisation key and the recent-files list.
inline constexpr char SETTINGS_ORGANIZATION[] = "Local AppWizard-Generated Applications";
inline constexpr char SETTINGS_APPLICATION[] = "Korvalin";
inline constexpr int RECENT_FILE_COUNT = 4;

}  // namespace korvalin
