#include "assets/assetbox.h"

#include "app/pooltreemodel.h"
#include "project/asker.h"
#include "app/tform1.h"
#include "assets/assettexts.h"
#include "assets/framefiles.h"
#include "assets/framepreview.h"
#include "assets/framestripwidget.h"
#include "dialogs/tskriptzeile.h"
#include "platform/imagedecoder.h"
#include "project/editorsettings.h"
#include "project/messagecatalog.h"
#include "project/poolops.h"
#include "project/texthelpers.h"

#include <QDataStream>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QSlider>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace mb {

namespace {

enum Field { FieldSpeed = 1, FieldImageDrag, FieldArrows };

QIcon playGlyph(bool playing)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 30, 30));
    if (playing)
        p.drawRect(4, 4, 8, 8);
    else
        p.drawPolygon(QPolygon({QPoint(4, 2), QPoint(13, 8), QPoint(4, 14)}));
    return QIcon(pm);
}

} // namespace

AssetBox::AssetBox(AssetKind kind, TForm1 &form, ProjectSession &session, MessageCatalog &catalog,
                   EditorSettings &settings, Tskriptzeile *scriptLine, QWidget *parent)
    : QWidget(parent), m_kind(kind), m_form(form), m_session(session), m_catalog(catalog), m_settings(settings),
      m_scriptLine(scriptLine)
{
    const FrameLayout &layout = frameLayout(kind);
    auto *outer = new QHBoxLayout(this);
    auto *left = new QVBoxLayout;
    outer->addLayout(left);

    if (layout.stateBoxWidth > 0) {
        auto *label = new QLabel(catalog.msg(kind == AssetKind::Cursor ? 53 : 225));
        m_stateStrip = new FrameStripWidget(FrameStripWidget::States, layout.states, layout.stateBoxWidth);
        m_stateStrip->setObjectName(QStringLiteral("statestrip"));
        left->addWidget(label);
        left->addWidget(m_stateStrip);
        connect(m_stateStrip, &FrameStripWidget::clicked, this, &AssetBox::selectState);
        m_stateStrip->canDrop = [this](int box, const QMimeData *data) {
            const int from = FrameStripWidget::draggedBox(data, m_stateStrip->mimeType());
            return from && framestrip::canDropState(view(), from, box) && from == m_state;
        };
        connect(m_stateStrip, &FrameStripWidget::dropped, this, [this](int box, const QMimeData *data, QPoint) {
            dropStateOn(box, FrameStripWidget::draggedBox(data, m_stateStrip->mimeType()));
        });
        connect(m_stateStrip, &FrameStripWidget::rightReleased, this, [this](int box, QPoint global) {
            selectState(box);
            showStateMenu(global);
        });
    }
    left->addWidget(new QLabel(catalog.msg(252)));
    m_frameStrip = new FrameStripWidget(FrameStripWidget::Frames, layout.frames, 10);
    m_frameStrip->setObjectName(QStringLiteral("framestrip"));
    left->addWidget(m_frameStrip);
    connect(m_frameStrip, &FrameStripWidget::clicked, this, [this](int box) {
        stopAnimation();
        selectFrame(box);
    });
    connect(m_frameStrip, &FrameStripWidget::doubleClicked, this, &AssetBox::editScriptLine);
    m_frameStrip->canDrag = [this](int box) { return view().frame(m_state, box).hasImage(); };
    m_frameStrip->canDrop = [this](int box, const QMimeData *data) { return frameStripAccepts(box, data); };
    connect(m_frameStrip, &FrameStripWidget::dropped, this, &AssetBox::frameStripDropped);
    connect(m_frameStrip, &FrameStripWidget::rightReleased, this, &AssetBox::frameStripMenu);
    connect(m_frameStrip, &FrameStripWidget::deletePressed, this, [this] { removeFrameImages(m_frame); });

    auto *speedRow = new QHBoxLayout;
    m_play = new QToolButton;
    m_play->setObjectName(QStringLiteral("playstop"));
    m_play->setIcon(playGlyph(false));
    m_play->setToolTip(kind == AssetKind::Object ? catalog.msg(257) : assetText(AssetText::PlayTip, lang()));
    connect(m_play, &QToolButton::clicked, this, &AssetBox::toggleAnimation);
    m_speed = new QSlider(Qt::Horizontal);
    m_speed->setObjectName(QStringLiteral("speed"));
    m_speed->setRange(framestrip::MinSpeed, framestrip::MaxSpeed);
    m_speed->setValue(framestrip::DefaultSpeed);
    connect(m_speed, &QSlider::valueChanged, this, &AssetBox::speedChanged);
    connect(m_speed, &QSlider::sliderReleased, this, [this] { m_session.endGesture(); });
    m_speedLabel = new QLabel(catalog.msg(255));
    m_speedLabel->setObjectName(QStringLiteral("speedlabel"));
    speedRow->addWidget(m_play);
    speedRow->addWidget(m_speed, 1);
    left->addLayout(speedRow);
    left->addWidget(m_speedLabel);
    m_fields = new QVBoxLayout;
    left->addLayout(m_fields);
    left->addStretch(1);

    auto *right = new QVBoxLayout;
    outer->addLayout(right, 1);
    m_frameCaption = new QLabel;
    m_frameCaption->setObjectName(QStringLiteral("framecaption"));
    right->addWidget(m_frameCaption);
    m_preview = new FramePreview(layout.offsets);
    m_preview->setObjectName(QStringLiteral("preview"));
    if (!layout.offsets)
        m_preview->setFixedSize(50, 50);
    right->addWidget(m_preview, 0, Qt::AlignLeft | Qt::AlignTop);
    right->addStretch(1);
    m_preview->canDrop = [this](const QMimeData *data) {
        const Node n = draggedNode(data);
        return isOpen() && n.media && n.image == nodeimage::Image;
    };
    connect(m_preview, &FramePreview::dropped, this, [this](const QMimeData *data, framestrip::PreviewSpot spot, QPoint pos) {
        dropImageOnPreview(draggedNode(data).name, spot, pos);
    });
    connect(m_preview, &FramePreview::imageDragged, this, [this](int image, QPoint offset) {
        editFrames(assetText(AssetText::UndoMoveImage, lang()),
                   [&](FrameAccess &a) { framestrip::moveImageTo(a, m_state, m_frame, image, offset); },
                   ProjectSession::mergeKey(this, FieldImageDrag, m_slot));
    });
    connect(m_preview, &FramePreview::dragFinished, this, [this] { m_session.endGesture(); });
    connect(m_preview, &FramePreview::arrowKey, this, [this](int image, int dx, int dy) {
        editFrames(assetText(AssetText::UndoMoveImage, lang()),
                   [&](FrameAccess &a) { framestrip::nudgeImage(a, m_state, m_frame, image, dx, dy); },
                   ProjectSession::mergeKey(this, FieldArrows, m_slot));
    });
    auto removeOne = [this](int image) {
        editFrames(assetText(AssetText::UndoRemoveImage, lang()),
                   [&](FrameAccess &a) { framestrip::removeImage(a, m_state, m_frame, image); });
    };
    connect(m_preview, &FramePreview::deletePressed, this, removeOne);
    connect(m_preview, &FramePreview::contextMenu, this, [this, removeOne](int image, QPoint global) {
        QMenu menu(this);
        QAction *remove = menu.addAction(m_catalog.msg(235));
        if (menu.exec(global) == remove)
            removeOne(image);
    });

    m_anim = new QTimer(this);
    m_anim->setObjectName(QStringLiteral("animation"));
    connect(m_anim, &QTimer::timeout, this, &AssetBox::animationStep);

    connect(&m_session, &ProjectSession::changed, this, &AssetBox::projectChanged);
    setWindowTitle(framestrip::editorCaption(kind, QString(), catalog));
}

