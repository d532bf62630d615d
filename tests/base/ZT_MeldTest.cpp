#include "base/ZT_Meld.h"
#include "base/ZT_Ptk.h"
#include "support/FakeHooks.h"
#include "support/TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::TMessageAnswer;

namespace {

class MessageCatalogue : public ::testing::Test {
protected:
    void TearDown() override
    {
        MessageTextList = nullptr;
        SilentMessages = false;
        ProtocolActive = false;
        ProtocolClose(ProtocolFile);
    }
    testsupport::FakeHooks hooks;
};

QString Line1(uint8_t nr)
{
    QString l1, l2;
    MessageText(nr, l1, MessageLineCapacity, l2, MessageLineCapacity);
    return l1;
}

QString Line2(uint8_t nr)
{
    QString l1, l2;
    MessageText(nr, l1, MessageLineCapacity, l2, MessageLineCapacity);
    return l2;
}

} // namespace

TEST_F(MessageCatalogue, TextsAreTheProgramsOwn)
{
    EXPECT_EQ(Line1(0), QStringLiteral("Es ist nicht mehr genügend Speicherplatz"));
    EXPECT_EQ(Line2(0), QStringLiteral("vorhanden."));
    EXPECT_EQ(Line1(25), QString());
    EXPECT_EQ(Line2(25), QStringLiteral("nicht gefunden."));
    // The trailing blank of 35 belongs to the text.
    EXPECT_EQ(Line1(35), QStringLiteral("Die Funktion EDITIEREN ist nur zum Verbessern von Rechtschreibfehlern gedacht. "));
    EXPECT_EQ(Line1(73), QStringLiteral("Solle die Verbindung aufgebaut werden,"));
    EXPECT_EQ(Line2(122), QStringLiteral("für den ausgewählten Bereich vorhanden."));
    EXPECT_EQ(Line2(166), QStringLiteral("entspricht jedoch nicht der Reihenfolge der Sollwerte."));
    // 200 has a text, and both of its lines are empty.
    EXPECT_EQ(Line1(200), QString());
    EXPECT_EQ(Line2(200), QString());
}

TEST_F(MessageCatalogue, NumbersWithoutTextGiveErrorNumber)
{
    for (int nr : {89, 97, 100, 150, 199, 201, 255}) {
        EXPECT_EQ(Line1(uint8_t(nr)), QStringLiteral("error no.") + QString::number(nr));
        EXPECT_EQ(Line2(uint8_t(nr)), QString());
    }
    int withText = 0;
    for (int nr = 0; nr <= 255; ++nr)
        if (!Line1(uint8_t(nr)).startsWith(QStringLiteral("error no.")))
            ++withText;
    EXPECT_EQ(withText, 107);
}

TEST_F(MessageCatalogue, CapacityCutsEachLine)
{
    QString l1, l2;
    MessageText(2, l1, 10, l2, 4);
    EXPECT_EQ(l1, QStringLiteral("Falsche Ei"));
    EXPECT_EQ(l2, QStringLiteral("zwei"));
}

TEST_F(MessageCatalogue, KindsOfNumbers)
{
    for (int nr : {13, 14, 23, 30, 35, 42, 43, 51, 54, 60, 61, 63, 73, 74, 80, 86, 88})
        EXPECT_EQ(MessageKindOfNr(uint8_t(nr)), 0) << nr;
    for (int nr : {0, 2, 5, 28, 67, 75, 79, 87, 99, 121, 200})
        EXPECT_EQ(MessageKindOfNr(uint8_t(nr)), 1) << nr;
    EXPECT_EQ(MessageKindOfNr(125), 3);
    for (int nr : {1, 3, 49, 120, 122, 150, 255})
        EXPECT_EQ(MessageKindOfNr(uint8_t(nr)), 2) << nr;
}

TEST_F(MessageCatalogue, Message49IsAnIgnoreErrorThatAnswersFalse)
{
    hooks.kindAnswers = {TMessageAnswer::Ignore};
    EXPECT_FALSE(ShowMessageNr(QStringLiteral("/tmp/out.HTM"), 49));
    ASSERT_EQ(hooks.kindMessages.size(), 1u);
    const auto& m = hooks.kindMessages[0];
    EXPECT_EQ(m.Text, QStringLiteral("Fehler beim Schreiben der Auswertungsdatei /tmp/out.HTM aufgetreten."));
    EXPECT_EQ(m.Kind, 2);
    EXPECT_EQ(m.Caption, QStringLiteral("Fehler"));
    EXPECT_EQ(m.Buttons, std::vector<TMessageAnswer>{TMessageAnswer::Ignore});
}

