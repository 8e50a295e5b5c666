// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Tools > "Repair Image..." and "Replace File in Image...": patch a disc
// image in place, with the progress window, and say what was done. Every
// question and message goes through the application's prompt.

namespace korvalin {

class CKorvalinApp;
class CMainFrame;

// Adds both actions to the Tools menu, creating the menu before Help when
// the frame has none yet.
void AddPatchImageActions(CMainFrame& frame, CKorvalinApp& app);

}  // namespace korvalin
