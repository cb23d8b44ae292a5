#pragma once

#include <QString>

#include <functional>

class QObject;

namespace mb {

// The questions make game asks on its way: a narrow view of Asker (AskedBuildQuestions puts
// them to one), so that the build depends on nothing else of it. The texts are
// the whole message box texts in the catalog's language; the caption of the two Yes/No
// questions is "Confirmation" (365).
class BuildQuestions
{
public:
    virtual ~BuildQuestions() = default;

    // "Update previously created game?" (123), asked when a game was made from this project
    // before. Yes makes the game again in the last game folder under projectname + ".exe".
    virtual bool updatePreviousGame(const QString &text) = 0;

    // The game's program file, chosen in a save dialog that suggests `suggestedName`
    // (projectname + ".exe") in `initialFolder` (the last game folder, may be empty). An empty
    // result cancels the build.
    virtual QString chooseProgramFile(const QString &suggestedName, const QString &initialFolder) = 0;

    // "Game was created under <file> ." + two line breaks + "Start now?" (134, 135, 136).
    virtual bool startNow(const QString &text) = 0;
};

class Asker;
class MessageCatalog;

// Make game's questions put to an asker: the two Yes/No questions under "Confirmation", the
// update question defaulting to No (its Yes writes over the previous game folder), the program
// file in a save dialog titled "Create Game..." (96) with the game filter. `beforeAsking` runs
// before each question (the editor hides its wait window there).
class AskedBuildQuestions : public BuildQuestions
{
public:
    AskedBuildQuestions(Asker &asker, const MessageCatalog &catalog, QObject *context = nullptr,
                        std::function<void()> beforeAsking = {});
    bool updatePreviousGame(const QString &text) override;
    QString chooseProgramFile(const QString &suggestedName, const QString &initialFolder) override;
    bool startNow(const QString &text) override;

private:
    Asker &m_asker;
    const MessageCatalog &m_catalog;
    QObject *m_context;
    std::function<void()> m_beforeAsking;
};

} // namespace mb
