// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// DA files: directory entries that name an audio track's sectors, as games
// that play their music by file name have them.

#include <cstdint>
#include <string>
#include <vector>

#include "model/entry_editor.h"
#include "model/project.h"

namespace korvalin {

// The size a DA file records: the track's sectors counted as 2048-byte
// blocks, so that a reader dividing the size by the logical block size gets
// the track's sector count.
uint32_t DaFileSize(const AudioTrackPlace& place);

// After the data track is laid out: each DA file takes its track's INDEX 01
// as LBA and DaFileSize as size. One whose track is gone is left as it was
// (the pre-compile check names it).
void PlaceDaFiles(Project& project);

// New Dummy File's editor set to a DA file of the track at `place`: its
// LBA and size pinned to the track's.
void SetDaFileEditor(EntryEditorState& state, const AudioTrackPlace& place);

// The DA files whose track the project does not have, one message each.
std::vector<std::string> CheckDaFiles(const Project& project);

}  // namespace korvalin