TEST_F(MessageCatalogue, Message51AsksAndOnlyYesIsTrue)
{
    hooks.kindAnswers = {TMessageAnswer::Yes, TMessageAnswer::No, TMessageAnswer::Closed};
    EXPECT_TRUE(ShowMessageNr(QStringLiteral("X.CSV"), 51));
    EXPECT_FALSE(ShowMessageNr(QStringLiteral("X.CSV"), 51));
    EXPECT_FALSE(ShowMessageNr(QStringLiteral("X.CSV"), 51));
    ASSERT_EQ(hooks.kindMessages.size(), 3u);
    const auto& m = hooks.kindMessages[0];
    EXPECT_EQ(m.Text, QStringLiteral("Die Datei X.CSV existiert schon, soll sie überschrieben werden?"));
    EXPECT_EQ(m.Kind, 0);
    EXPECT_EQ(m.Caption, QStringLiteral("Bestätigung"));
    EXPECT_EQ(m.Buttons, (std::vector<TMessageAnswer>{TMessageAnswer::Yes, TMessageAnswer::No}));
}

TEST_F(MessageCatalogue, Message75KeepsTheBlanksOfEmptyParts)
{
    hooks.kindAnswers = {TMessageAnswer::Abort};
    EXPECT_FALSE(ShowMessageNr(QString(), 75));
    ASSERT_EQ(hooks.kindMessages.size(), 1u);
    EXPECT_EQ(hooks.kindMessages[0].Text, QStringLiteral("  Kein Bereich markiert."));
    EXPECT_EQ(hooks.kindMessages[0].Kind, 1);
    EXPECT_EQ(hooks.kindMessages[0].Buttons, std::vector<TMessageAnswer>{TMessageAnswer::Abort});
}

TEST_F(MessageCatalogue, NumberWithoutTextShowsErrorNumber)
{
    EXPECT_FALSE(ShowMessageNr(QString(), 150));
    ASSERT_EQ(hooks.kindMessages.size(), 1u);
    EXPECT_EQ(hooks.kindMessages[0].Text, QStringLiteral("error no.150  "));
    EXPECT_EQ(hooks.kindMessages[0].Kind, 2);
}

TEST_F(MessageCatalogue, InsertedTextIsCutTo90)
{
    const QString longName = QString(100, QLatin1Char('x'));
    ShowMessageNr(longName, 49);
    ASSERT_EQ(hooks.kindMessages.size(), 1u);
    EXPECT_EQ(hooks.kindMessages[0].Text,
              QStringLiteral("Fehler beim Schreiben der Auswertungsdatei ") + QString(90, QLatin1Char('x'))
                  + QStringLiteral(" aufgetreten."));
}

TEST_F(MessageCatalogue, SpecialNumbers)
{
    hooks.kindAnswers = {TMessageAnswer::Yes, TMessageAnswer::No, TMessageAnswer::Ok};
    EXPECT_TRUE(ShowMessageNr(QStringLiteral("ignored"), 35));
    EXPECT_FALSE(ShowMessageNr(QStringLiteral("Zeitraum 2003"), 42));
    EXPECT_TRUE(ShowMessageNr(QStringLiteral("abc"), 125));
    ASSERT_EQ(hooks.kindMessages.size(), 3u);
    EXPECT_EQ(hooks.kindMessages[0].Text,
              QStringLiteral("Die Funktion EDITIEREN ist nur zum Verbessern von Rechtschreibfehlern gedacht.  "
                             "Es darf auf keinen Fall die Komponente bzw. die Einheit geändert werden! "
                             "Wollen Sie wirklich eine Änderung vornehmen?"));
    EXPECT_EQ(hooks.kindMessages[1].Text,
              QStringLiteral("Zeitraum 2003 nicht gefunden.  Sollen die nächstmöglichen Daten angezeigt werden?"));
    EXPECT_EQ(hooks.kindMessages[1].Kind, 0);
    EXPECT_EQ(hooks.kindMessages[2].Text, QStringLiteral("Suchtext \"abc\" nicht gefunden."));
    EXPECT_EQ(hooks.kindMessages[2].Kind, 3);
    EXPECT_EQ(hooks.kindMessages[2].Buttons, std::vector<TMessageAnswer>{TMessageAnswer::Ok});
}

