// Text between the engine (UTF-8 std::string, paths in the file system's
// encoding) and Qt (QString).
#pragma once

#include <QFile>
#include <QString>

#include <string>

namespace tavik::shell {

inline QString Q(const std::string& s) { return QString::fromStdString(s); }
inline std::string S(const QString& s) { return s.toStdString(); }
// Paths go to the engine in the file system's encoding, and come back so.
inline std::string PathOf(const QString& s) { return QFile::encodeName(s).toStdString(); }
inline QString FromPath(const std::string& s) { return QFile::decodeName(QByteArray::fromStdString(s)); }

} // namespace tavik::shell
