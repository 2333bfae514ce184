// The sky over the station as a polar plot: the horizon as the outer circle,
// the zenith at the centre, north up and east to the right as on a map.
// Draws one pass's track, sunlit and eclipsed parts in their
// own colours, with rise, maximum and set marked.
#pragma once

#include "forecast/PassDetails.h"

#include <QWidget>

#include <optional>
#include <vector>

namespace tavik::shell {

class SkyPlot : public QWidget {
    Q_OBJECT
public:
    explicit SkyPlot(QWidget* parent = nullptr);

    void SetPass(const PassDetail& pass, std::vector<PassPointDetail> track, QString title);
    void Clear(QString why = {});
    bool HasPass() const { return hasPass_; }
    // The satellite's place at this moment, marked on the pass; nothing: no mark.
    void SetPresent(std::optional<QPointF> azimuthElevation);
    const std::optional<QPointF>& Present() const { return present_; }

    // Where the compass letter of an azimuth (0, 90, 180 or 270 degrees) is
    // drawn, and the note shown without a pass: below the plot, clear of the
    // letters.
    QRectF CompassLabelRect(int azimuth) const;
    QRectF NoteRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPointF Place(double azimuth, double elevation) const;

    bool hasPass_ = false;
    PassDetail pass_;
    std::vector<PassPointDetail> track_;
    QString title_;
    std::optional<QPointF> present_; // x azimuth, y elevation
};

} // namespace tavik::shell
