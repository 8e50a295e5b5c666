// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "System Area": what sectors 0-15 hold, loading them from an image, a cue
// sheet or a license file, clearing them, and the two settings that decide
// what the compile writes there. Works on a copy; OK hands it back.

#include <QDialog>
#include <string>

#include "model/project.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace korvalin {

class SystemAreaDialog : public QDialog {
    Q_OBJECT

public:
    explicit SystemAreaDialog(const Project& project, QWidget* parent = nullptr);

    // What OK hands back: the area and the two settings as the dialog has them.
    void ApplyTo(Project& project) const;

    // "Load from File..." once the file is chosen; the outcome shows in the message line.
    void LoadFrom(const std::string& path);
    void Clear();

    QPlainTextEdit* Description() const { return description_; }
    QLabel* Message() const { return message_; }
    QCheckBox* KeepBox() const { return keep_; }
    QCheckBox* StampBox() const { return stamp_; }

private:
    void ChooseFile();
    void TakeSettings();
    void ShowArea();

    Project working_;  // only the system area and the settings are used
    QPlainTextEdit* description_;
    QLabel* message_;
    QCheckBox* keep_;
    QCheckBox* stamp_;
};

}  // namespace korvalin
