#include "platform/ansicodec.h"

#include <QTest>

using namespace mb;

class TestAnsiCodec : public QObject
{
    Q_OBJECT
private slots:
    void allBytesRoundTrip()
    {
        QByteArray bytes;
        for (int b = 0; b < 256; ++b)
            bytes.append(char(b));
        const QString text = ansi::decode(bytes);
        QCOMPARE(text.size(), 256);
        QCOMPARE(ansi::encode(text), bytes);
    }
    void knownCharacters()
    {
        QCOMPARE(ansi::decode("\x80\xE4\xAF\x9F"), QStringLiteral("€ä\u00AFŸ"));
        for (int undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
            QCOMPARE(ansi::charFor(undefined).unicode(), char16_t(undefined));
        QCOMPARE(ansi::encode(QStringLiteral("\u4E2D")), QByteArray("?"));
    }
};

QTEST_GUILESS_MAIN(TestAnsiCodec)
#include "tst_ansicodec.moc"
