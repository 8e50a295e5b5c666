#pragma once
// Scripted users for the entry editor: fill the fields, press OK or Cancel.

#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "model/entry_editor.h"
#include "model/entry_record.h"

namespace korvalin::test {

// Fills the fields, presses OK once; a refused OK is kept in `*refusal`
// and the run ends as Cancel.
inline EntryEditorRunner PressOk(std::function<void(EntryEditorState&)> fill,
                                 EditorCheck* refusal = nullptr) {
    return [fill, refusal](Project& project, EntryEditorState& state) {
        if (fill) fill(state);
        const EditorCheck check = ConfirmEntryEditor(project, state);
        if (refusal != nullptr) *refusal = check;
        return check.code == EDITOR_OK;
    };
}

inline EntryEditorRunner PressCancel(EntryEditorState* seen = nullptr) {
    return [seen](Project&, EntryEditorState& state) {
        if (seen != nullptr) *seen = state;
        return false;
    };
}

// Every field of a record, for comparing records and tables.
using RecordFields = std::tuple<uint32_t, std::string, uint16_t, uint16_t, int32_t, uint16_t,
                                uint32_t, uint32_t, uint32_t, std::optional<std::string>>;
inline RecordFields FieldsOf(const EntryRecord& e) {
    return {e.nameLength, std::string(e.Name()), e.dosDate, e.dosTime, e.lba,
            e.flags,      e.parent,              e.size,    e.recordLength, e.sourcePath};
}
inline std::vector<RecordFields> FieldsOf(const std::vector<EntryRecord>& table) {
    std::vector<RecordFields> out;
    for (const EntryRecord& e : table) out.push_back(FieldsOf(e));
    return out;
}

}  // namespace korvalin::test
