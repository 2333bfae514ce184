#include "shell/UpcomingView.h"
#include "shell/PassTable.h"
#include "shell/QtText.h"

#include "platform/Clock.h"
#include "shell/ForecastController.h"

#include <QComboBox>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimeZone>
#include <QTimer>
#include <QVBoxLayout>

namespace tavik::shell {

namespace {

enum Column { Satellite, Rise, Set, Duration, MaxElevation, MaxTime, RiseAzimuth, SetAzimuth, Sunlit, Eye, Columns };

QDateTime Utc(DateTime t)
{
    static const std::int64_t unixZero = DateTime::FromCalendar(1970, 1, 1)->Seconds();
    return QDateTime::fromSecsSinceEpoch(t.Seconds() - unixZero, QTimeZone::utc());
}

// The date only where it differs from the day before's, to keep rows short.
QString TimeText(DateTime t, std::optional<DateTime> sameDayAs = {})
{
    const bool dated = !sameDayAs || Utc(*sameDayAs).date() != Utc(t).date();
    return Utc(t).toString(dated ? QStringLiteral("yyyy-MM-dd HH:mm:ss") : QStringLiteral("HH:mm:ss"));
}

// When the pass ends: its set to the second, or the window's end for a pass
// still up there.
std::int64_t EndOf(const UpcomingPass& u) { return u.Pass.SetToTheSecond().At.Seconds(); }

} // namespace

UpcomingView::UpcomingView(ForecastController* controller, std::function<std::time_t()> clock, QWidget* parent)
    : QWidget(parent), controller_(controller), clock_(std::move(clock))
{
    if (!clock_) clock_ = [] { return std::time(nullptr); };
    from_ = new QComboBox;
    from_->setObjectName(QStringLiteral("UpcomingFrom"));
    from_->addItems({QStringLiteral("from now"), QStringLiteral("from the start date")});
    hours_ = new QSpinBox;
    hours_->setObjectName(QStringLiteral("UpcomingHours"));
    hours_->setRange(1, UpcomingHoursAtMost);
    hours_->setValue(DefaultUpcomingHours);
    hours_->setSuffix(QStringLiteral(" h"));
    auto* hoursLabel = new QLabel(QStringLiteral("&Next"));
    hoursLabel->setBuddy(hours_);
    minElevation_ = new QSpinBox;
    minElevation_->setObjectName(QStringLiteral("UpcomingMinimumElevation"));
    minElevation_->setRange(0, 90);
    minElevation_->setSuffix(QStringLiteral("°"));
    auto* minLabel = new QLabel(QStringLiteral("Minimum e&levation:"));
    minLabel->setBuddy(minElevation_);
    compute_ = new QPushButton(QStringLiteral("&Compute"));
    compute_->setObjectName(QStringLiteral("UpcomingCompute"));
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("UpcomingStatus"));
    status_->setWordWrap(true);

    model_ = new QStandardItemModel(0, Columns, this);
    model_->setHorizontalHeaderLabels({QStringLiteral("Satellite"), QStringLiteral("Rise (UTC)"), QStringLiteral("Set"),
                                       QStringLiteral("Duration"), QStringLiteral("Max el"), QStringLiteral("Max at"),
                                       QStringLiteral("Rise az"), QStringLiteral("Set az"), QStringLiteral("At max"),
                                       QStringLiteral("Eye")});
    filter_ = new ElevationFilter(MaxElevation, this);
    filter_->setSourceModel(model_);
    table_ = MakePassTable(filter_, Rise, "UpcomingTable");
    table_->setToolTip(QStringLiteral("Double-click a pass (or press Enter) to see it on Pass details"));

