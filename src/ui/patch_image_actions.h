// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Tools > "Repair Image..." and "Replace File in Image...": patch a disc
// image in place, with the progress window, and say what was done.

namespace korvalin {

class CMainFrame;

// Adds both actions to the Tools menu, creating the menu before Help when
// the frame has none yet.
void AddPatchImageActions(CMainFrame& frame);

}  // namespace korvalin
