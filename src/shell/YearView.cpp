#include "shell/YearView.h"
#include "shell/QtText.h"

#include "output/ListFiles.h"
#include "output/YearReport.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QToolTip>
#include <QVBoxLayout>
#include <QtCharts/QAreaSeries>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QLegendMarker>
#include <QtCharts/QLineSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tavik::shell {

namespace {

const char* const MonthNames[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

QString IsoDate(DateTime t)
{
    const CalendarFields f = t.Fields();
    char b[16];
    std::snprintf(b, sizeof b, "%04d-%02d-%02d", f.Year, f.Month, f.Day);
    return QString::fromLatin1(b);
}

// Why a year stopped short.
QString StopReason(RunEnd end)
{
    switch (end) {
    case RunEnd::Completed:
    case RunEnd::Cancelled: return QStringLiteral("stopped");
    case RunEnd::BelowMinimumHeight: return QStringLiteral("the satellite sank below 150 km");
    case RunEnd::KeplerFailed: return QStringLiteral("Kepler's equation did not converge");
    default: return QStringLiteral("the SGP4 model cannot follow the orbit further");
    }
}

struct ReportFormat {
    const char* Suffix;
    const char* Filter;
    std::string (*Bytes)(const YearOfLight&);
};

const ReportFormat ReportFormats[] = {
    {"txt", "Text files (*.txt)", YearReportText},
    {"csv", "CSV files (*.csv)", YearReportCsv},
    {"json", "JSON files (*.json)", YearReportJson},
};

// A chart view that names the day under the mouse.
class HoverView : public QChartView {
public:
    HoverView(QChart* chart, const YearView* owner) : QChartView(chart), owner_(owner) { setMouseTracking(true); }

protected:
    void mouseMoveEvent(QMouseEvent* event) override
    {
        QChartView::mouseMoveEvent(event);
        const int day = owner_->DayAt(event->position().toPoint());
        const QString tip = day < 0 ? QString() : owner_->DayTip(day);
        setToolTip(tip);
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(event->globalPosition().toPoint(), tip, this);
    }

private:
    const YearView* owner_;
};

} // namespace

YearView::YearView(ForecastController* controller, ShellServices services,
                   std::function<std::optional<DateTime>()> startDate, QWidget* parent)
    : QWidget(parent), controller_(controller), services_(std::move(services)), startDate_(std::move(startDate))
{
    setObjectName(QStringLiteral("YearView"));
    ChooseFile = [](QWidget* parent, const QString& suggested, QString* filter) {
        QStringList filters;
        for (const ReportFormat& f : ReportFormats) filters << QString::fromLatin1(f.Filter);
        return QFileDialog::getSaveFileName(parent, QStringLiteral("Export year report"), suggested,
                                            filters.join(QStringLiteral(";;")), filter);
    };

    // The precise model by default: its eclipses are timed to the second.
    model_ = new QComboBox;
    model_->setObjectName(QStringLiteral("YearModel"));
    model_->addItem(QStringLiteral("SGP4/SDP4 (conical shadow, to the second)"), static_cast<int>(OrbitModel::Sgp4));
    model_->addItem(QStringLiteral("Classic (Kepler ellipse, cylindrical shadow)"),
                    static_cast<int>(OrbitModel::Classic));
    connect(model_, &QComboBox::currentIndexChanged, this, [this] { Refresh(); });
    compute_ = new QPushButton(QStringLiteral("Compute"));
    compute_->setObjectName(QStringLiteral("YearCompute"));
    connect(compute_, &QPushButton::clicked, this, [this] { Compute(); });
    statusLabel_ = new QLabel;
    statusLabel_->setObjectName(QStringLiteral("YearStatus"));
    statusLabel_->setWordWrap(true);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Model:")));
    top->addWidget(model_);
    top->addWidget(compute_);
    top->addWidget(statusLabel_, 1);

    auto* chart = new QChart;
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->legend()->setAlignment(Qt::AlignBottom);
    beta_ = new QLineSeries;
    beta_->setName(QStringLiteral("beta angle at 00:00 UTC"));
    beta_->setPen(QPen(QColor(0, 96, 160), 2));
    longest_ = new QLineSeries;
    longest_->setName(QStringLiteral("longest eclipse"));
    longest_->setPen(QPen(QColor(176, 32, 32), 1.5));
    chart->addSeries(beta_);
    chart->addSeries(longest_);
    auto* days = new QCategoryAxis;
    days->setObjectName(QStringLiteral("YearDayAxis"));
    days->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    auto* degrees = new QValueAxis;
    degrees->setObjectName(QStringLiteral("BetaAxis"));
    degrees->setTitleText(QStringLiteral("beta angle (degrees)"));
    degrees->setLabelFormat(QStringLiteral("%d"));
    auto* minutes = new QValueAxis;
    minutes->setObjectName(QStringLiteral("EclipseAxis"));
    minutes->setTitleText(QStringLiteral("longest eclipse (minutes)"));
    minutes->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(days, Qt::AlignBottom);
    chart->addAxis(degrees, Qt::AlignLeft);
    chart->addAxis(minutes, Qt::AlignRight);
    for (QLineSeries* s : {beta_, longest_}) s->attachAxis(days);
    beta_->attachAxis(degrees);
    longest_->attachAxis(minutes);
    view_ = new HoverView(chart, this);
    view_->setObjectName(QStringLiteral("YearChart"));
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setMinimumSize(300, 200);

    summary_ = new QLabel;
    summary_->setObjectName(QStringLiteral("YearSummary"));
    summary_->setWordWrap(true);
    seasons_ = new QTableWidget(0, 4);
    seasons_->setObjectName(QStringLiteral("YearSeasons"));
    seasons_->setHorizontalHeaderLabels(
        {QStringLiteral("first"), QStringLiteral("last"), QStringLiteral("days"), QStringLiteral("longest (min)")});
    seasons_->verticalHeader()->hide();
    seasons_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    seasons_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    seasons_->horizontalHeader()->setStretchLastSection(true);
    auto* side = new QVBoxLayout;
    auto* seasonsTitle = new QLabel(QStringLiteral("<b>Eclipse seasons</b>"));
    side->addWidget(seasonsTitle);
    side->addWidget(summary_);
    side->addWidget(seasons_, 1);
    auto* sideBox = new QWidget;
    sideBox->setLayout(side);
    sideBox->setFixedWidth(330);

    auto* body = new QHBoxLayout;
    body->addWidget(view_, 1);
    body->addWidget(sideBox);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(top);
    layout->addLayout(body, 1);

    connect(controller_, &ForecastController::BusyChanged, this, [this](bool busy) {
        compute_->setEnabled(!busy);
        model_->setEnabled(!busy);
    });
    ShowEmpty(QStringLiteral("Nothing computed yet."));
}

OrbitModel YearView::Model() const { return static_cast<OrbitModel>(model_->currentData().toInt()); }

void YearView::SetModel(OrbitModel model) { model_->setCurrentIndex(model == OrbitModel::Sgp4 ? 0 : 1); }

QString YearView::Status() const { return status_; }

void YearView::Tell(MessageKind kind, const QString& title, const QString& text)
{
    if (services_.ShowMessage) services_.ShowMessage(this, kind, title, text);
}

QString YearView::Number(double value, int decimals) const
{
    return QString::number(value == 0 ? 0.0 : value, 'f', decimals)
        .replace(QLatin1Char('.'), Q(services_.Formats.DecimalSeparator));
}

std::optional<YearView::Key> YearView::Wanted() const
{
    const CurrentElementSet* chosen = controller_->Current();
    const std::optional<DateTime> start = startDate_ ? startDate_() : std::nullopt;
    if (!chosen || !start) return std::nullopt;
    const Attitude& axis = controller_->AttitudeInUse();
    return Key{chosen->SatName + "\n" + chosen->Line1 + "\n" + chosen->Line2, start->Seconds(), Model(),
               axis.AttitudeLon, axis.AttitudeLat};
}

void YearView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Refresh();
}