AssetBox::~AssetBox() = default;

QString AssetBox::elementName() const
{
    const ProjectModel &m = model();
    switch (m_kind) {
    case AssetKind::Object: return m_slot ? m.objects[m_slot].name : QString();
    case AssetKind::Character: return m_slot ? m.characters[m_slot].name : QString();
    case AssetKind::Item: return m_slot ? m.items[m_slot].name : QString();
    case AssetKind::Cursor: break;
    }
    return {};
}

int AssetBox::elementKind() const
{
    switch (m_kind) {
    case AssetKind::Object: return Objects;
    case AssetKind::Character: return Characters;
    case AssetKind::Item: return Items;
    case AssetKind::Cursor: break;
    }
    return -1;
}

FrameView AssetBox::view() const
{
    static const RItem none;
    const ProjectModel &m = model();
    switch (m_kind) {
    case AssetKind::Object: return m_slot ? FrameView(m.objects[m_slot]) : FrameView(none);
    case AssetKind::Character: return m_slot ? FrameView(m.characters[m_slot]) : FrameView(none);
    case AssetKind::Item: return m_slot ? FrameView(m.items[m_slot]) : FrameView(none);
    case AssetKind::Cursor: break;
    }
    return FrameView(m.mouse);
}

ProjectChange AssetBox::elementChange(ProjectChange::Part part) const
{
    if (m_kind == AssetKind::Cursor)
        return ProjectChange::mouse(m_state - 1);
    return ProjectChange::element(elementKind(), m_slot, part, part == ProjectChange::Frames ? m_state - 1 : -1);
}

