// The update of a TLE file against small HTTP servers in this process on 127.0.0.1. Every transfer that does not
// end by itself is ended by a limit set to a fraction of a second here.
#include "net/TleDownload.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QNetworkProxy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <functional>
#include <map>
#include <memory>

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

// The bytes in gzip form.
QByteArray Gzip(const QByteArray& bytes)
{
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY);
    QByteArray out(static_cast<qsizetype>(deflateBound(&z, static_cast<uLong>(bytes.size()))), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    z.avail_in = static_cast<uInt>(bytes.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(static_cast<qsizetype>(z.total_out));
    deflateEnd(&z);
    return out;
}

// Accepts connections and never answers, as a server behind a dead proxy does.
class SilentServer : public QTcpServer {
public:
    SilentServer()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = nextPendingConnection()) s->setParent(this);
        });
    }
};

// Answers each request by its path, whole or in the way a faulty or hostile server does.
class Server : public QTcpServer {
public:
    using Handler = std::function<void(QTcpSocket*)>;
    explicit Server(QByteArray good) : good_(std::move(good))
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    const QByteArray request = s->peek(4096);
                    if (!request.contains("\r\n\r\n")) return;
                    s->readAll();
                    Answer(request.split(' ').value(1), s);
                });
            }
        });
    }
    void On(const QByteArray& path, Handler handler) { handlers_[path] = std::move(handler); }

private:
    void Answer(const QByteArray& path, QTcpSocket* s)
    {
        if (const auto found = handlers_.find(path); found != handlers_.end()) return found->second(s);
        s->write(Canned(path));
        s->flush();
    }
    QByteArray Canned(const QByteArray& path) const
    {
        if (path == "/good") return Response("200 OK", good_);
        if (path == "/cut") return Response("200 OK", good_.left(good_.size() / 2));
        if (path == "/html") return Response("200 OK", "<!DOCTYPE html>\n<html><body>Log in</body></html>\n");
        if (path == "/loop") return Response("302 Found", {}, "Location: /loop\r\n");
        if (path == "/stall") return "HTTP/1.1 200 OK\r\nContent-Length: 4000\r\n\r\n" + good_.left(100);
        if (path == "/endless") return "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + good_.repeated(40);
        if (path == "/gzip") return Response("200 OK", Gzip(good_), "Content-Encoding: gzip\r\n");
        if (path == "/bomb") return Response("200 OK", Gzip(QByteArray(4 << 20, '\0')), "Content-Encoding: gzip\r\n");
        if (path == "/damaged") {
            QByteArray packed = Gzip(good_);
            for (qsizetype i = 12; i < packed.size() - 8; ++i) packed[i] = static_cast<char>(packed[i] ^ 0x5A);
            return Response("200 OK", packed, "Content-Encoding: gzip\r\n");
        }
        if (path == "/negative") return "HTTP/1.1 200 OK\r\nContent-Length: -1\r\nConnection: close\r\n\r\n" + good_;
        if (path == "/chunks")
            return "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n"
                   "fffffffffffffffffffff\r\n" + good_ + "\r\n0\r\n\r\n";
        return Response("404 Not Found", "no such file");
    }
    QByteArray good_;
    std::map<QByteArray, Handler> handlers_;
};

// One byte every 20 ms of an answer announced whole: never stalled, never done.
void Drip(QTcpSocket* s, const QByteArray& body)
{
    s->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n");
    auto* timer = new QTimer(s);
    auto sent = std::make_shared<qsizetype>(0);
    QObject::connect(timer, &QTimer::timeout, s, [s, body, sent] {
        if (*sent < body.size()) s->write(body.mid((*sent)++, 1));
    });
    timer->start(20);
}

// Header lines as fast as the client takes them, up to 256 KiB, and never the blank line that ends them.
void Flood(QTcpSocket* s)
{
    s->write("HTTP/1.1 200 OK\r\n");
    const QByteArray lines = QByteArray("X-Flood: ").append(QByteArray(60, 'a')).append("\r\n").repeated(1000);
    auto more = [s, lines, left = 256 << 10]() mutable {
        if (left <= 0 || s->bytesToWrite() > 0) return;
        left -= static_cast<int>(lines.size());
        s->write(lines);
    };
    QObject::connect(s, &QTcpSocket::bytesWritten, s, more);
    more();
}

struct Fixture {
    test::TempFolder Folder;
    std::string Good = ReadAll(TAVIK_EXAMPLES "/example.tle");
    std::string Old = ReadAll(TAVIK_TEST_DATA "/three.tle");
    std::string Tle = Folder.Write("kep.txt", Old).string();
    Server Http{QByteArray::fromStdString(Good)};
    QString Base = QStringLiteral("http://127.0.0.1:%1").arg(Http.serverPort());
};

