#include "net/TleDownload.h"

#include "catalogue/CatalogueUpdate.h"
#include "platform/Error.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace tavik::net {

namespace {

QString SizeText(qint64 bytes)
{
    return bytes % (1 << 20) == 0 ? QStringLiteral("%1 MiB").arg(bytes >> 20) : QStringLiteral("%1 bytes").arg(bytes);
}

} // namespace

QString UrlProblem(const QString& text)
{
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    if (text.trimmed().isEmpty()) return QStringLiteral("no URL given");
    if (!url.isValid()) return QStringLiteral("\"%1\" is not a URL: %2").arg(text, url.errorString());
    const QString scheme = url.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return QStringLiteral("\"%1\" is not an http:// or https:// address").arg(text);
    if (url.host().isEmpty()) return QStringLiteral("\"%1\" names no server").arg(text);
    return {};
}

Download::Download(QObject* parent) : QObject(parent), manager_(new QNetworkAccessManager(this)) {}

Download::~Download()
{
    // Nobody waits for a transfer whose owner is going away.
    if (reply_) {
        reply_->disconnect(this);
        reply_->abort();
        reply_->deleteLater();
    }
}

void Download::Start(const QUrl& url, const DownloadLimits& limits)
{
    limits_ = limits;
    if (limits_.MaxBytes <= 0) limits_.MaxBytes = static_cast<qint64>(TleDownloadMaxBytes);
    bytes_.clear();
    failure_.clear();
    cancelled_ = false;
    QNetworkRequest request(url);
    // Redirects are followed only to as safe a scheme (never HTTPS to HTTP),
    // and only a few times, so that a loop ends.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(limits_.MaxRedirects);
    request.setTransferTimeout(limits_.TimeoutMs);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("tavik"));
    reply_ = manager_->get(request);
    connect(reply_, &QNetworkReply::metaDataChanged, this, [this] {
        const QVariant length = reply_->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > limits_.MaxBytes
            && reply_->attribute(QNetworkRequest::RedirectionTargetAttribute).isNull())
            Fail(QStringLiteral("the server announces %1 bytes, more than the %2 a TLE file may have")
                     .arg(length.toLongLong())
                     .arg(SizeText(limits_.MaxBytes)));
    });
    connect(reply_, &QNetworkReply::readyRead, this, [this] {
        bytes_ += reply_->readAll();
        if (bytes_.size() > limits_.MaxBytes)
            Fail(QStringLiteral("the file is larger than the %1 a TLE file may have").arg(SizeText(limits_.MaxBytes)));
        else
            emit Progress(bytes_.size(), reply_->header(QNetworkRequest::ContentLengthHeader).toLongLong());
    });
    connect(reply_, &QNetworkReply::finished, this, &Download::Done);
}

void Download::Cancel()
{
    if (!reply_) return;
    cancelled_ = true;
    reply_->abort();
}

void Download::Fail(const QString& why)
{
    if (!reply_ || !failure_.isEmpty()) return;
    failure_ = why;
    reply_->abort();
}

void Download::Done()
{
    QNetworkReply* reply = reply_;
    reply_ = nullptr;
    reply->deleteLater();
    DownloadResult result;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (cancelled_) {
        result.Cancelled = true;
    } else if (!failure_.isEmpty()) {
        result.Error = failure_;
    } else if (reply->error() == QNetworkReply::TooManyRedirectsError) {
        result.Error = QStringLiteral("the server sends it on in a loop (more than %1 redirects)").arg(limits_.MaxRedirects);
    } else if (reply->error() == QNetworkReply::InsecureRedirectError) {
        result.Error = QStringLiteral("the server sends it on from HTTPS to plain HTTP, which is not followed");
    } else if (reply->error() == QNetworkReply::OperationCanceledError) {
        // Only the transfer time-out aborts without us.
        result.Error = QStringLiteral("nothing arrived for %1 s").arg(limits_.TimeoutMs / 1000.0);
    } else if (status >= 300) {
        result.Error = QStringLiteral("the server answers %1 %2")
                           .arg(status)
                           .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
    } else if (reply->error() != QNetworkReply::NoError) {
        result.Error = reply->errorString();
    } else {
        bytes_ += reply->readAll();
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        // A connection closed early leaves fewer bytes than announced.
        if (length.isValid() && length.toLongLong() != bytes_.size())
            result.Error = QStringLiteral("the transfer broke off after %1 of %2 bytes").arg(bytes_.size()).arg(length.toLongLong());
        else if (bytes_.size() > limits_.MaxBytes)
            result.Error = QStringLiteral("the file is larger than the %1 a TLE file may have").arg(SizeText(limits_.MaxBytes));
        else
            result.Bytes = bytes_;
    }
    bytes_.clear();
    emit Finished(result);
}

DownloadResult DownloadNow(const QUrl& url, const DownloadLimits& limits)
{
    Download download;
    DownloadResult result;
    QEventLoop loop;
    QObject::connect(&download, &Download::Finished, &loop, [&](const DownloadResult& r) {
        result = r;
        loop.quit();
    });
    download.Start(url, limits);
    loop.exec();
    return result;
}

std::string UpdateTleFile(const std::string& tlePath, const QString& url, const DownloadLimits& limits)
{
    const std::string source = url.trimmed().toStdString();
    const std::string kept = "; " + tlePath + " is left as it was";
    if (const QString problem = UrlProblem(url); !problem.isEmpty()) throw InputError(problem.toStdString() + kept);
    const DownloadResult got = DownloadNow(QUrl(url.trimmed()), limits);
    if (!got.Ok()) throw InputError(source + ": " + got.Error.toStdString() + kept);
    try {
        const TleChanges changes = ReplaceTleFile(tlePath, got.Bytes.toStdString(), source);
        return tlePath + " has been updated from " + source + ": " + DescribeTleChanges(changes);
    } catch (const InputError& e) {
        throw InputError(e.what() + kept);
    }
}

} // namespace tavik::net
