// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/system_area_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "image/system_area_file.h"
#include "ui/text_codec.h"

namespace korvalin {

SystemAreaDialog::SystemAreaDialog(const Project& project, QWidget* parent)
    : QDialog(parent),
      description_(new QPlainTextEdit),
      message_(new QLabel),
      keep_(new QCheckBox("Keep system-area data")),
      stamp_(new QCheckBox("Stamp empty system area")) {
    setWindowTitle("System Area");
    working_.systemArea = project.systemArea;
    working_.settings = project.settings;
    description_->setReadOnly(true);
    description_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    message_->setWordWrap(true);
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    keep_->setToolTip("The compile writes the sixteen sectors with their data (license and logo)");
    stamp_->setToolTip("Empty sectors come out with sync, header and EDC, as emulators expect");

    auto* load = new QPushButton("Load from File...");
    auto* clear = new QPushButton("Clear");
    connect(load, &QPushButton::clicked, this, &SystemAreaDialog::ChooseFile);
    connect(clear, &QPushButton::clicked, this, &SystemAreaDialog::Clear);
    connect(keep_, &QCheckBox::toggled, this, &SystemAreaDialog::TakeSettings);
    connect(stamp_, &QCheckBox::toggled, this, &SystemAreaDialog::TakeSettings);
    auto* fileButtons = new QHBoxLayout;
    fileButtons->addWidget(load);
    fileButtons->addWidget(clear);
    fileButtons->addStretch();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(description_);
    layout->addLayout(fileButtons);
    layout->addWidget(message_);
    layout->addWidget(keep_);
    layout->addWidget(stamp_);
    layout->addWidget(buttons);
    resize(560, 320);
    ShowArea();
}

void SystemAreaDialog::ApplyTo(Project& project) const {
    project.systemArea = working_.systemArea;
    project.settings.keepSystemArea = working_.settings.keepSystemArea;
    project.settings.stampSystemArea = working_.settings.stampSystemArea;
}

void SystemAreaDialog::LoadFrom(const std::string& path) {
    std::string message;
    LoadSystemAreaFromFile(working_, path, message);
    message_->setText(MessageText(message));
    ShowArea();
}

void SystemAreaDialog::Clear() {
    ClearSystemArea(working_);
    message_->setText("The system area is all zero.");
    ShowArea();
}

void SystemAreaDialog::ChooseFile() {
    const QString path = QFileDialog::getOpenFileName(
        this, "Load System Area", QString(),
        "Images, cue sheets and license files (*.bin *.img *.iso *.cue *.dat *.lic);;"
        "All files (*)");
    if (!path.isEmpty()) LoadFrom(PathBytes(path));
}

void SystemAreaDialog::TakeSettings() {
    working_.settings.keepSystemArea = keep_->isChecked();
    working_.settings.stampSystemArea = stamp_->isChecked();
    description_->setPlainText(MessageText(DescribeSystemArea(working_)));
}

// The text and the boxes follow the working copy.
void SystemAreaDialog::ShowArea() {
    const QSignalBlocker keepQuiet(keep_);
    const QSignalBlocker stampQuiet(stamp_);
    keep_->setChecked(working_.settings.keepSystemArea);
    stamp_->setChecked(working_.settings.stampSystemArea);
    description_->setPlainText(MessageText(DescribeSystemArea(working_)));
}

}  // namespace korvalin
