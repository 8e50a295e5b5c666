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
#include "ui/volume_label_apply.h"
#include "ui/volume_label_dialog.h"

using namespace korvalin;

namespace {

VolumeLabelValues Values(const std::string& label, CalendarTime date, CalendarTime time) {
    return VolumeLabelValues{label, date, time};
}

QImage ImageOf(const QIcon& icon) {
    return icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

private slots:
    void volumeLabelDialogShowsTheValues() {
        VolumeLabelDialog dialog(Values("NEW", {2003, 5, 10, 0, 0, 0}, {0, 0, 0, 0, 15, 7}));
        QCOMPARE(dialog.windowTitle(), QString("Volume Label Editor"));
        QCOMPARE(dialog.NameField()->text(), QString("NEW"));
        QCOMPARE(dialog.DatePicker()->date(), QDate(2003, 5, 10));
        QCOMPARE(dialog.TimePicker()->time(), QTime(0, 15, 7));
        QCOMPARE(dialog.NameField()->maxLength(), 32);
    }

    void typedLettersBecomeUpperCaseAndTheFieldStopsAt32() {
        VolumeLabelDialog dialog(Values("", {2003, 5, 10, 0, 0, 0}, {}));
        dialog.NameField()->clear();
        QTest::keyClicks(dialog.NameField(), "my disc-1.a");
        QCOMPARE(dialog.NameField()->text(), QString("MY DISC-1.A"));
        dialog.NameField()->clear();
        QTest::keyClicks(dialog.NameField(), QString(33, 'x'));
        QCOMPARE(dialog.NameField()->text(), QString(32, 'X'));
        QCOMPARE(dialog.Values().label, std::string(32, 'X'));
    }

    void changedPickersGiveTheirValues() {
        VolumeLabelDialog dialog(Values("A", {2003, 5, 10, 0, 0, 0}, {0, 0, 0, 11, 0, 0}));
        dialog.DatePicker()->setDate(QDate(2004, 2, 29));
        dialog.TimePicker()->setTime(QTime(0, 15, 30));
        const VolumeLabelValues values = dialog.Values();
        QCOMPARE(values.date.year, 2004);
        QCOMPARE(values.date.month, 2);
        QCOMPARE(values.date.day, 29);
        QCOMPARE(values.time.hour, 0);
        QCOMPARE(values.time.minute, 15);
        QCOMPARE(values.time.second, 30);
    }

    // A volume date carried past the month's end by the display hour.
    void anUntouchedPickerKeepsADateThatDoesNotExist() {
        VolumeLabelDialog dialog(Values("A", {2003, 5, 32, 0, 0, 0}, {0, 0, 0, 0, 30, 0}));
        QCOMPARE(dialog.DatePicker()->date(), QDate(2003, 6, 1));
        VolumeLabelValues values = dialog.Values();
        QCOMPARE(values.date.day, 32);
        QCOMPARE(values.date.month, 5);
        VolumeLabelDialog dayZero(Values("A", {2003, 3, 0, 0, 0, 0}, {}));
        QCOMPARE(dayZero.DatePicker()->date(), QDate(2003, 2, 28));
    }

    void applyingTheLabelSetsTheUtcTimeOneHourEarlier() {
        Project project = test::NewProject();
        ApplyVolumeLabel(project, Values("DISC", {2003, 5, 10, 0, 0, 0}, {0, 0, 0, 0, 15, 0}));
        QCOMPARE(project.volumeInfo.Label(), std::string_view("DISC"));
        QCOMPARE(project.volumeInfo.hour, 0);
        QCOMPARE(project.volumeUtcTime, (CalendarTime{2003, 5, 9, 23, 15, 0}));
        ApplyVolumeLabel(project, Values("DISC", {2003, 5, 1, 0, 0, 0}, {0, 0, 0, 0, 15, 0}));
        QCOMPARE(project.volumeUtcTime, (CalendarTime{2003, 5, 0, 23, 15, 0}));
        ApplyVolumeLabel(project, Values(std::string(32, 'L'), {2003, 5, 1, 0, 0, 0}, {}));
        QCOMPARE(project.volumeInfo.Label(), std::string(32, 'L'));
        QCOMPARE(project.volumeInfo.label[32], '\0');
        QCOMPARE(VolumeLabelValuesOf(project).label, std::string(32, 'L'));
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