TEST_F(MessageCatalogue, InsertedTextBeforeLine1IsCutTo90)
{
    ShowMessageNr(QString(90, QLatin1Char('y')), 43);
    ASSERT_EQ(hooks.kindMessages.size(), 1u);
    EXPECT_EQ(hooks.kindMessages[0].Text,
              QString(90, QLatin1Char('y')) + QStringLiteral("  Soll die davor vorhandenen Daten angezeigt werden?"));
}

TEST_F(MessageCatalogue, KindsOutsideTheTableShowNothing)
{
    hooks.defaultAnswer = TMessageAnswer::Ok;
    EXPECT_FALSE(MessageBoxByKind(QStringLiteral("x"), 4));
    EXPECT_TRUE(hooks.kindMessages.empty());
    // Abort and Ignore boxes never count as success, whatever comes back.
    EXPECT_FALSE(MessageBoxByKind(QStringLiteral("x"), 1));
    EXPECT_FALSE(MessageBoxByKind(QStringLiteral("x"), 2));
    EXPECT_TRUE(MessageBoxByKind(QStringLiteral("x"), 3));
}

TEST_F(MessageCatalogue, TextListReplacesBuiltInTexts)
{
    QStringList list;
    for (int i = 0; i < 50; ++i)
        list << QStringLiteral("first %1|second %1").arg(i);
    list[10] = QStringLiteral("without bar");
    list[11] = QString(100, QLatin1Char('a')) + QLatin1Char('|') + QString(100, QLatin1Char('b'));
    MessageTextList = &list;
    EXPECT_EQ(Line1(49), QStringLiteral("first 49"));
    EXPECT_EQ(Line2(49), QStringLiteral("second 49"));
    EXPECT_EQ(Line1(10), QStringLiteral("without bar"));
    EXPECT_EQ(Line2(10), QString());
    // The entry is cut to line 2's capacity before it is split.
    EXPECT_EQ(Line1(11), QString(90, QLatin1Char('a')));
    EXPECT_EQ(Line2(11), QString());
    // A list too short for the number leaves the built-in text.
    EXPECT_EQ(Line1(51), QStringLiteral("Die Datei"));

    list[13] = QString(40, QLatin1Char('c')) + QLatin1Char('|') + QString(49, QLatin1Char('d'));
    ShowMessageNr(QString(90, QLatin1Char('i')), 13);
    ASSERT_EQ(hooks.kindMessages.size(), 1u);
    EXPECT_EQ(hooks.kindMessages[0].Text.size(), 40 + 1 + 90 + 1 + 49);
}

TEST_F(MessageCatalogue, SilentModeLogsErrorsAndAnswersTrue)
{
    QTemporaryDir dir;
    ASSERT_TRUE(ProtocolCreate(ProtocolFile, dir.filePath(QStringLiteral("p.ptk")), 4));
    SilentMessages = true;
    ProtocolActive = true;
    EXPECT_TRUE(ShowMessageNr(QStringLiteral("a.htm"), 49));
    EXPECT_TRUE(ShowMessageNr(QStringLiteral("b.csv"), 51));   // question: not logged
    EXPECT_TRUE(hooks.kindMessages.empty());
    EXPECT_EQ(ProtocolFile.Written, 1);
    ProtocolClose(ProtocolFile);
    const QByteArray bytes = testsupport::readFile(dir.filePath(QStringLiteral("p.ptk")));
    const QByteArray expected("Fehler beim Schreiben der Auswertungsdatei a.htm aufgetreten.");
    ASSERT_GE(bytes.size(), ProtocolHeaderSize + ProtocolRecordSize);
    EXPECT_EQ(uint8_t(bytes[ProtocolHeaderSize]), expected.size());
    EXPECT_EQ(bytes.mid(ProtocolHeaderSize + 1, expected.size()), expected);
}
