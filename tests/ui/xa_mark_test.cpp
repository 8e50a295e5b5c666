// SPDX-License-Identifier: GPL-3.0-or-later
// The raw XA mark on the desktop: Add Files asks for a file that looks like
// raw XA, and the entry editor's box sets and clears the mark.

#include <QCheckBox>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

#include <cstring>

#include "model/xa_file.h"
#include "ui_test_support.h"

namespace korvalin {

class XaMarkTest : public QObject {
    Q_OBJECT

private slots:
    void addFilesAsksAndTheEditorSetsAndClearsTheMark() {
        test::Window w;
        std::vector<uint8_t> sectors(4 * XA_SOURCE_SECTOR_BYTES, 0x21);
        for (size_t at = 0; at < sectors.size(); at += XA_SOURCE_SECTOR_BYTES) {
            const uint8_t sub[8] = {1, 0, 0x64, 1, 1, 0, 0x64, 1};
            std::memcpy(&sectors[at], sub, sizeof sub);
        }
        test::WriteBytes(w.Path("music.xa"), sectors);
        test::WriteBytes(w.Path("intro.str"), sectors);
        w.WriteFile("plain.bin", 3000);
        w.prompt().filesAnswers = {{w.Path("music.xa"), w.Path("intro.str"), w.Path("plain.bin")}};
        w.prompt().okCancelAnswers = {true, false};
        w.Trigger(ID_ADD_FILES);
        QCOMPARE(w.prompt().messages.size(), size_t{2});
        QVERIFY(w.prompt().messages[0].find("music.xa looks like raw XA") != std::string::npos);
        const FileTable& files = w.project().fileTable;
        QVERIFY(files[0].rawXa);
        QCOMPARE(files[0].size, 4 * 2048u);
        QVERIFY(!files[1].rawXa);
        QVERIFY(!files[2].rawXa);

        // A plain source is refused and the editor stays open; INTRO.STR is marked.
        w.AnswerEditor([&w](EntryEditorDialog& d) {
            QVERIFY(d.RawXaBox()->isVisible());
            QVERIFY(!d.RawXaBox()->isChecked());
            d.RawXaBox()->click();
            d.OkButton()->click();
            QVERIFY(d.isVisible());
            QVERIFY(w.prompt().messages.back().find("plain.bin: holds 3000 bytes") != std::string::npos);
            d.RawXaBox()->click();
        });
        w.list()->ContextMenuFor(w.Row("PLAIN.BIN"))->actions()[0]->trigger();  // Edit Info
        QVERIFY(!files[2].rawXa);
        w.AnswerEditor([](EntryEditorDialog& d) { d.RawXaBox()->click(); });
        w.list()->ContextMenuFor(w.Row("INTRO.STR"))->actions()[0]->trigger();
        QVERIFY(files[1].rawXa);
        QCOMPARE(files[1].size, 4 * 2048u);
        // Cleared, the size is the source's again.
        w.AnswerEditor([](EntryEditorDialog& d) {
            QVERIFY(d.RawXaBox()->isChecked());
            d.RawXaBox()->click();
        });
        w.list()->ContextMenuFor(w.Row("MUSIC.XA"))->actions()[0]->trigger();
        QVERIFY(!files[0].rawXa);
        QCOMPARE(files[0].size, 4 * XA_SOURCE_SECTOR_BYTES);
        QVERIFY(w.frame().isWindowModified());
    }
};

}  // namespace korvalin

QTEST_MAIN(korvalin::XaMarkTest)
#include "xa_mark_test.moc"