void YearView::Refresh()
{
    // At once, within the call that ended the job before: whoever waits
    // for the window to be idle waits for the year too.
    if (!isVisible() || computing_ || controller_->IsBusy()) return;
    if (!shownKey_ || Wanted() != *shownKey_) Compute();
}

void YearView::Compute()
{
    if (computing_ || controller_->IsBusy()) return;
    const std::optional<DateTime> start = startDate_ ? startDate_() : std::nullopt;
    if (!controller_->Current() || !start) {
        ShowEmpty(!controller_->Current()
                      ? QStringLiteral("There is no satellite to compute. Open a TLE file with File > Open Kep File.")
                      : QStringLiteral("The start date cannot be read: type it above."));
        shownKey_ = Wanted();
        pendingExport_.clear();
        emit Computed();
        return;
    }
    computing_ = true;
    status_ =
        QStringLiteral("Computing the year of %1 from %2…").arg(Q(controller_->Current()->SatName), IsoDate(*start));
    statusLabel_->setText(status_);
    controller_->ComputeYearOfLight(
        *start, Model(), [this](const std::shared_ptr<ForecastController::LightJob>& job) { Finished(*job); });
}

void YearView::Finished(const ForecastController::LightJob& job)
{
    computing_ = false;
    const ForecastRequest& r = job.Request;
    shownKey_ = Key{r.Elements.SatName + "\n" + r.Elements.Line1 + "\n" + r.Elements.Line2, r.Start.Seconds(), r.Model,
                    r.Axis.AttitudeLon, r.Axis.AttitudeLat};
    if (job.Year && !job.Year->Days.empty()) {
        Show(*job.Year);
    } else if (job.Year) {
        ShowEmpty(QStringLiteral("%1 cannot be followed through a single day from %2: %3 at %4.")
                      .arg(Q(r.Elements.SatName), IsoDate(r.Start), StopReason(job.Year->End),
                           Q(IsoUtc(job.Year->StopTime))));
    } else if (!job.Error.isEmpty()) {
        ShowEmpty(QStringLiteral("The year of %1 cannot be computed: %2").arg(Q(r.Elements.SatName), job.Error));
    } else {
        ShowEmpty(QStringLiteral("Stopped."));
        shownKey_.reset();
    }
    const QString pending = std::exchange(pendingExport_, QString());
    if (!pending.isEmpty() && year_) {
        WriteReport(pending); // busy until the file is written
    } else {
        controller_->SetBusy(false);
        if (!pending.isEmpty()) {
            Tell(MessageKind::Error, QStringLiteral("Export year report"),
                 QStringLiteral("%1 has not been written: %2").arg(pending, status_));
            emit Exported();
        }
    }
    emit Computed();
}