bool AssetBox::editFrames(const QString &text, const std::function<void(FrameAccess &)> &change,
                          ProjectSession::MergeKey merge)
{
    if (!isOpen())
        return false;
    const ProjectChange what = elementChange(ProjectChange::Frames);
    switch (m_kind) {
    case AssetKind::Object:
        return m_session.editRecord<Robj>(what, text, [&](Robj &r) { FrameAccess a(r); change(a); }, merge);
    case AssetKind::Character:
        return m_session.editRecord<Rcharacter>(what, text, [&](Rcharacter &r) { FrameAccess a(r); change(a); }, merge);
    case AssetKind::Item:
        return m_session.editRecord<RItem>(what, text, [&](RItem &r) { FrameAccess a(r); change(a); }, merge);
    case AssetKind::Cursor:
        break;
    }
    return m_session.editRecord<Rmouse>(what, text, [&](Rmouse &r) { FrameAccess a(r); change(a); }, merge);
}

// --- opening and showing

void AssetBox::openElement(const QString &name)
{
    if (m_kind == AssetKind::Cursor)
        return;
    stopAnimation();
    int slot = 0;
    if (name != QLatin1String("free")) {
        const ProjectModel &m = model();
        slot = m_kind == AssetKind::Object ? m.objects.find(name)
             : m_kind == AssetKind::Character ? m.characters.find(name)
                                               : m.items.find(name);
    }
    if (slot != m_slot)
        m_images.clear();
    m_slot = slot;
    m_state = 1;
    m_frame = 1;
    m_shownFrame = 1;
    refresh();
}

void AssetBox::refresh()
{
    m_loading = true;
    const bool open = isOpen();
    const FrameView v = view();
    for (QWidget *w : {static_cast<QWidget *>(m_frameStrip), static_cast<QWidget *>(m_speed),
                       static_cast<QWidget *>(m_play), static_cast<QWidget *>(m_preview)})
        w->setEnabled(open);
    if (m_stateStrip)
        m_stateStrip->setEnabled(open);
    fieldsEnabled(open);
    setWindowTitle(framestrip::editorCaption(m_kind, elementName(), m_catalog));
    if (QWidget *frame = parentWidget())
        frame->setWindowTitle(windowTitle());

    std::vector<FrameStripWidget::Box> boxes;
    for (int f = 1; f <= v.frames(); ++f) {
        const FrameSlot s = v.frame(m_state, f);
        boxes.push_back({s.hasImage(), !s.script.isEmpty()});
    }
    m_frameStrip->setBoxes(open ? boxes : std::vector<FrameStripWidget::Box>());
    m_frameStrip->setCurrent(m_frame);
    if (m_stateStrip)
        m_stateStrip->setCurrent(m_state);
    m_speed->setValue(framestrip::barSpeed(v.speed(m_state)));
    if (open)
        m_speedLabel->setText(framestrip::speedLabel(m_speed->value(), m_catalog));
    const int shown = animating() ? m_shownFrame : m_frame;
    if (open) {
        m_preview->show(v.frame(m_state, shown), v.box(m_state), [this](const QString &n) { return picture(n); });
        m_frameCaption->setText(framestrip::previewCaption(v, m_state, m_frame, m_catalog));
    } else {
        m_preview->show(FrameSlot(), QSize(), {});
        const QString none = m_catalog.msg(241);
        m_frameCaption->setText(frameLayout(m_kind).secondImage ? none + u'/' + none : none);
    }
    showFields();
    m_loading = false;
    reportImageProblems();
}

