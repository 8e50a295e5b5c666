// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/audio_tracks_dialog.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "model/message_format.h"
#include "ui/desktop_prompt.h"
#include "ui/text_codec.h"

namespace korvalin {

namespace {
constexpr char TOO_MANY[] = "A disc holds at most %d audio tracks.";
constexpr char NAMED_BY_DA[] = "Track %d is named by the DA file %s; remove that first.";
}  // namespace

AudioTracksDialog::AudioTracksDialog(const Project& project, DesktopPrompt& prompt, QWidget* parent)
    : QDialog(parent),
      working_(project),
      prompt_(prompt),
      list_(new QTreeWidget),
      message_(new QLabel),
      discTime_(new QLabel),
      pregap_(new QSpinBox) {
    setWindowTitle("Audio Tracks");
    list_->setHeaderLabels({"Track", "Start", "Length", "Pregap", "Source"});
    list_->setRootIsDecorated(false);
    list_->setAllColumnsShowFocus(true);
    list_->header()->setStretchLastSection(true);
    // Room for the four time columns and a source path, in the font in use.
    list_->setMinimumWidth(list_->fontMetrics().averageCharWidth() * 80);
    message_->setWordWrap(true);
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    pregap_->setRange(0, MAX_DISC_SECTORS - 1);
    pregap_->setSuffix(" sectors");
    pregap_->setToolTip("Silence before the track; 150 sectors are 2 seconds");

    auto* add = new QPushButton("Add...");
    auto* remove = new QPushButton("Remove");
    auto* up = new QPushButton("Up");
    auto* down = new QPushButton("Down");
    connect(add, &QPushButton::clicked, this, &AudioTracksDialog::AddFiles);
    connect(remove, &QPushButton::clicked, this, &AudioTracksDialog::Remove);
    connect(up, &QPushButton::clicked, this, &AudioTracksDialog::MoveUp);
    connect(down, &QPushButton::clicked, this, &AudioTracksDialog::MoveDown);
    connect(list_, &QTreeWidget::currentItemChanged, this, [this] { ShowSelection(); });
    connect(pregap_, &QSpinBox::valueChanged, this, [this](int value) {
        if (!showing_) SetPregap(value);
    });
    auto* side = new QVBoxLayout;
    for (QPushButton* button : {add, remove, up, down}) side->addWidget(button);
    side->addStretch();
    auto* middle = new QHBoxLayout;
    middle->addWidget(list_, 1);
    middle->addLayout(side);
    auto* form = new QFormLayout;
    form->addRow("Pregap:", pregap_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(middle);
    layout->addLayout(form);
    layout->addWidget(discTime_);
    layout->addWidget(message_);
    layout->addWidget(buttons);
    ShowTracks(working_.audioTracks.empty() ? -1 : 0);
}

void AudioTracksDialog::ApplyTo(Project& project) const {
    project.audioTracks = working_.audioTracks;
    for (size_t f = 0; f < project.fileTable.size() && f < working_.fileTable.size(); ++f) {
        project.fileTable[f].daTrack = working_.fileTable[f].daTrack;
    }
}

void AudioTracksDialog::AddFiles() {
    for (const std::string& path : prompt_.AskFilesToAdd()) {
        if (!AddFile(path)) return;
    }
}

bool AudioTracksDialog::AddFile(const std::string& path) {
    if (working_.audioTracks.size() >= MAX_AUDIO_TRACKS) {
        message_->setText(MessageText(FormatMessage(TOO_MANY, MAX_AUDIO_TRACKS)));
        return false;
    }
    AudioTrack track;
    std::string problem;
    if (!ProbeAudioSource(path, track, problem)) {
        message_->setText(PathText(path) + " " + MessageText(problem));
        return false;
    }
    working_.audioTracks.push_back(track);
    message_->clear();
    ShowTracks(static_cast<int>(working_.audioTracks.size()) - 1);
    return true;
}

void AudioTracksDialog::Remove() {
    const int row = Selected();
    if (row < 0) return;
    const std::string namedBy = RemoveAudioTrack(working_, static_cast<size_t>(row));
    if (!namedBy.empty()) {
        message_->setText(DiscText(FormatMessage(NAMED_BY_DA, row + 2, namedBy.c_str())));
        return;
    }
    message_->clear();
    ShowTracks(std::min(row, static_cast<int>(working_.audioTracks.size()) - 1));
}

void AudioTracksDialog::MoveUp() { Move(-1); }
void AudioTracksDialog::MoveDown() { Move(1); }

void AudioTracksDialog::Move(int by) {
    const int row = Selected();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= static_cast<int>(working_.audioTracks.size())) return;
    MoveAudioTrack(working_, static_cast<size_t>(row), static_cast<size_t>(to));
    ShowTracks(to);
}

void AudioTracksDialog::SetPregap(int sectors) {
    const int row = Selected();
    if (row < 0) return;
    working_.audioTracks[static_cast<size_t>(row)].pregapSectors = sectors;
    ShowTracks(row);
}

void AudioTracksDialog::Select(int row) { list_->setCurrentItem(list_->topLevelItem(row)); }

int AudioTracksDialog::Selected() const {
    return list_->currentItem() == nullptr ? -1 : list_->indexOfTopLevelItem(list_->currentItem());
}

void AudioTracksDialog::ShowTracks(int selected) {
    showing_ = true;
    list_->clear();
    const std::vector<AudioTrackPlace> places = PlaceAudioTracks(working_);
    for (size_t i = 0; i < places.size(); ++i) {
        const AudioTrack& track = working_.audioTracks[i];
        list_->addTopLevelItem(new QTreeWidgetItem(
            {QString::number(i + 2), MessageText(MsfText(places[i].startLba)),
             MessageText(MsfText(places[i].sectors)), MessageText(MsfText(track.pregapSectors)),
             PathText(track.sourcePath)}));
    }
    for (int column = 0; column < 4; ++column) list_->resizeColumnToContents(column);
    discTime_->setText("Disc time: " + MessageText(DiscTimeText(working_)));
    showing_ = false;
    if (selected >= 0) Select(selected);
    ShowSelection();
}

void AudioTracksDialog::ShowSelection() {
    const int row = Selected();
    showing_ = true;
    pregap_->setEnabled(row >= 0);
    if (row >= 0) pregap_->setValue(working_.audioTracks[static_cast<size_t>(row)].pregapSectors);
    showing_ = false;
}

}  // namespace korvalin
