#include "qt/platform/qtadapters.h"

#include "qt/widgets/ansi.h"

#include <QFileDialog>
#include <QMessageBox>

namespace qm
{
namespace
{

QString displayText(const std::string &text)
{
    QString s = fromAnsi(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

QMessageBox::Icon boxIcon(NoticeIcon icon)
{
    switch (icon) {
    case NoticeIcon::Critical:
        return QMessageBox::Critical;
    case NoticeIcon::Exclamation:
        return QMessageBox::Warning;
    case NoticeIcon::Information:
        return QMessageBox::Information;
    case NoticeIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void MessageBoxNotifier::message(const std::string &title, const std::string &text, NoticeIcon icon)
{
    QMessageBox box(boxIcon(icon), fromAnsi(title), displayText(text), QMessageBox::Ok);
    box.exec();
}

bool MessageBoxNotifier::askYesNo(const std::string &title, const std::string &text)
{
    QMessageBox box(QMessageBox::Question, fromAnsi(title), displayText(text),
                    QMessageBox::Yes | QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> OpenFileDialog::askOpenFile(const std::string &presetName,
                                                       const std::string &filter)
{
    // "Description|pattern" becomes Qt's "Description (pattern)" form.
    QString qtFilter = fromAnsi(filter);
    if (const auto bar = qtFilter.indexOf(QLatin1Char('|')); bar >= 0) {
        const QString description = qtFilter.left(bar);
        const QString pattern = qtFilter.mid(bar + 1);
        qtFilter = description.contains(pattern)
                       ? description
                       : description + QStringLiteral(" (") + pattern + ')';
    }
    const QString start = QString::fromLocal8Bit(folder_.c_str()) + fromAnsi(presetName);
    const QString picked = QFileDialog::getOpenFileName(nullptr, QString(), start, qtFilter);
    if (picked.isEmpty())
        return std::nullopt;
    const QByteArray path = picked.toLocal8Bit();
    return std::string(path.constData(), std::size_t(path.size()));
}

} // namespace qm
