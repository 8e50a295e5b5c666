// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/json_output.h"

#include <iostream>

#include "model/audio_track.h"
#include "model/message_format.h"

namespace korvalin::cli {

namespace {
CollectedErrors* collecting = nullptr;
}  // namespace

CollectedErrors::CollectedErrors() : outer_(collecting) { collecting = this; }
CollectedErrors::~CollectedErrors() { collecting = outer_; }

void CollectError(const std::string& text) {
    if (collecting != nullptr) collecting->Add(text);
}

void PrintJson(Json object, bool ok, const CollectedErrors& errors) {
    object["ok"] = ok;
    object["errors"] = errors.texts();
    // Names from disc images need not be UTF-8; a script still gets valid JSON.
    std::cout << object.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
}

Json ErrorLogJson(const ErrorLog& log) {
    Json lines = Json::array();
    int warnings = 0;
    for (const std::string& line : log.lines()) {
        const bool warning = !line.empty() && line[0] == '*';  // the log's own mark
        warnings += warning ? 1 : 0;
        lines.push_back({{"text", warning ? line.substr(1) : line}, {"warning", warning}});
    }
    return Json{{"log", lines},
                {"logErrors", log.count() - warnings},
                {"logWarnings", warnings}};
}

std::string IsoDateTime(const CalendarTime& t) {
    return FormatMessage("%4.4d-%2.2d-%2.2dT%2.2d:%2.2d:%2.2d", t.year, t.month, t.day, t.hour,
                         t.minute, t.second);
}

Json AudioTracksJson(const Project& project) {
    const std::vector<AudioTrackPlace> places = PlaceAudioTracks(project);
    Json tracks = Json::array();
    for (size_t i = 0; i < places.size(); ++i) {
        const AudioTrack& track = project.audioTracks[i];
        tracks.push_back({{"number", i + 2},
                          {"source", track.sourcePath},
                          {"kind", track.kind == AudioSourceKind::Wav ? "wav" : "raw"},
                          {"sectors", places[i].sectors},
                          {"bytes", track.dataBytes},
                          {"pregap", track.pregapSectors},
                          {"start_lba", places[i].startLba},
                          {"start", MsfText(places[i].startLba)}});
    }
    return tracks;
}

}  // namespace korvalin::cli
