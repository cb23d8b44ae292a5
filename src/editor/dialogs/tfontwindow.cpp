#include "dialogs/tfontwindow.h"
#include "project/asker.h"

#include "dialogs/fontpreview.h"

#include "build/fontcharset.h"
#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "tools/fonttable.h"
#include "tools/settingsvalidation.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QShowEvent>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace mb {

QString Tfontwindow::listLine(int number, const QString &name, int size)
{
    return QString::number(number) + QStringLiteral(" - ") + name + QStringLiteral(" (")
           + QString::number(size) + QLatin1Char(')');
}

Tfontwindow::Tfontwindow(ProjectSession &session, MessageCatalog &catalog, EditorSettings &settings,
                         Asker &asker, QWidget *parent)
    : QDialog(parent), m_session(session), m_catalog(catalog), m_asker(asker)
{
    Q_UNUSED(settings);
    setWindowTitle(catalog.msg(382));

    m_listBox1 = new QListWidget;
    connect(m_listBox1, &QListWidget::currentRowChanged, this, [this] { showFields(); });
    m_button1 = new QPushButton(catalog.msg(192));
    m_button2 = new QPushButton(catalog.msg(235));
    m_up = new QToolButton;
    m_up->setArrowType(Qt::UpArrow);
    m_down = new QToolButton;
    m_down->setArrowType(Qt::DownArrow);
    m_button1->setAutoDefault(false);
    m_button2->setAutoDefault(false);
    connect(m_button1, &QPushButton::clicked, this, &Tfontwindow::button1Click);
    connect(m_button2, &QPushButton::clicked, this, &Tfontwindow::button2Click);
    connect(m_up, &QToolButton::clicked, this, &Tfontwindow::moveUp);
    connect(m_down, &QToolButton::clicked, this, &Tfontwindow::moveDown);
    auto *listButtons = new QHBoxLayout;
    listButtons->addWidget(m_button1);
    listButtons->addWidget(m_button2);
    listButtons->addStretch();
    listButtons->addWidget(m_up);
    listButtons->addWidget(m_down);
    auto *left = new QVBoxLayout;
    left->addWidget(m_listBox1);
    left->addLayout(listButtons);

    m_fields = new QWidget;
    auto *form = new QFormLayout(m_fields);
    form->setContentsMargins(0, 0, 0, 0);
    m_fontbox = new QComboBox;
    m_fontbox->setEditable(true); // a project may name a typeface this system lacks
    m_fontbox->addItems(QFontDatabase::families());
    m_fontbox->setInsertPolicy(QComboBox::NoInsert);
    connect(m_fontbox, &QComboBox::currentTextChanged, this, [this] { fieldChanged(1); });
    form->addRow(catalog.msg(409), m_fontbox);
    m_size = new QSpinBox;
    m_size->setRange(6, 28);
    connect(m_size, &QSpinBox::valueChanged, this, [this] { fieldChanged(2); });
    m_bold = new QCheckBox(catalog.msg(384));
    m_kursiv = new QCheckBox(catalog.msg(385));
    connect(m_bold, &QCheckBox::toggled, this, [this] { fieldChanged(3); });
    connect(m_kursiv, &QCheckBox::toggled, this, [this] { fieldChanged(4); });
    auto *sizeRow = new QHBoxLayout;
    sizeRow->addWidget(m_size);
    sizeRow->addWidget(m_bold);
    sizeRow->addWidget(m_kursiv);
    sizeRow->addStretch();
    form->addRow(catalog.msg(383) + QStringLiteral(" :"), sizeRow);
    auto combo = [this](QComboBox *&box, const QStringList &items) {
        box = new QComboBox;
        box->addItems(items);
        connect(box, &QComboBox::currentIndexChanged, this, [this] { fieldChanged(5); });
        return box;
    };
    form->addRow(catalog.extra(extratext::FontStyleLabel), combo(m_style, {catalog.msg(241), catalog.msg(386), catalog.msg(387), catalog.msg(388)}));
    form->addRow(catalog.msg(427) + QStringLiteral(" :"),
                 combo(m_schatten, {catalog.msg(241), QStringLiteral("25%"), QStringLiteral("50%"), QStringLiteral("75%")}));
    form->addRow(catalog.msg(428) + QStringLiteral(" :"),
                 combo(m_fill, {QStringLiteral("Normal"), QStringLiteral("Falloff 1"), QStringLiteral("Falloff 2"), QStringLiteral("Scanlines")}));
    QStringList sets;
    for (int i = 0; i < FontCharset::Count; ++i)
        sets << catalog.msg(FontCharset::FirstLabelMessage + i);
    form->addRow(catalog.msg(389), combo(m_zeichensatz, sets));
    m_fadebar = new QSlider(Qt::Horizontal);
    m_fadebar->setRange(0, 2000);
    m_fadebar->setPageStep(100);
    m_fadeLabel = new QLabel;
    m_fadeLabel->setMinimumWidth(90);
    connect(m_fadebar, &QSlider::valueChanged, this, [this](int v) {
        m_fadeLabel->setText(m_catalog.msg(fadeLabelMessage(v)));
        fieldChanged(6);
    });
    auto *fadeRow = new QHBoxLayout;
    fadeRow->addWidget(m_fadebar, 1);
    fadeRow->addWidget(m_fadeLabel);
    form->addRow(catalog.extra(extratext::FadingLabel), fadeRow);

    m_preview = new FontPreview;
    m_ok = new QPushButton(QStringLiteral("OK"));
    m_ok->setAutoDefault(false);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    auto *right = new QVBoxLayout;
    right->addWidget(m_fields);
    right->addWidget(m_preview, 1);
    auto *okRow = new QHBoxLayout;
    okRow->addStretch();
    okRow->addWidget(m_ok);
    right->addLayout(okRow);

    auto *top = new QHBoxLayout(this);
    top->addLayout(left, 2);
    top->addLayout(right, 3);
    resize(720, 380);
    load();
    // Undo, redo, open and reset change the fonts behind the window's back.
    connect(&m_session, &ProjectSession::changed, this, [this](const ProjectChange &c) {
        if (!m_editing && c.phase == ProjectChange::Done
            && (c.kind == ProjectChange::Font || c.kind == ProjectChange::Reset))
            load();
    });
}

