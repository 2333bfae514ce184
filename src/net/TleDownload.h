// Fetching a TLE group file over HTTP or HTTPS for both front ends. Qt
// Network with the system's certificates; what is fetched is only handed
// back, never written here.
#pragma once

#include <QByteArray>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <string>

class QNetworkAccessManager;

namespace tavik::net {

struct DownloadLimits {
    int TimeoutMs = 30000;   // without a byte arriving, including the connection
    qint64 MaxBytes = 0;     // 0: the TLE download cap
    int MaxRedirects = 5;
};

struct DownloadResult {
    QByteArray Bytes;
    QString Error;          // empty when the bytes are whole
    bool Cancelled = false;
    bool Ok() const { return Error.isEmpty() && !Cancelled; }
};

// Why text cannot be fetched (not an http or https URL with a host), or empty.
QString UrlProblem(const QString& text);

// One transfer at a time; Finished is emitted once per Start, also after Cancel.
class Download : public QObject {
    Q_OBJECT
public:
    explicit Download(QObject* parent = nullptr);
    ~Download() override;

    void Start(const QUrl& url, const DownloadLimits& limits = {});
    void Cancel();
    bool Running() const { return reply_ != nullptr; }

signals:
    void Progress(qint64 received, qint64 total);
    void Finished(const tavik::net::DownloadResult& result);

private:
    void Fail(const QString& why);
    void Done();

    QNetworkAccessManager* manager_ = nullptr;
    QPointer<QNetworkReply> reply_;
    DownloadLimits limits_;
    QByteArray bytes_;
    QString failure_;   // set before an abort of our own
    bool cancelled_ = false;
};

// Fetches in an event loop of its own, for the command line.
DownloadResult DownloadNow(const QUrl& url, const DownloadLimits& limits = {});

// Downloads url and, when the text is a file of element sets, replaces the
// TLE file with it. Returns the change report; throws the engine's
// InputError or OutputError (the file left as it was) otherwise.
std::string UpdateTleFile(const std::string& tlePath, const QString& url, const DownloadLimits& limits = {});

} // namespace tavik::net