const QImage *AssetBox::picture(const QString &name)
{
    const RoomImage *img = m_images.image(model(), name);
    return img ? &img->image : nullptr;
}

void AssetBox::reportImageProblems()
{
    // Loading happens while painting too: the boxes wait for the event loop.
    QTimer::singleShot(0, this, [this] {
        for (const ImageProblem &p : m_images.takeProblems())
            m_form.questions().error(this, m_catalog.msg(366), p.text(m_catalog));
    });
}

void AssetBox::projectChanged(const ProjectChange &change)
{
    bool affects = change.kind == ProjectChange::Reset;
    if (m_kind == AssetKind::Cursor)
        affects |= change.kind == ProjectChange::Mouse || change.kind == ProjectChange::Commands
                || change.kind == ProjectChange::Settings;
    else
        affects |= change.affectsElement(elementKind(), m_slot) || change.kind == ProjectChange::Settings;
    // A repaired media path shows the picture again.
    if (change.kind == ProjectChange::Media || change.kind == ProjectChange::Reset) {
        m_images.clear();
        affects = true;
    }
    if (!affects)
        return;
    if (change.kind == ProjectChange::Reset && m_kind != AssetKind::Cursor) {
        openElement(QStringLiteral("free"));
        return;
    }
    // The element was deleted (or its slot emptied by an undo of its insert).
    if (m_kind != AssetKind::Cursor && m_slot && elementName().isEmpty()) {
        openElement(QStringLiteral("free"));
        return;
    }
    refresh();
}

void AssetBox::enterEvent(QEnterEvent *e)
{
    QWidget::enterEvent(e);
    emit status(framestrip::statusText(m_kind, m_catalog));
}

// --- states and frames

void AssetBox::selectState(int state)
{
    if (!view().validState(state))
        return;
    stopAnimation();
    m_state = state;
    m_frame = 1;
    m_shownFrame = 1;
    refresh();
}

void AssetBox::selectFrame(int frame)
{
    if (!view().validFrame(frame))
        return;
    m_frame = frame;
    m_shownFrame = frame;
    refresh();
}

void AssetBox::speedChanged(int value)
{
    if (m_loading || !isOpen())
        return;
    stopAnimation();
    m_speedLabel->setText(framestrip::speedLabel(value, m_catalog));
    editFrames(assetText(AssetText::UndoSpeed, lang()), [&](FrameAccess &a) { a.setSpeed(m_state, value); },
               ProjectSession::mergeKey(this, FieldSpeed, m_slot * 64 + m_state));
}

// --- the animation test

bool AssetBox::animating() const
{
    return m_anim->isActive();
}

void AssetBox::toggleAnimation()
{
    if (animating()) {
        stopAnimation();
        return;
    }
    m_animLength = framestrip::animationLength(view(), m_state);
    if (m_animLength == 0)
        return;
    m_preview->setSelectionVisible(false);
    m_play->setIcon(playGlyph(true));
    m_shownFrame = m_frame;
    m_anim->start(framestrip::frameInterval(m_speed->value()));
}

void AssetBox::stopAnimation()
{
    if (!animating())
        return;
    m_anim->stop();
    m_play->setIcon(playGlyph(false));
    m_preview->setSelectionVisible(true);
    m_shownFrame = m_frame;
    refresh();
}

void AssetBox::animationStep()
{
    m_shownFrame = framestrip::nextAnimationFrame(m_shownFrame, m_animLength);
    const FrameView v = view();
    m_preview->show(v.frame(m_state, m_shownFrame), v.box(m_state), [this](const QString &n) { return picture(n); });
}

// --- drops and menus

