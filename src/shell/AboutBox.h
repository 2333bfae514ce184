// The "Info" window: title, version and build date, the maker's details and a
// small picture. Not modal; it closes only through its own close box.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

namespace tavik::shell {

inline constexpr const char* AboutVersion = "1.9b";
inline constexpr const char* AboutBuildDate = "09 Dec 2019";

// "Version 1.9b    (09 Dec 2019)": four blanks before the parenthesis.
QString VersionText();

// The 159 x 150 picture: a satellite with its panels in sunlight above the
// Earth's limb.
QImage AboutPicture();

class AboutBox : public QWidget {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);

    // Centres the window on the given one (its frame), or leaves it where it is.
    void CentreOn(const QWidget* other);
};

} // namespace tavik::shell
