#include "platform/zipentrystream.h"

#include <algorithm>
#include <new>

namespace mb {

ZipEntryStream::ZipEntryStream(const QByteArray &archive, const QString &entryName, qint64 maxSize)
{
    m_thread = std::thread([this, archive, entryName, maxSize] { unpack(archive, entryName, maxSize); });
}

ZipEntryStream::~ZipEntryStream()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopped = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void ZipEntryStream::unpack(const QByteArray &archive, const QString &entryName, qint64 maxSize)
{
    ZipReader::Error kind = ZipReader::Error::None;
    QString error;
    try {
        ZipReader zip(archive);
        const int index = zip.indexOf(entryName);
        // A piece grows to PieceSize and is cut after its last line end; the rest of the line
        // starts the next piece.
        constexpr qsizetype room = PieceSize + (qsizetype(64) << 10);
        QByteArray pending;
        pending.reserve(room);
        bool handed = true;
        const bool ok = zip.isOpen() && index >= 0
            && zip.readTo(index, [&](const char *data, qint64 size) {
                   pending.append(data, qsizetype(size));
                   if (pending.size() < PieceSize)
                       return true;
                   const qsizetype cut = pending.lastIndexOf('\n') + 1;
                   if (cut == 0)
                       return true; // one long line: it grows on
                   QByteArray rest;
                   rest.reserve(std::max(room, pending.size() - cut + (qsizetype(64) << 10)));
                   rest.append(pending.constData() + cut, pending.size() - cut);
                   pending.truncate(cut);
                   handed = hand(std::move(pending));
                   pending = std::move(rest);
                   return handed;
               }, maxSize);
        if (ok) {
            if (!pending.isEmpty())
                hand(std::move(pending));
        } else if (!zip.isOpen()) {
            kind = zip.error();
            error = zip.errorString();
        } else if (index < 0) {
            kind = ZipReader::Error::NoEntry;
            error = entryName + QStringLiteral(": no such entry");
        } else {
            kind = zip.error();
            error = zip.errorString();
        }
    } catch (const std::bad_alloc &) {
        kind = ZipReader::Error::Output;
        error = entryName + QStringLiteral(": not enough memory to unpack it");
    }
    {
        std::lock_guard lock(m_mutex);
        m_errorKind = kind;
        m_error = error;
        m_done = true;
    }
    m_changed.notify_all();
}

bool ZipEntryStream::hand(QByteArray &&piece)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return m_stopped || m_discard || m_pieces.size() < MaxWaiting; });
    if (m_stopped)
        return false;
    if (!m_discard)
        m_pieces.push_back(std::move(piece));
    lock.unlock();
    m_changed.notify_all();
    return true;
}

bool ZipEntryStream::next(QByteArray *piece)
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [&] { return !m_pieces.empty() || m_done; });
    if (m_pieces.empty())
        return false;
    *piece = std::move(m_pieces.front());
    m_pieces.pop_front();
    lock.unlock();
    m_changed.notify_all();
    return true;
}

bool ZipEntryStream::finish()
{
    std::unique_lock lock(m_mutex);
    m_discard = true;
    m_pieces.clear();
    m_changed.notify_all();
    m_changed.wait(lock, [&] { return m_done; });
    return m_errorKind == ZipReader::Error::None;
}

} // namespace mb
