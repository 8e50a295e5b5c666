// The program's own windows and the pieces its dialogs are built from: the
// volume label editor and its apply step, the error log, the progress
// window, the About box, file-dialog filters and the image strip.

#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>
#include <QTreeWidget>
#include <QHeaderView>

#include "model/list_rows.h"
#include "test_support.h"
#include "ui/about_dialog.h"
#include "ui/dialog_filters.h"
#include "ui/error_log_window.h"
#include "ui/icon_strip.h"
#include "ui/progress_window.h"
#include "ui/volume_label_dialog.h"

using namespace korvalin;

namespace {

// A project whose volume is `label`, shown at the given date and time.
Project VolumeProject(const std::string& label, CalendarTime shown) {
    Project project = test::NewProject();
    project.volumeInfo.SetLabel(label);
    VolumeInfo& v = project.volumeInfo;
    v.year = shown.year;
    v.month = shown.month;
    v.day = shown.day;
    v.hour = shown.hour;
    v.minute = shown.minute;
    v.second = shown.second;
    return project;
}

VolumeLabelEditorState LabelEditorOn(const std::string& label, CalendarTime shown) {
    return OpenVolumeLabelEditor(VolumeProject(label, shown));
}

QImage ImageOf(const QIcon& icon) {
    return icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void volumeLabelDialogShowsTheValues() {
        VolumeLabelDialog dialog(LabelEditorOn("NEW", {2003, 5, 10, 0, 15, 7}));
        QCOMPARE(dialog.windowTitle(), QString("Volume Label Editor"));
        QCOMPARE(dialog.NameField()->text(), QString("NEW"));
        QCOMPARE(dialog.DatePicker()->date(), QDate(2003, 5, 10));
        QCOMPARE(dialog.TimePicker()->time(), QTime(0, 15, 7));
        QCOMPARE(dialog.NameField()->maxLength(), 32);
        QCOMPARE(dialog.DatePicker()->minimumDate(), QDate(1980, 1, 1));
        QCOMPARE(dialog.DatePicker()->maximumDate(), QDate(2107, 12, 31));
    }

    void typedLettersBecomeUpperCaseAndTheFieldStopsAt32() {
        VolumeLabelDialog dialog(LabelEditorOn("", {2003, 5, 10, 0, 0, 0}));
        QTest::keyClicks(dialog.NameField(), "my disc-1.a");
        QCOMPARE(dialog.NameField()->text(), QString("MY DISC-1.A"));
        dialog.NameField()->clear();
        QTest::keyClicks(dialog.NameField(), QString(33, 'x'));
        QCOMPARE(dialog.State().label, std::string(32, 'X'));
    }

    // Changed pickers give their values; an untouched one keeps a stored
    // date that does not exist (carried past the month's end by the display hour).
    void pickersAndTheStoredDate() {
        Project project = VolumeProject("A", {2003, 5, 32, 0, 30, 0});
        VolumeLabelDialog dialog(OpenVolumeLabelEditor(project));
        QCOMPARE(dialog.DatePicker()->date(), QDate(2003, 6, 1));
        dialog.TimePicker()->setTime(QTime(0, 15, 30));
        ApplyVolumeLabelEditor(project, dialog.State());
        QCOMPARE(project.volumeInfo.day, 32);
        QCOMPARE(project.volumeInfo.month, 5);
        QCOMPARE(project.volumeUtcTime, (CalendarTime{2003, 5, 31, 23, 15, 30}));
        dialog.DatePicker()->setDate(QDate(2004, 2, 29));
        QCOMPARE(dialog.State().date, (CalendarTime{2004, 2, 29, 0, 0, 0}));
    }

    void errorLogWindowRows() {
        ErrorLog log;
        log.AddMessage("*");
        log.AddMessage("ERROR: File not found: /tmp/x ");
        log.AddMessage("* Directory name already exists: \\DATA");
        ErrorLogWindow window(log);
        QCOMPARE(window.windowTitle(), QString("Error Log"));
        QTreeWidget* list = window.List();
        QCOMPARE(list->headerItem()->text(0), QString("Ready"));
        QCOMPARE(list->header()->sectionSize(0), 8192);
        QCOMPARE(list->topLevelItemCount(), 6);
        QCOMPARE(list->topLevelItem(0)->text(0), QString("ATTENTION"));
        QVERIFY(list->topLevelItem(0)->icon(0).isNull());
        QCOMPARE(list->topLevelItem(3)->text(0), QString());
        QCOMPARE(ImageOf(list->topLevelItem(3)->icon(0)), ImageOf(StripIcon(ICON_WARNING)));
        QCOMPARE(list->topLevelItem(4)->text(0), QString("ERROR: File not found: /tmp/x "));
        QCOMPARE(ImageOf(list->topLevelItem(4)->icon(0)), ImageOf(StripIcon(ICON_ERROR)));
        QCOMPARE(list->topLevelItem(5)->text(0), QString(" Directory name already exists: \\DATA"));

        QPushButton* exit = window.findChild<QPushButton*>();
        QCOMPARE(exit->text(), QString("Exit"));
        window.show();
        QTest::mouseClick(exit, Qt::LeftButton);
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QVERIFY(!window.isVisible());
    }

    void progressWindowFollowsTheCallback() {
        ProgressWindow progress(nullptr);
        QCOMPARE(progress.windowTitle(), QString("Building CD Image"));
        QCOMPARE(progress.findChildren<QProgressBar*>().size(), 1);
        QVERIFY(!progress.isModal());
        progress.SetRange(0, 4096);
        progress.Callback()(1234);
        QCOMPARE(progress.Position(), 1234);
    }

    void aboutBox() {
        AboutDialog about;
        QCOMPARE(about.windowTitle(), QString("About Korvalin"));
        QCOMPARE(about.findChild<QLabel*>("versionLine")->text(), QString("Korvalin Version 1.5.4"));
        QVERIFY(!about.findChild<QLabel*>("programIcon")->pixmap().isNull());
    }

    void windowsFiltersBecomeQtFilters() {
        QCOMPARE(ToQtFilter("BIN Files (*.bin)|*.bin|ISO Files (*.iso)|*.iso||"),
                 QString("BIN Files (*.bin);;ISO Files (*.iso)"));
        QCOMPARE(ToQtFilter("Texts (*.txt)|*.txt|All Files (*.*)|*.*||"),
                 QString("Texts (*.txt);;All Files (*.*)"));
        QCOMPARE(ToQtFilter("Pictures|*.png;*.jpg||"), QString("Pictures (*.png *.jpg)"));
        QCOMPARE(FilterExtension("ISO Files (*.iso)"), std::string("iso"));
        QCOMPARE(FilterExtension("All Files (*.*)"), std::string());
        QCOMPARE(FilterExtension("Pictures (*.png *.jpg)"), std::string());
    }

    void theDefaultExtensionIsAddedOnlyToNamesWithout() {
        QCOMPARE(WithDefaultExtension("/out/image", "bin"), std::string("/out/image.bin"));
        QCOMPARE(WithDefaultExtension("/out/image.iso", "bin"), std::string("/out/image.iso"));
        QCOMPARE(WithDefaultExtension("/out.d/list", ".TXT"), std::string("/out.d/list.TXT"));
        QCOMPARE(WithDefaultExtension("/out/image", ""), std::string("/out/image"));
    }

    void theStripHoldsElevenDifferentImages() {
        QList<QImage> images;
        for (int i = 0; i < STRIP_IMAGE_COUNT; ++i) {
            const QImage image = StripPixmap(i).toImage();
            QCOMPARE(image.size(), QSize(16, 16));
            QVERIFY2(!images.contains(image), qPrintable(QString("image %1 repeats").arg(i)));
            images << image;
        }
        QVERIFY(!ProgramIcon().isNull());
        QVERIFY(!ToolbarIcon(TOOLBAR_SAVE).isNull());
    }
};

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
