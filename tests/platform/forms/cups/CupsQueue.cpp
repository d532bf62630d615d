#include "CupsQueue.h"

#include <QRegularExpression>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <memory>

namespace cupstest {

namespace {

std::unique_ptr<testsupport::CupsServer>& TheServer()
{
    static std::unique_ptr<testsupport::CupsServer> server;
    return server;
}

QString& Reason()
{
    static QString reason;
    return reason;
}

// Starts the server before the first test of the process and stops it (and
// removes its folder) after the last.
class CupsEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        auto server = std::make_unique<testsupport::CupsServer>();
        QString error;
        if (server->Start(&error)) {
            qputenv("CUPS_SERVER", server->Socket().toLocal8Bit());
            TheServer() = std::move(server);
        } else {
            Reason() = error;
            // Never the machine's own server: a socket where nothing listens.
            qputenv("CUPS_SERVER", "/nonexistent/valdran-test/cups.sock");
        }
    }
    void TearDown() override { TheServer().reset(); }
};

[[maybe_unused]] ::testing::Environment* const Registered =
    ::testing::AddGlobalTestEnvironment(new CupsEnvironment);

} // namespace

testsupport::CupsServer* Server()
{
    return TheServer().get();
}

QString Unavailable()
{
    return Reason().isEmpty() ? testsupport::CupsServer::Unavailable() : Reason();
}

bool ResetQueue(QString* error)
{
    testsupport::CupsServer* s = Server();
    if (!s)
        return false;
    s->ClearJobs();
    return s->AddQueue(QueueName, true, error);
}

TPdfFacts ReadPdf(const QString& file)
{
    TPdfFacts facts;
    const auto info = testsupport::runTool(QStringLiteral("pdfinfo"), {file});
    const QString text = QString::fromUtf8(info.out);
    const auto pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(text);
    if (pages.hasMatch())
        facts.Pages = pages.captured(1).toInt();
    const auto size = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(text);
    if (size.hasMatch()) {
        facts.WidthPt = size.captured(1).toDouble();
        facts.HeightPt = size.captured(2).toDouble();
    }
    const auto title = QRegularExpression(QStringLiteral("Title:\\s+(.*)\\n")).match(text);
    if (title.hasMatch())
        facts.Title = title.captured(1).trimmed();
    const auto body =
        testsupport::runTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    facts.PageTexts = QString::fromUtf8(body.out).split(QLatin1Char('\f'));
    if (!facts.PageTexts.isEmpty() && facts.PageTexts.back().trimmed().isEmpty())
        facts.PageTexts.removeLast();
    return facts;
}

std::vector<TWord> Words(const QString& file, int page)
{
    const auto r = testsupport::runTool(QStringLiteral("pdftotext"),
                                        {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page),
                                         QStringLiteral("-l"), QString::number(page), file, QStringLiteral("-")});
    std::vector<TWord> words;
    QXmlStreamReader xml(r.out);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("word")) {
            TWord w;
            const auto a = xml.attributes();
            w.XMin = a.value(QLatin1String("xMin")).toDouble();
            w.YMin = a.value(QLatin1String("yMin")).toDouble();
            w.XMax = a.value(QLatin1String("xMax")).toDouble();
            w.YMax = a.value(QLatin1String("yMax")).toDouble();
            w.Text = xml.readElementText();
            words.push_back(w);
        }
    }
    return words;
}

TWord FindWord(const std::vector<TWord>& words, const QString& text)
{
    for (const TWord& w : words)
        if (w.Text == text)
            return w;
    return {};
}

} // namespace cupstest