void YearView::ShowEmpty(const QString& why)
{
    year_.reset();
    status_ = why;
    statusLabel_->setText(why);
    beta_->clear();
    longest_->clear();
    for (QAbstractSeries* s : view_->chart()->series()) {
        if (!qobject_cast<QAreaSeries*>(s)) continue;
        view_->chart()->removeSeries(s);
        delete s;
    }
    view_->chart()->setTitle(QStringLiteral("Beta angle and eclipses through the year"));
    // Empty axes with their usual scales rather than Qt's 0 to 1.
    const auto axes = view_->chart()->axes();
    for (QAbstractAxis* axis : axes) {
        if (auto* v = qobject_cast<QValueAxis*>(axis)) {
            const bool beta = v->objectName() == QLatin1String("BetaAxis");
            v->setRange(beta ? -90 : 0, beta ? 90 : 60);
            v->setTickCount(7);
        } else if (auto* d = qobject_cast<QCategoryAxis*>(axis)) {
            for (const QString& label : d->categoriesLabels()) d->remove(label);
            d->setRange(-0.5, YearOfLightDays - 0.5);
        }
    }
    seasons_->setRowCount(0);
    summary_->setText(why);
}

void YearView::Show(const YearOfLight& year)
{
    ShowEmpty(QString());
    year_ = year;
    QChart* chart = view_->chart();
    const QString model = year.Model == OrbitModel::Sgp4 ? QStringLiteral("SGP4") : QStringLiteral("classic");
    chart->setTitle(QStringLiteral("%1 from %2, %3 model, attitude %4")
                        .arg(Q(year.SatName), IsoDate(year.Days.front().Date), model, Q(AttitudeName(year.Axis))));

    double low = 0, high = 0, longest = 0;
    QList<QPointF> betas, eclipses;
    for (int i = 0; i < static_cast<int>(year.Days.size()); ++i) {
        const LightDay& d = year.Days[static_cast<std::size_t>(i)];
        betas << QPointF(i, d.Beta);
        eclipses << QPointF(i, d.LongestEclipse.value_or(0));
        low = std::min(low, d.BetaMin);
        high = std::max(high, d.BetaMax);
        longest = std::max(longest, d.LongestEclipse.value_or(0));
    }
    beta_->replace(betas);
    longest_->replace(eclipses);

    // The axes: the beta angle in tens of degrees around what it reaches,
    // the minutes in tens above the longest eclipse.
    auto* degrees = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical, beta_).value(0));
    auto* minutes = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical, longest_).value(0));
    auto* days = qobject_cast<QCategoryAxis*>(chart->axes(Qt::Horizontal, beta_).value(0));
    const double step = high - low > 60 ? 20 : 10;
    const double bottom = low >= 0 ? 0 : std::max(-90.0, std::floor(low / step - 0.1) * step);
    const double top = high <= 0 ? 0 : std::min(90.0, std::ceil(high / step + 0.1) * step);
    const int ticks = static_cast<int>(std::lround((top - bottom) / step)) + 1;
    degrees->setRange(bottom, top);
    degrees->setTickCount(ticks);
    // The same grid lines serve both axes.
    const double perTick = std::max(1.0, std::ceil(longest / (ticks - 1) / 5) * 5);
    minutes->setRange(0, perTick * (ticks - 1));
    minutes->setTickCount(ticks);

    // A label on the first day and on each first of a month not close to it.
    for (const QString& label : days->categoriesLabels()) days->remove(label);
    // Short: the first label has little room before the axis' start.
    const CalendarFields first = year.Days.front().Date.Fields();
    days->append(QStringLiteral("%1 %2").arg(first.Day).arg(QString::fromLatin1(MonthNames[first.Month - 1])), 0);
    for (int i = 10; i < static_cast<int>(year.Days.size()); ++i) {
        const CalendarFields f = year.Days[static_cast<std::size_t>(i)].Date.Fields();
        if (f.Day != 1) continue;
        QString label = QString::fromLatin1(MonthNames[f.Month - 1]);
        if (f.Month == 1) label += QStringLiteral(" %1").arg(f.Year);
        days->append(label, i);
    }
    days->setStartValue(-0.5);
    days->setRange(-0.5, static_cast<double>(year.Days.size()) - 0.5);

    // Each season shaded behind the lines, from the axis' foot to its top.
    for (const EclipseSeason& s : year.Seasons) {
        const double first = static_cast<double>((s.First.Seconds() - year.Days.front().Date.Seconds()) / 86400);
        const double last = static_cast<double>((s.Last.Seconds() - year.Days.front().Date.Seconds()) / 86400);
        auto* upper = new QLineSeries;
        auto* lower = new QLineSeries;
        upper->append({QPointF(first - 0.5, top), QPointF(last + 0.5, top)});
        lower->append({QPointF(first - 0.5, bottom), QPointF(last + 0.5, bottom)});
        auto* area = new QAreaSeries(upper, lower);
        upper->setParent(area);
        lower->setParent(area);
        area->setName(QStringLiteral("eclipse season"));
        area->setColor(QColor(255, 190, 90, 90));
        area->setBorderColor(QColor(255, 190, 90, 0));
        chart->addSeries(area);
        area->attachAxis(days);
        area->attachAxis(degrees);
    }
    // The lines over the shading: the series added last is drawn on top.
    for (QLineSeries* line : {beta_, longest_}) {
        chart->removeSeries(line);
        chart->addSeries(line);
        line->attachAxis(days);
    }
    beta_->attachAxis(degrees);
    longest_->attachAxis(minutes);
    // One legend entry for the seasons.
    const auto areas = chart->series();
    bool named = false;
    for (QAbstractSeries* s : areas) {
        if (!qobject_cast<QAreaSeries*>(s)) continue;
        for (QLegendMarker* m : chart->legend()->markers(s)) m->setVisible(!named);
        named = true;
    }

    seasons_->setRowCount(static_cast<int>(year.Seasons.size()));
    for (int row = 0; row < static_cast<int>(year.Seasons.size()); ++row) {
        const EclipseSeason& s = year.Seasons[static_cast<std::size_t>(row)];
        const auto span = (s.Last.Seconds() - s.First.Seconds()) / 86400 + 1;
        const QString cells[] = {IsoDate(s.First), IsoDate(s.Last), QString::number(span), Number(s.LongestEclipse, 1)};
        for (int c = 0; c < 4; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c >= 2) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            seasons_->setItem(row, c, item);
        }
    }
    const auto most_ = std::max_element(year.Days.begin(), year.Days.end(), [](const LightDay& a, const LightDay& b) {
        return a.LongestEclipse.value_or(0) < b.LongestEclipse.value_or(0);
    });
    QString summary;
    if (year.Seasons.empty()) {
        summary = QStringLiteral("No eclipse in these %1 days: the satellite is in sunlight throughout.")
                      .arg(year.Days.size());
    } else {
        summary = QStringLiteral("%1 season%2. Longest eclipse of the year: %3 min, on %4.")
                      .arg(year.Seasons.size())
                      .arg(year.Seasons.size() == 1 ? QString() : QStringLiteral("s"))
                      .arg(Number(*most_->LongestEclipse, 1), IsoDate(most_->Date));
    }
    summary_->setText(summary);
    status_ = QStringLiteral("%1 days of %2 from %3.")
                  .arg(year.Days.size())
                  .arg(Q(year.SatName), IsoDate(year.Days.front().Date));
    if (year.End != RunEnd::Completed)
        status_ += QStringLiteral(" The run stopped at %1: %2.").arg(Q(IsoUtc(year.StopTime)), StopReason(year.End));
    statusLabel_->setText(status_);
}

