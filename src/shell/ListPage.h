// A tab holding one of the forecast's lists: what it belongs to above it,
// the lines in the height there is, and beneath them the line that says
// where the list was saved beside the Save button, which stays in view.
#pragma once

#include "catalogue/Catalogue.h"

#include <QListWidget>
#include <QString>
#include <QWidget>

#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QVBoxLayout;

namespace tavik::shell {

// A list in a fixed-pitch font that shrinks, where the list is narrow, until
// its longest possible line fits: no line is cut or scrolled sideways.
class FittedList : public QListWidget {
public:
    explicit FittedList(QString longest);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Fit();
    QString longest_;
};

class ListPage : public QWidget {
    Q_OBJECT
public:
    // The widgets are named listName, buttonName and statusName.
    ListPage(const QString& longestLine, const char* listName, const char* buttonName, const char* statusName);

    // Puts a widget above the list.
    void AddHeader(QWidget* header);
    // The list's lines; none shows the note instead, which is no line of
    // the list (a save writes the forecast, not the widget).
    void ShowLines(const std::vector<std::string>& lines, const QString& emptyNote);
    QListWidget* List() const { return list_; }
    QPushButton* SaveButton() const { return save_; }
    QLabel* Status() const { return status_; }

signals:
    void SaveClicked();

private:
    QVBoxLayout* layout_ = nullptr;
    FittedList* list_ = nullptr;
    QPushButton* save_ = nullptr;
    QLabel* status_ = nullptr;
};

// The Passes tab: the element lines of the satellite chosen and any doubt
// about them, the station's locator, above the pass lines.
class PassesPage : public ListPage {
    Q_OBJECT
public:
    explicit PassesPage(const QString& longestLine);
    void ShowElementSet(const CurrentElementSet& elements);
    void ShowLocator(const QString& locator);

private:
    QLabel* lines_[2] = {nullptr, nullptr};
    QLabel* locator_ = nullptr;
    QLabel* warning_ = nullptr;
};

} // namespace tavik::shell
