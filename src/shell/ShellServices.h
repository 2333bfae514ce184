// What the window takes from its surroundings: the clock, the program folder,
// the regional formats, the file chooser and the way messages reach the user.
// The program passes the real ones; tests pass their own, so that no modal
// dialog waits for a click and the clock can be set.
#pragma once

#include "catalogue/CatalogueUpdate.h"
#include "platform/RegionalFormats.h"
#include "shell/ExportDialog.h"

#include <QString>

#include <ctime>
#include <functional>

class QWidget;

namespace tavik::shell {

enum class MessageKind { Information, Warning, Error };

// What "Update element sets…" was asked to do: the address, and whether the
// file's own entries are updated (Merge), new ones added too (AddNew) or
// the file replaced by the download (Replace).
struct UpdateRequest {
    UpdateRequest(QString url = {}, UpdateMode mode = UpdateMode::Merge) : Url(std::move(url)), Mode(mode) {}
    QString Url;
    UpdateMode Mode;
};

struct ShellServices {
    // The system clock; the start date is the UTC date of this instant.
    std::function<std::time_t()> Now;
    // Where tavik.ini is looked for first and where the year file goes.
    QString ProgramFolder;
    RegionalFormats Formats;
    // Where files go when their own folder cannot be written.
    QString DocumentsFolder;
    // The "Open Kep File" chooser; an empty result means cancelled.
    std::function<QString(QWidget* parent, const QString& startFolder)> ChooseTleFile;
    // The folder chooser of "Save As…"; empty means cancelled.
    std::function<QString(QWidget* parent, const QString& startFolder)> ChooseFolder;
    std::function<void(QWidget* parent, MessageKind kind, const QString& title, const QString& text)> ShowMessage;
    // The address "Update element sets…" fetches the TLE file from, offered
    // as previous, and the way of updating; an empty address means cancelled.
    std::function<UpdateRequest(QWidget* parent, const QString& tleFile, const QString& previous)> AskUpdateUrl;
    // File > Export…: the list, the format and the file; nothing means cancelled.
    // filterNote says what the Pass details filter leaves (empty: all).
    std::function<std::optional<ExportChoice>(QWidget* parent, const QString& satName, const QString& folder,
                                              const QString& filterNote)>
        ChooseExport;
    // A question with Yes and No, such as before an update removes entries;
    // none set counts as No.
    std::function<bool(QWidget* parent, const QString& title, const QString& text)> Confirm;

    // The system clock, the executable's folder, the user's documents
    // folder, the process locale, file dialogs and message boxes.
    static ShellServices System();
};

// The filters of the "Open Kep File" dialog, the first one selected: the
// files are met both as .txt and as .tle.
inline const char* const TleFileFilters[] = {"TLE Files (*.txt *.tle)", "All files (*)"};

} // namespace tavik::shell