AssetBox::Node AssetBox::draggedNode(const QMimeData *data) const
{
    Node n;
    if (!data || !data->hasFormat(PoolTreeModel::nodeMimeType()))
        return n;
    QDataStream in(data->data(PoolTreeModel::nodeMimeType()));
    quintptr modelPtr = 0, node = 0;
    int top = -1;
    in >> modelPtr >> node >> top >> n.image >> n.name;
    n.media = modelPtr == quintptr(m_form.mediaModel());
    if (!n.media)
        n.image = -1;
    return n;
}

bool AssetBox::frameStripAccepts(int box, const QMimeData *data) const
{
    if (!isOpen())
        return false;
    const FrameView v = view();
    if (const int from = FrameStripWidget::draggedBox(data, m_frameStrip->mimeType()))
        return framestrip::canDropFrame(v, m_state, from, box);
    const Node n = draggedNode(data);
    if (!n.media)
        return false;
    if (n.image == nodeimage::Image)
        return framestrip::canDropImageOnFrame(v, m_state, box);
    if (n.image == nodeimage::Sound)
        return framestrip::canDropSound(v, m_state, box);
    return false;
}

void AssetBox::frameStripDropped(int box, const QMimeData *data, QPoint globalPos)
{
    stopAnimation();
    if (const int from = FrameStripWidget::draggedBox(data, m_frameStrip->mimeType())) {
        // The menu waits until the drag has ended.
        QMetaObject::invokeMethod(this, [this, box, from, globalPos] {
            QMenu menu(this);
            QAction *move = menu.addAction(m_catalog.msg(258));
            QAction *copy = menu.addAction(m_catalog.msg(194));
            QAction *chosen = menu.exec(globalPos);
            if (chosen)
                dropFrameOn(box, from, chosen == move ? framestrip::FrameDrop::Move : framestrip::FrameDrop::Copy);
            Q_UNUSED(copy);
        }, Qt::QueuedConnection);
        return;
    }
    const Node n = draggedNode(data);
    dropMediaOnFrame(box, n.image == nodeimage::Image, n.name);
}

void AssetBox::dropFrameOn(int target, int source, framestrip::FrameDrop how)
{
    stopAnimation();
    if (!framestrip::canDropFrame(view(), m_state, source, target))
        return;
    const bool moved = editFrames(assetText(how == framestrip::FrameDrop::Move ? AssetText::UndoMoveFrame : AssetText::UndoCopyFrame, lang()),
                                  [&](FrameAccess &a) { framestrip::dropFrame(a, m_state, source, target, how); });
    if (moved)
        selectFrame(target);
}

bool AssetBox::placeImage(int frame, const framestrip::ImageDropPlan &plan, const QString &name, QPoint position)
{
    framestrip::ImageDrop drop;
    drop.image = name;
    drop.position = position;
    drop.fitImages = m_session.options().fitImage;
    drop.gameSize = QSize(model().settings.gameWidth, model().settings.gameHeight);
    if (const QImage *img = picture(name))
        drop.imageSize = img->size();
    reportImageProblems();
    return editFrames(assetText(AssetText::UndoDropImage, lang()).arg(name),
                      [&](FrameAccess &a) { framestrip::placeImage(a, m_state, frame, plan, drop); });
}

void AssetBox::dropMediaOnFrame(int frame, bool image, const QString &name)
{
    stopAnimation();
    const FrameView v = view();
    if (image) {
        if (!framestrip::canDropImageOnFrame(v, m_state, frame))
            return;
        m_frame = frame;
        placeImage(frame, framestrip::planFrameDrop(v, m_state, frame), name, framestrip::frameDropOffset(v, m_state, frame));
        selectFrame(frame);
        return;
    }
    if (!framestrip::canDropSound(v, m_state, frame))
        return;
    editFrames(assetText(AssetText::UndoDropSound, lang()).arg(name),
               [&](FrameAccess &a) { framestrip::dropSound(a, m_state, frame, name); });
    selectFrame(frame);
}

void AssetBox::dropImageOnPreview(const QString &name, framestrip::PreviewSpot spot, QPoint position)
{
    stopAnimation();
    const framestrip::ImageDropPlan plan =
        framestrip::planPreviewDrop(view(), m_state, m_frame, spot, model().settings.silentDelete);
    if (plan.place == framestrip::ImagePlace::None)
        return;
    if (plan.question && !m_form.questions().yesNoDefaultNo(this, m_catalog.msg(365), m_catalog.msg(plan.question)))
        return;
    placeImage(m_frame, plan, name, position);
}

