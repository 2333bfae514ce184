// The update of a TLE file against a small HTTP server in this process on 127.0.0.1.
#include "net/TleDownload.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QNetworkProxy>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <fstream>

namespace tavik {
namespace {

std::string ReadAll(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

QByteArray Response(const QByteArray& status, const QByteArray& body, const QByteArray& more = {})
{
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n" + more
           + "Connection: close\r\n\r\n" + body;
}

// Answers each request by its path; "/stall" sends the head and part of the body, then nothing.
class Server : public QTcpServer {
public:
    explicit Server(QByteArray good) : good_(std::move(good))
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    const QByteArray request = s->peek(4096);
                    if (!request.contains("\r\n\r\n")) return;
                    s->write(Answer(request.split(' ').value(1)));
                    s->flush();
                });
            }
        });
    }

private:
    QByteArray Answer(const QByteArray& path) const
    {
        if (path == "/good") return Response("200 OK", good_);
        if (path == "/cut") return Response("200 OK", good_.left(good_.size() / 2));
        if (path == "/html") return Response("200 OK", "<!DOCTYPE html>\n<html><body>Log in</body></html>\n");
        if (path == "/loop") return Response("302 Found", {}, "Location: /loop\r\n");
        if (path == "/stall") return "HTTP/1.1 200 OK\r\nContent-Length: 4000\r\n\r\n" + good_.left(100);
        if (path == "/endless") return "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + good_.repeated(40);
        return Response("404 Not Found", "no such file");
    }
    QByteArray good_;
};

TEST(UpdateTleFile, EveryFailedDownloadLeavesTheOldFileAndAGoodOneReplacesIt)
{
    test::TempFolder folder;
    const std::string good = ReadAll(TAVIK_EXAMPLES "/example.tle");
    const std::string old = ReadAll(TAVIK_TEST_DATA "/three.tle");
    const std::string tle = folder.Write("kep.txt", old).string();
    Server server{QByteArray::fromStdString(good)};
    ASSERT_TRUE(server.isListening());
    const QString base = QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort());
    QTcpServer closed; // a port where nothing listens stands for a lost network
    closed.listen(QHostAddress::LocalHost);
    const QString nobody = QStringLiteral("http://127.0.0.1:%1/good").arg(closed.serverPort());
    closed.close();

    const struct {
        const char* Fault;
        QString Url;
        std::string Error; // empty: the update goes through
    } rows[] = {

        {"no network", nobody, "Connection refused"},
        {"an HTTP error", base + "/missing", "the server answers 404 Not Found"},
        {"a redirect loop", base + "/loop", "in a loop (more than 5 redirects)"},
        {"an HTML page", base + "/html", "an HTML or XML page, not element sets"},
        {"a cut file", base + "/cut", "cut off"},
        {"a file over the size cap", base + "/endless", "is larger than the"},
        {"a stalled response", base + "/stall", "nothing arrived for 0.3 s"},
        {"not a web address", QStringLiteral("file:///etc/passwd"), "is not an http:// or https:// address"},
        {"none: a good file", base + "/good", ""},

    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Fault);
        net::DownloadLimits limits;
        // Only the stalled response waits out the timer, and nothing ever arrives there, so its outcome does not
        // depend on the length of the wait; every other row has the default wait, far longer than a busy
        // machine needs, so that a slow answer is not mistaken for a stall.
        const bool stalls = row.Url.endsWith(QStringLiteral("/stall"));
        limits.TimeoutMs = stalls ? 300 : net::DownloadLimits{}.TimeoutMs;
        limits.MaxBytes = static_cast<qint64>(good.size()) * 20;
        if (row.Error.empty()) {
            const std::string report = net::UpdateTleFile(tle, row.Url, limits);
            EXPECT_EQ(ReadAll(tle), good);
            for (const char* said : {"has been updated from", "added: 5 (TAVIK-LEO (99101)", "removed: 3",
                                     "oldest epoch now: 2026-12-01 12:17 UTC, TAVIK-LEO"})
                EXPECT_TRUE(test::Contains(report, said)) << report;
            continue;
        }
        const std::string message = test::InputErrorMessage([&] { net::UpdateTleFile(tle, row.Url, limits); });
        EXPECT_TRUE(test::Contains(message, row.Error)) << message;
        EXPECT_TRUE(test::Contains(message, tle + " is left as it was")) << message;
        EXPECT_EQ(ReadAll(tle), old);
    }
}

} // namespace
} // namespace tavik

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy); // nothing leaves the machine, whatever proxy is set
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
