// SPDX-License-Identifier: GPL-3.0-or-later
// mkdir, dummy, edit, rm, mv, swap, label: editing the disc tree of a
// project. Each command drives the same editor state and operations as the
// desktop, so a refused edit prints the desktop's message.

#include <algorithm>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_support.h"
#include "cli/cli_xa.h"
#include "cli/commands.h"
#include "layout/recompute_layout.h"
#include "model/edit_info.h"
#include "model/entry_editor.h"
#include "model/message_format.h"
#include "model/move_file.h"
#include "model/new_dummy_file.h"
#include "model/new_sub_directory.h"
#include "model/picker_date.h"
#include "model/remove_entries.h"
#include "model/swap_files.h"
#include "model/volume_label_editor.h"

namespace korvalin::cli {

namespace {

// The entry at `discPath`, or -1 after printing an error naming it.
int32_t ResolveEntry(const Project& project, const std::string& projectPath,
                     const std::string& discPath) {
    const int32_t id = FindEntryByDiscPath(project, discPath);
    if (id < 0) {
        PrintError(FormatMessage("korvalin: %s: no such file or directory in %s", discPath.c_str(),
                                 projectPath.c_str()));
    }
    return id;
}

int32_t ResolveDirectory(const Project& project, const std::string& projectPath,
                         const std::string& discPath) {
    const int32_t id = ResolveEntry(project, projectPath, discPath);
    if (id >= 0 && !IsDirId(id)) {
        PrintError(FormatMessage("korvalin: %s: is a file, not a directory", discPath.c_str()));
        return -1;
    }
    return id;
}

int32_t ResolveFile(const Project& project, const std::string& projectPath,
                    const std::string& discPath) {
    const int32_t id = ResolveEntry(project, projectPath, discPath);
    if (id >= 0 && IsDirId(id)) {
        PrintError(FormatMessage("korvalin: %s: is a directory, not a file", discPath.c_str()));
        return -1;
    }
    return id;
}

// "\DATA\NEW" -> the directory "\DATA\" and the new name "NEW".
struct NewEntryPath {
    std::string parent;
    std::string name;
};

NewEntryPath SplitNewEntryPath(std::string path) {
    while (!path.empty() && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    const size_t cut = path.find_last_of("\\/");
    if (cut == std::string::npos) return NewEntryPath{"\\", path};
    return NewEntryPath{path.substr(0, cut + 1), path.substr(cut + 1)};
}

// Plays the user's part in the editor: fills the fields, presses OK. A
// refused OK ends the run as Cancel and leaves the message in `refusal`.
EntryEditorRunner ScriptedEditor(std::function<void(EntryEditorState&)> fill,
                                 std::string& refusal) {
    return [fill, &refusal](Project& project, EntryEditorState& state) {
        fill(state);
        const EditorCheck check = ConfirmEntryEditor(project, state);
        if (check.code != EDITOR_OK) {
            refusal = check.message;
            return false;
        }
        return true;
    };
}

void PinAt(EntryEditorState& state, int64_t lba) {
    if (!state.setLba) ToggleSetLba(state);
    state.lbaText = std::to_string(lba);
}

void SetOwnSize(EntryEditorState& state, int64_t size) {
    if (!state.setFilesize) ToggleSetFilesize(state);
    state.sizeText = std::to_string(size);
}

// Ends a command that ran the editor: saved on OK, else the refusal printed.
EditEnd Conclude(const EditOutcome& outcome, const std::string& refusal) {
    if (outcome.code == EDIT_OK) return EditEnd::Save;
    PrintError(outcome.code == EDIT_REFUSED ? outcome.message : refusal);
    return EditEnd::Refused;
}

// New Sub Directory or New Dummy File in the directory the path names (made
// current, as selecting it in the tree does), the name typed, then `fill`.
EditEnd CreateEntry(Project& project, const std::string& projectPath, const std::string& discPath,
                    EditOutcome (*create)(Project&, const EntryEditorRunner&),
                    const std::function<void(EntryEditorState&)>& fill) {
    const NewEntryPath where = SplitNewEntryPath(discPath);
    const int32_t parent = ResolveDirectory(project, projectPath, where.parent);
    if (parent < 0) return EditEnd::Refused;
    project.currentDir = parent;
    std::string refusal;
    const auto typed = [&where, &fill](EntryEditorState& state) {
        state.nameText = TypedUpperCase(where.name);
        fill(state);
    };
    return Conclude(create(project, ScriptedEditor(typed, refusal)), refusal);
}

const CLI::Validator DATE_VALUE(
    [](const std::string& text) {
        CalendarTime date;
        return ParsePickerDate(text, date)
                   ? std::string()
                   : "expected a date DD/MM/YYYY from 01/01/1980 to 31/12/2107: " + text;
    },
    "DD/MM/YYYY");

// An entry's date: as the list shows it, or to the second as its record carries it.
const CLI::Validator ENTRY_DATE_VALUE(
    [](const std::string& text) {
        CalendarTime date;
        int8_t offset = 0;
        return ParsePickerDate(text, date) || ParseExactDate(text, date, offset)
                   ? std::string()
                   : "expected a date DD/MM/YYYY from 01/01/1980 to 31/12/2107, or "
                     "'YYYY-MM-DD HH:MM:SS[+HH:MM]': " + text;
    },
    "DATE");

constexpr char MSG_TIME_WITH_EXACT_DATE[] =
    "korvalin: --time goes with a --date DD/MM/YYYY; 'YYYY-MM-DD HH:MM:SS' gives the time itself";

const CLI::Validator TIME_VALUE(
    [](const std::string& text) {
        CalendarTime time;
        return ParsePickerTime(text, time) ? std::string() : "expected a time HH:MM:SS: " + text;
    },
    "HH:MM:SS");

const CLI::Validator LABEL_VALUE(
    [](const std::string& text) {
        return text.size() <= static_cast<size_t>(VOLUME_LABEL_MAX_CHARS)
                   ? std::string()
                   : "a volume label holds at most 32 characters";
    },
    "LABEL");

void AddMkdir(CLI::App& app, int& status) {
    struct Args {
        std::string project, discPath;
        int64_t lba = 0;
        CLI::Option* lbaOption = nullptr;
    };
    auto args = std::make_shared<Args>();
    auto* cmd = app.add_subcommand("mkdir", "Create a directory (New Sub Directory).");
    cmd->add_option("PROJECT", args->project, "The project file (.krv)")->required();
    cmd->add_option("DISCPATH", args->discPath, "The new directory, e.g. \\DATA\\MOVIES")
        ->required();
    args->lbaOption = cmd->add_option("--lba", args->lba, "Pin the directory to this LBA")
                          ->transform(DecimalNumber());
    cmd->callback([args, &status] {
        status = EditProject(args->project, [&args](Project& project) {
            const auto fill = [&args](EntryEditorState& state) {
                if (args->lbaOption->count() > 0) PinAt(state, args->lba);
            };
            return CreateEntry(project, args->project, args->discPath, NewSubDirectory, fill);
        });
    });
}

void AddDummy(CLI::App& app, int& status) {
    struct Args {
        std::string project, discPath;
        int64_t lba = 0, size = 0;
        CLI::Option* sizeOption = nullptr;
    };
    auto args = std::make_shared<Args>();
    auto* cmd = app.add_subcommand("dummy", "Create a dummy file (New Dummy File).");
    cmd->add_option("PROJECT", args->project, "The project file (.krv)")->required();
    cmd->add_option("DISCPATH", args->discPath, "The new dummy file, e.g. \\DATA\\PAD.BIN")
        ->required();
    cmd->add_option("--lba", args->lba, "Its LBA (a dummy may lie anywhere)")
        ->required()
        ->transform(DecimalNumber());
    args->sizeOption =
        cmd->add_option("--size", args->size,
                        "Its own size in bytes (else the size of the file at its LBA)")
            ->transform(DecimalNumber());
    cmd->callback([args, &status] {
        status = EditProject(args->project, [&args](Project& project) {
            const auto fill = [&args](EntryEditorState& state) {
                PinAt(state, args->lba);
                if (args->sizeOption->count() > 0) SetOwnSize(state, args->size);
            };
            return CreateEntry(project, args->project, args->discPath, NewDummyFile, fill);
        });
    });
}

void AddEdit(CLI::App& app, int& status) {
    struct Args {
        std::string project, discPath, name, date, time;
        int64_t lba = 0, size = 0;
        bool unpin = false, autoSize = false, rawXa = false, plain = false;
        CLI::Option *nameOption = nullptr, *lbaOption = nullptr, *sizeOption = nullptr;
        CLI::Option *dateOption = nullptr, *timeOption = nullptr;
    };
    auto args = std::make_shared<Args>();
    auto* cmd =
        app.add_subcommand("edit", "Change an entry's name, LBA pin, size or date (Edit Info).");
    cmd->add_option("PROJECT", args->project, "The project file (.krv)")->required();
    cmd->add_option("DISCPATH", args->discPath, "The entry to edit")->required();
    args->nameOption = cmd->add_option("--name", args->name, "New disc name");
    args->lbaOption =
        cmd->add_option("--lba", args->lba, "Pin to this LBA")->transform(DecimalNumber());
    auto* unpin = cmd->add_flag("--unpin", args->unpin, "Let the layout place the entry");
    args->sizeOption = cmd->add_option("--size", args->size, "A dummy file's own size in bytes")
                           ->transform(DecimalNumber());
    auto* autoSize = cmd->add_flag("--auto-size", args->autoSize,
                                   "A dummy file takes the size of the file at its LBA");
    args->dateOption =
        cmd->add_option("--date", args->date,
                        "Date as shown, DD/MM/YYYY; or to the second as the disc records it, "
                        "'YYYY-MM-DD HH:MM:SS[+HH:MM]'")
            ->check(ENTRY_DATE_VALUE);
    args->timeOption =
        cmd->add_option("--time", args->time, "Time as shown (UTC+1), HH:MM:SS")->check(TIME_VALUE);
    auto* rawXa = cmd->add_flag("--xa", args->rawXa,
                                "Mark a file raw XA (its source holds whole 2336-byte sectors)");
    rawXa->excludes(cmd->add_flag("--no-xa", args->plain, "Take a raw XA file's source as plain data"));
    args->lbaOption->excludes(unpin);
    args->sizeOption->excludes(autoSize);
    cmd->callback([args, &status] {
        status = EditProject(args->project, [&args](Project& project) {
            const int32_t id = ResolveEntry(project, args->project, args->discPath);
            if (id < 0) return EditEnd::Refused;
            if (id == 0) {
                PrintError("korvalin: \\: the root directory (use korvalin label to change the volume)");
                return EditEnd::Refused;
            }
            const EntryRecord& entry = EntryById(project, id);
            CalendarTime exact;
            int8_t offset = 0;
            const bool exactDate = args->dateOption->count() > 0 && ParseExactDate(args->date, exact, offset);
            if (exactDate && args->timeOption->count() > 0) {
                PrintError(MSG_TIME_WITH_EXACT_DATE);
                return EditEnd::Refused;
            }
            if ((args->sizeOption->count() > 0 || args->autoSize) && !entry.IsDummy()) {
                PrintError(
                    FormatMessage("korvalin: %s: not a dummy file (only a dummy file's size can be set)",
                                  args->discPath.c_str()));
                return EditEnd::Refused;
            }
            // The duplicate-name test looks at the directory the list shows: the entry's own.
            const int32_t parent = static_cast<int32_t>(entry.parent) - 1;
            project.currentDir = parent >= 0 && parent < project.dirCount() ? parent : 0;
            std::string refusal;
            const auto fill = [&args](EntryEditorState& state) {
                if (args->nameOption->count() > 0) state.nameText = TypedUpperCase(args->name);
                if (args->lbaOption->count() > 0) PinAt(state, args->lba);
                if (args->unpin && state.setLba) ToggleSetLba(state);
                if (args->sizeOption->count() > 0) SetOwnSize(state, args->size);
                if (args->autoSize && state.setFilesize) ToggleSetFilesize(state);
                CalendarTime value;
                if (args->dateOption->count() > 0 && ParsePickerDate(args->date, value)) {
                    SetEditorDate(state, value);
                }
                if (args->timeOption->count() > 0 && ParsePickerTime(args->time, value)) {
                    SetEditorTime(state, value);
                }
            };
            if ((args->rawXa || args->plain) && !SetRawXaMark(project, id, args->rawXa, args->discPath)) {
                return EditEnd::Refused;
            }
            const EditOutcome outcome = EditInfo(project, id, ScriptedEditor(fill, refusal));
            if (outcome.code == EDIT_OK && exactDate) {
                EntryRecord& edited = EntryById(project, id);
                SetExactDate(edited.discFacts, edited.dosDate, edited.dosTime, exact, offset);
            }
            return Conclude(outcome, refusal);
        });
    });
}

void AddRm(CLI::App& app, int& status) {
    struct Args {
        std::string project;
        std::vector<std::string> discPaths;
    };
    auto args = std::make_shared<Args>();
    auto* cmd = app.add_subcommand("rm", "Remove entries; a directory goes with all it holds.");
    cmd->add_option("PROJECT", args->project, "The project file (.krv)")->required();
    cmd->add_option("DISCPATH", args->discPaths, "The entries to remove")->required();
    cmd->callback([args, &status] {
        status = EditProject(args->project, [&args](Project& project) {
            std::vector<int32_t> ids;
            for (const std::string& discPath : args->discPaths) {
                const int32_t id = ResolveEntry(project, args->project, discPath);
                if (id < 0) return EditEnd::Refused;
                if (id == 0) {
                    PrintError("korvalin: \\: the root directory cannot be removed");
                    return EditEnd::Refused;
                }
                ids.push_back(id);
            }
            RemoveEntries(project, ids);
            return EditEnd::Save;
        });
    });
}

void AddMv(CLI::App& app, int& status) {
    struct Args {
        std::string project, file, dir;
    };
    auto args = std::make_shared<Args>();
    auto* cmd = app.add_subcommand("mv", "Move a file into a directory.");
    cmd->add_option("PROJECT", args->project, "The project file (.krv)")->required();
    cmd->add_option("DISCPATH", args->file, "The file to move")->required();
    cmd->add_option("DIRPATH", args->dir, "The directory to move it into")->required();
    cmd->callback([args, &status] {
        status = EditProject(args->project, [&args](Project& project) {
            const int32_t file = ResolveFile(project, args->project, args->file);
            if (file < 0) return EditEnd::Refused;
            const int32_t dir = ResolveDirectory(project, args->project, args->dir);
            if (dir < 0) return EditEnd::Refused;
            // Any directory can be named, as on the tree, so the tree's message.
            const EditOutcome outcome =
                MoveFileToDirectory(project, file, dir, MOVE_ON_TREE_FOLDER);
            return Conclude(outcome, "");
        });
    });
}

void AddSwap(CLI::App& app, int& status) {
    struct Args {
        std::string project, first, second;
    };
    auto args = std::make_shared<Args>();
    auto* cmd =
        app.add_subcommand("swap", "Swap two files' places in the file table (and on the disc).");
    cmd->add_option("PROJECT", args->project, "The project file (.krv)")->required();
    cmd->add_option("FILEPATH", args->first, "A file")->required();
    cmd->add_option("OTHERPATH", args->second, "Another file")->required();
    cmd->callback([args, &status] {
        status = EditProject(args->project, [&args](Project& project) {
            const int32_t first = ResolveFile(project, args->project, args->first);
            if (first < 0) return EditEnd::Refused;
            const int32_t second = ResolveFile(project, args->project, args->second);
            if (second < 0) return EditEnd::Refused;
            const EditOutcome outcome = SwapFiles(project, first, second);
            return Conclude(outcome, "");
        });
    });
}

// "NAME=TEXT" of --text: the field's index, or -1.
int VolumeTextField(const std::string& assignment) {
    const std::string name = assignment.substr(0, assignment.find('='));
    for (size_t i = 0; i < VOLUME_FIELD_COUNT; ++i) {
        const VolumeFieldPlace& place = VOLUME_FIELD_PLACES[i];
        if (!place.isDate && name == place.name) return static_cast<int>(i);
    }
    return -1;
}

const CLI::Validator VOLUME_TEXT_VALUE(
    [](const std::string& text) {
        const int field = VolumeTextField(text);
        if (text.find('=') == std::string::npos || field < 0) {
            return "expected NAME=TEXT with NAME one of system, volumeSet, publisher, dataPreparer, "
                   "application, copyrightFile, abstractFile, bibliographicFile: " + text;
        }
        const size_t length = text.size() - text.find('=') - 1;
        const uint32_t width = VOLUME_FIELD_PLACES[static_cast<size_t>(field)].length;
        return length <= width ? std::string() : FormatMessage("longer than %u characters: %s", width, text.c_str());
    },
    "NAME=TEXT");

void SetVolumeText(VolumeTexts& texts, const std::string& assignment) {
    SetVolumeText(texts, static_cast<size_t>(VolumeTextField(assignment)),
                  assignment.substr(assignment.find('=') + 1));
}

void PrintVolumeTexts(const VolumeTexts& texts) {
    for (size_t i = 0; i < VOLUME_FIELD_COUNT; ++i) {
        if (!texts.fields[i] || VOLUME_FIELD_PLACES[i].isDate) continue;
        std::cout << VOLUME_FIELD_PLACES[i].name << ": " << VolumeTextOf(texts, i) << '\n';
    }
}

void PrintVolume(const VolumeInfo& volume) {
    std::cout << FormatMessage("label: %s\ndate:  %2.2d/%2.2d/%4.4d\ntime:  %2.2d:%2.2d:%2.2d\n",
                               std::string(volume.Label()).c_str(), volume.day, volume.month,
                               volume.year, volume.hour, volume.minute, volume.second);
}

void AddLabel(CLI::App& app, int& status) {
    struct Args {
        std::string project, label, date, time;
        std::vector<std::string> texts;
        CLI::Option *labelOption = nullptr, *dateOption = nullptr, *timeOption = nullptr;
    };
    auto args = std::make_shared<Args>();
    auto* cmd = app.add_subcommand(
        "label", "Set the volume label and date (Edit Volume Label); without changes, show them.");
    cmd->add_option("PROJECT", args->project, "The project file (.krv)")->required();
    args->labelOption =
        cmd->add_option("LABEL", args->label, "The volume label, up to 32 characters")
            ->check(LABEL_VALUE);
    args->dateOption =
        cmd->add_option("--date", args->date, "Volume date, DD/MM/YYYY")->check(DATE_VALUE);
    args->timeOption =
        cmd->add_option("--time", args->time, "Volume time (UTC+1), HH:MM:SS")->check(TIME_VALUE);
    cmd->add_option("--text", args->texts,
                    "A descriptor text, NAME=TEXT (system, volumeSet, publisher, dataPreparer, "
                    "application, copyrightFile, abstractFile, bibliographicFile); NAME= writes "
                    "the usual text again")
        ->check(VOLUME_TEXT_VALUE);
    cmd->callback([args, &status] {
        status = EditProject(args->project, [&args](Project& project) {
            const bool changes = args->labelOption->count() + args->dateOption->count() +
                                     args->timeOption->count() + args->texts.size() >
                                 0;
            if (!changes) {
                PrintVolume(project.volumeInfo);
                PrintVolumeTexts(project.volumeTexts);
                return EditEnd::Unchanged;
            }
            for (const std::string& text : args->texts) SetVolumeText(project.volumeTexts, text);
            VolumeLabelEditorState state = OpenVolumeLabelEditor(project);
            if (args->labelOption->count() > 0) state.label = TypedUpperCase(args->label);
            CalendarTime value;
            if (args->dateOption->count() > 0 && ParsePickerDate(args->date, value)) {
                SetVolumeEditorDate(state, value);
            }
            if (args->timeOption->count() > 0 && ParsePickerTime(args->time, value)) {
                SetVolumeEditorTime(state, value);
            }
            ApplyVolumeLabelEditor(project, state);
            return EditEnd::Save;
        });
    });
}

}  // namespace

void RegisterEditCommands(CLI::App& app, int& status) {
    AddMkdir(app, status);
    AddDummy(app, status);
    AddEdit(app, status);
    AddRm(app, status);
    AddMv(app, status);
    AddSwap(app, status);
    AddLabel(app, status);
}

}  // namespace korvalin::cli
