#include "qt/platform/qtclock.h"

#include <QApplication>
#include <QDateTime>
#include <QLocale>
#include <QThread>

namespace qm
{

TimePoint QtClock::now() const
{
    return std::chrono::time_point_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now());
}

std::string QtClock::dateTimeText() const
{
    const QLocale locale = QLocale::system();
    const QDateTime dt = QDateTime::currentDateTime();
    // The short time form of most locales lacks seconds; the entry needs them.
    QString timeFormat = locale.timeFormat(QLocale::ShortFormat);
    if (!timeFormat.contains(QLatin1Char('s')))
        timeFormat.replace(QLatin1String("mm"), QLatin1String("mm:ss"));
    const QString text = locale.toString(dt.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
                         locale.toString(dt.time(), timeFormat);
    return text.toLocal8Bit().toStdString();
}

void QtClock::pause(std::chrono::milliseconds duration)
{
    if (duration.count() > 0)
        QThread::msleep(static_cast<unsigned long>(duration.count()));
}

void QtClock::beep()
{
    // Without a GUI application there is no platform to beep with.
    if (qobject_cast<QApplication *>(QCoreApplication::instance()))
        QApplication::beep();
}

} // namespace qm
