#include "build/buildquestions.h"

#include "project/asker.h"
#include "project/messagecatalog.h"

#include <QDir>

namespace mb {

AskedBuildQuestions::AskedBuildQuestions(Asker &asker, const MessageCatalog &catalog, QObject *context,
                                         std::function<void()> beforeAsking)
    : m_asker(asker), m_catalog(catalog), m_context(context), m_beforeAsking(std::move(beforeAsking))
{
}

bool AskedBuildQuestions::updatePreviousGame(const QString &text)
{
    if (m_beforeAsking)
        m_beforeAsking();
    return m_asker.yesNoDefaultNo(m_context, m_catalog.msg(365), text);
}

QString AskedBuildQuestions::chooseProgramFile(const QString &suggestedName, const QString &initialFolder)
{
    if (m_beforeAsking)
        m_beforeAsking();
    const QString proposed = initialFolder.isEmpty() ? suggestedName : QDir(initialFolder).filePath(suggestedName);
    return m_asker.saveFile(m_context, m_catalog.msg(96), proposed, m_catalog.extra(extratext::GameFilter));
}

bool AskedBuildQuestions::startNow(const QString &text)
{
    if (m_beforeAsking)
        m_beforeAsking();
    return m_asker.yesNo(m_context, m_catalog.msg(365), text);
}

} // namespace mb
