#include "shell/PassDetailsView.h"
#include "shell/PassTable.h"
#include "shell/QtText.h"

#include "orbit/Doppler.h"
#include "shell/DopplerPlot.h"
#include "shell/SkyNowPanel.h"
#include "shell/SkyPlot.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QSignalBlocker>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimeZone>
#include <QVBoxLayout>

#include <cmath>

#include <algorithm>

namespace tavik::shell {

namespace {

enum Column {
    Rise,
    Set,
    Duration,
    MaxElevation,
    MaxTime,
    RiseAzimuth,
    SetAzimuth,
    LightRise,
    LightMax,
    LightSet,
    Columns
};

// "sunlit 97% 14°": the light and the sun angle at that point.
QString LightText(const PassPointDetail& p)
{
    return QStringLiteral("%1 %2% %3°")
        .arg(p.Sunlit ? QStringLiteral("sunlit") : QStringLiteral("shadow"))
        .arg(std::lround(100 * p.Illumination))
        .arg(p.SunAngle, 0, 'f', 0);
}

} // namespace

PassDetailsView::PassDetailsView(QWidget* parent) : QWidget(parent)
{
    localTime_ = new QCheckBox(QStringLiteral("&Local time"));
    localTime_->setObjectName(QStringLiteral("LocalTimeSwitch"));
    localTime_->setToolTip(QStringLiteral("Show the times in this computer's time zone instead of UTC"));
    minElevation_ = new QSpinBox;
    minElevation_->setObjectName(QStringLiteral("MinimumElevation"));
    minElevation_->setRange(0, 90);
    minElevation_->setSuffix(QStringLiteral("°"));
    auto* minLabel = new QLabel(QStringLiteral("Minimum &elevation:"));
    minLabel->setBuddy(minElevation_);
    // Frequencies with the precision a transceiver is tuned to; 0 is none.
    const auto frequency = [](const char* name) {
        auto* box = new QDoubleSpinBox;
        box->setObjectName(QString::fromLatin1(name));
        box->setRange(0, 300000);
        box->setDecimals(4);
        box->setSuffix(QStringLiteral(" MHz"));
        box->setSpecialValueText(QStringLiteral("none"));
        box->setKeyboardTracking(false);
        return box;
    };
    downlink_ = frequency("DownlinkFrequency");
    uplink_ = frequency("UplinkFrequency");
    auto* downLabel = new QLabel(QStringLiteral("Do&wnlink:"));
    downLabel->setBuddy(downlink_);
    auto* upLabel = new QLabel(QStringLiteral("U&plink:"));
    upLabel->setBuddy(uplink_);
    doppler_ = new DopplerPlot;
    note_ = new QLabel;
    note_->setObjectName(QStringLiteral("PassDetailsNote"));
    note_->setWordWrap(true);

    model_ = new QStandardItemModel(0, Columns, this);
    model_->setHorizontalHeaderLabels({QStringLiteral("Rise"), QStringLiteral("Set"), QStringLiteral("Min"),
                                       QStringLiteral("Max el"), QStringLiteral("Max at"), QStringLiteral("Rise az"),
                                       QStringLiteral("Set az"), QStringLiteral("At rise"), QStringLiteral("At max"),
                                       QStringLiteral("At set")});
    filter_ = new ElevationFilter(MaxElevation, this);
    filter_->setSourceModel(model_);
    table_ = MakePassTable(filter_, Rise, "PassTable");
    plot_ = new SkyPlot;
    plot_->setObjectName(QStringLiteral("SkyPlot"));

    auto* controls = new QHBoxLayout;
    controls->addWidget(localTime_);
    controls->addSpacing(16);
    controls->addWidget(minLabel);
    controls->addWidget(minElevation_);
    controls->addSpacing(16);
    controls->addWidget(downLabel);
    controls->addWidget(downlink_);
    controls->addWidget(upLabel);
    controls->addWidget(uplink_);
    controls->addSpacing(16);
    controls->addWidget(note_, 1);
    summary_ = new QLabel;
    summary_->setObjectName(QStringLiteral("PassSummary"));
    summary_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    summary_->setWordWrap(true);
    summary_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    plot_->setMinimumSize(220, 220);
    auto* bottom = new QWidget;
    auto* bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    bottomLayout->addWidget(plot_, 2);
    bottomLayout->addWidget(doppler_, 2);
    // The selected pass in words, and under it the satellite now.
    skyNow_ = new SkyNowPanel;
    skyNow_->setObjectName(QStringLiteral("SkyNow"));
    auto* words = new QVBoxLayout;
    words->addWidget(summary_, 1);
    words->addWidget(skyNow_);
    bottomLayout->addLayout(words, 6);
    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(table_);
    split->addWidget(bottom);
    // Both grow with the window: more passes in the table, a larger sky plot.
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 1);
    split->setChildrenCollapsible(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(controls);
    layout->addWidget(split, 1);

    connect(localTime_, &QCheckBox::toggled, this, [this] { Fill(); });
    connect(minElevation_, &QSpinBox::valueChanged, this, [this](int v) {
        filter_->SetMinimum(v);
        UpdateNote();
        OnSelectionChanged();
    });
    connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &PassDetailsView::OnSelectionChanged);
    connect(skyNow_, &SkyNowPanel::PresentChanged, this, &PassDetailsView::ShowPresent);
    for (QDoubleSpinBox* box : {downlink_, uplink_})
        connect(box, &QDoubleSpinBox::valueChanged, this, [this] {
            OnSelectionChanged();
            skyNow_->SetFrequencies(DownlinkMHz(), UplinkMHz());
            emit FrequenciesChanged(DownlinkMHz(), UplinkMHz());
        });
}

