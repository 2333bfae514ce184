// Fetching a TLE group file over HTTP or HTTPS for both front ends. Qt
// Network with the system's certificates; what is fetched is only handed
// back, never written here.
#pragma once

#include "catalogue/CatalogueUpdate.h"

#include <QByteArray>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <memory>
#include <string>

class QNetworkAccessManager;
class QTimer;

namespace tavik::net {

// Every transfer ends: by its bytes, by an error, or by one of the two time
// limits, whichever comes first.
struct DownloadLimits {
    int TimeoutMs = 30000;  // stall limit: without a byte arriving, on every hop of a redirect chain
    int OverallMs = 120000; // the whole transfer, redirects included
    qint64 MaxBytes = 0;    // 0: the TLE download cap; also the most a compressed answer may unpack to
    int MaxRedirects = 5;
};

struct DownloadResult {
    QByteArray Bytes;
    QString Error; // empty when the bytes are whole
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
    struct Inflater;
    void Fail(const QString& why);
    void Done();
    void HeadArrived();
    void Take(const QByteArray& raw);

    QNetworkAccessManager* manager_ = nullptr;
    QTimer* stall_ = nullptr;
    QTimer* overall_ = nullptr;
    bool headSeen_ = false;              // the current hop's response head has come whole
    qint64 rawBytes_ = 0;                // as sent, before unpacking
    std::unique_ptr<Inflater> inflater_; // while the answer comes compressed
    QPointer<QNetworkReply> reply_;
    DownloadLimits limits_;
    QByteArray bytes_;
    QString failure_; // set before an abort of our own
    bool cancelled_ = false;
};

// Fetches in an event loop of its own, for the command line.
DownloadResult DownloadNow(const QUrl& url, const DownloadLimits& limits = {});

// Downloads url and, when the text is a file of element sets, updates the
// TLE file from it in the given way (the previous file kept as FILE.bak).
// Returns the change report; throws the engine's InputError or OutputError
// (the file left as it was) otherwise.
std::string UpdateTleFile(const std::string& tlePath, const QString& url, UpdateMode mode = UpdateMode::Merge,
                          const DownloadLimits& limits = {});

} // namespace tavik::net
