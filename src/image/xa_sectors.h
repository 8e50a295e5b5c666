// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The raw sectors of a raw XA file: each 2336-byte source sector (subheader
// and the rest) goes whole into bytes 16-2351 of one Mode 2 sector, which
// gets sync and address like every sector and the EDC (and, for Form 1,
// parity) its own submode calls for.

#include <cstdint>

#include "image/sector_encoder.h"
#include "platform/sequential_file.h"

namespace korvalin {

constexpr int32_t XA_SECTOR_DATA_OFFSET = 16;

// Reads `count` source sectors from byte `offset` into consecutive raw
// sectors from `first`; returns how many whole sectors it got.
int32_t ReadXaSectors(const InputFile& source, uint64_t offset, uint8_t* first, int32_t count);

// Sync, the address of `lba` (counting up per sector) and mode 2 into bytes
// 0-15 of `count` consecutive raw sectors; the subheaders are left alone.
void StampXaSectorHeaders(uint8_t* first, int32_t count, int32_t lba);

// EDC, and P/Q parity for Form 1. A Form 2 sector whose source EDC is zero
// (not computed, which CD-XA allows) keeps it zero, so that a dumped disc
// compiles back as it was.
void EncodeXaSector(SectorEncoder& encoder, uint8_t* sector);

}  // namespace korvalin
