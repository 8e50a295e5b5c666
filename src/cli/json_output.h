// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// --json: one object on standard output in place of a command's text.

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "layout/error_log.h"
#include "model/calendar_time.h"
#include "model/project.h"

namespace korvalin::cli {

using Json = nlohmann::ordered_json;

// While one is alive, PrintError also keeps each message, so a script gets
// the reasons of a failure in the object as well as on standard error.
class CollectedErrors {
  public:
    CollectedErrors();
    ~CollectedErrors();
    CollectedErrors(const CollectedErrors&) = delete;
    CollectedErrors& operator=(const CollectedErrors&) = delete;
    const std::vector<std::string>& texts() const { return texts_; }
    void Add(const std::string& text) { texts_.push_back(text); }

  private:
    std::vector<std::string> texts_;
    CollectedErrors* outer_;
};

// Keeps `text` when errors are being collected.
void CollectError(const std::string& text);

// Adds "ok" and "errors" (what was printed on standard error) and prints
// the object on one line of standard output.
void PrintJson(Json object, bool ok, const CollectedErrors& errors);

// The error log as objects {"text", "warning"} with its counts.
Json ErrorLogJson(const ErrorLog& log);

// The project's audio tracks, placed after its last layout: one object each
// (number, source, kind, sectors, bytes, pregap, start_lba, start).
Json AudioTracksJson(const Project& project);

// "YYYY-MM-DDTHH:MM:SS".
std::string IsoDateTime(const CalendarTime& t);

}  // namespace korvalin::cli