void AssetBox::dropStateOn(int target, int source)
{
    stopAnimation();
    if (!framestrip::canDropState(view(), source, target))
        return;
    if (!m_form.questions().yesNoDefaultNo(this, m_catalog.msg(365), framestrip::stateDropQuestion(m_kind, source, target, m_catalog)))
        return;
    editFrames(assetText(AssetText::UndoCopyState, lang()).arg(source).arg(target),
               [&](FrameAccess &a) { framestrip::copyState(a, source, target); });
    selectState(target);
}

void AssetBox::removeFrameImages(int frame)
{
    stopAnimation();
    editFrames(assetText(AssetText::UndoRemoveImage, lang()),
               [&](FrameAccess &a) { framestrip::removeImages(a, m_state, frame); });
}

void AssetBox::editScriptLine(int frame)
{
    if (!isOpen() || !frameLayout(m_kind).scriptLine || !m_scriptLine)
        return;
    stopAnimation();
    selectFrame(frame);
    const Tskriptzeile::Owner owner = m_kind == AssetKind::Object ? Tskriptzeile::Object
                                    : m_kind == AssetKind::Character ? Tskriptzeile::Character
                                                                      : Tskriptzeile::Item;
    // The main window and this editor wait for the line.
    m_scriptLine->setWindowModality(Qt::ApplicationModal);
    m_scriptLine->start(owner, m_slot, m_state - 1, frame - 1,
                        framestrip::scriptLineTitle(m_state, frame, elementName(), m_catalog));
}

void AssetBox::frameStripMenu(int box, QPoint globalPos)
{
    if (!isOpen())
        return;
    stopAnimation();
    selectFrame(box);
    QMenu menu(this);
    QAction *line = nullptr;
    if (frameLayout(m_kind).scriptLine)
        line = menu.addAction(m_catalog.msg(552));
    QAction *remove = menu.addAction(m_catalog.msg(m_kind == AssetKind::Item ? 99 : 235));
    remove->setEnabled(view().frame(m_state, box).hasImage());
    menu.addSeparator();
    addFrameFileActions(&menu);
    QAction *chosen = menu.exec(globalPos);
    if (chosen && chosen == line)
        editScriptLine(box);
    else if (chosen && chosen == remove)
        removeFrameImages(box);
}

void AssetBox::showStateMenu(QPoint globalPos)
{
    if (!isOpen())
        return;
    QMenu menu(this);
    addFrameFileActions(&menu);
    menu.exec(globalPos);
}

void AssetBox::addFrameFileActions(QMenu *menu)
{
    const QString filter = assetText(AssetText::ImageFiles, lang())
        + QStringLiteral(" (*.png *.bmp *.jpg *.jpe *.jpeg *.gif *.tga *.PNG *.BMP *.JPG *.GIF *.TGA)");
    menu->addAction(assetText(AssetText::AddFramesFromFiles, lang()), this, [this, filter] {
        const QStringList files = m_form.questions().openFiles(this, assetText(AssetText::AddFramesFromFiles, lang()),
                                                               m_settings.readsetting(QStringLiteral("Mediapath")), filter, true);
        if (!files.isEmpty())
            addFramesFromFiles(files);
    });
    menu->addAction(assetText(AssetText::AddFramesFromFolder, lang()), this, [this] {
        const QString folder = m_form.questions().folder(this, assetText(AssetText::AddFramesFromFolder, lang()),
                                                         m_settings.readsetting(QStringLiteral("Mediapath")));
        if (!folder.isEmpty())
            addFramesFromFiles(framefiles::imageFilesInFolder(folder));
    });
    menu->addAction(assetText(AssetText::CutSpriteSheet, lang()), this, [this, filter] {
        const QStringList files = m_form.questions().openFiles(this, assetText(AssetText::CutSpriteSheet, lang()),
                                                               m_settings.readsetting(QStringLiteral("Mediapath")), filter, false);
        if (files.isEmpty())
            return;
        QDialog dialog(this);
        dialog.setWindowTitle(assetText(AssetText::CutSpriteSheet, lang()));
        auto *form = new QFormLayout(&dialog);
        auto *columns = new QSpinBox;
        auto *rows = new QSpinBox;
        columns->setRange(1, 64);
        rows->setRange(1, 64);
        columns->setValue(4);
        form->addRow(assetText(AssetText::SheetColumns, lang()), columns);
        form->addRow(assetText(AssetText::SheetRows, lang()), rows);
        auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        form->addRow(buttons);
        connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
        if (dialog.exec() == QDialog::Accepted)
            addFramesFromSheet(files.first(), columns->value(), rows->value());
    });
}

