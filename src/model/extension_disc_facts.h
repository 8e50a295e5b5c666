// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The extension records that keep a dumped disc's exact metadata: one for
// the entries' facts (tag 0x0004), one for the volume descriptor's texts and
// dates (tag 0x0005). Both change what the compile writes.

#include <string>

#include "model/project.h"

namespace korvalin {

// One record per entry with facts, in table order (directories first).
void AppendEntryFactRecords(const Project& project, std::vector<ExtensionRecord>& records);
// The record, or false when the project keeps no descriptor fields.
bool EncodeVolumeTexts(const Project& project, ExtensionRecord& record);

// Into the loaded project, whose tables are read already. False with
// `problem` set when the payload is cut short, names no entry or one that
// has its facts already, or holds facts this version cannot take. Bytes
// after what this version reads are ignored.
bool DecodeEntryFacts(const ExtensionRecord& record, Project& loaded, std::string& problem);
bool DecodeVolumeTexts(const ExtensionRecord& record, Project& loaded, std::string& problem);

}  // namespace korvalin
