// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/dialog_filters.h"

#include <QRegularExpression>
#include <QStringList>

namespace korvalin {

QString ToQtFilter(const std::string& windowsFilter) {
    const QStringList parts = QString::fromStdString(windowsFilter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString name = parts[i].trimmed();
        QString patterns = parts[i + 1].trimmed();
        if (name.isEmpty() && patterns.isEmpty()) break;  // the closing "||"
        patterns.replace(';', ' ');
        // Qt reads the patterns from the parentheses; add them when the name lacks them.
        filters << (name.contains('(') ? name : QString("%1 (%2)").arg(name, patterns));
    }
    return filters.join(";;");
}

std::string FilterExtension(const QString& qtFilter) {
    static const QRegularExpression single(R"(\(\s*\*\.([A-Za-z0-9_]+)\s*\))");
    const QRegularExpressionMatch match = single.match(qtFilter);
    return match.hasMatch() ? match.captured(1).toStdString() : std::string();
}

std::string WithDefaultExtension(const std::string& path, const std::string& extension) {
    const std::string ext = !extension.empty() && extension[0] == '.' ? extension.substr(1) : extension;
    if (ext.empty()) return path;
    const size_t slash = path.find_last_of('/');
    const std::string finalComponent = slash == std::string::npos ? path : path.substr(slash + 1);
    if (finalComponent.empty() || finalComponent.find('.') != std::string::npos) return path;
    return path + "." + ext;
}

}  // namespace korvalin
