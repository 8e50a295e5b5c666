// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QStringList>
#include <string>
#include <vector>

#include "image/image_verifier.h"
#include "model/project.h"

class QLabel;
class QTreeWidget;

namespace korvalin {

inline constexpr char VERIFY_WINDOW_TITLE[] = "Verify Image";
inline constexpr char VERIFY_PROGRESS_TITLE[] = "Verifying CD Image";

// One line of the window: the LBA ("" for the whole image, "note" for a
// note), the text, and the disc path of the entry that owns the sector.
struct VerifyRow {
    QString lba;
    QString text;
    QString owner;
};

// The problems, then the notes. `compiled`, when given, is the project the
// image was just compiled from: its layout names the entry behind a sector;
// otherwise the file system of the image at `imagePath` does.
std::vector<VerifyRow> VerifyRows(const VerifyReport& report, const Project* compiled,
                                  const std::string& imagePath = {});
// "No problems found." or how many, then the format and what was checked.
QStringList VerifySummary(const VerifyReport& report);

// "Verify Image": the summary over a list of what the verifier found.
class VerifyWindow : public QDialog {
    Q_OBJECT
public:
    VerifyWindow(const std::string& imagePath, const VerifyReport& report,
                 const Project* compiled, QWidget* parent = nullptr);
    QLabel* Summary() const { return summary_; }
    QTreeWidget* List() const { return list_; }

private:
    QLabel* summary_;
    QTreeWidget* list_;
};

}  // namespace korvalin
