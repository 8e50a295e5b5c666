// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/about_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/dialog_sizing.h"
#include "ui/icon_strip.h"
#include "ui/program_texts.h"

namespace korvalin {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("About Korvalin");
    auto* icon = new QLabel;
    icon->setObjectName("programIcon");
    icon->setPixmap(ProgramIcon().pixmap(48, 48));
    auto* version = new QLabel(ABOUT_VERSION_LINE);
    version->setObjectName("versionLine");
    auto* purpose = new QLabel("Authors PlayStation and PlayStation 2 CD-ROM images.");
    auto* texts = new QVBoxLayout;
    texts->addWidget(version);
    texts->addWidget(purpose);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    ReserveTitleWidth(*this, *layout);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace korvalin
