// The satellite box: the names of the open file, in the designed large font.
// Typing searches the names anywhere in them; Enter takes the best match.
#pragma once

#include <QComboBox>
#include <QString>

#include <string>
#include <vector>

namespace tavik::shell {

class SatelliteBox : public QComboBox {
    Q_OBJECT
public:
    SatelliteBox();

    // The names of the file's entries, the first one shown.
    void SetNames(const std::vector<std::string>& names);
    // The satellite in use, which the box shows again when a name typed is
    // not chosen.
    void SetInUse(const QString& name) { inUse_ = name; }
    // The entry a text typed means: a name typed whole (in any case), else
    // the first name holding it, as the drop-down lists them; -1 for none.
    int BestMatch(const QString& typed) const;

signals:
    // The user chose an entry (from 0), by the list, the completion or Enter.
    void Chosen(int index);

private:
    void Choose(int index);
    void FitName(const QString& name);

    QString inUse_;
};

} // namespace tavik::shell