void PassDetailsView::Show(const ForecastResult& result, const PlanningDetails& details, const ForecastRequest& request)
{
    result_ = &result;
    request_ = &request;
    details_ = details;
    Fill();
}

void PassDetailsView::Clear()
{
    result_ = nullptr;
    request_ = nullptr;
    details_.reset();
    Fill();
}

QString PassDetailsView::TimeText(DateTime t, bool seconds, std::optional<DateTime> sameDayAs) const
{
    static const std::int64_t unixZero = DateTime::FromCalendar(1970, 1, 1)->Seconds();
    auto shown = [this](DateTime d) {
        const QDateTime at = QDateTime::fromSecsSinceEpoch(d.Seconds() - unixZero, QTimeZone::utc());
        return localTime_->isChecked() ? at.toLocalTime() : at;
    };
    const QDateTime at = shown(t);
    // The date only where it differs from the rise's, to keep rows short.
    const bool dated = !sameDayAs || shown(*sameDayAs).date() != at.date();
    const QString time = seconds ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm");
    return at.toString(dated ? QStringLiteral("yyyy-MM-dd ") + time : time);
}

double PassDetailsView::DownlinkMHz() const { return downlink_->value(); }
double PassDetailsView::UplinkMHz() const { return uplink_->value(); }

void PassDetailsView::SetFrequencies(double downlinkMHz, double uplinkMHz)
{
    const QSignalBlocker down(downlink_), up(uplink_);
    downlink_->setValue(downlinkMHz);
    uplink_->setValue(uplinkMHz);
    OnSelectionChanged();
    // Called for every satellite chosen: the panel follows at once.
    skyNow_->SetFrequencies(downlinkMHz, uplinkMHz);
}

void PassDetailsView::ShowPresent(bool up, double azimuth, double elevation, qint64 seconds)
{
    const int i = SelectedPass();
    const bool same = up && i >= 0 && details_ && request_ && skyNow_->Follows(request_->Elements);
    std::optional<QPointF> at;
    if (same) {
        const PassDetail& p = details_->Passes[static_cast<std::size_t>(i)];
        if (p.RiseToTheSecond().At.Seconds() <= seconds && seconds <= p.SetToTheSecond().At.Seconds())
            at = QPointF(azimuth, elevation);
    }
    plot_->SetPresent(at);
}

int PassDetailsView::MinimumElevation() const { return minElevation_->value(); }

QString PassDetailsView::FilterNote() const
{
    const int minimum = MinimumElevation();
    if (!details_ || minimum <= 0) return {};
    const auto shown = std::count_if(details_->Passes.begin(), details_->Passes.end(),
                                     [minimum](const PassDetail& p) { return p.Max.Elevation >= minimum; });
    return QStringLiteral("%1 of %2 passes, at least %3\u00B0").arg(shown).arg(details_->Passes.size()).arg(minimum);
}

void PassDetailsView::UpdateNote()
{
    note_->clear();
    if (!details_ || !result_) return;
    const PlanningDetails& d = *details_;
    const QString zone = localTime_->isChecked() ? QStringLiteral("local time") : QStringLiteral("UTC");
    const QString filtered = FilterNote();
    if (d.AlwaysUp)
        note_->setText(QStringLiteral("%1 is above the horizon for the whole run: it never rises or sets. Times in %2.")
                           .arg(Q(result_->SatName), zone));
    else if (d.Passes.empty())
        note_->setText(QStringLiteral("%1 does not rise above the horizon in this run.").arg(Q(result_->SatName)));
    else
        note_->setText(
            QStringLiteral("%1; times in %2, rise, maximum and set found to the second.")
                .arg(filtered.isEmpty() ? QStringLiteral("%1 passes").arg(d.Passes.size()) : filtered, zone));
}