QString YearView::DayTip(int index) const
{
    if (!year_ || index < 0 || index >= static_cast<int>(year_->Days.size())) return {};
    const LightDay& d = year_->Days[static_cast<std::size_t>(index)];
    QString tip = QStringLiteral("%1\nbeta %2° (%3° to %4° over the day)\n")
                      .arg(IsoDate(d.Date), Number(d.Beta, 2), Number(d.BetaMin, 2), Number(d.BetaMax, 2));
    if (d.Eclipses == 0)
        tip += QStringLiteral("no eclipse");
    else
        tip += QStringLiteral("%1 eclipse%2, longest %3 min")
                   .arg(d.Eclipses)
                   .arg(d.Eclipses == 1 ? QString() : QStringLiteral("s"))
                   .arg(Number(*d.LongestEclipse, 2));
    tip += QStringLiteral("\nin shadow %1 min, sunlit %2 % of the day")
               .arg(Number(d.ShadowMinutes, 2), Number(d.SunlitFraction * 100, 2));
    return tip;
}

int YearView::DayAt(QPoint at) const
{
    if (!year_) return -1;
    QChart* chart = view_->chart();
    const QPointF inChart = chart->mapFromScene(view_->mapToScene(at));
    if (!chart->plotArea().contains(inChart)) return -1;
    const double x = chart->mapToValue(inChart, beta_).x();
    const long day = std::lround(x);
    return day >= 0 && day < static_cast<long>(year_->Days.size()) ? static_cast<int>(day) : -1;
}

