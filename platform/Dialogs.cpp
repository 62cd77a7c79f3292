#include "platform/Dialogs.h"

#include <exception>

namespace tavi {

QString errorReportText(const QString &message)
{
    if (!message.isEmpty() && message.back() > QChar(u'.'))
        return message + u'.';
    return message;
}

void runReportingErrors(Dialogs &dialogs, QWidget *owner, const std::function<void()> &command)
{
    try {
        command();
    } catch (const std::exception &error) {
        dialogs.showError(owner, QString::fromUtf8(error.what()));
    }
}

QString dialogNameFilter(const QString &filter)
{
    const QString description = filter.section(u'|', 0, 0);
    QString patterns = filter.section(u'|', 1, 1);
    patterns.replace(u';', u' ');
    patterns = patterns.simplified();
    if (patterns.isEmpty())
        patterns = description;
    QString anyCase;
    for (const QChar c : patterns) {
        const QChar lower = c.toLower(), upper = c.toUpper();
        if (lower == upper)
            anyCase += c;
        else
            anyCase += u'[' + lower + upper + u']';
    }
    return QStringLiteral("%1 (%2)").arg(description, anyCase);
}

} // namespace tavi
