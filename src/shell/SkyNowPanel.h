// Where the chosen satellite stands at this second: its place in the sky,
// its range and range rate, the point under it, its light, the next rise or
// set with a countdown and the Doppler-shifted frequencies. Updated every
// second while it is seen; the next rise or set is searched for once and
// kept until it has passed or the satellite, station or model changed.
#pragma once

#include "forecast/Upcoming.h"

#include <QWidget>

#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QGridLayout;
class QLabel;
class QTimer;

namespace tavik::shell {

class ForecastController;

class SkyNowPanel : public QWidget {
    Q_OBJECT
public:
    // What the panel follows, read at every update; a null pointer: none.
    struct Target {
        const CurrentElementSet* Elements = nullptr;
        const Station* Site = nullptr;
        OrbitModel Model = OrbitModel::Classic;
    };

    explicit SkyNowPanel(QWidget* parent = nullptr);
    ~SkyNowPanel() override;

    // The clock read at each update: seconds since 1970-01-01 UTC (the
    // system clock unless given).
    void SetClock(std::function<std::time_t()> clock) { clock_ = std::move(clock); }
    void SetSource(std::function<Target()> source) { source_ = std::move(source); }
    // Follows the controller's chosen satellite, station and model.
    void Follow(const ForecastController* controller);
    // MHz; 0 for none.
    void SetFrequencies(double downlinkMHz, double uplinkMHz);

    // One update, what the timer does every second; it also starts or
    // stops the timer as the panel is seen and a satellite is chosen.
    void Update();
    bool Running() const;
    // The last update's figures; nothing when it had no satellite.
    const std::optional<SkyNow>& Last() const { return last_; }
    // Whether the panel shows this element set.
    bool Follows(const CurrentElementSet& elements) const
    {
        return evaluate_ && request_.Elements.Line1 == elements.Line1 && request_.Elements.Line2 == elements.Line2;
    }
    // How many times the next rise or set has been searched for.
    int Searches() const { return searches_; }

signals:
    // The satellite's place at the instant (seconds on the DateTime scale),
    // after each update.
    void PresentChanged(bool up, double azimuth, double elevation, qint64 seconds);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QLabel* AddRow(const char* name, const char* objectName, QLabel** nameLabel = nullptr);
    void ShowNothing(const QString& why);

    std::function<std::time_t()> clock_;
    std::function<Target()> source_;
    double downlink_ = 0, uplink_ = 0; // Hz
    QTimer* timer_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel *azimuth_ = nullptr, *elevation_ = nullptr, *range_ = nullptr, *rangeRate_ = nullptr;
    QLabel *under_ = nullptr, *height_ = nullptr, *light_ = nullptr, *nextName_ = nullptr, *nextText_ = nullptr;
    QLabel *downlinkText_ = nullptr, *uplinkText_ = nullptr;
    QGridLayout* grid_ = nullptr;
    int figures_ = 0; // placed in the grid so far

    // The evaluator of the satellite followed, made again when it changes;
    // it holds a reference to request_.
    std::string key_;
    ForecastRequest request_;
    std::unique_ptr<PointEvaluator> evaluate_;
    // The next crossing as last searched, good until validUntil_ (its own
    // instant, or the end of the search's reach when none was found).
    std::optional<PassPointDetail> next_;
    bool nextUp_ = false;
    std::int64_t searchedAt_ = 0, validUntil_ = 0;
    int searches_ = 0;
    std::optional<SkyNow> last_;
};

} // namespace tavik::shell
