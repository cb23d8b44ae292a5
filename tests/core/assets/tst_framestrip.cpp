// The frame-strip operations shared by the object, character, item and cursor editors, on
// records built here.
#include "assets/framestrip.h"
#include "project/messagecatalog.h"

#include <QTest>

using namespace mb;
using namespace mb::framestrip;

Q_DECLARE_METATYPE(mb::AssetKind)
Q_DECLARE_METATYPE(mb::framestrip::PreviewSpot)
Q_DECLARE_METATYPE(mb::framestrip::ImagePlace)

namespace {

// One record of each kind, reachable through FrameAccess by kind.
struct Records
{
    Robj obj;
    Rcharacter chr;
    RItem item;
    Rmouse mouse;
    Records()
    {
        obj.name = "door";
        obj.width = 100;
        obj.height = 60;
        chr.name = "bob";
        chr.width[2] = 50;
        chr.height[2] = 80;
    }
    FrameAccess access(AssetKind kind)
    {
        switch (kind) {
        case AssetKind::Object: return obj;
        case AssetKind::Character: return chr;
        case AssetKind::Item: return item;
        case AssetKind::Cursor: break;
        }
        return mouse;
    }
};

FrameSlot full(const QString &tag)
{
    return {tag + "1", tag + "2", "speech (" + tag + ")", 1, 2, 3, 4};
}

void addKinds()
{
    QTest::addColumn<AssetKind>("kind");
    QTest::newRow("object") << AssetKind::Object;
    QTest::newRow("character") << AssetKind::Character;
    QTest::newRow("item") << AssetKind::Item;
    QTest::newRow("cursor") << AssetKind::Cursor;
}

} // namespace

class TestFrameStrip : public QObject
{
    Q_OBJECT
private slots:
    void accessKeepsWhatTheKindHolds_data() { addKinds(); }
    void accessKeepsWhatTheKindHolds()
    {
        QFETCH(AssetKind, kind);
        Records r;
        FrameAccess a = r.access(kind);
        const FrameLayout &layout = a.layout();
        // The last state and frame are reachable; one beyond reads empty and writes nothing.
        a.setFrame(a.states(), a.frames(), full("x"));
        a.setFrame(a.states() + 1, 1, full("y"));
        a.setFrame(1, a.frames() + 1, full("y"));
        FrameSlot expected{"x1"};
        if (layout.secondImage)
            expected.image2 = "x2";
        if (layout.offsets)
            expected.x = 1, expected.y = 2, expected.x2 = 3, expected.y2 = 4;
        if (layout.scriptLine)
            expected.script = "speech (x)";
        QCOMPARE(a.frame(a.states(), a.frames()), expected);
        QCOMPARE(a.frame(a.states() + 1, 1), FrameSlot());
        QCOMPARE(a.frame(0, 1), FrameSlot());
        QVERIFY(a.hasAnyImage());
        a.setSpeed(a.states(), 35);
        QCOMPARE(a.speed(a.states()), 35);
    }

    void readingDoesNotAllocate()
    {
        Robj obj;
        const FrameView v(obj);
        QCOMPARE(v.frame(3, 5), FrameSlot());
        QVERIFY(!v.hasAnyImage());
        QCOMPARE(animationLength(v, 3), 0);
        FrameAccess a(obj);
        // Writing what is already there (an empty frame) keeps the state unallocated too.
        a.setFrame(3, 5, FrameSlot());
        QVERIFY(!obj.frames.allocated());
    }

