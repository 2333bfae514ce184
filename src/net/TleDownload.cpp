#include "net/TleDownload.h"

#include "catalogue/CatalogueUpdate.h"
#include "platform/Error.h"
#include "platform/FileAccess.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <zlib.h>

#include <algorithm>

namespace tavik::net {

namespace {

QString SizeText(qint64 bytes)
{
    return bytes % (1 << 20) == 0 ? QStringLiteral("%1 MiB").arg(bytes >> 20) : QStringLiteral("%1 bytes").arg(bytes);
}

QString Seconds(int ms) { return QString::number(ms / 1000.0); }

bool AllDigits(const QByteArray& text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The announced length: a number, or the same number repeated ("42, 42",
// as a header sent twice reads); nothing when there is none; -1 when it is
// anything else.
qint64 AnnouncedLength(const QByteArray& header)
{
    if (header.trimmed().isEmpty()) return -2;
    QByteArray first;
    for (const QByteArray& part : header.split(',')) {
        const QByteArray value = part.trimmed();
        if (!AllDigits(value) || value.size() > 18 || (!first.isEmpty() && value != first)) return -1;
        first = value;
    }
    return first.toLongLong();
}

} // namespace

// A compressed answer unpacked as it arrives, so that the size cap holds for
// what it unpacks to: Qt's own unpacking says only "Decompression failed"
// both for damaged data and for data that unpacks to gigabytes.
struct Download::Inflater {
    z_stream Stream{};
    bool Ended = false;
    Inflater() { inflateInit2(&Stream, 15 + 32); } // zlib or gzip, told by the header
    ~Inflater() { inflateEnd(&Stream); }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;

    // Appends what raw unpacks to; an error text, or empty. Stops once out
    // holds more than cap bytes.
    QString Feed(const QByteArray& raw, QByteArray& out, qint64 cap)
    {
        Stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(raw.data()));
        Stream.avail_in = static_cast<uInt>(raw.size());
        char buffer[65536];
        while (Stream.avail_in > 0 && !Ended) {
            Stream.next_out = reinterpret_cast<Bytef*>(buffer);
            Stream.avail_out = sizeof buffer;
            const int rc = inflate(&Stream, Z_NO_FLUSH);
            out.append(buffer, static_cast<qsizetype>(sizeof buffer - Stream.avail_out));
            if (out.size() > cap)
                return QStringLiteral("unpacks to more than the %1 a TLE file may have").arg(SizeText(cap));
            if (rc == Z_STREAM_END)
                Ended = true;
            else if (rc != Z_OK && rc != Z_BUF_ERROR)
                return QStringLiteral("is damaged (%1)")
                    .arg(QString::fromLatin1(Stream.msg ? Stream.msg : "zlib error"));
            else if (rc == Z_BUF_ERROR && Stream.avail_out != 0)
                break;
        }
        return {};
    }
};

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

Download::Download(QObject* parent)
    : QObject(parent), manager_(new QNetworkAccessManager(this)), stall_(new QTimer(this)), overall_(new QTimer(this))
{
    stall_->setSingleShot(true);
    overall_->setSingleShot(true);
    connect(stall_, &QTimer::timeout, this, [this] {
        // Qt shows nothing of a response head until it is whole, so a server
        // that never answers and one that sends headers without end look
        // the same from here.
        Fail(headSeen_ ? QStringLiteral("nothing arrived for %1 s (the stall limit)").arg(Seconds(limits_.TimeoutMs))
                       : QStringLiteral("no complete answer came for %1 s (the stall limit): the server sends "
                                        "nothing, or response headers too large to end")
                             .arg(Seconds(limits_.TimeoutMs)));
    });
    connect(overall_, &QTimer::timeout, this, [this] {
        Fail(QStringLiteral("the transfer took longer than the overall limit of %1 s").arg(Seconds(limits_.OverallMs)));
    });
}

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
    headSeen_ = false;
    rawBytes_ = 0;
    inflater_.reset();
    QNetworkRequest request(url);
    // Redirects are followed only to as safe a scheme (never HTTPS to HTTP),
    // and only a few times, so that a loop ends.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(limits_.MaxRedirects);
    request.setHeader(QNetworkRequest::UserAgentHeader, QStringLiteral("tavik"));
    // Asked for by name, compressed answers are unpacked here, where the cap
    // applies, and not by Qt.
    request.setRawHeader("Accept-Encoding", "gzip, deflate");
    reply_ = manager_->get(request);
    // Both limits are kept here: Qt's transfer timeout is not carried over
    // to the hops of a redirect, and it has no overall limit.
    stall_->start(limits_.TimeoutMs);
    overall_->start(limits_.OverallMs);
    connect(reply_, &QNetworkReply::redirected, this, [this] {
        headSeen_ = false;
        stall_->start(limits_.TimeoutMs);
    });
    connect(reply_, &QNetworkReply::metaDataChanged, this, &Download::HeadArrived);
    connect(reply_, &QNetworkReply::readyRead, this, [this] {
        stall_->start(limits_.TimeoutMs);
        Take(reply_->readAll());
    });
    connect(reply_, &QNetworkReply::finished, this, &Download::Done);
}

void Download::HeadArrived()
{
    if (!reply_) return;
    headSeen_ = true;
    stall_->start(limits_.TimeoutMs);
    // A hop of a redirect is followed (or refused) by Qt, which says why.
    if (!reply_->attribute(QNetworkRequest::RedirectionTargetAttribute).isNull()
        || reply_->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() >= 300)
        return;
    const QByteArray header = reply_->rawHeader("Content-Length");
    const qint64 length = AnnouncedLength(header);
    if (length == -1)
        return Fail(QStringLiteral("the server announces an invalid length (Content-Length: %1)")
                        .arg(QString::fromLatin1(header.trimmed().left(40))));
    if (length > limits_.MaxBytes)
        return Fail(QStringLiteral("the server announces %1 bytes, more than the %2 a TLE file may have")
                        .arg(length)
                        .arg(SizeText(limits_.MaxBytes)));
    const QByteArray encoding = reply_->rawHeader("Content-Encoding").trimmed().toLower();
    if (encoding == "gzip" || encoding == "x-gzip" || encoding == "deflate") {
        if (!inflater_) inflater_ = std::make_unique<Inflater>();
    } else if (!encoding.isEmpty() && encoding != "identity") {
        Fail(QStringLiteral("the server sends it encoded as \"%1\", which was not asked for")
                 .arg(QString::fromLatin1(encoding.left(40))));
    }
}

void Download::Take(const QByteArray& raw)
{
    if (!reply_ || !failure_.isEmpty()) return;
    rawBytes_ += raw.size();
    if (rawBytes_ > limits_.MaxBytes)
        return Fail(
            QStringLiteral("the file is larger than the %1 a TLE file may have").arg(SizeText(limits_.MaxBytes)));
    if (inflater_) {
        if (const QString problem = inflater_->Feed(raw, bytes_, limits_.MaxBytes); !problem.isEmpty())
            return Fail(QStringLiteral("the server's compressed answer %1").arg(problem));
    } else {
        bytes_ += raw;
    }
    emit Progress(rawBytes_, reply_->header(QNetworkRequest::ContentLengthHeader).toLongLong());
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
    if (reply_->isRunning()) reply_->abort();
}

void Download::Done()
{
    stall_->stop();
    overall_->stop();
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
        result.Error =
            QStringLiteral("the server sends it on in a loop (more than %1 redirects)").arg(limits_.MaxRedirects);
    } else if (reply->error() == QNetworkReply::InsecureRedirectError) {
        result.Error = QStringLiteral("the server sends it on from HTTPS to plain HTTP, which is not followed");
    } else if (status >= 300) {
        result.Error = QStringLiteral("the server answers %1 %2")
                           .arg(status)
                           .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
    } else if (reply->error() != QNetworkReply::NoError) {
        result.Error = reply->errorString();
    } else {
        reply_ = reply; // Take reads what is left as the transfer's own
        Take(reply->readAll());
        reply_ = nullptr;
        const qint64 length = AnnouncedLength(reply->rawHeader("Content-Length"));
        const bool chunked = reply->rawHeader("Transfer-Encoding").toLower().contains("chunked");
        if (!failure_.isEmpty()) result.Error = failure_;
        // A connection closed early leaves fewer bytes than announced.
        else if (length >= 0 && length != rawBytes_)
            result.Error = QStringLiteral("the transfer broke off after %1 of %2 bytes").arg(rawBytes_).arg(length);
        else if (inflater_ && !inflater_->Ended)
            result.Error = QStringLiteral("the server's compressed answer is cut off");
        // Qt ends a chunked body without an error at a chunk size it cannot
        // read, such as one too large for 64 bits.
        else if (chunked && bytes_.isEmpty())
            result.Error = QStringLiteral("no data came in the server's chunked transfer encoding: an empty "
                                          "answer, or a bad chunked encoding (a chunk size that cannot be read or "
                                          "is too large)");
        else
            result.Bytes = bytes_;
    }
    bytes_.clear();
    inflater_.reset();
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

std::string UpdateTleFile(const std::string& tlePath, const QString& url, UpdateMode mode, const DownloadLimits& limits)
{
    const std::string source = url.trimmed().toStdString();
    const std::string kept = "; " + tlePath + " is left as it was";
    if (const QString problem = UrlProblem(url); !problem.isEmpty()) throw InputError(problem.toStdString() + kept);
    // Said before the download, which would be in vain.
    if (const auto why = ReadOnlyReason(tlePath)) throw OutputError("cannot update " + tlePath + ": " + *why + kept);
    const DownloadResult got = DownloadNow(QUrl(url.trimmed()), limits);
    if (!got.Ok()) throw InputError(source + ": " + got.Error.toStdString() + kept);
    TleChanges changes;
    bool changed = false;
    try {
        const TleUpdatePlan plan = PlanTleUpdate(tlePath, got.Bytes.toStdString(), mode, source);
        changed = plan.Changed();
        changes = ApplyTleUpdate(plan);
    } catch (const InputError& e) {
        throw InputError(e.what() + kept);
    } catch (const OutputError& e) {
        throw OutputError(e.what() + kept);
    }
    if (!changed)
        return tlePath + " is up to date with " + source + "; nothing changed:\n" + DescribeTleChanges(changes);
    return tlePath + " has been updated from " + source + ":\n" + DescribeTleChanges(changes);
}

} // namespace tavik::net
