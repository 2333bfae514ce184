// The "Upcoming" tab: the passes of every satellite of the open file over
// the coming hours, from now or from the start date, sorted by rise and
// filtered by their maximum elevation. Computed on the worker; while "from
// now", passes that have ended drop off as time goes on.
#pragma once

#include "forecast/Upcoming.h"

#include <QWidget>

#include <ctime>
#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QStandardItemModel;
class QTableView;
class QTimer;

namespace tavik::shell {

class ForecastController;
class ElevationFilter;

class UpcomingView : public QWidget {
    Q_OBJECT
public:
    UpcomingView(ForecastController* controller, std::function<std::time_t()> clock, QWidget* parent = nullptr);

    // 00:00 UTC of the date in the start-date row, when it reads as one.
    void SetStartDate(std::function<std::optional<DateTime>()> startDate) { startDate_ = std::move(startDate); }

    // Computes the list with the choices made; while another job runs, once
    // it has ended.
    void Compute();
    // Takes out the passes that have set by the clock's time (while "from now").
    void DropEnded();
    // The passes listed, whatever the filter hides.
    const std::optional<UpcomingList>& List() const { return list_; }
    QTableView* Table() const { return table_; }

signals:
    // A row was chosen: the satellite's entry (from 1) and the pass.
    void PassChosen(int entry, const tavik::UpcomingPass& pass);
    // A computation has ended (also when it was refused or failed).
    void Computed();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Start();
    void Fill();
    void UpdateStatus();
    void OnActivated(const QModelIndex& index);

    ForecastController* controller_;
    std::function<std::time_t()> clock_;
    std::function<std::optional<DateTime>()> startDate_;
    QComboBox* from_ = nullptr;
    QSpinBox* hours_ = nullptr;
    QSpinBox* minElevation_ = nullptr;
    QPushButton* compute_ = nullptr;
    QLabel* status_ = nullptr;
    QStandardItemModel* model_ = nullptr;
    ElevationFilter* filter_ = nullptr;
    QTableView* table_ = nullptr;
    QTimer* timer_ = nullptr;
    std::optional<UpcomingList> list_;
    QString computedFor_;  // "24 hours from 2026-12-07 15:00 UTC"
    bool pending_ = false; // asked for while another job ran
    bool running_ = false;
    bool fromNow_ = true; // of the list shown
};

} // namespace tavik::shell
