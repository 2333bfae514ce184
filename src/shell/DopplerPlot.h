// The Doppler curve of a pass: the shift of the downlink as the station
// hears it, from rise to set.
#pragma once

#include <QString>
#include <QWidget>

#include <utility>
#include <vector>

namespace tavik::shell {

class DopplerPlot : public QWidget {
public:
    DopplerPlot();

    // Seconds from the first sample and the shift there, Hz; the title
    // names the frequency. No samples clear the plot.
    void SetCurve(std::vector<std::pair<double, double>> samples, QString title);
    void Clear() { SetCurve({}, {}); }
    const std::vector<std::pair<double, double>>& Samples() const { return samples_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<std::pair<double, double>> samples_;
    QString title_;
};

} // namespace tavik::shell
