// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Audio Tracks": the CD audio tracks after the data track, added from WAV
// (or raw CD audio) files, put in order, given pregaps and removed. Works on
// a copy; OK hands it back.

#include <QDialog>
#include <string>

#include "model/project.h"

class QLabel;
class QSpinBox;
class QTreeWidget;

namespace korvalin {

class DesktopPrompt;

class AudioTracksDialog : public QDialog {
    Q_OBJECT

public:
    AudioTracksDialog(const Project& project, DesktopPrompt& prompt, QWidget* parent = nullptr);

    // What OK hands back: the tracks, and the DA files kept on their tracks.
    void ApplyTo(Project& project) const;

    // "Add...": the files the prompt's file dialog gives, each appended; the
    // first that is refused stops there and shows in the message line.
    void AddFiles();
    bool AddFile(const std::string& path);
    // On the selected track; a track that a DA file names is not removed.
    void Remove();
    void MoveUp();
    void MoveDown();
    void SetPregap(int sectors);
    void Select(int row);

    QTreeWidget* List() const { return list_; }
    QLabel* Message() const { return message_; }
    QLabel* DiscTime() const { return discTime_; }
    QSpinBox* Pregap() const { return pregap_; }

private:
    int Selected() const;
    void Move(int by);
    void ShowTracks(int selected);
    void ShowSelection();

    Project working_;
    DesktopPrompt& prompt_;
    QTreeWidget* list_;
    QLabel* message_;
    QLabel* discTime_;
    QSpinBox* pregap_;
    bool showing_ = false;
};

}  // namespace korvalin
