#pragma once

#include "project/projectsession.h"

#include <QList>
#include <QString>

namespace mb {

// The translate page: one tab per origin text list, a grid of the origin entries beside the
// selected language's entries, and the edits that change the language's entries. The origin
// lists change only when a tab is shown (the "*NEU*" marks are taken off); edits never touch
// them.
class LanguageGrid
{
public:
    // The tabs in the order of the tab control.
    enum Tab { Speech, Offspeech, Showinfo, Textout, Setstring, Row, Commands, TabCount };

    struct GridRow
    {
        QString originVoice;   // " " for lists without voices
        QString originText;    // without mark
        QString mark;          // "X" when the entry was new since the translator last looked
        QString languageVoice; // empty for lists without voices and without a language
        QString languageText;
        int height = 20;       // pixels
    };

    // The grid shows at least this many rows; rows past the entries are empty and disabled.
    static constexpr int MinRows = 20;

    // LangLists index of the tab's text list, and of its voice list (-1 for tabs without).
    static int textList(Tab tab);
    static int voiceList(Tab tab);
    static bool hasVoices(Tab tab) { return voiceList(tab) >= 0; }

    // Row height for an origin text: (length div 53) x 15 + 20 pixels.
    static int rowHeight(const QString &originText);

    // Shows a tab: one row per origin entry of the tab's list, with the entries of the
    // language in the slot (0: no language selected, the language columns stay empty). An
    // origin entry marked "*NEU*" loses the mark and shows "X"; a language entry at its index
    // with the same mark loses it too.
    static QList<GridRow> showTab(ProjectModel &model, int languageSlot, Tab tab);
    // The same as one edit of the session (when a mark was taken off).
    static QList<GridRow> showTab(ProjectSession &session, int languageSlot, Tab tab);

    // Stores a translated text (or, on tabs with voices, a voice file name) at the index of the
    // tab's list of the language: a single space when empty, line breaks become blanks.
    // Returns false, storing nothing, for a free or out-of-range slot, an index
    // outside the list, a voice on a tab without voices, or a text beginning with "*/*" (the
    // language file would read it as the start of a new section).
    static bool setText(ProjectModel &model, int languageSlot, Tab tab, int index, const QString &text);
    // A voice file name is stored without blanks around it.
    static bool setVoice(ProjectModel &model, int languageSlot, Tab tab, int index, const QString &voice);
    // The same as edits of the session's language record; typing into one field merges into one
    // undo step through the merge key.
    static bool setText(ProjectSession &session, int languageSlot, Tab tab, int index, const QString &text,
                        ProjectSession::MergeKey merge = 0);
    static bool setVoice(ProjectSession &session, int languageSlot, Tab tab, int index, const QString &voice,
                         ProjectSession::MergeKey merge = 0);

private:
    static bool store(RLang &language, int list, int index, const QString &value);
    static bool store(ProjectModel &model, int languageSlot, int list, int index, const QString &value);
    static bool store(ProjectSession &session, int languageSlot, int list, int index, const QString &value,
                      ProjectSession::MergeKey merge);
};

} // namespace mb
