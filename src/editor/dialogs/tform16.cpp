#include "dialogs/tform16.h"
#include "project/asker.h"

#include "dialogs/ttexteingabe.h"

#include "project/messagecatalog.h"
#include "project/projectmodel.h"
#include "project/projectsession.h"
#include "tools/dialogueexport.h"
#include "tools/languagerecords.h"
#include "tools/languageupdate.h"
#include "tools/soundlists.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShowEvent>
#include <QTabBar>
#include <QTableWidget>
#include <QTabWidget>
#include <QVBoxLayout>

#include <limits>

namespace mb {

namespace {

enum Column { OriginVoice, OriginText, Mark, LanguageVoice, LanguageText };

QHBoxLayout *folderRow(QLineEdit *edit, QPushButton *change)
{
    auto *row = new QHBoxLayout;
    row->addWidget(edit, 1);
    row->addWidget(change);
    return row;
}

} // namespace

TForm16::TForm16(ProjectSession &session, MessageCatalog &catalog, EditorSettings &settings,
                 Asker &asker, QWidget *parent)
    : QDialog(parent), m_session(session), m_catalog(catalog), m_asker(asker)
{
    setWindowTitle(catalog.msg(440));
    m_input = new Ttexteingabe(session, catalog, settings, asker, this);
    connect(m_input, &Ttexteingabe::languageAdded, this, [this](int slot) { fillLanguages(slot); });

    m_pages = new QTabWidget;

    // Export dialogues.
    auto *exportPage = new QWidget;
    auto *ef = new QFormLayout(exportPage);
    m_ziel = new QLineEdit;
    auto *button2 = new QPushButton(catalog.msg(449));
    connect(button2, &QPushButton::clicked, this, [this] {
        const QString folder = m_asker.folder(this, m_catalog.msg(444), m_ziel->text());
        if (!folder.isEmpty())
            m_ziel->setText(folder);
    });
    ef->addRow(catalog.msg(448), folderRow(m_ziel, button2));
    m_sprache2 = new QComboBox;
    ef->addRow(catalog.msg(454), m_sprache2);
    m_checkBox1 = new QCheckBox(catalog.msg(445));
    m_vergessen = new QCheckBox(forgottenDialogueOption(catalog));
    m_doppelt = new QCheckBox(catalog.msg(447));
    m_schonvorhanden = new QCheckBox(catalog.msg(536));
    for (QCheckBox *b : {m_vergessen, m_doppelt, m_schonvorhanden}) {
        b->setChecked(true);
        b->setEnabled(false);
    }
    connect(m_checkBox1, &QCheckBox::toggled, this, [this](bool on) {
        for (QCheckBox *b : {m_vergessen, m_doppelt, m_schonvorhanden})
            b->setEnabled(on);
    });
    ef->addRow(m_checkBox1);
    ef->addRow(m_vergessen);
    ef->addRow(m_doppelt);
    ef->addRow(m_schonvorhanden);
    auto *button1 = new QPushButton(catalog.msg(441));
    button1->setAutoDefault(false);
    connect(button1, &QPushButton::clicked, this, &TForm16::button1Click);
    ef->addRow(button1);

    // Translate.
    auto *translatePage = new QWidget;
    auto *tl = new QVBoxLayout(translatePage);
    auto *languageRow = new QHBoxLayout;
    m_sprache = new QComboBox;
    m_sprache->setMinimumWidth(160);
    connect(m_sprache, &QComboBox::currentIndexChanged, this, [this] {
        if (!m_filling)
            showTab();
    });
    m_button3 = new QPushButton(catalog.msg(452));
    m_button4 = new QPushButton(catalog.msg(453));
    m_button3->setAutoDefault(false);
    m_button4->setAutoDefault(false);
    connect(m_button3, &QPushButton::clicked, this, &TForm16::button3Click);
    connect(m_button4, &QPushButton::clicked, this, &TForm16::button4Click);
    languageRow->addWidget(new QLabel(catalog.msg(454)));
    languageRow->addWidget(m_sprache);
    languageRow->addWidget(m_button3);
    languageRow->addWidget(m_button4);
    languageRow->addStretch();
    tl->addLayout(languageRow);
    m_tabControl1 = new QTabBar;
    for (const char *t : {"Speech", "Offspeech", "Showinfo", "Textout", "Setstring", "Row (textscene)", "Befehle"})
        m_tabControl1->addTab(QString::fromLatin1(t));
    connect(m_tabControl1, &QTabBar::currentChanged, this, [this] {
        if (!m_filling)
            showTab();
    });
    tl->addWidget(m_tabControl1);
    m_xgrid = new QTableWidget(0, 5);
    m_xgrid->setHorizontalHeaderLabels({catalog.msg(455), catalog.msg(458), QString(),
                                        catalog.msg(455), catalog.msg(459)});
    m_xgrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_xgrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_xgrid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_xgrid->setWordWrap(true);
    auto *header = m_xgrid->horizontalHeader();
    header->setSectionResizeMode(OriginVoice, QHeaderView::Interactive);
    header->setSectionResizeMode(OriginText, QHeaderView::Stretch);
    header->setSectionResizeMode(Mark, QHeaderView::Fixed);
    header->setSectionResizeMode(LanguageText, QHeaderView::Stretch);
    m_xgrid->setColumnWidth(OriginVoice, 90);
    m_xgrid->setColumnWidth(Mark, 24);
    m_xgrid->setColumnWidth(LanguageVoice, 90);
    connect(m_xgrid, &QTableWidget::cellClicked, this, [this](int row) { selectRow(row); });
    tl->addWidget(m_xgrid, 1);
    auto *edits = m_edits = new QFormLayout;
    m_textzeile = new QLineEdit;
    m_sprachfile = new QLineEdit;
    m_textzeile->installEventFilter(this);
    m_sprachfile->installEventFilter(this);
    connect(m_textzeile, &QLineEdit::textEdited, this, &TForm16::textChanged);
    connect(m_sprachfile, &QLineEdit::textEdited, this, &TForm16::voiceChanged);
    edits->addRow(catalog.msg(459), m_textzeile);
    edits->addRow(catalog.msg(455), m_sprachfile);
    tl->addLayout(edits);

    // Sound lists.
    auto *soundPage = new QWidget;
    auto *sf = new QFormLayout(soundPage);
    m_ziel2 = new QLineEdit;
    auto *button6 = new QPushButton(catalog.msg(449));
    connect(button6, &QPushButton::clicked, this, [this] {
        const QString folder = m_asker.folder(this, m_catalog.msg(444), m_ziel2->text());
        if (!folder.isEmpty())
            m_ziel2->setText(folder);
    });
    sf->addRow(catalog.msg(448), folderRow(m_ziel2, button6));
    auto *about = new QLabel(catalog.msg(539));
    about->setWordWrap(true);
    sf->addRow(about);
    m_playsound = new QCheckBox(QStringLiteral("playsound"));
    m_loopsound = new QCheckBox(QStringLiteral("loopsound"));
    m_playmusic = new QCheckBox(QStringLiteral("playmusic"));
    auto *kinds = new QHBoxLayout;
    for (QCheckBox *b : {m_playsound, m_loopsound, m_playmusic}) {
        b->setChecked(true);
        kinds->addWidget(b);
    }
    kinds->addStretch();
    sf->addRow(catalog.msg(538), kinds);
    m_checkBox5 = new QCheckBox(catalog.msg(540));
    sf->addRow(m_checkBox5);
    auto *button7 = new QPushButton(catalog.msg(541));
    button7->setAutoDefault(false);
    connect(button7, &QPushButton::clicked, this, &TForm16::button7Click);
    sf->addRow(button7);

    m_pages->addTab(exportPage, catalog.msg(441));
    m_pages->addTab(translatePage, catalog.msg(442));
    m_pages->addTab(soundPage, catalog.msg(542));
    connect(m_pages, &QTabWidget::currentChanged, this, &TForm16::pageChanged);

    m_panel = new QLabel(catalog.msg(456));
    m_panel->setAlignment(Qt::AlignCenter);
    m_panel->setFrameShape(QFrame::Panel);
    m_panel->hide();
    m_updateBar = new QProgressBar;
    m_updateBar->setObjectName(QStringLiteral("updateprogress"));
    m_updateBar->hide();
    auto *top = new QVBoxLayout(this);
    top->addWidget(m_pages);
    top->addWidget(m_panel);
    top->addWidget(m_updateBar);
    resize(466, 264);
}

int TForm16::languageSlot() const
{
    return m_sprache->count() == 0 ? 0 : m_sprache->currentIndex() + 1;
}

void TForm16::showEvent(QShowEvent *e)
{
    if (!e->spontaneous()) {
        m_updated = false;
        // A folder the author picked stays; one that was the default follows the project.
        auto follow = [](QLineEdit *edit, QString &lastDefault, const QString &now) {
            if (edit->text().isEmpty() || edit->text() == lastDefault)
                edit->setText(now);
            lastDefault = now;
        };
        follow(m_ziel, m_zielDefault, defaultDialogueFolder(m_session));
        follow(m_ziel2, m_ziel2Default, defaultSoundListFolder(m_session));
        fillLanguages(languageSlot());
        if (m_pages->currentIndex() == TranslatePage)
            pageChanged(TranslatePage);
    }
    QDialog::showEvent(e);
}

void TForm16::showPage(Page page)
{
    if (m_pages->currentIndex() == page)
        pageChanged(page);
    else
        m_pages->setCurrentIndex(page);
}

void TForm16::pageChanged(int page)
{
    if (page == TranslatePage) {
        resize(862, 502);
        updateTextLines();
        showTab();
    } else {
        resize(466, 264);
    }
}

void TForm16::updateTextLines()
{
    m_panel->show();
    m_updateBar->setRange(0, 0);
    m_updateBar->show();
    m_pages->setEnabled(false);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    // The windows repaint while the scripts are scanned; the project counts as busy meanwhile,
    // so that no timer starts other work on it in the middle of the update.
    const bool wasBusy = m_session.isBusy();
    m_session.setBusy(true);
    updateLanguageLists(m_session, [this](qint64 done, qint64 total) {
        m_updateBar->setRange(0, int(qMin<qint64>(total, std::numeric_limits<int>::max())));
        m_updateBar->setValue(int(qMin(done, total)));
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        return true;
    });
    m_session.setBusy(wasBusy);
    m_updated = true;
    m_pages->setEnabled(true);
    m_updateBar->hide();
    m_panel->hide();
}

void TForm16::fillLanguages(int selectSlot)
{
    m_filling = true;
    m_sprache->clear();
    m_sprache2->clear();
    m_sprache2->addItem(m_catalog.msg(464));
    for (int slot = 1; slot <= ProjectModel::MaxLanguages && m_session.model().languages.used(slot); ++slot) {
        m_sprache->addItem(m_session.model().languages[slot].name);
        m_sprache2->addItem(m_session.model().languages[slot].name);
    }
    if (selectSlot >= 1 && selectSlot <= m_sprache->count())
        m_sprache->setCurrentIndex(selectSlot - 1);
    m_button4->setEnabled(m_sprache->count() > 0);
    m_filling = false;
    if (m_pages->currentIndex() == TranslatePage)
        showTab();
}

void TForm16::showTab()
{
    const auto tab = LanguageGrid::Tab(m_tabControl1->currentIndex());
    const QList<LanguageGrid::GridRow> rows = LanguageGrid::showTab(m_session, languageSlot(), tab);
    const int count = std::max(int(rows.size()), int(LanguageGrid::MinRows));
    m_xgrid->clearContents();
    m_xgrid->setRowCount(count);
    for (int r = 0; r < count; ++r) {
        const LanguageGrid::GridRow row = r < rows.size() ? rows[r] : LanguageGrid::GridRow();
        const QString cells[] = {row.originVoice, row.originText, row.mark, row.languageVoice, row.languageText};
        for (int c = 0; c < 5; ++c)
            m_xgrid->setItem(r, c, new QTableWidgetItem(cells[c]));
        m_xgrid->setRowHeight(r, row.height);
    }
    m_entries = int(rows.size());
    m_edits->setRowVisible(m_sprachfile, LanguageGrid::hasVoices(tab)); // with its label
    selectRow(rows.isEmpty() ? -1 : 0);
}

void TForm16::selectRow(int row)
{
    const bool on = row >= 0 && row < m_entries && languageSlot() > 0;
    m_row = on ? row : -1;
    m_textzeile->setEnabled(on);
    m_sprachfile->setEnabled(on);
    if (row >= 0 && row < m_xgrid->rowCount())
        m_xgrid->selectRow(row);
    m_textzeile->setText(on ? m_xgrid->item(row, LanguageText)->text() : QString());
    m_sprachfile->setText(on ? m_xgrid->item(row, LanguageVoice)->text().trimmed() : QString());
}

void TForm16::textChanged(const QString &text)
{
    const auto tab = LanguageGrid::Tab(m_tabControl1->currentIndex());
    if (m_row >= 0 && LanguageGrid::setText(m_session, languageSlot(), tab, m_row, text,
                                                ProjectSession::mergeKey(this, 1, m_row)))
        m_xgrid->item(m_row, LanguageText)->setText(text.isEmpty() ? QStringLiteral(" ") : text);
}

void TForm16::voiceChanged(const QString &voice)
{
    const auto tab = LanguageGrid::Tab(m_tabControl1->currentIndex());
    if (m_row >= 0 && LanguageGrid::setVoice(m_session, languageSlot(), tab, m_row, voice,
                                                 ProjectSession::mergeKey(this, 2, m_row)))
        m_xgrid->item(m_row, LanguageVoice)->setText(voice.isEmpty() ? QStringLiteral(" ") : voice);
}

bool TForm16::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == m_textzeile || watched == m_sprachfile) && m_row >= 0) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                auto *edit = static_cast<QLineEdit *>(watched);
                selectRow(m_row + 1);
                edit->selectAll();
                return true;
            }
        } else if (event->type() == QEvent::KeyRelease) {
            // The translator has looked at the new entry.
            QTableWidgetItem *mark = m_xgrid->item(m_row, Mark);
            if (mark && mark->text() == QLatin1String("X"))
                mark->setText(QStringLiteral("O"));
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TForm16::button3Click()
{
    // With every language slot in use there is no name to ask for.
    if (m_session.model().languages.firstFree() == 0) {
        m_asker.information(this, m_catalog.msg(367),
                m_catalog.extra(extratext::LanguagesFull).arg(m_session.model().languages.size()));
        return;
    }
    m_input->start(Ttexteingabe::AddLanguage);
}

void TForm16::button4Click()
{
    const int slot = languageSlot();
    if (slot == 0 || !m_asker.yesNoDefaultNo(this, m_catalog.msg(365), m_catalog.msg(460)))
        return;
    deleteLanguage(m_session, slot);
    fillLanguages(std::min(slot, m_session.model().languages.usedCount()));
}

void TForm16::done(const QStringList &, bool ok, const QString &error)
{
    if (!ok) {
        m_asker.error(this, m_catalog.msg(366), error);
        return;
    }
    hide();
    m_asker.information(parentWidget(), m_catalog.msg(367), m_catalog.msg(380));
}

void TForm16::button1Click()
{
    DialogueExportOptions o;
    o.folder = m_ziel->text();
    o.languageSlot = m_sprache2->currentIndex() < 0 ? 0 : m_sprache2->currentIndex();
    o.includeVoiceNames = m_checkBox1->isChecked();
    o.forgotten = m_vergessen->isChecked();
    o.dedupe = m_doppelt->isChecked();
    o.skipExisting = m_schonvorhanden->isChecked();
    const ToolFilesResult r = exportDialogues(m_session.model(), o);
    done(r.files, r.ok, r.error);
}

void TForm16::button7Click()
{
    SoundListOptions o;
    o.folder = m_ziel2->text();
    o.playsound = m_playsound->isChecked();
    o.loopsound = m_loopsound->isChecked();
    o.playmusic = m_playmusic->isChecked();
    o.skipPooled = m_checkBox5->isChecked();
    const ToolFilesResult r = createSoundLists(m_session.model(), o);
    done(r.files, r.ok, r.error);
}

} // namespace mb
