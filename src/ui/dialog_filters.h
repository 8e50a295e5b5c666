// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File dialog filters come in the Windows form "Name (*.a)|*.a|Other|*.b;*.c||";
// Qt wants "Name (*.a);;Other (*.b *.c)".

#include <QString>
#include <string>

namespace korvalin {

QString ToQtFilter(const std::string& windowsFilter);

// The one extension a Qt filter names ("bin" for "BIN Files (*.bin)"); empty
// when it names none, several, or a wildcard extension.
std::string FilterExtension(const QString& qtFilter);

// `path` with "." and `extension` appended when its final component has no
// extension; a leading "." of `extension` is ignored.
std::string WithDefaultExtension(const std::string& path, const std::string& extension);

}  // namespace korvalin