    void boxes_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("box");
        QTest::newRow("left margin") << 2 << 30 << 0;
        QTest::newRow("first") << 3 << 30 << 1;
        QTest::newRow("first end") << 32 << 30 << 1;
        QTest::newRow("second") << 33 << 30 << 2;
        QTest::newRow("tenth state") << 302 << 30 << 10;
        QTest::newRow("past the strip") << 303 << 30 << 0;
        QTest::newRow("frame 25") << 252 << 10 << 25;
        QTest::newRow("item state 10") << 252 << 25 << 10;
    }
    void boxes()
    {
        QFETCH(int, x);
        QFETCH(int, width);
        QFETCH(int, box);
        QCOMPARE(boxAt(x, width, width == 10 ? 25 : 10), box);
        if (box)
            QCOMPARE(boxRect(box, width), QRect(QPoint((box - 1) * width + 1, 1), QPoint(box * width, 20)));
    }

    void speed_data()
    {
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("interval");
        QTest::addColumn<QString>("english");
        QTest::addColumn<QString>("german");
        QTest::newRow("default") << 20 << 400 << "Speed 2.5 Pics/Sec" << "Geschwindigkeit 2,5 Bilder/Sek";
        QTest::newRow("three") << 3 << 60 << "Speed 16.6 Pics/Sec" << "Geschwindigkeit 16,6 Bilder/Sek";
        // A comma in second place cuts one more character.
        QTest::newRow("seven") << 7 << 140 << "Speed 7.14 Pics/Sec" << "Geschwindigkeit 7,1 Bilder/Sek";
        QTest::newRow("fastest") << 1 << 20 << "Speed 50 Pics/Sec" << "Geschwindigkeit 50 Bilder/Sek";
        QTest::newRow("slowest") << 100 << 2000 << "Speed 0.5 Pics/Sec" << "Geschwindigkeit 0,5 Bilder/Sek";
        QTest::newRow("thirty") << 30 << 600 << "Speed 1.66 Pics/Sec" << "Geschwindigkeit 1,6 Bilder/Sek";
    }
    void speed()
    {
        QFETCH(int, speed);
        QFETCH(int, interval);
        QFETCH(QString, english);
        QFETCH(QString, german);
        QCOMPARE(frameInterval(speed), interval);
        QCOMPARE(speedLabel(speed, MessageCatalog("EN")), english);
        QCOMPARE(speedLabel(speed, MessageCatalog("DE")), german);
    }

    void storedSpeedOnTheBar()
    {
        // A new element stores 0; the bar cannot show it and shows the default.
        QCOMPARE(barSpeed(0), 20);
        QCOMPARE(barSpeed(1), 1);
        QCOMPARE(barSpeed(100), 100);
        QCOMPARE(barSpeed(255), 100);
        QCOMPARE(frameInterval(0), 20);
    }

    void animationLoop_data() { addKinds(); }
    void animationLoop()
    {
        QFETCH(AssetKind, kind);
        Records r;
        FrameAccess a = r.access(kind);
        QCOMPARE(animationLength(a, 2), 0);
        a.setFrame(2, 7, {"only"});
        FrameSlot scriptOnly;
        scriptOnly.script = "speech (x)";
        a.setFrame(2, 12, scriptOnly); // a script line alone does not lengthen the loop
        QCOMPARE(animationLength(a, 2), 7);
        QList<int> shown;
        int f = 1;
        for (int tick = 0; tick < 9; ++tick)
            shown << (f = nextAnimationFrame(f, 7));
        QCOMPARE(shown, (QList<int>{2, 3, 4, 5, 6, 7, 1, 2, 3}));
        if (a.layout().secondImage) {
            FrameSlot second;
            second.image2 = "late";
            a.setFrame(2, 9, second);
            QCOMPARE(animationLength(a, 2), 9);
        }
    }

    void moveAndCopyFrames_data() { addKinds(); }
    void moveAndCopyFrames()
    {
        QFETCH(AssetKind, kind);
        Records r;
        FrameAccess a = r.access(kind);
        a.setFrame(1, 3, full("a"));
        const FrameSlot source = a.frame(1, 3);

        QVERIFY(dropFrame(a, 1, 3, 5, FrameDrop::Copy));
        QCOMPARE(a.frame(1, 5), source);
        QCOMPARE(a.frame(1, 3), source);

        QVERIFY(dropFrame(a, 1, 3, 8, FrameDrop::Move));
        QCOMPARE(a.frame(1, 8), source);
        // The source keeps its script line and offsets, only its images go.
        FrameSlot left = source;
        left.image.clear();
        left.image2.clear();
        QCOMPARE(a.frame(1, 3), left);

        // Refused: onto a frame with an image, onto itself, out of range.
        const FrameSlot five = a.frame(1, 5);
        QVERIFY(!dropFrame(a, 1, 8, 5, FrameDrop::Move));
        QVERIFY(!dropFrame(a, 1, 8, 8, FrameDrop::Copy));
        QVERIFY(!dropFrame(a, 1, 8, a.frames() + 1, FrameDrop::Copy));
        QCOMPARE(a.frame(1, 5), five);
        QCOMPARE(a.frame(1, 8), source);
        // A frame whose images were moved away takes a drop again.
        QVERIFY(canDropFrame(a, 1, 8, 3));
    }

    void removeFrameImages()
    {
        Records r;
        FrameAccess a = r.access(AssetKind::Object);
        a.setFrame(1, 4, full("a"));
        QVERIFY(removeImages(a, 1, 4));
        QCOMPARE(a.frame(1, 4), (FrameSlot{{}, {}, "speech (a)", 1, 2, 3, 4}));
        QVERIFY(!removeImages(a, 1, 4));
        a.setFrame(1, 4, full("b"));
        QVERIFY(removeImage(a, 1, 4, 2));
        QCOMPARE(a.frame(1, 4).image, QString("b1"));
        QVERIFY(a.frame(1, 4).image2.isEmpty());
        QVERIFY(!removeImage(a, 1, 4, 2));
    }

    void copyStateOverAnother_data()
    {
        QTest::addColumn<AssetKind>("kind");
        QTest::newRow("object") << AssetKind::Object;
        QTest::newRow("item") << AssetKind::Item;
        QTest::newRow("cursor") << AssetKind::Cursor;
    }
    void copyStateOverAnother()
    {
        QFETCH(AssetKind, kind);
        Records r;
        FrameAccess a = r.access(kind);
        a.setFrame(2, 1, full("a"));
        a.setFrame(2, 9, full("b"));
        a.setSpeed(2, 7);
        a.setFrame(5, 4, full("old"));
        a.setSpeed(5, 40);

        QVERIFY(!canDropState(a, 2, 2));
        QVERIFY(!copyState(a, 2, 2));
        QVERIFY(copyState(a, 2, 5));
        for (int f = 1; f <= a.frames(); ++f)
            QCOMPARE(a.frame(5, f), a.frame(2, f));
        QCOMPARE(a.speed(5), 7);
        QVERIFY(!copyState(a, 2, 5)); // nothing left to change
    }

    void stateQuestion()
    {
        const MessageCatalog en("EN"), de("DE");
        QCOMPARE(stateDropQuestion(AssetKind::Object, 2, 5, en), QString("Exchange the state 5 with the state 2 ?"));
        QCOMPARE(stateDropQuestion(AssetKind::Item, 2, 5, de),
                 QString("Soll der Zustand 5 mit dem Zustand 2 getauscht werden?"));
        QCOMPARE(stateDropQuestion(AssetKind::Cursor, 2, 5, en), QString("Copy the Mouseicon \"2\" to \"5\"?"));
    }

    void previewDrops_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<PreviewSpot>("spot");
        QTest::addColumn<ImagePlace>("place");
        QTest::addColumn<bool>("replaces");
        QTest::addColumn<int>("question");
        const auto bg = PreviewSpot::Background, on1 = PreviewSpot::FirstImage, on2 = PreviewSpot::SecondImage;
        const auto p1 = ImagePlace::First, p2 = ImagePlace::Second;
        QTest::newRow("empty frame") << "" << "" << bg << p1 << false << 0;
        QTest::newRow("background, first taken") << "a" << "" << bg << p2 << false << 0;
        QTest::newRow("background, both taken") << "a" << "b" << bg << p2 << true << 246;
        QTest::newRow("on first, no second") << "a" << "" << on1 << p2 << false << 0;
        QTest::newRow("on first, both taken") << "a" << "b" << on1 << p1 << true << 245;
        QTest::newRow("on second, both taken") << "a" << "b" << on2 << p2 << true << 246;
        QTest::newRow("on second, no first") << "" << "b" << on2 << p1 << false << 0;
        QTest::newRow("background, only second") << "" << "b" << bg << p1 << false << 0;
    }
    void previewDrops()
    {
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(PreviewSpot, spot);
        QFETCH(ImagePlace, place);
        QFETCH(bool, replaces);
        QFETCH(int, question);
        Robj obj;
        FrameAccess a(obj);
        a.setFrame(1, 1, {first, second});
        const ImageDropPlan plan = planPreviewDrop(a, 1, 1, spot, false);
        QCOMPARE(plan.place, place);
        QCOMPARE(plan.replaces, replaces);
        QCOMPARE(plan.question, question);
        // Silent delete replaces just the same, without asking.
        const ImageDropPlan silent = planPreviewDrop(a, 1, 1, spot, true);
        QCOMPARE(silent.place, place);
        QCOMPARE(silent.replaces, replaces);
        QCOMPARE(silent.question, 0);
    }

    void oneImageKindsReplaceWithoutAsking()
    {
        RItem item;
        FrameAccess a(item);
        a.setFrame(1, 2, {"first"});
        QVERIFY(canDropImageOnFrame(a, 1, 2));
        const ImageDropPlan plan = planPreviewDrop(a, 1, 2, PreviewSpot::FirstImage, false);
        QCOMPARE(plan.place, ImagePlace::First);
        QCOMPARE(plan.question, 0);
        QVERIFY(placeImage(a, 1, 2, plan, {"second"}));
        QCOMPARE(a.frame(1, 2).image, QString("second"));
    }

    void frameBoxDrops()
    {
        Robj obj;
        obj.width = 90;
        obj.height = 60;
        FrameAccess a(obj);
        // An empty frame takes the image as its first at (0, 0).
        QVERIFY(canDropImageOnFrame(a, 1, 1));
        QCOMPARE(frameDropOffset(a, 1, 1), QPoint(0, 0));
        QVERIFY(placeImage(a, 1, 1, planFrameDrop(a, 1, 1), {"one", frameDropOffset(a, 1, 1)}));
        // With a first image the next one is the second, at a third of the box.
        QCOMPARE(frameDropOffset(a, 1, 1), QPoint(30, 20));
        QVERIFY(placeImage(a, 1, 1, planFrameDrop(a, 1, 1), {"two", frameDropOffset(a, 1, 1)}));
        QCOMPARE(a.frame(1, 1), (FrameSlot{"one", "two", {}, 0, 0, 30, 20}));
        // Both places taken: the frame box refuses.
        QVERIFY(!canDropImageOnFrame(a, 1, 1));
        QCOMPARE(planFrameDrop(a, 1, 1).place, ImagePlace::None);
        QVERIFY(!placeImage(a, 1, 1, planFrameDrop(a, 1, 1), {"three"}));
    }

    void dropPositions_data()
    {
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<QPoint>("offset");
        QTest::newRow("inside") << QPoint(12, 34) << QPoint(12, 34);
        QTest::newRow("negative") << QPoint(-5, -1) << QPoint(0, 0);
        QTest::newRow("beyond the box") << QPoint(95, 70) << QPoint(90, 50);
    }
    void dropPositions()
    {
        QFETCH(QPoint, position);
        QFETCH(QPoint, offset);
        Records r;
        FrameAccess a = r.access(AssetKind::Object);
        a.setFrame(1, 1, {"keep", {}, {}, 7, 8});
        // The new second image gets the drop point; the first keeps its offset when replaced.
        QVERIFY(placeImage(a, 1, 1, planPreviewDrop(a, 1, 1, PreviewSpot::Background, false), {"new", position}));
        QCOMPARE(QPoint(a.frame(1, 1).x2, a.frame(1, 1).y2), offset);
        QVERIFY(placeImage(a, 1, 1, {ImagePlace::First, true, 245}, {"other", position}));
        QCOMPARE(a.frame(1, 1), (FrameSlot{"other", "new", {}, 7, 8, offset.x(), offset.y()}));
    }

    void fitImages_data()
    {
        QTest::addColumn<AssetKind>("kind");
        QTest::addColumn<QSize>("image");
        QTest::addColumn<QSize>("box");
        QTest::newRow("object") << AssetKind::Object << QSize(64, 48) << QSize(64, 48);
        // The fitted size obeys the size rules of the kind.
        QTest::newRow("object too wide") << AssetKind::Object << QSize(2500, 5) << QSize(1920, 10);
        QTest::newRow("character") << AssetKind::Character << QSize(40, 90) << QSize(40, 90);
        QTest::newRow("character too tall") << AssetKind::Character << QSize(40, 900) << QSize(40, 512);
    }
    void fitImages()
    {
        QFETCH(AssetKind, kind);
        QFETCH(QSize, image);
        QFETCH(QSize, box);
        Records r;
        FrameAccess a = r.access(kind);
        const QSize before = a.box(1);
        ImageDrop drop{"first", QPoint(20, 20), false, image};
        // Without Fit Images the box stays.
        QVERIFY(placeImage(a, 3, 2, {ImagePlace::First}, drop));
        QCOMPARE(a.box(3), kind == AssetKind::Object ? before : QSize(50, 80));
        a.setFrame(3, 2, {});
        drop.fitImages = true;
        QVERIFY(placeImage(a, 3, 2, {ImagePlace::First}, drop));
        QCOMPARE(a.box(3), box);
        QCOMPARE(a.frame(3, 2), (FrameSlot{"first"}));
        if (kind == AssetKind::Character)
            QCOMPARE(a.box(1), QSize(0, 0)); // only the current action
        // Once the element has an image, the next drop keeps the box.
        drop.imageSize = QSize(11, 11);
        QVERIFY(placeImage(a, 4, 1, {ImagePlace::First}, drop));
        QCOMPARE(a.box(3), box);
    }

    void moveImages()
    {
        Records r;
        FrameAccess a = r.access(AssetKind::Object); // 100 x 60
        a.setFrame(1, 1, {"a", "b", {}, 5, 5, 0, 0});
        QVERIFY(moveImageTo(a, 1, 1, 2, QPoint(200, -3)));
        QCOMPARE(QPoint(a.frame(1, 1).x2, a.frame(1, 1).y2), QPoint(90, 0));
        QVERIFY(!moveImageTo(a, 1, 1, 2, QPoint(95, -9))); // already there
        QCOMPARE(QPoint(a.frame(1, 1).x, a.frame(1, 1).y), QPoint(5, 5));
        QVERIFY(!moveImageTo(a, 1, 2, 1, QPoint(3, 3))); // no image to move
    }

    void arrowKeys_data()
    {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("step");
        QTest::addColumn<QPoint>("to");
        QTest::newRow("right") << QPoint(10, 10) << QPoint(1, 0) << QPoint(11, 10);
        QTest::newRow("left at 0") << QPoint(0, 10) << QPoint(-1, 0) << QPoint(0, 10);
        QTest::newRow("up at 0") << QPoint(10, 0) << QPoint(0, -1) << QPoint(10, 0);
        QTest::newRow("right at width - 10") << QPoint(90, 10) << QPoint(1, 0) << QPoint(90, 10);
        QTest::newRow("down at height - 10") << QPoint(10, 50) << QPoint(0, 1) << QPoint(10, 50);
        QTest::newRow("back from beyond the edge") << QPoint(120, 10) << QPoint(-1, 0) << QPoint(119, 10);
    }
    void arrowKeys()
    {
        QFETCH(QPoint, from);
        QFETCH(QPoint, step);
        QFETCH(QPoint, to);
        Records r;
        FrameAccess a = r.access(AssetKind::Object); // 100 x 60
        a.setFrame(1, 1, {"a", {}, {}, from.x(), from.y()});
        QCOMPARE(nudgeImage(a, 1, 1, 1, step.x(), step.y()), from != to);
        QCOMPARE(QPoint(a.frame(1, 1).x, a.frame(1, 1).y), to);
    }

    void sounds_data() { addKinds(); }
    void sounds()
    {
        QFETCH(AssetKind, kind);
        Records r;
        FrameAccess a = r.access(kind);
        if (!a.layout().scriptLine) {
            QVERIFY(!canDropSound(a, 1, 1));
            QVERIFY(!dropSound(a, 1, 1, "steps"));
            QVERIFY(!setScriptLine(a, 1, 1, "x"));
            return;
        }
        QVERIFY(dropSound(a, 1, 1, "steps"));
        QCOMPARE(a.frame(1, 1).script, QString("playsound (steps)"));
        // A frame that has a script line refuses a sound.
        QVERIFY(!canDropSound(a, 1, 1));
        QVERIFY(!dropSound(a, 1, 1, "door"));
        QCOMPARE(a.frame(1, 1).script, QString("playsound (steps)"));
        QVERIFY(setScriptLine(a, 1, 1, "setbool (a ; true)"));
        QVERIFY(!setScriptLine(a, 1, 1, "setbool (a ; true)"));
        QCOMPARE(a.frame(1, 1).script, QString("setbool (a ; true)"));
    }

    void texts()
    {
        const MessageCatalog en("EN"), de("DE");
        QCOMPARE(scriptLineTitle(3, 7, "door", en), QString("Scriptline for Frame  3/7  (door)"));
        Records r;
        FrameAccess obj = r.access(AssetKind::Object);
        obj.setFrame(1, 1, {"", "lamp"});
        QCOMPARE(previewCaption(obj, 1, 1, en), QString("<none>/lamp"));
        FrameAccess item = r.access(AssetKind::Item);
        QCOMPARE(previewCaption(item, 1, 1, en), QString("<none>"));
        item.setFrame(1, 1, {"key"});
        QCOMPARE(previewCaption(item, 1, 1, en), QString("<key>"));
        QCOMPARE(editorCaption(AssetKind::Object, "door", en), QString("Object (door)"));
        QCOMPARE(editorCaption(AssetKind::Object, "", en), QString("Object (none)"));
        QCOMPARE(editorCaption(AssetKind::Character, "bob", en), QString("Character (bob)"));
        QCOMPARE(editorCaption(AssetKind::Item, "", en), QString("Item (none)"));
        QCOMPARE(editorCaption(AssetKind::Cursor, "", de), de.msg(53));
        QCOMPARE(statusText(AssetKind::Item, en), QString("Itembox : Create collectable items for your game."));
    }
};

QTEST_GUILESS_MAIN(TestFrameStrip)
#include "tst_framestrip.moc"