void YearView::ExportReport()
{
    if (controller_->IsBusy() || computing_) return;
    if (!controller_->Current()) {
        Tell(MessageKind::Warning, QStringLiteral("Export year report"),
             QStringLiteral("There is no satellite. Open a TLE file with File > Open Kep File."));
        emit Exported();
        return;
    }
    const QString folder = controller_->SaveFolder().isEmpty() ? QDir::currentPath() : controller_->SaveFolder();
    const QString name = Q(SafeFileStem(controller_->Current()->SatName) + "_year.txt");
    QString filter;
    QString path = ChooseFile(this, QDir(folder).filePath(name), &filter);
    if (path.isEmpty()) {
        emit Exported();
        return;
    }
    // No known extension: the filter's.
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool known = std::any_of(std::begin(ReportFormats), std::end(ReportFormats),
                                   [&](const ReportFormat& f) { return suffix == QLatin1String(f.Suffix); });
    if (!known) {
        const ReportFormat* chosen = &ReportFormats[0];
        for (const ReportFormat& f : ReportFormats)
            if (filter == QLatin1String(f.Filter)) chosen = &f;
        path += QLatin1Char('.') + QString::fromLatin1(chosen->Suffix);
    }
    if (year_ && shownKey_ && Wanted() == *shownKey_) {
        WriteReport(path);
        return;
    }
    pendingExport_ = path;
    Compute();
}

void YearView::WriteReport(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    const ReportFormat* format = &ReportFormats[0];
    for (const ReportFormat& f : ReportFormats)
        if (suffix == QLatin1String(f.Suffix)) format = &f;
    controller_->WriteFile(PathOf(path), format->Bytes(*year_), [this, path](const QString& error) {
        controller_->SetBusy(false);
        if (error.isEmpty()) {
            status_ = QStringLiteral("%1 has been written.").arg(path);
            statusLabel_->setText(status_);
        } else {
            Tell(MessageKind::Error, QStringLiteral("Export year report"),
                 QStringLiteral("%1 has not been written:\n%2").arg(path, error));
        }
        emit Exported();
    });
}

} // namespace tavik::shell
