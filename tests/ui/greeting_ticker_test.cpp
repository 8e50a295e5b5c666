// The season's greeting: when it runs, and what the summary pane shows tick
// by tick (the ticks are driven by hand, no timer is waited for).

#include <QLabel>
#include <QTest>

#include "ui/greeting_ticker.h"
#include "ui/main_frame.h"
#include "ui_test_support.h"

using namespace korvalin;

namespace {

constexpr int WAIT = 101;          // ticks until a showing starts
constexpr int SHOWING = WAIT + 231;  // ticks of one wait and one showing

QString Message(int selector) { return QString::fromLatin1(GREETING_MESSAGES[selector], 120); }

void Ticks(CMainFrame& frame, int count) {
    for (int i = 0; i < count; ++i) frame.OnTickerTimer();
}

const QString kNewProjectSummary("Time: 00:02   TOC: 52KB/ LBA:23  Files:0 Folders:1 ");

}  // namespace

class GreetingTickerTest : public QObject {
    Q_OBJECT

private slots:
    void runsFromTheTwentyFourthOfDecemberToTheSixthOfJanuary_data() {
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("day");
        QTest::addColumn<bool>("runs");
        QTest::newRow("23 Dec") << 12 << 23 << false;
        QTest::newRow("24 Dec") << 12 << 24 << true;
        QTest::newRow("31 Dec") << 12 << 31 << true;
        QTest::newRow("1 Jan") << 1 << 1 << true;
        QTest::newRow("6 Jan") << 1 << 6 << true;
        QTest::newRow("7 Jan") << 1 << 7 << false;
        QTest::newRow("12 Mar") << 3 << 12 << false;
    }
    void runsFromTheTwentyFourthOfDecemberToTheSixthOfJanuary() {
        QFETCH(int, month);
        QFETCH(int, day);
        QFETCH(bool, runs);
        test::AppHarness h(CalendarTime{2024, month, day, 12, 0, 0});
        h.Start();
        QCOMPARE(h.frame().IsTickerTimerRunning(), runs);
    }

    void theMessagesAreExactlyOneHundredTwentyCharacters() {
        QCOMPARE(Message(0).trimmed(),
                 QString::fromUtf8("ZOV OS DESEA...        FELIZ NAVIDAD!!!!            Y PROSPERO "
                                   "AÑO NUEVO, TAMBIEN!!!"));
        QCOMPARE(Message(1).trimmed(),
                 QString::fromUtf8("ZOV OS DESEA...        FELIZ AÑO NUEVO!!!     JEJE, ESTOY COMO "
                                   "UNA REGADERAAAAA!!!  ^__^"));
    }

    void scrollsTheFirstMessageAfterTheWait() {
        test::AppHarness h(CalendarTime{2025, 1, 6, 8, 0, 0});
        h.Start();
        CMainFrame& f = h.frame();
        Ticks(f, WAIT - 1);
        QVERIFY(!f.Ticker().active());
        QCOMPARE(f.SummaryPane()->text(), kNewProjectSummary);
        Ticks(f, 1);
        QVERIFY(f.Ticker().active());
        Ticks(f, 1);  // shows the blank line, shifts in 'Z'
        QCOMPARE(f.SummaryPane()->text(), QString(120, ' '));
        Ticks(f, 1);
        QCOMPARE(f.SummaryPane()->text(), QString(119, ' ') + "Z");
        Ticks(f, 119);  // the 121st tick of the showing shows the whole message
        QCOMPARE(f.SummaryPane()->text(), Message(0));
        QCOMPARE(f.SummaryPane()->width(), 400);
        // Refreshes do not overwrite the greeting while it scrolls.
        h.frame().OnIdleUpdate();
        QCOMPARE(f.SummaryPane()->text(), Message(0));
        Ticks(f, 1);  // the last character stays: the trailing blanks keep coming in
        QCOMPARE(f.SummaryPane()->text(), Message(0).mid(1) + ' ');
    }

    void fourShowingsAlternateThenTheSummaryReturns() {
        test::AppHarness h(CalendarTime{2024, 12, 24, 8, 0, 0});
        h.Start();
        CMainFrame& f = h.frame();
        Ticks(f, SHOWING);
        QCOMPARE(f.Ticker().showings(), 1);
        QVERIFY(!f.Ticker().active());
        QCOMPARE(f.SummaryPane()->text(), kNewProjectSummary);
        // The second showing scrolls the other message in from its start.
        Ticks(f, WAIT + 121);
        QCOMPARE(f.SummaryPane()->text(), Message(1));
        Ticks(f, 3 * SHOWING - (WAIT + 121));
        QCOMPARE(f.Ticker().showings(), 4);
        Ticks(f, 2 * SHOWING);
        QVERIFY(!f.Ticker().active());
        QCOMPARE(f.SummaryPane()->text(), kNewProjectSummary);
    }

    void theTickerAloneStopsAfterFourShowings() {
        GreetingTicker ticker;
        int shown = 0;
        for (int i = 0; i < 4 * SHOWING; ++i) shown += ticker.Tick().has_value();
        QCOMPARE(shown, 4 * 231);
        QCOMPARE(ticker.showings(), 4);
        QVERIFY(!ticker.Tick().has_value());
    }
};

QTEST_MAIN(GreetingTickerTest)
#include "greeting_ticker_test.moc"
