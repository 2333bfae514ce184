// The "Pass details" tab: one row per pass with its rise, set, duration,
// refined maximum and the light at rise, maximum and set; times in UTC or
// local time, sortable by any column, filtered by a minimum elevation; the
// selected pass drawn on a sky plot beside the table.
#pragma once

#include "forecast/PassDetails.h"

#include <QWidget>

#include <optional>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;
class QStandardItemModel;
class QTableView;

namespace tavik::shell {

class DopplerPlot;
class ElevationFilter;
class SkyNowPanel;
class SkyPlot;

class PassDetailsView : public QWidget {
    Q_OBJECT
public:
    explicit PassDetailsView(QWidget* parent = nullptr);

    // The run's passes; the result must outlive the view's use of it (the
    // window keeps it until the next run).
    void Show(const ForecastResult& result, const PlanningDetails& details, const ForecastRequest& request);
    void Clear();

    // Selects the pass whose minutes (counted from the run's start) hold
    // minute; false, selecting nothing, when none does or the filter hides it.
    bool SelectPassAt(std::int64_t minute);
    // The index in the details of the selected pass, or -1.
    int SelectedPass() const;

    // The minimum elevation the table shows passes from, degrees (0: all).
    int MinimumElevation() const;
    // "237 of 462 passes, at least 20°"; empty when the filter hides nothing.
    QString FilterNote() const;

    // The downlink and uplink frequencies, MHz; 0 for none. Their Doppler
    // shifts show at rise, maximum and set, and the downlink's as a curve.
    double DownlinkMHz() const;
    double UplinkMHz() const;
    void SetFrequencies(double downlinkMHz, double uplinkMHz);

    QTableView* Table() const { return table_; }
    DopplerPlot* Doppler() const { return doppler_; }
    SkyPlot* Plot() const { return plot_; }
    SkyNowPanel* SkyNow() const { return skyNow_; }

signals:
    // A pass was selected (its index in the details) or the selection was
    // cleared (-1).
    void PassSelected(int index);
    // The user changed a frequency.
    void FrequenciesChanged(double downlinkMHz, double uplinkMHz);

private:
    void Fill();
    void UpdateNote();
    QString TimeText(DateTime t, bool seconds, std::optional<DateTime> sameDayAs = {}) const;
    void OnSelectionChanged();
    void ShowDopplerCurve(const PassDetail& pass);
    // The satellite's place now, marked on the plot while the selected pass
    // of that satellite is in progress.
    void ShowPresent(bool up, double azimuth, double elevation, qint64 seconds);

    const ForecastResult* result_ = nullptr;
    const ForecastRequest* request_ = nullptr;
    std::optional<PlanningDetails> details_;
    QCheckBox* localTime_ = nullptr;
    QSpinBox* minElevation_ = nullptr;
    QLabel* note_ = nullptr;
    QLabel* summary_ = nullptr; // the selected pass in full
    QStandardItemModel* model_ = nullptr;
    ElevationFilter* filter_ = nullptr;
    QTableView* table_ = nullptr;
    SkyPlot* plot_ = nullptr;
    DopplerPlot* doppler_ = nullptr;
    SkyNowPanel* skyNow_ = nullptr;
    QDoubleSpinBox* downlink_ = nullptr;
    QDoubleSpinBox* uplink_ = nullptr;
};

} // namespace tavik::shell