void PassDetailsView::Fill()
{
    const int selected = SelectedPass();
    model_->removeRows(0, model_->rowCount());
    plot_->Clear();
    note_->clear();
    if (!details_) return;
    const PlanningDetails& d = *details_;
    UpdateNote();

    for (std::size_t i = 0; i < d.Passes.size(); ++i) {
        const PassDetail& p = d.Passes[i];
        QList<QStandardItem*> row;
        auto add = [&row](const QString& text, const QVariant& sortKey) {
            auto* item = new QStandardItem(text);
            item->setData(sortKey, SortRole);
            row.append(item);
        };
        const QString up = d.AlwaysUp ? QStringLiteral("always up") : QStringLiteral("up at start");
        // Rise and set are the horizon crossings, to the second.
        const PassPointDetail& rise = p.RiseToTheSecond();
        const PassPointDetail& set = p.SetToTheSecond();
        add(p.RiseKnown ? TimeText(rise.At, true) : up, QVariant::fromValue(rise.At.Seconds()));
        add(p.SetKnown ? TimeText(set.At, true, rise.At)
                       : (d.AlwaysUp ? QStringLiteral("always up") : QStringLiteral("up at end")),
            QVariant::fromValue(set.At.Seconds()));
        const bool whole = p.RiseKnown && p.SetKnown;
        add(whole ? QString::number(p.DurationMinutes) : QStringLiteral("≥ %1").arg(p.DurationMinutes),
            QVariant::fromValue(p.DurationMinutes));
        add(QStringLiteral("%1°").arg(p.Max.Elevation, 0, 'f', 1), p.Max.Elevation);
        add(TimeText(p.Max.At, true, p.RiseKnown ? std::optional(p.Rise.At) : std::nullopt),
            QVariant::fromValue(p.Max.At.Seconds()));
        add(p.RiseKnown ? QStringLiteral("%1°").arg(rise.Azimuth, 0, 'f', 0) : QString(), rise.Azimuth);
        add(p.SetKnown ? QStringLiteral("%1°").arg(set.Azimuth, 0, 'f', 0) : QString(), set.Azimuth);
        add(p.RiseKnown ? LightText(rise) : QString(), rise.Illumination);
        add(LightText(p.Max), p.Max.Illumination);
        add(p.SetKnown ? LightText(set) : QString(), set.Illumination);
        row[Rise]->setData(static_cast<int>(i), PassRole);
        // A pass cut by the run's start or end stands out.
        if (!p.RiseKnown || !p.SetKnown) {
            const QString why = d.AlwaysUp ? QStringLiteral("Above the horizon for the whole run")
                                : !p.RiseKnown
                                    ? QStringLiteral("Already up at the start of the run: its rise is not known")
                                    : QStringLiteral("Still up at the end of the run: its set is not known");
            for (QStandardItem* item : row) {
                item->setBackground(QColor(255, 244, 200));
                item->setToolTip(why);
            }
        }
        model_->appendRow(row);
    }
    table_->resizeColumnsToContents();
    if (selected >= 0) {
        for (int r = 0; r < filter_->rowCount(); ++r)
            if (filter_->index(r, Rise).data(PassRole).toInt() == selected) table_->selectRow(r);
    }
    OnSelectionChanged();
}

int PassDetailsView::SelectedPass() const
{
    const QModelIndexList rows = table_->selectionModel()->selectedRows(Rise);
    return rows.isEmpty() ? -1 : rows.first().data(PassRole).toInt();
}

bool PassDetailsView::SelectPassAt(std::int64_t minute)
{
    if (!details_) return false;
    for (int r = 0; r < filter_->rowCount(); ++r) {
        const int i = filter_->index(r, Rise).data(PassRole).toInt();
        const PassDetail& p = details_->Passes[static_cast<std::size_t>(i)];
        if (minute >= p.FirstMinute && minute < p.EndMinute) {
            table_->selectRow(r);
            table_->scrollTo(filter_->index(r, Rise));
            return true;
        }
    }
    table_->clearSelection();
    return false;
}

