// Painting the walkmap with the three pens and the cell-script tools.
#include "project/projectmodel.h"
#include "room/walkmappen.h"

#include <QTest>

using namespace mb;

namespace {

QList<QPoint> sorted(std::vector<QPoint> cells)
{
    std::sort(cells.begin(), cells.end(), [](QPoint a, QPoint b) { return std::pair(a.x(), a.y()) < std::pair(b.x(), b.y()); });
    return QList<QPoint>(cells.begin(), cells.end());
}

QList<QPoint> freeCells(const Walkmap &w)
{
    QList<QPoint> cells;
    for (int c = 1; c <= Walkmap::Columns; ++c)
        for (int r = 1; r <= Walkmap::Rows; ++r)
            if (!w.blocked(c, r))
                cells << QPoint(c, r);
    return cells;
}

void giveScript(Walkmap &w, QPoint cell, const QStringList &lines)
{
    w.setHasScript(cell.x(), cell.y(), true);
    w.script(cell.x(), cell.y()) = lines;
}

} // namespace

class TestWalkmapPen : public QObject
{
    Q_OBJECT

private slots:
    void penCells_data()
    {
        QTest::addColumn<int>("pen");
        QTest::addColumn<QPoint>("cell");
        QTest::addColumn<QList<QPoint>>("cells");
        QTest::newRow("size 1") << int(WalkmapPen::Size1) << QPoint(7, 9) << QList<QPoint>{{7, 9}};
        QTest::newRow("size 3 at (1, 1)") << int(WalkmapPen::Size3) << QPoint(1, 1)
                                          << QList<QPoint>{{1, 1}, {1, 2}, {1, 3}, {2, 1}, {2, 2}, {3, 1}};
        QTest::newRow("size 2 at column 192") << int(WalkmapPen::Size2) << QPoint(192, 50)
                                              << QList<QPoint>{{191, 50}, {192, 49}, {192, 50}, {192, 51}};
        QTest::newRow("size 2 at row 96") << int(WalkmapPen::Size2) << QPoint(20, 96)
                                          << QList<QPoint>{{19, 96}, {20, 95}, {20, 96}, {21, 96}};
        QTest::newRow("size 3 inside") << int(WalkmapPen::Size3) << QPoint(10, 10)
                                       << QList<QPoint>{{8, 10},  {9, 9},   {9, 10}, {9, 11},  {10, 8},
                                                        {10, 9},  {10, 10}, {10, 11}, {10, 12}, {11, 9},
                                                        {11, 10}, {11, 11}, {12, 10}};
        QTest::newRow("size 3 at (192, 96)") << int(WalkmapPen::Size3) << QPoint(192, 96)
                                             << QList<QPoint>{{190, 96}, {191, 95}, {191, 96}, {192, 94}, {192, 95}, {192, 96}};
        QTest::newRow("script pen") << int(WalkmapPen::ScriptPen) << QPoint(3, 4) << QList<QPoint>{{3, 4}};
    }
    void penCells()
    {
        QFETCH(int, pen);
        QFETCH(QPoint, cell);
        QFETCH(QList<QPoint>, cells);
        QCOMPARE(sorted(walkmappen::penCells(WalkmapPen(pen), cell)), cells);

        // Painting touches exactly those cells; painting them again changes nothing.
        if (WalkmapPen(pen) == WalkmapPen::ScriptPen)
            return;
        Walkmap w;
        QPoint marked = walkmappen::NoCell;
        QVERIFY(walkmappen::applyTool(w, WalkmapPen(pen), false, cell, marked));
        QCOMPARE(freeCells(w), cells);
        QVERIFY(!walkmappen::applyTool(w, WalkmapPen(pen), false, cell, marked));
        QVERIFY(walkmappen::applyTool(w, WalkmapPen::Size1, true, cell, marked));
        QVERIFY(w.blocked(cell.x(), cell.y()));
    }

    void cellScripts()
    {
        Walkmap w;
        const QPoint a(5, 20), b(8, 21), c(9, 9);
        giveScript(w, a, {"on (enter)", "{", "}"});

        // A double click on a cell with a script opens it as it is.
        QVERIFY(!walkmappen::ensureScript(w, a));
        QCOMPARE(w.script(a.x(), a.y()).size(), 3);
        QVERIFY(walkmappen::ensureScript(w, c));
        QVERIFY(w.hasScript(c.x(), c.y()));
        QVERIFY(w.findScript(c.x(), c.y())->isEmpty());

        // Copy a, paste into b (created) and over c (replaced), also with the script pen.
        QPoint marked = a;
        auto menu = walkmappen::penMenuState(w, b, marked);
        QVERIFY(!menu.copyScript && menu.pasteScript && menu.scriptPen);
        QVERIFY(walkmappen::pasteScript(w, marked, b));
        QCOMPARE(*w.findScript(b.x(), b.y()), (QStringList{"on (enter)", "{", "}"}));
        QVERIFY(walkmappen::applyTool(w, WalkmapPen::ScriptPen, false, c, marked));
        QCOMPARE(w.findScript(c.x(), c.y())->size(), 3);
        QVERIFY(!walkmappen::pasteScript(w, marked, c)); // nothing new
        QVERIFY(walkmappen::penMenuState(w, b, marked).copyScript);

        // Pasting the marked cell onto itself keeps its lines.
        QVERIFY(!walkmappen::pasteScript(w, marked, a));
        QCOMPARE(w.findScript(a.x(), a.y())->size(), 3);

        // Erasing the marked cell's script clears the mark: Paste and the paster are disabled.
        QVERIFY(walkmappen::applyTool(w, WalkmapPen::ScriptEraser, false, a, marked));
        QVERIFY(!w.hasScript(a.x(), a.y()));
        QVERIFY(!w.findScript(a.x(), a.y()));
        QCOMPARE(marked, walkmappen::NoCell);
        menu = walkmappen::penMenuState(w, a, marked);
        QVERIFY(!menu.copyScript && !menu.pasteScript && !menu.scriptPen);
        QVERIFY(!walkmappen::eraseScript(w, a, marked)); // nothing left to erase

        // Erasing an unmarked cell keeps the mark.
        marked = b;
        QVERIFY(walkmappen::eraseScript(w, c, marked));
        QCOMPARE(marked, b);

        // A marked cell whose script went meanwhile: pasting does nothing and clears the mark.
        w.removeScript(b.x(), b.y());
        w.setHasScript(b.x(), b.y(), false);
        const Walkmap before = w;
        QVERIFY(!walkmappen::pasteScript(w, marked, c));
        QCOMPARE(marked, walkmappen::NoCell);
        QVERIFY(w == before);
    }
};

QTEST_GUILESS_MAIN(TestWalkmapPen)
#include "tst_walkmappen.moc"
