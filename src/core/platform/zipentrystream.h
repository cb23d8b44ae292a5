#pragma once

#include "platform/ziparchive.h"

#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace mb {

// One entry of a zip archive unpacked on a thread of its own and handed to a reader in pieces
// of whole lines while the unpacking goes on, so that reading and unpacking overlap and the
// entry never sits in memory as a whole. The unpacking is ZipReader::readTo() with all of its
// checks (declared size over the limit, data past or short of the declared size, CRC); only a
// few pieces wait at any time, so memory stays small whatever the entry's size.
//
// The CRC is known only at the end: the pieces of a damaged entry are handed on before the
// damage shows. A reader must call finish() once it is done, also after it gave up on the data,
// and trust what it read only when finish() returns true.
class ZipEntryStream
{
public:
    // Starts unpacking the entry of that name from the archive's bytes (shared, not copied).
    ZipEntryStream(const QByteArray &archive, const QString &entryName, qint64 maxSize = ZipReader::MaxEntrySize);
    // Stops the unpacking and waits for its thread.
    ~ZipEntryStream();
    ZipEntryStream(const ZipEntryStream &) = delete;
    ZipEntryStream &operator=(const ZipEntryStream &) = delete;

    // The next piece, waiting for it. Every piece ends just after a '\n' except the entry's last
    // one, so a line never spans two pieces. False when nothing is left: at the end of the entry,
    // or because the unpacking failed (finish() tells which).
    bool next(QByteArray *piece);
    // Unpacks the rest without handing it on, waits for the end and tells whether the whole
    // entry was sound. error() and errorString() say what was wrong otherwise.
    bool finish();
    ZipReader::Error error() const { return m_errorKind; }
    QString errorString() const { return m_error; }

    // The size a piece grows to before it is handed on (it is cut at the last line end in it).
    static constexpr qsizetype PieceSize = qsizetype(256) << 10;

private:
    void unpack(const QByteArray &archive, const QString &entryName, qint64 maxSize);
    // The unpacking side: false once the reader wants no more pieces.
    bool hand(QByteArray &&piece);

    static constexpr size_t MaxWaiting = 8;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<QByteArray> m_pieces;
    bool m_done = false;     // the unpacking has ended
    bool m_discard = false;  // the reader takes no more pieces
    bool m_stopped = false;  // the reader is gone: stop unpacking
    ZipReader::Error m_errorKind = ZipReader::Error::None;
    QString m_error;
    std::thread m_thread;
};

} // namespace mb
