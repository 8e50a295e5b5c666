// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "model/entry_editor.h"

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimeEdit;

namespace korvalin {

class DesktopPrompt;

// The entry editor on one directory, file or dummy file: its name, its date
// and time, a pinned LBA and, for a dummy file, its size. It drives the
// core's EntryEditorState: the check boxes toggle it, OK copies the fields
// into it and runs ConfirmEntryEditor, and a refusal shows its message (stop
// icon) through `prompt` and puts the focus back into the offending field.
class EntryEditorDialog : public QDialog {
    Q_OBJECT
public:
    EntryEditorDialog(Project& project, EntryEditorState& state, DesktopPrompt& prompt,
                      QWidget* parent = nullptr);

    QLineEdit* NameField() const { return name_; }
    QLabel* LbaLabel() const { return lbaLabel_; }
    QLineEdit* LbaField() const { return lba_; }
    QCheckBox* SetLbaBox() const { return setLba_; }
    QLabel* SizeLabel() const { return sizeLabel_; }
    QLineEdit* SizeField() const { return size_; }
    QCheckBox* SetFilesizeBox() const { return setFilesize_; }
    QCheckBox* RawXaBox() const { return rawXa_; }  // files only
    QDateEdit* DatePicker() const { return date_; }
    QTimeEdit* TimePicker() const { return time_; }
    QPushButton* OkButton() const { return ok_; }
    QPushButton* CancelButton() const { return cancel_; }

private:
    void BuildControls();
    void ShowKeptDate();
    void SyncCheckBoxes();
    void OnOk();
    void FocusField(EditorField field);
    bool TakeRawXaMark(FileEntry& marked);
    void ApplyRawXaMark(const FileEntry& marked);

    Project& project_;
    EntryEditorState& state_;
    DesktopPrompt& prompt_;
    QLineEdit* name_;
    QLabel* lbaLabel_;
    QLineEdit* lba_;
    QCheckBox* setLba_;
    QLabel* sizeLabel_;
    QLineEdit* size_;
    QCheckBox* setFilesize_;
    QCheckBox* rawXa_;
    QDateEdit* date_;
    QTimeEdit* time_;
    QPushButton* ok_;
    QPushButton* cancel_;
};

}  // namespace korvalin
