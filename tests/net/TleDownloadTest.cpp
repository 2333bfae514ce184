// The update of a TLE file against small HTTP servers in this process on 127.0.0.1. Every transfer that does not
// end by itself is ended by a limit set to a fraction of a second here.
#include "net/TleDownload.h"
#include "TestSupport.h"

#include <QCoreApplication>
#include <QNetworkProxy>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>
#include <map>

namespace tavik {
namespace {

QByteArray Response(const QByteArray& status, const QByteArray& body, const QByteArray& more = {})
{
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n" + more
           + "Connection: close\r\n\r\n" + body;
}

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

struct Fixture {
    test::TempFolder Folder;
    std::string Good = test::ReadBytes(TAVIK_EXAMPLES "/example.tle");
    std::string Old = test::ReadBytes(TAVIK_TEST_DATA "/three.tle");
    std::string Tle = Folder.Write("kep.txt", Old).string();
    Server Http{QByteArray::fromStdString(Good)};
    QString Base = QStringLiteral("http://127.0.0.1:%1").arg(Http.serverPort());
};

// Each limit ends a transfer that would otherwise go on for ever, each fault of the answer is named, and the old file
// stays as it was.
TEST(UpdateTleFile, EveryFailedDownloadNamesTheLimitOrTheFaultAndLeavesTheOldFile)
{
    Fixture f;
    f.Http.On("/silent", [](QTcpSocket*) {}); // as a server behind a dead proxy
    f.Http.On("/hop", [&f](QTcpSocket* s) {
        s->write(Response("301 Moved Permanently", {}, "Location: " + f.Base.toLatin1() + "/silent\r\n"));
    });

    // Only the rows that wait out a limit have a short one; the others keep limits far longer than a busy machine
    // needs, so that a slow answer is not mistaken for a stall.
    const struct {
        const char* Fault;
        QString Url;
        std::string Error;
        int StallMs = 30000;
    } rows[] = {
        {"an HTTP error", f.Base + "/missing", "the server answers 404 Not Found"},
        {"a redirect loop", f.Base + "/loop", "in a loop (more than 5 redirects)"},
        {"a file over the size cap", f.Base + "/endless", "is larger than the"},
        {"not a web address", QStringLiteral("file:///etc/passwd"), "is not an http:// or https:// address"},
        {"a stalled response", f.Base + "/stall", "nothing arrived for 0.3 s (the stall limit)", 300},
        {"a redirect to a server that never answers", f.Base + "/hop",
         "no complete answer came for 0.3 s (the stall limit): the server sends nothing, or response headers", 300},
        {"a gzip bomb", f.Base + "/bomb", "the server's compressed answer unpacks to more than the 15160 bytes"},
        {"damaged compressed data", f.Base + "/damaged", "the server's compressed answer is damaged ("},
        {"a negative length", f.Base + "/negative", "the server announces an invalid length (Content-Length: -1)"},
        {"an overflowing chunk size", f.Base + "/chunks", "a bad chunked encoding (a chunk size that cannot"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Fault);
        net::DownloadLimits limits;
        limits.TimeoutMs = row.StallMs;
        limits.MaxBytes = static_cast<qint64>(f.Good.size()) * 20;
        const std::string message =
            test::InputErrorMessage([&] { net::UpdateTleFile(f.Tle, row.Url, UpdateMode::Replace, limits); });
        EXPECT_TRUE(test::Contains(message, row.Error)) << message;
        EXPECT_TRUE(test::Contains(message, f.Tle + " is left as it was")) << message;
        EXPECT_EQ(test::ReadBytes(f.Tle), f.Old);
        EXPECT_FALSE(std::filesystem::exists(f.Tle + ".bak"));
    }
}

// By default only the entries the file holds change (the modes themselves are UpdateTleText's tests); a compressed
// answer replaces the file when asked, the old one kept beside it.
TEST(UpdateTleFile, MergesByDefaultAndReplacesWithACompressedAnswerWhenAsked)
{
    Fixture f;
    const std::string five = test::ReadBytes(TAVIK_TEST_DATA "/five.tle");
    f.Http.On("/five", [five](QTcpSocket* s) { s->write(Response("200 OK", QByteArray::fromStdString(five))); });
    const std::string merged = net::UpdateTleFile(f.Tle, f.Base + "/five");
    EXPECT_TRUE(test::Contains(merged, "nothing changed:\nmerged: entries the file holds are updated where the "
                                       "download is newer; new ones are listed, not added\n")) << merged;
    EXPECT_EQ(test::ReadBytes(f.Tle), f.Old);
    EXPECT_FALSE(std::filesystem::exists(f.Tle + ".bak"));
    const std::string replaced = net::UpdateTleFile(f.Tle, f.Base + "/gzip", UpdateMode::Replace);
    EXPECT_TRUE(test::Contains(replaced, "the previous file is kept as " + f.Tle + ".bak")) << replaced;
    EXPECT_EQ(test::ReadBytes(f.Tle), f.Good);
    EXPECT_EQ(test::ReadBytes(f.Tle + ".bak"), f.Old);
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
