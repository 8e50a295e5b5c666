// SPDX-License-Identifier: GPL-3.0-or-later
#include "image/kept_sector_writer.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <type_traits>

namespace korvalin {

namespace {

bool PastEnd(const KeptSector& sector) {
    return (sector.flags & KEPT_PAST_END) != 0;
}
bool Structure(const KeptSector& sector) {
    return (sector.flags & KEPT_STRUCTURE) != 0;
}

class TreeHasher {
  public:
    template <typename T>
    void Add(const T& value) {
        static_assert(std::is_trivially_copyable_v<T>);
        AddBytes(&value, sizeof value);
    }
    void AddBytes(const void* data, size_t count) {
        hash_ = HashBytes(static_cast<const uint8_t*>(data), count, hash_);
    }
    template <typename T>
    void AddOptional(const std::optional<T>& value) {
        Add(value.has_value());
        if (value) Add(*value);
    }
    void AddBytes(const std::vector<uint8_t>& bytes) {
        Add(bytes.size());
        AddBytes(bytes.data(), bytes.size());
    }
    uint64_t Hash() const { return hash_; }

  private:
    uint64_t hash_ = HASH_START;
};

void AddEntry(TreeHasher& h, const EntryRecord& e) {
    h.Add(e.nameLength);
    h.Add(e.name);
    h.Add(e.dosDate);
    h.Add(e.dosTime);
    h.Add(e.lba);
    h.Add(e.flags);
    h.Add(e.parent);
    h.Add(e.size);
    h.Add(e.recordLength);
    h.Add(e.rawXa);
    h.Add(e.daTrack);
    const EntryDiscFacts& facts = e.discFacts;
    h.AddOptional(facts.date);
    h.Add(facts.dosDate);
    h.Add(facts.dosTime);
    h.AddOptional(facts.xaField);
    h.AddOptional(facts.fileFlags);
    h.Add(facts.extentSize);
    h.AddOptional(facts.selfDate);
    h.AddOptional(facts.parentDate);
}

}  // namespace

bool LoadKeptSectorsForCompile(const Project& project, CompileState& state) {
    state.keptSectors.reset();
    if (!project.keptSectors.Present()) return true;
    auto kept = std::make_shared<KeptSectors>();
    if (!ReadKeptSectorsFile(project.keptSectors, *kept, state.compileMessage)) return false;
    if (kept->sectorBytes != state.sectorSize) return true;
    if (kept->treeHash != TreeHashOf(project)) std::erase_if(kept->sectors, Structure);
    // Past a layout that grew or shrank, the dumped disc's tail no longer fits.
    if (kept->layoutSectors != project.layoutState.totalSectors || state.imlMode) {
        std::erase_if(kept->sectors, PastEnd);
    }
    if (!kept->sectors.empty()) state.keptSectors = std::move(kept);
    return true;
}

void RestoreKeptSectors(const KeptSectors& kept, int32_t firstLba, int32_t count, uint8_t* bytes,
                        size_t sectorBytes) {
    for (auto it = kept.From(firstLba); it != kept.sectors.end() && it->lba < firstLba + count;
         ++it) {
        uint8_t* sector = bytes + static_cast<size_t>(it->lba - firstLba) * sectorBytes;
        if (PastEnd(*it) || HashBytes(sector, sectorBytes) == it->generatedHash) {
            UnpackKeptSector(*it, sector, sectorBytes);
        }
    }
}

bool AppendTrailingKeptSectors(CompileState& state) {
    if (!state.keptSectors) return true;
    const KeptSectors& kept = *state.keptSectors;
    const std::vector<uint8_t> placeholder(static_cast<size_t>(kept.sectorBytes), 0);
    for (auto it = kept.From(state.writeLba); it != kept.sectors.end(); ++it) {
        if (!PastEnd(*it) || it->lba != state.writeLba) break;
        if (!state.image.AppendSector(placeholder.data())) return false;
        ++state.writeLba;
    }
    return true;
}

uint64_t TreeHashOf(const Project& project) {
    TreeHasher h;
    const VolumeInfo& v = project.volumeInfo;
    h.Add(v.label);
    for (int32_t field : {v.day, v.month, v.year, v.hour, v.minute, v.second}) h.Add(field);
    h.AddBytes(project.systemArea.data(), project.systemArea.size());
    h.Add(project.settings.keepSystemArea);
    h.Add(project.settings.stampSystemArea);
    for (const DirEntry& d : project.dirTable) AddEntry(h, d);
    for (const FileEntry& f : project.fileTable) AddEntry(h, f);
    for (const auto& field : project.volumeTexts.fields) {
        h.Add(field.has_value());
        if (field) h.AddBytes(*field);
    }
    h.AddBytes(project.volumeTexts.datedWith.data(), project.volumeTexts.datedWith.size());
    h.Add(project.layoutState.totalSectors);
    h.Add(project.layoutState.pathTableBytes);
    for (const Extent& e : project.extentTable) {
        h.Add(e.entryId);
        h.Add(e.firstLba);
        h.Add(e.lastLba);
    }
    return h.Hash();
}

std::vector<std::string> CheckKeptSectors(const Project& project) {
    if (!project.keptSectors.Present()) return {};
    KeptSectors kept;
    std::string message;
    if (ReadKeptSectorsFile(project.keptSectors, kept, message)) return {};
    return {message};
}

}  // namespace korvalin