    auto* controls = new QHBoxLayout;
    controls->addWidget(hoursLabel);
    controls->addWidget(hours_);
    controls->addWidget(from_);
    controls->addSpacing(16);
    controls->addWidget(minLabel);
    controls->addWidget(minElevation_);
    controls->addSpacing(16);
    controls->addWidget(compute_);
    controls->addSpacing(16);
    controls->addWidget(status_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(controls);
    layout->addWidget(table_, 1);

    // Ended passes drop off; the timer runs only while the tab is seen.
    timer_ = new QTimer(this);
    timer_->setInterval(5000);
    connect(timer_, &QTimer::timeout, this, &UpcomingView::DropEnded);
    connect(compute_, &QPushButton::clicked, this, &UpcomingView::Compute);
    connect(minElevation_, &QSpinBox::valueChanged, this, [this](int v) {
        filter_->SetMinimum(v);
        UpdateStatus();
    });
    connect(table_, &QAbstractItemView::activated, this, &UpcomingView::OnActivated);
    // A request made while another job ran starts once that job has ended
    // (after what its end starts in turn).
    connect(controller_, &ForecastController::BusyChanged, this, [this](bool busy) {
        if (!busy && pending_) QTimer::singleShot(0, this, &UpcomingView::Start);
    });
    UpdateStatus();
}

void UpcomingView::Compute()
{
    pending_ = true;
    Start();
}

void UpcomingView::Start()
{
    if (!pending_ || controller_->IsBusy()) {
        if (pending_) status_->setText(QStringLiteral("Waiting for the job that runs to end…"));
        return;
    }
    pending_ = false;
    if (controller_->Catalogue().CatalogueCount == 0 || !controller_->StationInUse()) {
        list_.reset();
        Fill();
        emit Computed();
        return;
    }
    const bool fromNow = from_->currentIndex() == 0;
    std::optional<DateTime> from = fromNow ? UtcAt(clock_()) : (startDate_ ? startDate_() : std::nullopt);
    if (!from) {
        status_->setText(fromNow ? QStringLiteral("The system clock reads a date outside the years 1 to 9999.")
                                 : QStringLiteral("The start date cannot be read: correct it and compute again."));
        emit Computed();
        return;
    }
    const int hours = hours_->value();
    status_->setText(
        QStringLiteral("Computing the passes of %1 satellites…").arg(controller_->Catalogue().CatalogueCount));
    running_ = true;
    controller_->ComputeUpcoming(*from, hours, [this, fromNow, hours](ForecastController::UpcomingJob& job) {
        running_ = false;
        fromNow_ = fromNow;
        if (job.List) {
            list_ = std::move(job.List);
            computedFor_ = QStringLiteral("%1 hours from %2 UTC (%3 model)")
                               .arg(hours)
                               .arg(Utc(job.Request.From).toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                                    QString::fromLatin1(ModelName(job.Request.Model)));
        }
        Fill();
        if (!job.Error.isEmpty()) status_->setText(job.Error);
        emit controller_->Progress(0, 1);
        controller_->SetBusy(false);
        emit Computed();
    });
}

void UpcomingView::Fill()
{
    model_->removeRows(0, model_->rowCount());
    if (list_) {
        const std::int64_t now = fromNow_ ? UtcAt(clock_()).value_or(DateTime()).Seconds() : 0;
        for (std::size_t i = 0; i < list_->Passes.size(); ++i) {
            const UpcomingPass& u = list_->Passes[i];
            if (fromNow_ && EndOf(u) < now) continue;
            const PassDetail& p = u.Pass;
            const PassPointDetail& rise = p.RiseToTheSecond();
            const PassPointDetail& set = p.SetToTheSecond();
            QList<QStandardItem*> row;
            auto add = [&row](const QString& text, const QVariant& sortKey) {
                auto* item = new QStandardItem(text);
                item->setData(sortKey, SortRole);
                row.append(item);
            };
            add(Q(u.SatName), Q(u.SatName));
            add(p.RiseKnown ? TimeText(rise.At) : QStringLiteral("up at start"),
                QVariant::fromValue(rise.At.Seconds()));
            add(p.SetKnown ? TimeText(set.At, rise.At) : QStringLiteral("up at end"),
                QVariant::fromValue(set.At.Seconds()));
            const std::int64_t seconds = set.At.Seconds() - rise.At.Seconds();
            // "5:25", or "10:38:36" for a pass of hours.
            auto two = [](std::int64_t v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
            const QString span =
                seconds >= 3600
                    ? QStringLiteral("%1:%2:%3").arg(seconds / 3600).arg(two(seconds / 60 % 60), two(seconds % 60))
                    : QStringLiteral("%1:%2").arg(seconds / 60).arg(two(seconds % 60));
            add((p.RiseKnown && p.SetKnown ? QString() : QStringLiteral("≥ ")) + span, QVariant::fromValue(seconds));
            add(QStringLiteral("%1°").arg(p.Max.Elevation, 0, 'f', 1), p.Max.Elevation);
            add(TimeText(p.Max.At, rise.At), QVariant::fromValue(p.Max.At.Seconds()));
            add(p.RiseKnown ? QStringLiteral("%1°").arg(rise.Azimuth, 0, 'f', 0) : QString(), rise.Azimuth);
            add(p.SetKnown ? QStringLiteral("%1°").arg(set.Azimuth, 0, 'f', 0) : QString(), set.Azimuth);
            add(p.Max.Sunlit ? QStringLiteral("sunlit") : QStringLiteral("in shadow"), p.Max.Sunlit);
            add(u.VisibleToEye ? QStringLiteral("visible") : QString(), u.VisibleToEye);
            row[Satellite]->setData(static_cast<int>(i), PassRole);
            row[Eye]->setToolTip(QStringLiteral("Sunlit at its maximum while the Sun is at least 6° below the "
                                                "horizon"));
            model_->appendRow(row);
        }
    }
    table_->resizeColumnsToContents();
    UpdateStatus();
}

void UpcomingView::UpdateStatus()
{
    if (running_) return;
    const bool file = controller_->Catalogue().CatalogueCount > 0;
    QString text;
    if (!file)
        text = QStringLiteral("No TLE file is open: open one with File > Open Kep File.");
    else if (!controller_->StationInUse())
        text = QStringLiteral("There is no station: give it with Forecast > Station….");
    else if (!list_)
        text = QStringLiteral("Press Compute to list the passes of every satellite of the file.");
    else if (model_->rowCount() == 0)
        text = QStringLiteral("No passes in the %1.").arg(computedFor_);
    else if (filter_->rowCount() == 0)
        text = QStringLiteral("No passes above %1° in the %2.").arg(minElevation_->value()).arg(computedFor_);
    else
        text = QStringLiteral("%1 passes in the %2.").arg(filter_->rowCount()).arg(computedFor_);
    if (list_ && !list_->Skipped.empty())
        text += QStringLiteral(" %1 left out: %2").arg(list_->Skipped.size()).arg(Q(list_->Skipped.front()));
    status_->setText(text);
}

void UpcomingView::DropEnded()
{
    if (!list_ || !fromNow_) return;
    const std::optional<DateTime> now = UtcAt(clock_());
    if (!now) return;
    bool dropped = false;
    for (int r = model_->rowCount() - 1; r >= 0; --r) {
        const int i = model_->item(r, Satellite)->data(PassRole).toInt();
        if (EndOf(list_->Passes[static_cast<std::size_t>(i)]) < now->Seconds()) {
            model_->removeRow(r);
            dropped = true;
        }
    }
    if (dropped) UpdateStatus();
}

void UpcomingView::OnActivated(const QModelIndex& index)
{
    if (!list_ || !index.isValid()) return;
    const int i = filter_->index(index.row(), Satellite).data(PassRole).toInt();
    const UpcomingPass& u = list_->Passes[static_cast<std::size_t>(i)];
    emit PassChosen(static_cast<int>(u.Index) + 1, u);
}

void UpcomingView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    DropEnded();
    timer_->start();
    // Seen for the first time with a file and a station: computed at once.
    if (!list_ && !running_ && controller_->Catalogue().CatalogueCount > 0 && controller_->StationInUse())
        Compute();
    else
        UpdateStatus();
}

void UpcomingView::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    timer_->stop();
}

} // namespace tavik::shell
