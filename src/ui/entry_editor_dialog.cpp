// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/entry_editor_dialog.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "model/xa_file.h"
#include "ui/desktop_prompt.h"
#include "ui/dialog_sizing.h"
#include "ui/picker_widgets.h"
#include "ui/program_texts.h"
#include "ui/text_codec.h"
#include "ui/typed_input.h"

namespace korvalin {

namespace {

// The record's text is shown whole; the validator limits what is typed.
QLineEdit* NumberField(const std::string& text, int maxChars) {
    auto* field = new QLineEdit(QString::fromStdString(text));
    field->setValidator(new DigitsOnly(maxChars, field));
    return field;
}

}  // namespace

EntryEditorDialog::EntryEditorDialog(Project& project, EntryEditorState& state,
                                     DesktopPrompt& prompt, QWidget* parent)
    : QDialog(parent),
      project_(project),
      state_(state),
      prompt_(prompt),
      name_(new QLineEdit(DiscText(state.nameText))),
      lbaLabel_(new QLabel("LBA")),
      lba_(NumberField(state.lbaText, EDITOR_LBA_MAX_CHARS)),
      setLba_(new QCheckBox("Set LBA")),
      sizeLabel_(new QLabel("Filesize:")),
      size_(NumberField(state.sizeText, EDITOR_SIZE_MAX_CHARS)),
      setFilesize_(new QCheckBox("Set Filesize")),
      rawXa_(new QCheckBox("Raw XA (2336-byte sectors: STR, XA)")),
      date_(NewDatePicker(state.date)),
      time_(NewTimePicker(state.time)),
      ok_(nullptr),
      cancel_(nullptr) {
    setWindowTitle(state.title);
    name_->setMaxLength(EDITOR_NAME_MAX_CHARS);
    name_->setValidator(new UpperCaseLetters(name_));
    ShowCharsInField(*name_, EDITOR_NAME_MAX_CHARS);
    BuildControls();
    for (QWidget* size : {static_cast<QWidget*>(sizeLabel_), static_cast<QWidget*>(size_),
                          static_cast<QWidget*>(setFilesize_)}) {
        size->setVisible(state.sizeControlsShown);
    }
    setFilesize_->setEnabled(state.sizeControlsShown);
    rawXa_->setVisible(state.kind == EDITOR_FILE);
    rawXa_->setChecked(state.kind == EDITOR_FILE && EntryById(project, state.entryId).rawXa);
    ShowKeptDate();
    SyncCheckBoxes();
    connect(setLba_, &QCheckBox::clicked, this, [this] {
        ToggleSetLba(state_);
        SyncCheckBoxes();
    });
    connect(setFilesize_, &QCheckBox::clicked, this, [this] {
        ToggleSetFilesize(state_);
        SyncCheckBoxes();
    });
    name_->setFocus();
}

void EntryEditorDialog::BuildControls() {
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("Name:"), 0, 0);
    grid->addWidget(name_, 0, 1, 1, 2);
    grid->addWidget(lbaLabel_, 1, 0);
    grid->addWidget(lba_, 1, 1);
    grid->addWidget(setLba_, 1, 2);
    grid->addWidget(sizeLabel_, 2, 0);
    grid->addWidget(size_, 2, 1);
    grid->addWidget(setFilesize_, 2, 2);
    grid->addWidget(new QLabel("Date:"), 3, 0);
    grid->addWidget(date_, 3, 1);
    grid->addWidget(new QLabel("Time:"), 4, 0);
    grid->addWidget(time_, 4, 1);
    grid->addWidget(rawXa_, 5, 1, 1, 2);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    cancel_ = buttons->button(QDialogButtonBox::Cancel);
    ok_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &EntryEditorDialog::OnOk);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    ReserveTitleWidth(*this, *layout);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

// A dumped disc's exact date, while the date shown is still the one it goes with.
void EntryEditorDialog::ShowKeptDate() {
    const EntryRecord& entry = EntryById(project_, state_.entryId);
    const RecordDateBytes* kept = KeptDate(entry.discFacts, entry.dosDate, entry.dosTime);
    if (kept == nullptr) return;
    const QString tip = QString::fromStdString("As the disc records it: " + ExactDateText(*kept));
    date_->setToolTip(tip);
    time_->setToolTip(tip);
}

// The boxes mirror the state; each enables its label and field.
void EntryEditorDialog::SyncCheckBoxes() {
    setLba_->setChecked(state_.setLba);
    lbaLabel_->setEnabled(state_.setLba);
    lba_->setEnabled(state_.setLba);
    setFilesize_->setChecked(state_.setFilesize);
    sizeLabel_->setEnabled(state_.setFilesize);
    size_->setEnabled(state_.setFilesize);
}

void EntryEditorDialog::OnOk() {
    state_.nameText = DiscBytes(name_->text());
    state_.lbaText = lba_->text().toStdString();
    state_.sizeText = size_->text().toStdString();
    SetEditorDate(state_, CalendarDateOf(date_->date()));
    SetEditorTime(state_, CalendarTimeOf(time_->time()));
    FileEntry marked;
    if (!TakeRawXaMark(marked)) return;
    const EditorCheck check = ConfirmEntryEditor(project_, state_);
    if (check.code == EDITOR_OK) {
        ApplyRawXaMark(marked);
        accept();
        return;
    }
    prompt_.ShowMessageBox(check.message, PROGRAM_NAME, MessageIcon::Stop);
    FocusField(check.focus);
}

// The raw XA box's choice tried on a copy of the file; false (after saying
// why, the dialog staying open) when its source cannot be raw XA.
bool EntryEditorDialog::TakeRawXaMark(FileEntry& marked) {
    if (state_.kind != EDITOR_FILE) return true;
    marked = EntryById(project_, state_.entryId);
    const std::string problem = SetRawXa(marked, rawXa_->isChecked());
    if (problem.empty()) return true;
    prompt_.ShowMessageBox(problem, PROGRAM_NAME, MessageIcon::Stop);
    rawXa_->setFocus(Qt::OtherFocusReason);
    return false;
}

// The mark and the size it gives; the size also goes into the result the
// command applies after the dialog.
void EntryEditorDialog::ApplyRawXaMark(const FileEntry& marked) {
    if (state_.kind != EDITOR_FILE) return;
    FileEntry& file = EntryById(project_, state_.entryId);
    if (file.rawXa == marked.rawXa) return;
    file.rawXa = marked.rawXa;
    file.size = marked.size;
    state_.result.editedSize = marked.size;
}

void EntryEditorDialog::FocusField(EditorField field) {
    switch (field) {
        case EDITOR_FIELD_NAME:
            name_->setFocus(Qt::OtherFocusReason);
            name_->selectAll();
            break;
        case EDITOR_FIELD_LBA:
            lba_->setFocus(Qt::OtherFocusReason);
            break;
        case EDITOR_FIELD_SIZE:
            size_->setFocus(Qt::OtherFocusReason);
            break;
        case EDITOR_FIELD_NONE:
            break;
    }
}

}  // namespace korvalin