TEST(UpdateTleFile, EveryFailedDownloadLeavesTheOldFileAndAGoodOneReplacesIt)
{
    Fixture f;
    ASSERT_TRUE(f.Http.isListening());
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
        {"an HTTP error", f.Base + "/missing", "the server answers 404 Not Found"},
        {"a redirect loop", f.Base + "/loop", "in a loop (more than 5 redirects)"},
        {"an HTML page", f.Base + "/html", "an HTML or XML page, not element sets"},
        {"a cut file", f.Base + "/cut", "cut off"},
        {"a file over the size cap", f.Base + "/endless", "is larger than the"},
        {"a stalled response", f.Base + "/stall", "nothing arrived for 0.3 s (the stall limit)"},
        {"not a web address", QStringLiteral("file:///etc/passwd"), "is not an http:// or https:// address"},
        {"none: a good file", f.Base + "/good", ""},
        {"none: a good file, compressed", f.Base + "/gzip", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Fault);
        net::DownloadLimits limits;
        // Only the stalled response waits out the timer, and nothing ever arrives there, so its outcome does not
        // depend on the length of the wait; every other row has the default wait, far longer than a busy
        // machine needs, so that a slow answer is not mistaken for a stall.
        const bool stalls = row.Url.endsWith(QStringLiteral("/stall"));
        limits.TimeoutMs = stalls ? 300 : net::DownloadLimits{}.TimeoutMs;
        limits.MaxBytes = static_cast<qint64>(f.Good.size()) * 20;
        if (row.Error.empty()) {
            f.Folder.Write("kep.txt", f.Old);
            const std::string report = net::UpdateTleFile(f.Tle, row.Url, UpdateMode::Replace, limits);
            EXPECT_EQ(ReadAll(f.Tle), f.Good);
            EXPECT_EQ(ReadAll(f.Tle + ".bak"), f.Old);
            for (const char* said : {"has been updated from", "added: 5 (TAVIK-LEO (99101)", "removed: 3",
                                     "oldest epoch now: 2026-12-01 12:17 UTC, TAVIK-LEO",
                                     "the previous file is kept as"})
                EXPECT_TRUE(test::Contains(report, said)) << report;
            continue;
        }
        const std::string message =
            test::InputErrorMessage([&] { net::UpdateTleFile(f.Tle, row.Url, UpdateMode::Replace, limits); });
        EXPECT_TRUE(test::Contains(message, row.Error)) << message;
        EXPECT_TRUE(test::Contains(message, f.Tle + " is left as it was")) << message;
        EXPECT_EQ(ReadAll(f.Tle), f.Old);
    }
}

// Each limit ends a transfer that would otherwise go on for ever, and each fault of the answer is named.
TEST(UpdateTleFile, EveryTransferEndsAndTheMessageNamesTheLimitOrTheFault)
{
    Fixture f;
    SilentServer silent;
    ASSERT_TRUE(silent.isListening());
    f.Http.On("/hop", [&silent](QTcpSocket* s) {
        s->write(Response("301 Moved Permanently", {},
                          "Location: http://127.0.0.1:" + QByteArray::number(silent.serverPort())
                              + "/elements.txt\r\n"));
    });
    const QByteArray good = QByteArray::fromStdString(f.Good);
    f.Http.On("/drip", [good](QTcpSocket* s) { Drip(s, good); });
    f.Http.On("/flood", [](QTcpSocket* s) { Flood(s); });

    const struct { const char* Fault; const char* Path; int StallMs, OverallMs; std::string Error; } rows[] = {
        {"a redirect to a server that never answers", "/hop", 300, 60000,
         "no complete answer came for 0.3 s (the stall limit): the server sends nothing, or response headers"},
        {"a byte every 20 ms", "/drip", 30000, 500, "the transfer took longer than the overall limit of 0.5 s"},
        {"headers without end", "/flood", 300, 60000, "response headers too large to end"},
        {"a gzip bomb", "/bomb", 30000, 60000, "the server's compressed answer unpacks to more than the 15160 bytes"},
        {"damaged compressed data", "/damaged", 30000, 60000, "the server's compressed answer is damaged ("},
        {"a negative length", "/negative", 30000, 60000, "the server announces an invalid length (Content-Length: -1)"},
        {"an overflowing chunk size", "/chunks", 30000, 60000, "a bad chunked encoding (a chunk size that cannot"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Fault);
        net::DownloadLimits limits;
        limits.TimeoutMs = row.StallMs;
        limits.OverallMs = row.OverallMs;
        limits.MaxBytes = static_cast<qint64>(f.Good.size()) * 20;
        const std::string message = test::InputErrorMessage(
            [&] { net::UpdateTleFile(f.Tle, f.Base + row.Path, UpdateMode::Replace, limits); });
        EXPECT_TRUE(test::Contains(message, row.Error)) << message;
        EXPECT_TRUE(test::Contains(message, f.Tle + " is left as it was")) << message;
        EXPECT_EQ(ReadAll(f.Tle), f.Old);
        EXPECT_FALSE(std::filesystem::exists(f.Tle + ".bak"));
    }
}

// By default only the entries the file holds change; new ones are added when asked; the file is replaced when asked.
TEST(UpdateTleFile, MergesByDefaultAndAddsOrReplacesOnlyWhenAsked)
{
    Fixture f;
    const std::string five = ReadAll(TAVIK_TEST_DATA "/five.tle");
    f.Http.On("/five", [five](QTcpSocket* s) { s->write(Response("200 OK", QByteArray::fromStdString(five))); });
    const struct { UpdateMode Mode; std::string Said; std::size_t Size; bool Backup; } rows[] = {
        {UpdateMode::Merge, "nothing changed:\nmerged: entries the file holds are updated where the download is "
                            "newer; new ones are listed, not added\n3 entries in the file\nupdated (newer epoch): 0\n"
                            "not in the download, kept: 0\n"
                            "only in the download, not added: 2 (HERON 4 (90004), 0 PIPIT (90005))",
         f.Old.size(), false},
        {UpdateMode::AddNew, "has been updated from", f.Old.size() + 302, true},
        {UpdateMode::Replace, "replaced: the file is now exactly the download", five.size(), true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.Mode));
        f.Folder.Write("kep.txt", f.Old);
        std::filesystem::remove(f.Tle + ".bak");
        const std::string report = net::UpdateTleFile(f.Tle, f.Base + "/five", row.Mode);
        EXPECT_TRUE(test::Contains(report, row.Said)) << report;
        EXPECT_EQ(ReadAll(f.Tle).size(), row.Size);
        EXPECT_EQ(std::filesystem::exists(f.Tle + ".bak"), row.Backup);
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
