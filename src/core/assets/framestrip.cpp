#include "assets/framestrip.h"

#include "assets/sizerules.h"
#include "project/messagecatalog.h"

#include <algorithm>
#include <cmath>

namespace mb::framestrip {

int boxAt(int x, int boxWidth, int count)
{
    if (boxWidth <= 0 || x < 3)
        return 0;
    const int k = (x - 3) / boxWidth + 1;
    return k <= count ? k : 0;
}

QRect boxRect(int k, int boxWidth)
{
    return QRect(QPoint((k - 1) * boxWidth + 1, 1), QPoint(k * boxWidth, 20));
}

int barSpeed(int stored)
{
    if (stored < MinSpeed)
        return DefaultSpeed;
    return std::min(stored, MaxSpeed);
}

int frameInterval(int speed)
{
    speed = std::max(speed, MinSpeed);
    return int(std::lround(1000.0 / (50.0 / speed)));
}

QString picturesPerSecond(int speed, QChar decimalSeparator)
{
    speed = std::max(speed, MinSpeed);
    // Fifteen significant digits, as a plain decimal, then cut.
    QString text = QString::number(50.0 / speed, 'g', 15);
    text.replace(u'.', decimalSeparator);
    text.truncate(text.size() > 1 && text.at(1) == u',' ? 3 : 4);
    return text;
}

QString speedLabel(int speed, const MessageCatalog &catalog)
{
    const QChar separator = catalog.language() == QLatin1String("DE") ? u',' : u'.';
    return catalog.msg(243) + u' ' + picturesPerSecond(speed, separator) + u' ' + catalog.msg(244);
}

int animationLength(const FrameView &view, int state)
{
    for (int f = view.frames(); f >= 1; --f)
        if (view.frame(state, f).hasImage())
            return f;
    return 0;
}

int nextAnimationFrame(int frame, int length)
{
    return frame >= length || frame < 1 ? 1 : frame + 1;
}

bool canDropFrame(const FrameView &view, int state, int from, int to)
{
    return view.validState(state) && view.validFrame(from) && view.validFrame(to) && from != to
        && !view.frame(state, to).hasImage();
}

bool dropFrame(FrameAccess &access, int state, int from, int to, FrameDrop how)
{
    if (!canDropFrame(access, state, from, to))
        return false;
    FrameSlot source = access.frame(state, from);
    const FrameSlot before = access.frame(state, to);
    access.setFrame(state, to, source);
    bool changed = !(before == source);
    if (how == FrameDrop::Move && source.hasImage()) {
        source.image.clear();
        source.image2.clear();
        access.setFrame(state, from, source);
        changed = true;
    }
    return changed;
}

bool removeImages(FrameAccess &access, int state, int frame)
{
    FrameSlot f = access.frame(state, frame);
    if (!f.hasImage())
        return false;
    f.image.clear();
    f.image2.clear();
    access.setFrame(state, frame, f);
    return true;
}

bool canDropState(const FrameView &view, int from, int to)
{
    return view.validState(from) && view.validState(to) && from != to;
}

bool copyState(FrameAccess &access, int from, int to)
{
    if (!canDropState(access, from, to))
        return false;
    bool changed = false;
    for (int f = 1; f <= access.frames(); ++f) {
        const FrameSlot slot = access.frame(from, f);
        if (!(access.frame(to, f) == slot)) {
            access.setFrame(to, f, slot);
            changed = true;
        }
    }
    if (access.speed(to) != access.speed(from)) {
        access.setSpeed(to, access.speed(from));
        changed = true;
    }
    return changed;
}

QString stateDropQuestion(AssetKind kind, int from, int to, const MessageCatalog &catalog)
{
    if (kind == AssetKind::Cursor)
        return catalog.msg(262) + QString::number(from) + catalog.msg(263) + QString::number(to)
            + QStringLiteral("\"?");
    return catalog.msg(247) + u' ' + QString::number(to) + u' ' + catalog.msg(248) + u' ' + QString::number(from)
        + u' ' + catalog.msg(249);
}

ImageDropPlan planPreviewDrop(const FrameView &view, int state, int frame, PreviewSpot spot, bool silentDelete)
{
    ImageDropPlan plan;
    if (!view.validState(state) || !view.validFrame(frame))
        return plan;
    const FrameSlot f = view.frame(state, frame);
    if (!view.layout().secondImage) {
        plan.place = ImagePlace::First;
        plan.replaces = !f.image.isEmpty();
        return plan;
    }
    const bool first = !f.image.isEmpty(), second = !f.image2.isEmpty();
    switch (spot) {
    case PreviewSpot::Background:
        if (!first)
            plan.place = ImagePlace::First;
        else if (!second)
            plan.place = ImagePlace::Second;
        else
            plan = ImageDropPlan::at(ImagePlace::Second, true, 246);
        break;
    case PreviewSpot::FirstImage:
        plan = second ? ImageDropPlan::at(ImagePlace::First, first, first ? 245 : 0) : ImageDropPlan::at(ImagePlace::Second);
        break;
    case PreviewSpot::SecondImage:
        plan = first ? ImageDropPlan::at(ImagePlace::Second, second, second ? 246 : 0) : ImageDropPlan::at(ImagePlace::First);
        break;
    }
    if (silentDelete)
        plan.question = 0;
    return plan;
}

bool canDropImageOnFrame(const FrameView &view, int state, int frame)
{
    if (!view.validState(state) || !view.validFrame(frame))
        return false;
    if (!view.layout().secondImage)
        return true;
    const FrameSlot f = view.frame(state, frame);
    return f.image.isEmpty() || f.image2.isEmpty();
}

ImageDropPlan planFrameDrop(const FrameView &view, int state, int frame)
{
    if (!canDropImageOnFrame(view, state, frame))
        return {};
    return planPreviewDrop(view, state, frame, PreviewSpot::Background, true);
}

QPoint frameDropOffset(const FrameView &view, int state, int frame)
{
    if (view.frame(state, frame).image.isEmpty())
        return {};
    const QSize box = view.box(state);
    return {box.width() / 3, box.height() / 3};
}

QPoint maxOffset(QSize box)
{
    return {std::max(0, box.width() - 10), std::max(0, box.height() - 10)};
}

namespace {

QPoint keptInBox(QPoint p, QSize box)
{
    const QPoint m = maxOffset(box);
    return {std::clamp(p.x(), 0, m.x()), std::clamp(p.y(), 0, m.y())};
}

} // namespace

bool placeImage(FrameAccess &access, int state, int frame, const ImageDropPlan &plan, const ImageDrop &drop)
{
    if (plan.place == ImagePlace::None || drop.image.isEmpty() || !access.validState(state) || !access.validFrame(frame))
        return false;
    const FrameSlot before = access.frame(state, frame);
    FrameSlot f = before;
    const bool hasBox = access.layout().offsets;
    const bool fit = hasBox && drop.fitImages && !drop.imageSize.isEmpty() && !access.hasAnyImage();
    QPoint offset = fit ? QPoint() : keptInBox(drop.position, access.box(state));
    if (plan.place == ImagePlace::First) {
        if (hasBox && f.image.isEmpty())
            f.x = offset.x(), f.y = offset.y();
        f.image = drop.image;
    } else {
        if (f.image2.isEmpty())
            f.x2 = offset.x(), f.y2 = offset.y();
        f.image2 = drop.image;
    }
    if (fit) {
        const QSize size = access.kind() == AssetKind::Object ? sizerules::objectSize(drop.imageSize, drop.gameSize)
                                                                : sizerules::characterSize(drop.imageSize);
        access.setBox(state, size);
    }
    access.setFrame(state, frame, f);
    return fit || !(f == before);
}

bool moveImageTo(FrameAccess &access, int state, int frame, int image, QPoint position)
{
    FrameSlot f = access.frame(state, frame);
    if (!access.layout().offsets || (image == 1 ? f.image : f.image2).isEmpty())
        return false;
    const QPoint p = keptInBox(position, access.box(state));
    int &x = image == 1 ? f.x : f.x2;
    int &y = image == 1 ? f.y : f.y2;
    if (x == p.x() && y == p.y())
        return false;
    x = p.x();
    y = p.y();
    access.setFrame(state, frame, f);
    return true;
}

bool nudgeImage(FrameAccess &access, int state, int frame, int image, int dx, int dy)
{
    const FrameSlot f = access.frame(state, frame);
    if ((image == 1 ? f.image : f.image2).isEmpty())
        return false;
    const QPoint from = image == 1 ? QPoint(f.x, f.y) : QPoint(f.x2, f.y2);
    const QPoint to = from + QPoint(dx, dy);
    const QPoint m = maxOffset(access.box(state));
    // Each axis stops at its edge; an image already beyond an edge may still move back.
    const int x = (to.x() < 0 || (dx > 0 && to.x() > m.x())) ? from.x() : to.x();
    const int y = (to.y() < 0 || (dy > 0 && to.y() > m.y())) ? from.y() : to.y();
    if (x == from.x() && y == from.y())
        return false;
    FrameSlot moved = f;
    (image == 1 ? moved.x : moved.x2) = x;
    (image == 1 ? moved.y : moved.y2) = y;
    access.setFrame(state, frame, moved);
    return true;
}

bool removeImage(FrameAccess &access, int state, int frame, int image)
{
    FrameSlot f = access.frame(state, frame);
    QString &name = image == 1 ? f.image : f.image2;
    if (name.isEmpty())
        return false;
    name.clear();
    access.setFrame(state, frame, f);
    return true;
}

bool canDropSound(const FrameView &view, int state, int frame)
{
    return view.layout().scriptLine && view.validState(state) && view.validFrame(frame)
        && view.frame(state, frame).script.isEmpty();
}

bool dropSound(FrameAccess &access, int state, int frame, const QString &sound)
{
    if (sound.isEmpty() || !canDropSound(access, state, frame))
        return false;
    FrameSlot f = access.frame(state, frame);
    f.script = QStringLiteral("playsound (") + sound + u')';
    access.setFrame(state, frame, f);
    return true;
}

bool setScriptLine(FrameAccess &access, int state, int frame, const QString &line)
{
    if (!access.layout().scriptLine || !access.validState(state) || !access.validFrame(frame))
        return false;
    FrameSlot f = access.frame(state, frame);
    if (f.script == line)
        return false;
    f.script = line;
    access.setFrame(state, frame, f);
    return true;
}

QString scriptLineTitle(int state, int frame, const QString &elementName, const MessageCatalog &catalog)
{
    return catalog.msg(556) + u' ' + QString::number(state) + u'/' + QString::number(frame) + QStringLiteral("  (")
        + elementName + u')';
}

QString previewCaption(const FrameView &view, int state, int frame, const MessageCatalog &catalog)
{
    const FrameSlot f = view.frame(state, frame);
    const QString none = catalog.msg(241);
    if (!view.layout().secondImage)
        return f.image.isEmpty() ? none : u'<' + f.image + u'>';
    return (f.image.isEmpty() ? none : f.image) + u'/' + (f.image2.isEmpty() ? none : f.image2);
}

QString editorCaption(AssetKind kind, const QString &name, const MessageCatalog &catalog)
{
    switch (kind) {
    case AssetKind::Object:
        return name.isEmpty() ? catalog.msg(250) : catalog.msg(242) + name + u')';
    case AssetKind::Character:
        return name.isEmpty() ? catalog.msg(342) : catalog.msg(341) + name + u')';
    case AssetKind::Item:
        return name.isEmpty() ? catalog.msg(267) : catalog.msg(266) + name + u')';
    case AssetKind::Cursor:
        break;
    }
    return catalog.msg(53);
}

QString statusText(AssetKind kind, const MessageCatalog &catalog)
{
    static const int numbers[] = {251, 338, 268, 264};
    return catalog.msg(numbers[int(kind)]);
}

} // namespace mb::framestrip
