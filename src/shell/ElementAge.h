// How old the element set is at the start date, in the status bar so that
// every tab's forecast shows it: amber when passes drift, red when fresh
// elements are needed.
#pragma once

#include "catalogue/Catalogue.h"
#include "platform/DateTime.h"

#include <QLabel>

#include <optional>

namespace tavik::shell {

class ElementAgeLabel : public QLabel {
    Q_OBJECT
public:
    // Nothing without a usable element set or a start date.
    void Show(const CurrentElementSet* elements, std::optional<DateTime> start);
};

} // namespace tavik::shell
