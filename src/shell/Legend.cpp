#include "shell/Legend.h"
#include "shell/AttitudeMenu.h"

#include "forecast/StripChart.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

namespace tavik::shell {

namespace {

// A sample of the strip as the chart draws it: ticks of the given colours
// side by side, optionally under the band of a pass.
QPixmap Swatch(const std::vector<Rgb>& ticks, bool passBand = false)
{
    QPixmap pixmap(60, 10);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    const int w = 60 / static_cast<int>(ticks.size());
    for (std::size_t i = 0; i < ticks.size(); ++i)
        p.fillRect(static_cast<int>(i) * w, 0, w, 10, QColor(ticks[i].R, ticks[i].G, ticks[i].B));
    if (passBand) {
        // Elevations 5 to 87.6 degrees across the swatch, on the strip's own
        // scale (forecast/StripChart.cpp says where its factors come from).
        for (int x = 0; x < 60; ++x) {
            const Rgb g = PassTickColour(5 + x * 1.4);
            p.fillRect(x, 0, 1, 3, QColor(g.R, g.G, g.B));
        }
    }
    return pixmap;
}

} // namespace

Legend::Legend(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Legend"));
    setWindowTitle(QStringLiteral("Legend"));
    auto* grid = new QGridLayout;
    int row = 0;
    auto add = [&](const QPixmap& swatch, const QString& text) {
        auto* picture = new QLabel;
        picture->setPixmap(swatch);
        picture->setAlignment(Qt::AlignTop);
        auto* words = new QLabel(text);
        words->setWordWrap(true);
        grid->addWidget(picture, row, 0);
        grid->addWidget(words, row++, 1);
    };
    std::vector<Rgb> shades;
    for (int i = 0; i <= 5; ++i) shades.push_back(SunlightTickColour(false, i / 5.0));
    add(Swatch(shades), QStringLiteral("Sunlight. The brighter the yellow, the more of the panels the sun illuminates "
                                       "(\"illum\", from 0 % on the left to 100 % on the right)."));
    add(Swatch({SunlightTickColour(true, 0)}),
        QStringLiteral("Shadow: the satellite is in the Earth's shadow (an eclipse)."));
    add(Swatch(shades, true), QStringLiteral("Green band on top: the satellite is above your horizon (a pass); "
                                             "the higher it stands, the lighter the green."));
    add(Swatch({{255, 255, 255}}), QStringLiteral("White: not computed (before a run, or after a run that stopped)."));
    add(Swatch({{128, 128, 128}, {255, 255, 255}, {255, 255, 255}, {255, 255, 255}}),
        QStringLiteral("Grey lines: the hours, UTC."));
    QPixmap frame(60, 10);
    frame.fill(Qt::white);
    {
        QPainter p(&frame);
        p.setPen(QPen(QColor(230, 0, 230), 2));
        p.drawRect(QRect(20, 1, 20, 8));
    }
    add(frame, QStringLiteral("Magenta frame: the pass chosen on the Pass details tab; a click on a pass in the "
                              "chart chooses it there."));

    terms_ = new QLabel;
    terms_->setObjectName(QStringLiteral("LegendTerms"));
    terms_->setWordWrap(true);
    ShowAttitude({});
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addWidget(terms_);
    layout->addWidget(buttons);
    setMinimumWidth(460);
}

void Legend::ShowAttitude(const Attitude& attitude)
{
    terms_->setText(
        QStringLiteral("One row per day, one tick per minute from 00:00 to 24:00 UTC.\n\n"
                       "\"sun angle\": the angle between the direction of the sun and the satellite's attitude axis, "
                       "-90° to 90°.\n"
                       "\"illum\": how much of the satellite's sunlit side faces the sun, from the sun angle, 0 to "
                       "100 %.\n\n"
                       "The attitude is chosen per satellite in the Forecast menu. ")
        + AttitudeDescription(attitude));
}

} // namespace tavik::shell
