// SPDX-License-Identifier: GPL-3.0-or-later
#include "disc/cue_sheet_parser.h"

#include <cctype>
#include <sstream>

#include "model/disc_names.h"
#include "model/message_format.h"

namespace korvalin {

namespace {

constexpr int64_t FRAMES_PER_SECOND = 75;

int32_t SectorBytesOfMode(const std::string& mode) {
    if (mode == "MODE1/2352" || mode == "MODE2/2352" || mode == "AUDIO") return 2352;
    if (mode == "MODE2/2336") return 2336;
    if (mode == "MODE1/2048" || mode == "MODE2/2048") return 2048;
    return 0;
}

// "mm:ss:ff" as sectors; -1 when it is not that.
int64_t ParseTime(const std::string& text) {
    int64_t parts[3] = {};
    size_t part = 0;
    size_t digits = 0;
    for (char c : text) {
        if (c == ':' && part < 2 && digits > 0) {
            ++part;
            digits = 0;
        } else if (std::isdigit(static_cast<unsigned char>(c)) && digits < 4) {
            parts[part] = parts[part] * 10 + (c - '0');
            ++digits;
        } else {
            return -1;
        }
    }
    if (part != 2 || digits == 0 || parts[1] > 59 || parts[2] >= FRAMES_PER_SECOND) return -1;
    return (parts[0] * 60 + parts[1]) * FRAMES_PER_SECOND + parts[2];
}

// The FILE line's name: quoted, or the first word.
std::string FileName(std::istringstream& line) {
    std::string rest;
    std::getline(line >> std::ws, rest);
    if (!rest.empty() && rest[0] == '"') {
        const size_t close = rest.find('"', 1);
        return rest.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    }
    return rest.substr(0, rest.find_first_of(" \t\r"));
}

}  // namespace

bool ParseCueSheet(const std::string& text, CueSheet& sheet, std::string& problem) {
    std::istringstream lines(text);
    std::string line;
    std::string file;
    int lineNumber = 0;
    while (std::getline(lines, line)) {
        ++lineNumber;
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        keyword = UpperCaseAscii(keyword);
        if (keyword == "FILE") {
            file = FileName(words);
        } else if (keyword == "TRACK") {
            CueTrack track;
            std::string mode;
            words >> track.number >> mode;
            if (file.empty() || mode.empty()) {
                problem = FormatMessage("line %d: a TRACK needs a FILE before it and a mode", lineNumber);
                return false;
            }
            track.mode = UpperCaseAscii(mode);
            track.sectorBytes = SectorBytesOfMode(track.mode);
            track.file = file;
            sheet.tracks.push_back(track);
        } else if (keyword == "INDEX") {
            int number = -1;
            std::string time;
            words >> number >> time;
            const int64_t sectors = ParseTime(time);
            if (sheet.tracks.empty() || sectors < 0) {
                problem = FormatMessage("line %d: INDEX needs a TRACK before it and a time mm:ss:ff", lineNumber);
                return false;
            }
            if (number == 1) sheet.tracks.back().index1 = sectors;
            if (number == 0) sheet.tracks.back().index0 = sectors;
        } else if (keyword == "PREGAP") {
            std::string time;
            words >> time;
            const int64_t sectors = ParseTime(time);
            if (sheet.tracks.empty() || sectors < 0) {
                problem = FormatMessage("line %d: PREGAP needs a TRACK before it and a time mm:ss:ff", lineNumber);
                return false;
            }
            sheet.tracks.back().pregap = sectors;
        }
    }
    return true;
}

}  // namespace korvalin
