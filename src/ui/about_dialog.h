// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

namespace korvalin {

// "About Korvalin": the program icon, the version line and OK.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace korvalin
