// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Descriptor Texts": the primary volume descriptor's text fields (system,
// volume set, publisher, ...). An empty field writes the usual text.

#include <QDialog>
#include <array>

#include "model/project.h"

class QLineEdit;

namespace korvalin {

class VolumeTextsDialog : public QDialog {
    Q_OBJECT

public:
    explicit VolumeTextsDialog(const Project& project, QWidget* parent = nullptr);

    // What OK hands back: each field the user changed; the others keep their bytes.
    void ApplyTo(Project& project) const;
    // The field of VOLUME_FIELD_PLACES[field]; nullptr for the dates.
    QLineEdit* Field(size_t field) const { return fields_[field]; }

private:
    VolumeTexts shown_;
    std::array<QLineEdit*, VOLUME_FIELD_COUNT> fields_{};
};

}  // namespace korvalin
