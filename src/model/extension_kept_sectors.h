// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Extension record 0x0006: where the project's kept sectors are and how the
// side file must look (u32 count, u64 size, u64 checksum, then the path's
// bytes to the end of the payload). Required: a reader that cannot put the
// sectors back would compile another disc.

#include <string>

#include "model/kept_sectors.h"
#include "model/project.h"

namespace korvalin {

ExtensionRecord KeptSectorsRecord(const KeptSectorsRef& ref);
// False with `problem` set when the payload is too short or names no file.
bool TakeKeptSectorsRecord(const ExtensionRecord& record, KeptSectorsRef& ref,
                           std::string& problem);

}  // namespace korvalin