void PassDetailsView::ShowDopplerCurve(const PassDetail& p)
{
    const double down = DownlinkMHz() * 1e6;
    if (down <= 0 || !request_) {
        doppler_->Clear();
        return;
    }
    // Every 10 seconds from the rise (or the run's first minute) to the set.
    PointEvaluator evaluate(*request_);
    const double from = static_cast<double>(p.RiseToTheSecond().At.Seconds());
    const double to = static_cast<double>(p.SetToTheSecond().At.Seconds());
    std::vector<std::pair<double, double>> samples;
    for (double t = from; t <= to; t += 10)
        samples.emplace_back(t - from, DopplerShift(down, evaluate.At(t).RangeRate));
    doppler_->SetCurve(std::move(samples), QStringLiteral("Doppler at %1 MHz").arg(DownlinkMHz(), 0, 'f', 4));
}

void PassDetailsView::OnSelectionChanged()
{
    const int i = SelectedPass();
    if (i < 0 || !details_ || !result_) {
        plot_->Clear();
        doppler_->Clear();
        summary_->clear();
        emit PassSelected(-1);
        return;
    }
    const PassDetail& p = details_->Passes[static_cast<std::size_t>(i)];
    const QString when = p.RiseKnown ? TimeText(p.RiseToTheSecond().At, true) : TimeText(p.Max.At, true);
    plot_->SetPass(p, PassTrack(*result_, p), QStringLiteral("%1, %2").arg(Q(result_->SatName), when));
    if (skyNow_->Last())
        ShowPresent(skyNow_->Last()->Up, skyNow_->Last()->Point.Azimuth, skyNow_->Last()->Point.Elevation,
                    skyNow_->Last()->Point.At.Seconds());
    const QString zone = localTime_->isChecked() ? QStringLiteral("local time") : QStringLiteral("UTC");
    const double down = DownlinkMHz() * 1e6, up = UplinkMHz() * 1e6;
    auto point = [this, down, up](const char* what, const PassPointDetail& q, bool known) {
        if (!known)
            return QStringLiteral("<tr><td><b>%1</b></td><td colspan=3>outside the run</td></tr>")
                .arg(QLatin1String(what));
        // The classic model's minutes keep no range; a point with one shows it.
        QString range = q.Range > 0 ? QStringLiteral(", range %1 km, range rate %2 km/s")
                                          .arg(q.Range, 0, 'f', 0)
                                          .arg(q.RangeRate, 0, 'f', 3)
                                    : QString();
        // The downlink's shift as heard here; the uplink's as the satellite hears it.
        if (q.Range > 0 && down > 0)
            range += QStringLiteral(", Doppler %1 Hz").arg(std::lround(DopplerShift(down, q.RangeRate)));
        if (q.Range > 0 && up > 0)
            range += QStringLiteral(", uplink %1 Hz").arg(std::lround(DopplerShift(up, q.RangeRate)));
        return QStringLiteral("<tr><td><b>%1</b></td><td>%2</td><td>azimuth %3°, elevation %4°%5</td><td>%6</td></tr>")
            .arg(QLatin1String(what), TimeText(q.At, true))
            .arg(q.Azimuth, 0, 'f', 1)
            .arg(std::fabs(q.Elevation) < 0.05 ? 0.0 : q.Elevation, 0, 'f', 1) // no "-0.0" at a crossing
            .arg(range)
            .arg(QStringLiteral("%1, illumination %2 %, sun angle %3°")
                     .arg(q.Sunlit ? QStringLiteral("sunlit") : QStringLiteral("in shadow"))
                     .arg(std::lround(100 * q.Illumination))
                     .arg(q.SunAngle, 0, 'f', 1));
    };
    QString text = QStringLiteral("<p><b>%1</b> (%2)</p><table cellspacing=4>").arg(Q(result_->SatName), zone);
    text += point("Rise", p.RiseToTheSecond(), p.RiseKnown) + point("Maximum", p.Max, true)
            + point("Set", p.SetToTheSecond(), p.SetKnown);
    text += QStringLiteral("</table>");
    if (p.RiseKnown && p.SetKnown)
        text += QStringLiteral("<p>%1 minutes above the horizon.</p>").arg(p.DurationMinutes);
    else if (details_->AlwaysUp)
        text += QStringLiteral("<p>Above the horizon for the whole run: it never rises or sets.</p>");
    else if (!p.RiseKnown)
        text += QStringLiteral("<p>Already up at the start of the run; its rise lies before it.</p>");
    else
        text += QStringLiteral("<p>Still up at the end of the run; its set lies after it.</p>");
    summary_->setText(text);
    ShowDopplerCurve(p);
    emit PassSelected(i);
}

} // namespace tavik::shell
