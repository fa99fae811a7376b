#include "FileFilter.h"

#include <QRegularExpression>
#include <QStringList>

QString ConvertResourceFilter(const QString& filter) {
    static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    // Parts alternate description, pattern; an empty description ends the list.
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        if (description.isEmpty()) {
            break;
        }
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            pattern = pattern.trimmed();
        }
        patterns.removeAll(QString());
        if (patterns.isEmpty()) {
            patterns << QStringLiteral("*");
        }
        description.remove(trailingPatterns);
        filters << QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' ')));
    }
    return filters.join(QStringLiteral(";;"));
}
