// SPDX-License-Identifier: GPL-3.0-or-later
// track add|rm|ls|set: the audio tracks after the data track; da: a file
// entry naming one. Tracks are
// named by their number on the disc, as the cue sheet counts them: the data
// track is 1, the first audio track 2.

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/json_output.h"
#include "layout/da_files.h"
#include "layout/recompute_layout.h"
#include "model/audio_track.h"
#include "model/entry_editor.h"
#include "model/message_format.h"
#include "model/new_dummy_file.h"

namespace korvalin::cli {

namespace {

constexpr char NOT_A_TRACK[] = "korvalin: %s: no audio track %s (it has %zu, numbered 2 to %zu)";
constexpr char NO_TRACKS[] = "korvalin: %s: no audio track %s (it has none)";
constexpr char TOO_MANY[] = "korvalin: %s: a disc holds at most %d audio tracks";
constexpr char BAD_SOURCE[] = "korvalin: %s: %s";
constexpr char BAD_PREGAP[] =
    "expected a pregap in sectors (150) or as MM:SS:FF (00:02:00), at most 99:59:74: ";
constexpr char WRONG_OPERANDS[] = "korvalin: track %s: %s";
constexpr char NAMED_BY_DA[] = "korvalin: %s: track %s is named by the DA file %s; remove that first";
constexpr char NOT_A_DIRECTORY[] = "korvalin: %s: no such directory in %s";
constexpr char LISTING_HEAD[] = "TRACK  START     LENGTH    PREGAP    SOURCE\n";

struct Args {
    std::string action, project;
    std::vector<std::string> operands;
    std::string pregap, source, moveTo;
    bool json = false;
    CLI::Option* pregapOption = nullptr;
    CLI::Option* sourceOption = nullptr;
    CLI::Option* moveToOption = nullptr;
};

const CLI::Validator PREGAP_VALUE(
    [](const std::string& text) {
        int32_t sectors = 0;
        return ParsePregap(text, sectors) ? std::string() : BAD_PREGAP + text;
    },
    "SECTORS|MM:SS:FF");

int32_t PregapOf(const std::string& text) {
    int32_t sectors = DEFAULT_PREGAP_SECTORS;
    ParsePregap(text, sectors);  // checked by the option's validator
    return sectors;
}

// The list index of the track numbered `text`, or -1 after a message.
int32_t TrackIndex(const Project& project, const std::string& projectPath, const std::string& text) {
    const size_t count = project.audioTracks.size();
    int64_t number = 0;
    if (ParseDecimal(text, 99, number) && number >= 2 && static_cast<size_t>(number) <= count + 1) {
        return static_cast<int32_t>(number - 2);
    }
    if (count == 0) {
        PrintError(FormatMessage(NO_TRACKS, projectPath.c_str(), text.c_str()));
    } else {
        PrintError(FormatMessage(NOT_A_TRACK, projectPath.c_str(), text.c_str(), count, count + 1));
    }
    return -1;
}

// The track a source file makes, or false after a message naming the file.
bool ProbeSource(const std::string& path, AudioTrack& track) {
    std::string problem;
    if (ProbeAudioSource(NormalisedPath(path), track, problem)) return true;
    PrintError(FormatMessage(BAD_SOURCE, path.c_str(), problem.c_str()));
    return false;
}

EditEnd AddTracks(Project& project, const Args& args) {
    if (project.audioTracks.size() + args.operands.size() > MAX_AUDIO_TRACKS) {
        PrintError(FormatMessage(TOO_MANY, args.project.c_str(), MAX_AUDIO_TRACKS));
        return EditEnd::Refused;
    }
    std::vector<AudioTrack> added;
    for (const std::string& path : args.operands) {
        AudioTrack track;
        if (!ProbeSource(path, track)) return EditEnd::Refused;
        if (args.pregapOption->count() > 0) track.pregapSectors = PregapOf(args.pregap);
        added.push_back(track);
    }
    project.audioTracks.insert(project.audioTracks.end(), added.begin(), added.end());
    return EditEnd::Save;
}

EditEnd RemoveTrack(Project& project, const Args& args) {
    const int32_t index = TrackIndex(project, args.project, args.operands[0]);
    if (index < 0) return EditEnd::Refused;
    const std::string namedBy = RemoveAudioTrack(project, static_cast<size_t>(index));
    if (namedBy.empty()) return EditEnd::Save;
    PrintError(FormatMessage(NAMED_BY_DA, args.project.c_str(), args.operands[0].c_str(), namedBy.c_str()));
    return EditEnd::Refused;
}

EditEnd SetTrack(Project& project, const Args& args) {
    const int32_t index = TrackIndex(project, args.project, args.operands[0]);
    if (index < 0) return EditEnd::Refused;
    AudioTrack& track = project.audioTracks[static_cast<size_t>(index)];
    if (args.sourceOption->count() > 0) {
        AudioTrack probed;
        if (!ProbeSource(args.source, probed)) return EditEnd::Refused;
        probed.pregapSectors = track.pregapSectors;
        track = probed;
    }
    if (args.pregapOption->count() > 0) track.pregapSectors = PregapOf(args.pregap);
    if (args.moveToOption->count() > 0) {
        const int32_t to = TrackIndex(project, args.project, args.moveTo);
        if (to < 0) return EditEnd::Refused;
        MoveAudioTrack(project, static_cast<size_t>(index), static_cast<size_t>(to));
    }
    return EditEnd::Save;
}

void ListTracks(const Project& project, bool json) {
    if (json) {
        CollectedErrors errors;
        PrintJson({{"data_sectors", project.layoutState.totalSectors},
                   {"disc_sectors", DiscEndLba(project)},
                   {"disc_time", DiscTimeText(project)},
                   {"tracks", AudioTracksJson(project)}},
                  true, errors);
        return;
    }
    const std::vector<AudioTrackPlace> places = PlaceAudioTracks(project);
    std::cout << LISTING_HEAD;
    for (size_t i = 0; i < places.size(); ++i) {
        const AudioTrack& track = project.audioTracks[i];
        std::cout << FormatMessage("%5zu  %s  %s  %s  %s\n", i + 2,
                                   MsfText(places[i].startLba).c_str(),
                                   MsfText(places[i].sectors).c_str(),
                                   MsfText(track.pregapSectors).c_str(), track.sourcePath.c_str());
    }
    std::cout << "Disc time " << DiscTimeText(project) << '\n';
}

// The operands and options each action takes; "" when they fit.
std::string OperandProblem(const Args& args) {
    const size_t n = args.operands.size();
    const bool pregap = args.pregapOption->count() > 0;
    const bool setOnly = args.sourceOption->count() > 0 || args.moveToOption->count() > 0;
    if (args.action == "add") {
        if (n == 0) return "expects one or more FILE operands";
        if (setOnly || args.json) return "takes only --pregap";
    } else if (args.action == "rm") {
        if (n != 1) return "expects one track NUMBER";
        if (pregap || setOnly || args.json) return "takes no option";
    } else if (args.action == "ls") {
        if (n != 0) return "takes no operand after PROJECT";
        if (pregap || setOnly) return "takes only --json";
    } else if (args.action == "set") {
        if (n != 1) return "expects one track NUMBER";
        if (args.json) return "does not take --json";
        if (!pregap && !setOnly) return "needs --pregap, --source or --move-to";
    }
    return "";
}

int RunTrack(const Args& args) {
    const std::string problem = OperandProblem(args);
    if (!problem.empty()) {
        PrintError(FormatMessage(WRONG_OPERANDS, args.action.c_str(), problem.c_str()));
        return EXIT_USAGE;
    }
    if (args.action == "ls") {
        Project project;
        if (!LoadProject(args.project, project)) return EXIT_ERROR;
        RecomputeLayout(project);
        ListTracks(project, args.json);
        return EXIT_OK;
    }
    EditEnd (*edit)(Project&, const Args&) = args.action == "add" ? AddTracks
                                             : args.action == "rm" ? RemoveTrack
                                                                   : SetTrack;
    return EditProject(args.project, [&args, edit](Project& project) { return edit(project, args); });
}

// Plays the user's part in New Dummy File: the name, the track's LBA and
// size. A refused OK leaves the editor's message in `refusal`.
EntryEditorRunner DaFileEditor(const std::string& name, const AudioTrackPlace& place,
                               std::string& refusal) {
    return [name, place, &refusal](Project& project, EntryEditorState& state) {
        state.nameText = TypedUpperCase(name);
        SetDaFileEditor(state, place);
        const EditorCheck check = ConfirmEntryEditor(project, state);
        refusal = check.message;
        return check.code == EDITOR_OK;
    };
}

EditEnd MakeDaFile(Project& project, const std::string& projectPath, const std::string& discPath,
                   const std::string& trackText) {
    const int32_t index = TrackIndex(project, projectPath, trackText);
    if (index < 0) return EditEnd::Refused;
    std::string path = discPath;
    while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    const size_t cut = path.find_last_of("\\/");
    const std::string parentPath = cut == std::string::npos ? "\\" : path.substr(0, cut + 1);
    const int32_t parent = FindEntryByDiscPath(project, parentPath);
    if (parent < 0 || !IsDirId(parent)) {
        PrintError(FormatMessage(NOT_A_DIRECTORY, parentPath.c_str(), projectPath.c_str()));
        return EditEnd::Refused;
    }
    project.currentDir = parent;
    const AudioTrackPlace place = PlaceAudioTracks(project)[static_cast<size_t>(index)];
    std::string refusal;
    const std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
    const EditOutcome outcome = NewDummyFile(project, DaFileEditor(name, place, refusal));
    if (outcome.code != EDIT_OK) {
        PrintError(outcome.code == EDIT_REFUSED ? outcome.message : refusal);
        return EditEnd::Refused;
    }
    project.fileTable.back().daTrack = index + 2;
    return EditEnd::Save;
}

void AddDa(CLI::App& app, int& status) {
    struct DaArgs {
        std::string project, discPath, track;
    };
    auto args = std::make_shared<DaArgs>();
    auto* cmd = app.add_subcommand("da", "Create a DA file: an entry naming an audio track's sectors.");
    cmd->add_option("PROJECT", args->project, "The project file (.krv)")->required();
    cmd->add_option("DISCPATH", args->discPath, "The new file, e.g. \\MUSIC\\TITLE.DA")->required();
    cmd->add_option("--track", args->track, "The audio track it names (2 is the first)")->required();
    cmd->callback([args, &status] {
        status = EditProject(args->project, [&args](Project& project) {
            return MakeDaFile(project, args->project, args->discPath, args->track);
        });
    });
}

}  // namespace

void RegisterTrackCommands(CLI::App& app, int& status) {
    AddDa(app, status);
    auto args = std::make_shared<Args>();
    auto* cmd = app.add_subcommand(
        "track", "Add, remove, list or change the audio tracks after the data track.");
    cmd->add_option("ACTION", args->action, "add FILE..., rm NUMBER, ls, or set NUMBER")
        ->required()
        ->check(CLI::IsMember({"add", "rm", "ls", "set"}));
    cmd->add_option("PROJECT", args->project, "The project file (.krv)")->required();
    cmd->add_option("OPERANDS", args->operands,
                    "add: WAV or raw CD audio files; rm, set: the track number (2 is the first)");
    args->pregapOption =
        cmd->add_option("--pregap", args->pregap, "Silence before the track (default 00:02:00)")
            ->check(PREGAP_VALUE);
    args->sourceOption =
        cmd->add_option("--source", args->source, "set: take the track's sound from this file");
    args->moveToOption = cmd->add_option("--move-to", args->moveTo,
                                         "set: move the track to this number, the others shift");
    cmd->add_flag("--json", args->json, "ls: print one JSON object instead of the listing");
    cmd->callback([args, &status] { status = RunTrack(*args); });
}

}  // namespace korvalin::cli
