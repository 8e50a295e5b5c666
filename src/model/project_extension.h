// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The project file's extension block: what the plain format has no room for
// (settings now; per-entry information and audio tracks later), appended
// after the last file block and announced in the header's reserved bytes.
// A project that needs none of it is written exactly in the plain format.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/project.h"

namespace korvalin {

// Header bytes 28-39: the marker, then the block's offset and length (u32).
constexpr size_t EXTENSION_ANNOUNCEMENT_OFFSET = 28;
constexpr char EXTENSION_ANNOUNCEMENT_MARKER[] = "KRVX";
// The block: magic, version, oldest version that can read it, record count,
// then records of u16 tag, u16 flags, u32 payload length and the payload.
constexpr char EXTENSION_BLOCK_MAGIC[] = "korvext";  // 8 bytes with the NUL
constexpr uint16_t EXTENSION_VERSION = 1;
// A record flag: a reader that does not know the tag must refuse the file
// rather than pass over it (the record changes what the compile writes).
constexpr uint16_t EXTENSION_RECORD_REQUIRED = 0x0001;

enum ExtensionTag : uint16_t {
    TAG_SYSTEM_AREA_SETTINGS = 0x0001,  // u32: bit 0 keep data, bit 1 stamp empty sectors
    TAG_RAW_XA_FILES = 0x0003,          // u32 count, u32 entry ids (extension_xa.h)
    TAG_ENTRY_DISC_FACTS = 0x0004,      // a dumped disc's exact directory-record facts per entry
    TAG_VOLUME_TEXTS = 0x0005,          // a dumped disc's descriptor texts and dates
    TAG_AUDIO_TRACK = 0x0002,           // one per track, in order: extension_audio_tracks.h
    TAG_DA_FILE = 0x0007,               // one per DA file: extension_da_files.h
    TAG_KEPT_SECTORS = 0x0006,          // the kept-sectors side file (extension_kept_sectors.h)
};

// After the plain format has been written from `fileStart` on: puts back the
// reserved header bytes a loaded file had and, when the project has settings
// or kept records, appends the block and announces it.
void StoreProjectExtension(const Project& project, std::vector<uint8_t>& bytes, size_t fileStart);

// After the plain format has been read up to `blocksEnd`: keeps the reserved
// header bytes and reads the announced block, if any, into `loaded`. False
// with `problem` set when the announcement or the block is damaged.
bool LoadProjectExtension(const std::vector<uint8_t>& bytes, size_t blocksEnd, Project& loaded,
                          std::string& problem);

}  // namespace korvalin
