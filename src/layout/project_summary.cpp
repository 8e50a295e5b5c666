// SPDX-License-Identifier: GPL-3.0-or-later
#include "layout/project_summary.h"

#include "model/message_format.h"

namespace korvalin {

std::string ProjectSummary(const Project& project) {
    const uint64_t sectors = static_cast<uint32_t>(project.layoutState.totalSectors);
    // 75 sectors a second; the first sector lies two seconds (150 sectors) in.
    uint64_t seconds = (sectors + 150) / 75;
    const uint64_t minutes = seconds / 60;
    seconds %= 60;
    const uint64_t kilobytes = sectors * 2352 / 1024;
    std::string text = FormatMessage("Time: %2.2u:%2.2u   TOC: %uKB/ LBA:%u  Files:%u Folders:%u ",
                         static_cast<unsigned>(minutes), static_cast<unsigned>(seconds),
                         static_cast<unsigned>(kilobytes), static_cast<unsigned>(sectors),
                         static_cast<unsigned>(project.fileCount()),
                         static_cast<unsigned>(project.dirCount()));
    if (!project.audioTracks.empty()) text += "Disc: " + DiscTimeText(project) + " ";
    return text;
}

}  // namespace korvalin