void AssetBox::addFramesFromSheet(const QString &sheet, int columns, int rows)
{
    const framefiles::SheetFiles written =
        framefiles::writeSheetFrames(sheet, columns, rows, QFileInfo(sheet).absolutePath());
    if (!written.ok()) {
        QString text;
        switch (written.problem) {
        case framefiles::SheetFiles::Unreadable:
            text = assetText(AssetText::SheetUnreadable, lang()).arg(written.file, written.detail);
            break;
        case framefiles::SheetFiles::GridTooFine:
            text = assetText(AssetText::SheetGridTooFine, lang()).arg(written.file).arg(columns).arg(rows);
            break;
        case framefiles::SheetFiles::FileExists:
            text = assetText(AssetText::SheetFileExists, lang()).arg(written.file);
            break;
        default:
            text = assetText(AssetText::SheetWriteFailed, lang()).arg(written.file, written.detail);
            break;
        }
        m_form.questions().error(this, m_catalog.msg(366), text);
        return;
    }
    addFramesFromFiles(written.paths);
}

void AssetBox::addFramesFromFiles(const QStringList &files)
{
    if (!isOpen() || files.isEmpty())
        return;
    stopAnimation();
    const QStringList ordered = framefiles::inFileNameOrder(files);
    const int freeCount = int(framefiles::freeFrames(view(), m_state).size());
    std::vector<Message> refused;
    QStringList names;
    const ModelTables tables = table::Images | table::Names
        | (m_kind == AssetKind::Cursor ? table::Mouse : table::element(elementKind()));
    m_session.edit(assetText(AssetText::UndoAddFrames, lang()).arg(std::min<qsizetype>(ordered.size(), freeCount)), tables,
                   [&](ProjectEdit &e) {
        ProjectModel &m = e.model();
        // Files the pool knows by the same path are used by their name; the rest is added
        // (with the pool's rules for names and PNG files).
        QStringList toAdd;
        for (const QString &file : ordered) {
            const int known = m.media[Images].find(text::medianame(file));
            if (!known || QFileInfo(m.media[Images].path(known)) != QFileInfo(file))
                toAdd << file;
        }
        if (!toAdd.isEmpty()) {
            const MediaInsertResult added = PoolOps(m_session).insertMedia(Images, toAdd, nullptr);
            refused = added.messages;
        }
        for (const QString &file : ordered) {
            const int known = m.media[Images].find(text::medianame(file));
            if (known && QFileInfo(m.media[Images].path(known)) == QFileInfo(file))
                names << m.media[Images].name(known);
        }
        framestrip::ImageDrop fit;
        fit.fitImages = m_session.options().fitImage;
        fit.gameSize = QSize(m.settings.gameWidth, m.settings.gameHeight);
        if (!names.isEmpty())
            if (const QImage *img = picture(names.first()))
                fit.imageSize = img->size();
        auto fill = [&](auto &record) {
            FrameAccess a(record);
            framefiles::fillFreeFrames(a, m_state, names, fit);
        };
        switch (m_kind) {
        case AssetKind::Object: fill(m.objects[m_slot]); break;
        case AssetKind::Character: fill(m.characters[m_slot]); break;
        case AssetKind::Item: fill(m.items[m_slot]); break;
        case AssetKind::Cursor: fill(m.mouse); break;
        }
    });
    QStringList report;
    for (const Message &msg : refused)
        report << msg.render(m_catalog);
    if (names.size() > freeCount)
        report << assetText(AssetText::FramesLeftOver, lang()).arg(names.size() - freeCount);
    if (!report.isEmpty())
        m_form.questions().information(this, m_catalog.msg(367), report.join(u'\n'));
    refresh();
}

} // namespace mb
