// The order of a run's renames: chains from their free end, cycles through one temporary name,
// the items of a folder before the folder. Each plan is also played on an imagined disk, where
// no move may land on a name that is taken at its moment.
#include "rename/runplan.h"

#include <QSet>
#include <QTest>

using namespace quillet::rename;
using namespace Qt::Literals::StringLiterals;

namespace {

QString inD(const QString& name)
{
    return u"/d/"_s + name;
}

QString shortName(const QString& path)
{
    return path.startsWith(u"/d/"_s) ? path.sliced(3) : path;
}

// "b>c a>b", a cycle in brackets: "[a>T c>a b>c T>b]"; T is the temporary name.
QString describe(const RunPlan& plan)
{
    QStringList parts;
    for (qsizetype k = 0; k < plan.moves.size(); ++k) {
        const PlannedMove& move = plan.moves.at(k);
        QString part = shortName(move.from) + u'>' + shortName(move.to);
        for (const PlannedCycle& cycle : plan.cycles) {
            if (cycle.first == k)
                part.prepend(u'[');
            if (cycle.last == k)
                part.append(u']');
        }
        parts.append(part);
    }
    return parts.join(u' ');
}

DiskRules rulesFor(const QString& folder)
{
    DiskRules rules;
    rules.ignoresCase = folder == u"/d/fat"_s || folder.startsWith(u"/d/fat/"_s);
    return rules;
}

QString key(const QString& path)
{
    return comparablePath(path, u'/', rulesFor(path.left(path.lastIndexOf(u'/'))));
}

// Plays the plan on a disk that holds the sources (and `others`): every move of a moving entry
// finds its item and a free target, a folder taking its contents along; at the end each moving
// entry's item is at its target. Returns what went wrong, or nothing.
QString play(const RunPlan& plan, const QStringList& sources, const std::vector<bool>& moving,
             const QStringList& others = {})
{
    QHash<QString, qsizetype> at; // path key → the entry whose item is there (-1: another)
    for (qsizetype i = 0; i < sources.size(); ++i)
        at.insert(key(sources.at(i)), i);
    for (const QString& other : others)
        at.insert(key(other), -1);
    QSet<qsizetype> entriesMoved;
    for (const PlannedMove& move : plan.moves) {
        if (!moving[size_t(move.entry)])
            continue;
        const QString from = key(move.from);
        const QString to = key(move.to);
        if (at.value(from, -2) != move.entry && from != to)
            return u"%1 is not at %2"_s.arg(move.entry).arg(move.from);
        if (from == to) {
            entriesMoved.insert(move.entry);
            continue;
        }
        // An item that stays is the prompt's business; anything else must have moved away.
        if (const qsizetype holder = at.value(to, -3); holder >= 0 && !moving[size_t(holder)]) {
            entriesMoved.insert(move.entry);
            continue;
        }
        if (at.contains(to))
            return u"%1 is taken when %2 moves there"_s.arg(move.to).arg(move.entry);
        // The item, and whatever lies inside it.
        const QList<QString> keys = at.keys();
        for (const QString& path : keys) {
            if (path == from || path.startsWith(from + u'/'))
                at.insert(to + path.sliced(from.size()), at.take(path));
        }
        if (move.step != PlannedMove::Step::ToTemporary)
            entriesMoved.insert(move.entry);
    }
    for (qsizetype i = 0; i < sources.size(); ++i) {
        if (moving[size_t(i)] && !entriesMoved.contains(i))
            return u"%1 never reached its target"_s.arg(i);
    }
    return {};
}

} // namespace