const ProjectModel &Tfontwindow::model() const
{
    return m_session.model();
}

void Tfontwindow::showEvent(QShowEvent *e)
{
    if (!e->spontaneous())
        load();
    QDialog::showEvent(e);
}

void Tfontwindow::load()
{
    const int keep = m_listBox1->currentRow();
    m_loading = true;
    m_listBox1->clear();
    const int n = model().fontCount();
    for (int i = 1; i <= n; ++i)
        m_listBox1->addItem(listLine(i, model().fonts[i].name, model().fonts[i].size));
    m_loading = false;
    select(keep < n ? keep : n - 1);
}

void Tfontwindow::select(int row)
{
    m_listBox1->setCurrentRow(row);
    showFields();
}

void Tfontwindow::showFields()
{
    const int row = m_listBox1->currentRow();
    const bool on = row >= 0 && row < model().fontCount();
    m_fields->setEnabled(on);
    m_button2->setEnabled(on);
    if (!on) {
        // Nothing selected (no font left): the fields show no font rather than the last one.
        m_loading = true;
        m_fontbox->setCurrentIndex(-1);
        m_fontbox->setEditText(QString());
        m_size->setValue(m_size->minimum());
        m_bold->setChecked(false);
        m_kursiv->setChecked(false);
        for (QComboBox *box : {m_style, m_schatten, m_fill, m_zeichensatz})
            box->setCurrentIndex(0);
        m_fadebar->setValue(0);
        m_loading = false;
        m_preview->setFont(RFont());
        return;
    }
    const RFont &f = model().fonts[row + 1];
    m_loading = true;
    m_fontbox->setCurrentText(f.name);
    m_size->setValue(f.size);
    m_bold->setChecked(f.bold);
    m_kursiv->setChecked(f.italic);
    m_style->setCurrentIndex(std::clamp(f.outline, 0, 3));
    m_schatten->setCurrentIndex(std::clamp(f.shadow, 0, 3));
    m_fill->setCurrentIndex(std::clamp(f.fill, 0, 3));
    m_zeichensatz->setCurrentIndex(std::clamp(int(f.charset), 0, FontCharset::Count - 1));
    m_fadebar->setValue(f.fading);
    m_fadeLabel->setText(m_catalog.msg(fadeLabelMessage(f.fading)));
    m_loading = false;
    m_preview->setFont(f);
}

void Tfontwindow::fieldChanged(int field)
{
    const int row = m_listBox1->currentRow();
    if (m_loading || row < 0 || row >= model().fontCount())
        return;
    RFont f = model().fonts[row + 1];
    // An emptied name would end the table here; the font keeps its typeface until a new one is
    // given (fonttable::change keeps it).
    f.name = m_fontbox->currentText().trimmed();
    f.size = m_size->value();
    f.bold = m_bold->isChecked();
    f.italic = m_kursiv->isChecked();
    f.outline = m_style->currentIndex();
    f.shadow = m_schatten->currentIndex();
    f.fill = m_fill->currentIndex();
    f.charset = uint16_t(m_zeichensatz->currentIndex());
    f.fading = m_fadebar->value();
    m_editing = true;
    fonttable::change(m_session, row, f, ProjectSession::mergeKey(this, field, row));
    m_editing = false;
    const RFont &stored = model().fonts[row + 1];
    m_listBox1->item(row)->setText(listLine(row + 1, stored.name, stored.size));
    m_preview->setFont(stored);
}

void Tfontwindow::button1Click()
{
    if (model().fontCount() >= ProjectModel::MaxFonts) {
        m_asker.information(this, m_catalog.msg(367),
                m_catalog.extra(extratext::FontsFull).arg(ProjectModel::MaxFonts));
        return;
    }
    m_editing = true;
    const int n = fonttable::add(m_session);
    m_editing = false;
    if (n < 0)
        return;
    load();
    select(n);
}

void Tfontwindow::button2Click()
{
    const int row = m_listBox1->currentRow();
    const int n = model().fontCount();
    m_editing = true;
    const bool removed = fonttable::remove(m_session, row);
    m_editing = false;
    if (!removed)
        return;
    load();
    select(std::min(row, n - 2));
}

void Tfontwindow::swap(int a, int b)
{
    m_editing = true;
    fonttable::swap(m_session, a, b);
    m_editing = false;
    load();
    select(b);
}

void Tfontwindow::moveUp()
{
    const int row = m_listBox1->currentRow();
    if (row > 0 && model().fontCount() >= 2)
        swap(row, row - 1);
}

void Tfontwindow::moveDown()
{
    const int row = m_listBox1->currentRow();
    if (row >= 0 && row + 1 < model().fontCount())
        swap(row, row + 1);
}

} // namespace mb
