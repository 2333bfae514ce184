#include "shell/AboutBox.h"

#include "shell/Controls.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>
#include <QShortcut>
#include <QVBoxLayout>

#include <initializer_list>
#include <tuple>

namespace tavik::shell {

namespace {

const QColor Grey(224, 224, 224);

QLabel* AddLabel(const char* name, const QString& text)
{
    auto* label = new QLabel(text);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Only look like links: no pointer change, no click.
    label->setTextInteractionFlags(Qt::NoTextInteraction);
    return label;
}

void SetTextColour(QLabel* label, const QColor& colour)
{
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}

} // namespace

QString VersionText()
{
    return QStringLiteral("Version ") + QString::fromLatin1(AboutVersion) + QStringLiteral("    (")
           + QString::fromLatin1(AboutBuildDate) + QStringLiteral(")");
}

QImage AboutPicture()
{
    QImage image(159, 150, QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // Night sky.
    QLinearGradient sky(0, 0, 0, 150);
    sky.setColorAt(0, QColor(8, 16, 48));
    sky.setColorAt(1, QColor(24, 40, 96));
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(230, 230, 255));
    const QPoint stars[] = {{12, 20}, {40, 8}, {70, 30}, {100, 14}, {25, 60}, {60, 70}, {140, 60}, {85, 52}, {10, 95}};
    for (QPoint s : stars) p.drawEllipse(s, 1, 1);

    // The sun, top right.
    QRadialGradient glow(QPointF(138, 22), 26);
    glow.setColorAt(0, QColor(255, 255, 200));
    glow.setColorAt(0.45, QColor(255, 230, 60));
    glow.setColorAt(1, QColor(255, 200, 0, 0));
    p.setBrush(glow);
    p.drawEllipse(QPointF(138, 22), 26, 26);

    // The Earth's limb, with the shadow side darker.
    QRadialGradient earth(QPointF(110, 230), 140);
    earth.setColorAt(0.75, QColor(30, 90, 170));
    earth.setColorAt(1, QColor(90, 160, 230));
    p.setBrush(earth);
    p.drawEllipse(QPointF(60, 250), 150, 140);

    // The satellite: body, two panels, an antenna.
    p.save();
    p.translate(70, 62);
    p.rotate(-20);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(QColor(40, 70, 160));
    for (int side : {-1, 1}) {
        QRectF panel(side < 0 ? -52 : 14, -8, 38, 16);
        p.drawRect(panel);
        p.setPen(QPen(QColor(150, 180, 230), 1));
        for (int i = 1; i < 4; ++i)
            p.drawLine(QPointF(panel.left() + i * 9.5, panel.top()), QPointF(panel.left() + i * 9.5, panel.bottom()));
        p.setPen(QPen(QColor(40, 40, 40), 1));
    }
    p.drawLine(QPointF(-14, 0), QPointF(-10, 0));
    p.drawLine(QPointF(10, 0), QPointF(14, 0));
    QLinearGradient body(-10, 0, 10, 0);
    body.setColorAt(0, QColor(120, 110, 60));
    body.setColorAt(1, QColor(250, 220, 90));
    p.setBrush(body);
    p.drawRect(QRectF(-10, -12, 20, 24));
    p.drawLine(QPointF(0, 12), QPointF(0, 24));
    p.setBrush(QColor(220, 220, 220));
    p.drawEllipse(QPointF(0, 26), 5, 3);
    p.restore();

    // A dashed orbit.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(200, 200, 200, 160), 1, Qt::DashLine));
    p.drawArc(QRectF(-40, 40, 240, 120), 40 * 16, 110 * 16);
    return image;
}

AboutBox::AboutBox(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Info"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    // Escape closes it, as it closes every other box of the window.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Grey);
    setPalette(pal);
    setFont(SansFont(8.25));

    // The texts at the left, the picture at the right, under the title.
    QLabel* title = AddLabel("AboutTitleLabel", QStringLiteral("60 days long-term forcast for illumination"));
    title->setFont(SansFont(12, true));
    QLabel* edition = AddLabel("AboutEditionLabel", QStringLiteral("US Version"));
    SetTextColour(edition, QColor(128, 128, 128));
    QLabel* author = AddLabel("AboutAuthorLabel", QStringLiteral("Written by the tavik developers"));
    QLabel* call = AddLabel("AboutCallLabel", QStringLiteral("QQ0XX"));
    call->setFont(SansFont(8.25, true));
    SetTextColour(call, Qt::black);

    auto* frame = new QGroupBox;
    frame->setObjectName(QStringLiteral("Frame1"));
    auto* framed = new QVBoxLayout(frame);
    framed->addWidget(AddLabel("AboutVersionLabel", VersionText()));

    auto* contact = new QGridLayout;
    contact->setHorizontalSpacing(8);
    contact->addWidget(AddLabel("AboutHomepageCaption", QStringLiteral("Homepage:")), 0, 0);
    contact->addWidget(AddLabel("AboutEmailCaption", QStringLiteral("e-mail:")), 1, 0);
    QFont link = SansFont(8.25);
    link.setUnderline(true);
    for (auto [name, text, row] : {std::tuple{"AboutHomepageLabel", "tavik.example.org", 0},
                                   std::tuple{"AboutEmailLabel", "tavik@example.org", 1}}) {
        QLabel* l = AddLabel(name, QString::fromLatin1(text));
        l->setFont(link);
        SetTextColour(l, QColor(0, 0, 255));
        contact->addWidget(l, row, 1);
    }
    contact->setColumnStretch(1, 1);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(8);
    for (QWidget* w : std::initializer_list<QWidget*>{edition, author, call, frame}) texts->addWidget(w);
    texts->addStretch(1);
    texts->addLayout(contact);

    auto* image = new QLabel;
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(QPixmap::fromImage(AboutPicture()));
    image->setAlignment(Qt::AlignRight | Qt::AlignTop);

    auto* body = new QHBoxLayout;
    body->setSpacing(16);
    body->addLayout(texts, 1);
    body->addWidget(image);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(title);
    layout->addLayout(body);
    // The box has the size its contents need, and no other.
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void AboutBox::CentreOn(const QWidget* other)
{
    if (!other) return;
    const QRect frame = other->frameGeometry();
    QRect mine = frameGeometry();
    mine.moveCenter(frame.center());
    move(mine.topLeft());
}

} // namespace tavik::shell