class TestRunPlan : public QObject {
    Q_OBJECT

private slots:
    void plans_data()
    {
        QTest::addColumn<QStringList>("sources"); // in /d
        QTest::addColumn<QStringList>("targets");
        QTest::addColumn<QString>("still"); // entries that do not move, as "0,2"
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("freedBy"); // per entry

        QTest::newRow("no interaction keeps the batch's order")
            << QStringList{u"x"_s, u"p"_s} << QStringList{u"y"_s, u"q"_s} << QString()
            << u"x>y p>q"_s << u"-1 -1"_s;
        QTest::newRow("shift by one up goes from the free end")
            << QStringList{u"ep1"_s, u"ep2"_s, u"ep3"_s}
            << QStringList{u"ep2"_s, u"ep3"_s, u"ep4"_s} << QString()
            << u"ep3>ep4 ep2>ep3 ep1>ep2"_s << u"1 2 -1"_s;
        QTest::newRow("shift by one down keeps its order")
            << QStringList{u"ep2"_s, u"ep3"_s, u"ep4"_s}
            << QStringList{u"ep1"_s, u"ep2"_s, u"ep3"_s} << QString()
            << u"ep2>ep1 ep3>ep2 ep4>ep3"_s << u"-1 0 1"_s;
        QTest::newRow("swap") << QStringList{u"a"_s, u"b"_s} << QStringList{u"b"_s, u"a"_s}
                              << QString() << u"[a>T b>a T>b]"_s << u"1 0"_s;
        QTest::newRow("three-way rotation")
            << QStringList{u"a"_s, u"b"_s, u"c"_s} << QStringList{u"b"_s, u"c"_s, u"a"_s}
            << QString() << u"[a>T c>a b>c T>b]"_s << u"1 2 0"_s;
        QTest::newRow("two cycles in one batch")
            << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s}
            << QStringList{u"b"_s, u"a"_s, u"d"_s, u"c"_s} << QString()
            << u"[a>T b>a T>b] [c>T d>c T>d]"_s << u"1 0 3 2"_s;
        QTest::newRow("a chain ending at an item outside the batch")
            << QStringList{u"a"_s, u"b"_s} << QStringList{u"b"_s, u"c"_s} << QString()
            << u"b>c a>b"_s << u"1 -1"_s;
        QTest::newRow("an entry that stays holds its name")
            << QStringList{u"a"_s, u"b"_s} << QStringList{u"b"_s, u"b"_s} << u"1"_s << u"a>b b>b"_s
            << u"-1 -1"_s;
        QTest::newRow("a checksum's name frees nothing, its source all the same")
            << QStringList{u"b"_s, u"a"_s} << QStringList{u"a"_s, u"x */CRC32/*"_s} << QString()
            << u"a>x */CRC32/* b>a"_s << u"1 -1"_s;
        QTest::newRow("a folder before its own item")
            << QStringList{u"Season 1"_s, u"Season 1/ep01.mkv"_s}
            << QStringList{u"S1"_s, u"Season 1/e01.mkv"_s} << QString()
            << u"Season 1/ep01.mkv>Season 1/e01.mkv Season 1>S1"_s << u"-1 -1"_s;
        QTest::newRow("a folder between its items")
            << QStringList{u"A/x"_s, u"A"_s, u"A/y"_s} << QStringList{u"A/x2"_s, u"B"_s, u"A/y2"_s}
            << QString() << u"A/x>A/x2 A/y>A/y2 A>B"_s << u"-1 -1 -1"_s;
        QTest::newRow("a folder after its items")
            << QStringList{u"A/x"_s, u"A/y"_s, u"A"_s} << QStringList{u"A/x2"_s, u"A/y2"_s, u"B"_s}
            << QString() << u"A/x>A/x2 A/y>A/y2 A>B"_s << u"-1 -1 -1"_s;
        QTest::newRow("folders inside folders, innermost first")
            << QStringList{u"A"_s, u"A/B"_s, u"A/B/f"_s}
            << QStringList{u"A2"_s, u"A/B2"_s, u"A/B/g"_s} << QString()
            << u"A/B/f>A/B/g A/B>A/B2 A>A2"_s << u"-1 -1 -1"_s;
        QTest::newRow("a file into a folder's new name goes after it")
            << QStringList{u"x"_s, u"Old"_s} << QStringList{u"New/x"_s, u"New"_s} << QString()
            << u"Old>New x>New/x"_s << u"-1 -1"_s;
        QTest::newRow("a file into a folder's old name goes before it")
            << QStringList{u"Old"_s, u"x"_s} << QStringList{u"New"_s, u"Old/x"_s} << QString()
            << u"x>Old/x Old>New"_s << u"-1 -1"_s;
        // The file takes the folder's old name: the folder steps aside with the file inside.
        QTest::newRow("a cycle through a folder and a file inside it")
            << QStringList{u"A"_s, u"A/x"_s} << QStringList{u"B"_s, u"A"_s} << QString()
            << u"[A>T T/x>A T>B]"_s << u"-1 0"_s;
        QTest::newRow("two folders swapped, a file renamed inside one")
            << QStringList{u"A"_s, u"B"_s, u"A/x"_s} << QStringList{u"B"_s, u"A"_s, u"A/y"_s}
            << QString() << u"A/x>A/y [A>T B>A T>B]"_s << u"1 0 -1"_s;
        QTest::newRow("an unchanged file stays where its folder steps aside")
            << QStringList{u"A"_s, u"A/x"_s, u"A/u"_s} << QStringList{u"B"_s, u"A"_s, u"A/u"_s}
            << u"2"_s << u"[A>T T/x>A T/u>T/u T>B]"_s << u"-1 0 -1"_s;
        QTest::newRow("ignoring case, a swap spelled otherwise is a swap")
            << QStringList{u"fat/a"_s, u"fat/b"_s} << QStringList{u"fat/B"_s, u"fat/A"_s}
            << QString() << u"[fat/a>fat/T fat/b>fat/A fat/T>fat/B]"_s << u"1 0"_s;
        QTest::newRow("ignoring case, a new spelling waits for nobody")
            << QStringList{u"fat/a"_s, u"fat/b"_s} << QStringList{u"fat/A"_s, u"fat/c"_s}
            << QString() << u"fat/a>fat/A fat/b>fat/c"_s << u"-1 -1"_s;
        QTest::newRow("exact case, another spelling is another name")
            << QStringList{u"a"_s, u"b"_s} << QStringList{u"B"_s, u"A"_s} << QString()
            << u"a>B b>A"_s << u"-1 -1"_s;
        QTest::newRow("a path with dot-dot names the same item")
            << QStringList{u"a"_s, u"b"_s} << QStringList{u"sub/../b"_s, u"c"_s} << QString()
            << u"b>c a>sub/../b"_s << u"1 -1"_s;
    }
    void plans()
    {
        QFETCH(QStringList, sources);
        QFETCH(QStringList, targets);
        QFETCH(QString, still);
        QFETCH(QString, expected);
        QFETCH(QString, freedBy);
        std::transform(sources.begin(), sources.end(), sources.begin(), inD);
        std::transform(targets.begin(), targets.end(), targets.begin(), inD);
        std::vector<bool> moving(size_t(sources.size()), true);
        for (const QString& i : still.split(u',', Qt::SkipEmptyParts))
            moving[size_t(i.toInt())] = false;
        DiskRulesCache rules(rulesFor);
        const RunPlan plan = planRun(sources, targets, moving, u'/', rules,
                                     [](const QString& folder) { return folder + u'T'; });
        QCOMPARE(describe(plan), expected);
        QStringList freed;
        for (const qsizetype entry : plan.freedBy)
            freed.append(QString::number(entry));
        QCOMPARE(freed.join(u' '), freedBy);
        // Every entry once, with a step to and a step from each temporary name.
        QCOMPARE(plan.moves.size(), sources.size() + plan.cycles.size());
        for (const PlannedCycle& cycle : plan.cycles) {
            QCOMPARE(plan.moves.at(cycle.first).step, PlannedMove::Step::ToTemporary);
            QCOMPARE(plan.moves.at(cycle.last).step, PlannedMove::Step::FromTemporary);
            QCOMPARE(plan.moves.at(cycle.first).entry, plan.moves.at(cycle.last).entry);
        }
        RunPlan played = plan;
        for (PlannedMove& move : played.moves)
            move.to = move.to.contains(u"*/"_s) ? u"/d/x.crc"_s : move.to;
        QCOMPARE(play(played, sources, moving), QString());
    }

    // A rotation of 100,000 names is one cycle of 100,001 moves that the disk can take.
    void largeRotation()
    {
        constexpr int kCount = 100'000;
        QStringList sources;
        QStringList targets;
        for (int i = 0; i < kCount; ++i) {
            sources.append(inD(u"e%1.mkv"_s.arg(i)));
            targets.append(inD(u"e%1.mkv"_s.arg((i + 1) % kCount)));
        }
        const std::vector<bool> moving(kCount, true);
        DiskRulesCache rules([](const QString&) { return DiskRules{}; });
        const RunPlan plan = planRun(sources, targets, moving, u'/', rules,
                                     [](const QString& folder) { return folder + u'T'; });
        QCOMPARE(plan.moves.size(), kCount + 1);
        QCOMPARE(plan.cycles.size(), 1);
        QCOMPARE(plan.cycles.first().first, 0);
        QCOMPARE(plan.cycles.first().last, kCount);
        // Each move lands on the name the move before it freed.
        for (int k = 1; k <= kCount; ++k)
            QCOMPARE(plan.moves.at(k).to, plan.moves.at(k - 1).from);
    }

    void inOrderPlanIsTheEntriesAsGiven()
    {
        const RunPlan plan = planInOrder({u"/d/b"_s, u"/d/a"_s}, {u"/d/a"_s, u"/d/b"_s});
        QCOMPARE(describe(plan), u"b>a a>b"_s);
        QVERIFY(plan.cycles.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRunPlan)
#include "tst_runplan.moc"
