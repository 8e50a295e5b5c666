// SPDX-License-Identifier: GPL-3.0-or-later
#include "import/listing_writer.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <vector>

#include "layout/recompute_layout.h"
#include "model/disc_names.h"
#include "model/disc_path.h"
#include "model/message_format.h"
#include "platform/file_io.h"

namespace korvalin {

namespace {

constexpr int32_t FRAMES_PER_SECOND = 75;
constexpr int32_t LEAD_IN_FRAMES = 150;  // sector 0 sits at 00:02:00
constexpr char LBA_TABLE_HEADING[] = "       LBA    Sectors        Bytes  Time      Kind   Path\n";
constexpr char LBA_TABLE_ROW[] = "%10d %10d %12u  %s  %-5s  %s\n";
constexpr char MSG_OUTPUT_IS_PROJECT[] = "%s: is the project file; the listing would replace it";
constexpr char MSG_CANNOT_WRITE[] = "%s: cannot write the listing (%s)";

// Every entry but the root: directories, then files, in table order.
std::vector<int32_t> EntriesInTableOrder(const Project& project, bool withRoot) {
    std::vector<int32_t> ids;
    for (int32_t d = withRoot ? 0 : 1; d < project.dirCount(); ++d) ids.push_back(d);
    for (int32_t f = 0; f < project.fileCount(); ++f) ids.push_back(FileId(f));
    return ids;
}

std::string IsoBusterListing(const Project& project) {
    std::string text;
    for (int32_t id : EntriesInTableOrder(project, false)) {
        text += std::to_string(EntryById(project, id).lba) + " , " + DiscPathOfEntry(project, id) +
                "\r\n";
    }
    return text;
}

// The disc time of an LBA, mm:ss:ff.
std::string DiscTime(int32_t lba) {
    const int64_t frames = int64_t{lba} + LEAD_IN_FRAMES;
    if (frames < 0) return "--:--:--";
    return FormatMessage("%02lld:%02lld:%02lld",
                         static_cast<long long>(frames / (60 * FRAMES_PER_SECOND)),
                         static_cast<long long>(frames / FRAMES_PER_SECOND % 60),
                         static_cast<long long>(frames % FRAMES_PER_SECOND));
}

const char* KindOf(const EntryRecord& entry, int32_t id) {
    if (IsDirId(id)) return "dir";
    return entry.IsDummy() ? "dummy" : "file";
}

std::string LbaTable(const Project& project) {
    std::vector<int32_t> ids = EntriesInTableOrder(project, true);
    std::stable_sort(ids.begin(), ids.end(), [&](int32_t a, int32_t b) {
        return EntryById(project, a).lba < EntryById(project, b).lba;
    });
    std::string text = LBA_TABLE_HEADING;
    for (int32_t id : ids) {
        const EntryRecord& e = EntryById(project, id);
        text +=
            FormatMessage(LBA_TABLE_ROW, e.lba, SectorsOf(e.size), e.size, DiscTime(e.lba).c_str(),
                          KindOf(e, id), DiscPathOfEntry(project, id).c_str());
    }
    text += FormatMessage("Total: %d sectors\n", project.layoutState.totalSectors);
    return text;
}

// Upper-case letters, digits and single underscores for everything else.
std::string Identifier(std::string_view text) {
    std::string out;
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        const bool word = u < 0x80 && std::isalnum(u);
        if (word) {
            out += static_cast<char>(std::toupper(u));
        } else if (!out.empty() && out.back() != '_') {
            out += '_';
        }
    }
    while (!out.empty() && out.back() == '_') out.pop_back();
    return out;
}

// The name part of an entry's constants, unique among those already taken.
std::string UniqueName(const Project& project, int32_t id, std::set<std::string>& taken) {
    std::string base = Identifier(DiscPathOfEntry(project, id));
    if (base.empty()) base = IsDirId(id) ? "ROOT" : "FILE";
    std::string name = base;
    for (int n = 2; !taken.insert(name).second; ++n) name = base + "_" + std::to_string(n);
    return name;
}

std::string CHeader(const Project& project) {
    std::string label = Identifier(project.volumeInfo.Label());
    const std::string guard = "KORVALIN_" + (label.empty() ? "DISC" : label) + "_LBA_H";
    std::string text = "/* LBAs and sizes of the files on the disc " +
                       std::string(project.volumeInfo.Label()) + ", written by korvalin. */\n" +
                       "#ifndef " + guard + "\n#define " + guard + "\n\n";
    std::set<std::string> taken;
    for (int32_t id : EntriesInTableOrder(project, false)) {
        const EntryRecord& e = EntryById(project, id);
        const std::string name = UniqueName(project, id, taken);
        text += FormatMessage("#define LBA_%s %d\n#define SIZE_%s %u\n", name.c_str(), e.lba,
                              name.c_str(), e.size);
    }
    return text + "\n#endif /* " + guard + " */\n";
}

}  // namespace

std::optional<ListingFormat> ListingFormatByName(std::string_view name) {
    if (name == "isobuster") return ListingFormat::ISOBUSTER;
    if (name == "lba") return ListingFormat::LBA_TABLE;
    if (name == "c-header") return ListingFormat::C_HEADER;
    return std::nullopt;
}

ListingFormat ListingFormatForPath(std::string_view path) {
    const std::string_view name = path.substr(path.find_last_of('/') + 1);
    const size_t dot = name.rfind('.');
    const std::string extension =
        dot == std::string_view::npos ? std::string() : UpperCaseAscii(name.substr(dot + 1));
    if (extension == "H") return ListingFormat::C_HEADER;
    if (extension == "LST") return ListingFormat::LBA_TABLE;
    return ListingFormat::ISOBUSTER;
}

std::string ListingText(const Project& project, ListingFormat format) {
    switch (format) {
        case ListingFormat::ISOBUSTER:
            return IsoBusterListing(project);
        case ListingFormat::LBA_TABLE:
            return LbaTable(project);
        case ListingFormat::C_HEADER:
            return CHeader(project);
    }
    return {};
}

bool WriteListingFile(const std::string& text, const std::string& outputPath,
                      const std::string& projectPath, std::string& message) {
    std::error_code error;
    if (!projectPath.empty() && std::filesystem::equivalent(outputPath, projectPath, error)) {
        message = FormatMessage(MSG_OUTPUT_IS_PROJECT, outputPath.c_str());
        return false;
    }
    std::string reason;
    if (WriteFileAtomically(outputPath, std::vector<uint8_t>(text.begin(), text.end()), reason)) {
        return true;
    }
    message = FormatMessage(MSG_CANNOT_WRITE, outputPath.c_str(), reason.c_str());
    return false;
}

}  // namespace korvalin
