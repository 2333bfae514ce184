// The Station dialog: the station's Maidenhead locator, checked as it is
// typed and shown as latitude and longitude, and the TLE file to load, with a
// file chooser. It only collects them; the window writes the settings file.
#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tavik::shell {

class StationDialog : public QDialog {
    Q_OBJECT
public:
    // chooseFile: the file chooser, given the folder to start in; empty when cancelled.
    StationDialog(const QString& locator, const QString& tleFile, const QString& why,
                  std::function<QString(QWidget*, const QString&)> chooseFile, QWidget* parent = nullptr);

    QString Locator() const;
    QString TleFile() const;

private:
    void Check();

    std::function<QString(QWidget*, const QString&)> chooseFile_;
    QLineEdit* locatorEdit_ = nullptr;
    QLabel* positionLabel_ = nullptr;
    QLineEdit* tleEdit_ = nullptr;
    QPushButton* okButton_ = nullptr;
};

} // namespace tavik::shell
