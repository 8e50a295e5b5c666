// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the model's byte strings become screen text and back. Disc names and
// the volume label are single-byte Windows-1252 text (read as Latin-1); source
// paths are file-system names; messages are the program's UTF-8 texts.

#include <QFile>
#include <QString>
#include <string>
#include <string_view>

namespace korvalin {

inline QString DiscText(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// Characters outside Latin-1 become '?', one byte per character.
inline std::string DiscBytes(const QString& text) { return text.toLatin1().toStdString(); }

inline QString PathText(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

inline std::string PathBytes(const QString& path) { return QFile::encodeName(path).toStdString(); }

inline QString MessageText(const std::string& text) { return QString::fromStdString(text); }

}  // namespace korvalin
