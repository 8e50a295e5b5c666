// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writes what a dumped disc recorded over the derived values: an entry's
// date, flags and CD-XA field in its directory record, and the descriptor's
// texts, dates and root record. Entries without facts are left as derived.

#include <cstdint>

#include "model/project.h"

namespace korvalin {

// Over a record of `length` bytes already written for `entry`; `hasXa`
// when the record ends in a CD-XA field.
void PutKeptEntryFacts(uint8_t* record, uint32_t length, const EntryRecord& entry, bool hasXa);

// The date the "." or ".." record of a directory extent carries, over it.
void PutKeptDate(uint8_t* record, const std::optional<RecordDateBytes>& date);

// Over a built primary volume descriptor.
void PutKeptVolumeTexts(const Project& project, uint8_t* descriptor);

}  // namespace korvalin
