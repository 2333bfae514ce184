// The Year tab: for the satellite chosen, the year of light from the start
// date. A chart of the beta angle through the 365 days with the eclipse
// seasons shaded and the longest eclipse of each day on a second axis, the
// seasons beside it, and File > Export year report…. Computed on the worker
// when the tab is shown and what it depends on has changed, or on demand.
#pragma once

#include "forecast/YearOfLight.h"
#include "shell/ForecastController.h"
#include "shell/ShellServices.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

class QChartView;
class QComboBox;
class QLabel;
class QLineSeries;
class QPushButton;
class QTableWidget;

namespace tavik::shell {

class YearView : public QWidget {
    Q_OBJECT
public:
    // startDate: the start date as typed, nothing when it does not read as one.
    YearView(ForecastController* controller, ShellServices services, std::function<std::optional<DateTime>()> startDate,
             QWidget* parent = nullptr);

    // The model of this view; the precise one unless chosen otherwise.
    OrbitModel Model() const;
    void SetModel(OrbitModel model);
    // The year on screen; nothing before the first or after a failed computation.
    const YearOfLight* Year() const { return year_ ? &*year_ : nullptr; }
    // Computes the year for the satellite chosen now, if nothing else runs.
    void Compute();
    // What the year depends on (satellite, start date, attitude, model) may
    // have changed: computed again at once when the tab is shown and nothing
    // else runs, else when it is next shown.
    void Refresh();
    // What the hover says of day index (from 0).
    QString DayTip(int index) const;
    // The day under a point of the chart view, or -1.
    int DayAt(QPoint at) const;
    QChartView* Chart() const { return view_; }
    const QLineSeries* BetaSeries() const { return beta_; }
    const QLineSeries* LongestSeries() const { return longest_; }
    QTableWidget* Seasons() const { return seasons_; }
    // Why nothing (or what) is shown.
    QString Status() const;
    // Asks for a file and writes the report there as text, CSV or JSON (by
    // the extension, else the filter chosen); the year is computed first if
    // none is on screen for the satellite chosen.
    void ExportReport();
    // The file chooser of the export: the suggested path in, the path (empty:
    // cancelled) out, and the filter chosen. Tests replace it.
    std::function<QString(QWidget* parent, const QString& suggested, QString* filter)> ChooseFile;

signals:
    // A computation has ended, with a year or with the reason there is none.
    void Computed();
    // The export has ended, written or not.
    void Exported();

protected:
    void showEvent(QShowEvent* event) override;

private:
    struct Key {
        std::string Lines;
        std::int64_t Start = 0;
        OrbitModel Model = OrbitModel::Sgp4;
        double Lon = 0, Lat = 0;
        bool operator==(const Key&) const = default;
    };
    std::optional<Key> Wanted() const;
    void Finished(const ForecastController::LightJob& job);
    void Show(const YearOfLight& year);
    void ShowEmpty(const QString& why);
    void WriteReport(const QString& path);
    QString Number(double value, int decimals) const;
    void Tell(MessageKind kind, const QString& title, const QString& text);

    ForecastController* controller_;
    ShellServices services_;
    std::function<std::optional<DateTime>()> startDate_;
    std::optional<YearOfLight> year_;
    std::optional<Key> shownKey_;
    bool computing_ = false;
    QString pendingExport_; // a file to write once the year is computed
    QString status_;

    QComboBox* model_ = nullptr;
    QPushButton* compute_ = nullptr;
    QLabel* statusLabel_ = nullptr;
    QChartView* view_ = nullptr;
    QLineSeries* beta_ = nullptr;
    QLineSeries* longest_ = nullptr;
    QTableWidget* seasons_ = nullptr;
    QLabel* summary_ = nullptr;
};

} // namespace tavik::shell
