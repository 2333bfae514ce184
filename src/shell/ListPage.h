// A tab holding one of the forecast's lists: what it belongs to above it,
// the lines in the height there is, and beneath them the line that says
// where the list was saved beside the Save button, which stays in view.
#pragma once

#include <QListWidget>
#include <QString>
#include <QWidget>

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

} // namespace tavik::shell
