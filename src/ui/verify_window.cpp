// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/verify_window.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "model/disc_path.h"
#include "patch/sector_owners.h"
#include "model/list_rows.h"
#include "ui/dialog_sizing.h"
#include "ui/icon_strip.h"
#include "ui/text_codec.h"

namespace korvalin {

namespace {

QString OwnerOf(const Project& project, int64_t lba) {
    for (const Extent& extent : project.extentTable) {
        const bool inside = lba >= extent.firstLba && lba <= extent.lastLba;
        if (inside && IsValidEntryId(project, extent.entryId)) {
            return DiscText(DiscPathOfEntry(project, extent.entryId));
        }
    }
    return {};
}

QString Counted(int64_t count, const char* one, const char* many) {
    return QString("%1 %2").arg(count).arg(count == 1 ? one : many);
}

}  // namespace

std::vector<VerifyRow> VerifyRows(const VerifyReport& report, const Project* compiled,
                                  const std::string& imagePath) {
    std::vector<VerifyRow> rows;
    // Without the project, the image's own file system names the owners
    // (as far as it can still be read).
    std::vector<SectorOwner> owners;
    if (compiled == nullptr && !imagePath.empty() && report.problemCount > 0) {
        std::string unreadable;
        owners = SectorOwnersOfImage(imagePath, unreadable);
    }
    for (const VerifyProblem& problem : report.problems) {
        VerifyRow row{QString(), MessageText(problem.text), QString()};
        if (problem.lba != WHOLE_IMAGE) {
            row.lba = QString::number(problem.lba);
            row.owner = compiled != nullptr ? OwnerOf(*compiled, problem.lba)
                                            : DiscText(korvalin::OwnerOf(owners, problem.lba));
        }
        rows.push_back(row);
    }
    for (const std::string& note : report.notes) {
        rows.push_back({"note", MessageText(note), QString()});
    }
    return rows;
}

QStringList VerifySummary(const VerifyReport& report) {
    const QString verdict = report.problemCount == 0
                                ? QString("No problems found.")
                                : Counted(report.problemCount, "problem", "problems") + " found.";
    return {verdict, QString("%1; %2 checked, %3, %4.")
                         .arg(MessageText(report.format.description),
                              Counted(report.sectorsChecked, "sector", "sectors"),
                              Counted(report.directories, "directory", "directories"),
                              Counted(report.files, "file", "files"))};
}

VerifyWindow::VerifyWindow(const std::string& imagePath, const VerifyReport& report,
                           const Project* compiled, QWidget* parent)
    : QDialog(parent), summary_(new QLabel), list_(new QTreeWidget) {
    const QString imageName = QFileInfo(PathText(imagePath)).fileName();
    setWindowTitle(QString("%1 - %2").arg(VERIFY_WINDOW_TITLE, imageName));
    const QStringList summary = VerifySummary(report);
    summary_->setText(
        QString("<b>%1</b><br>%2").arg(summary[0].toHtmlEscaped(), summary[1].toHtmlEscaped()));
    summary_->setWordWrap(true);
    list_->setHeaderLabels({"LBA", "Problem", "Entry"});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setIconSize(QSize(STRIP_IMAGE_SIZE, STRIP_IMAGE_SIZE));
    for (const VerifyRow& row : VerifyRows(report, compiled, imagePath)) {
        auto* item = new QTreeWidgetItem(list_, {row.lba, row.text, row.owner});
        item->setIcon(0, StripIcon(row.lba == "note" ? ICON_WARNING : ICON_ERROR));
    }
    list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    list_->setVisible(list_->topLevelItemCount() > 0);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    ReserveTitleWidth(*this, *layout);
    layout->addWidget(summary_);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);
}

}  // namespace korvalin
