#include "ui/QtTimeFormatter.h"

#include <QDate>
#include <QLocale>
#include <QTime>

namespace tessivar::ui {

namespace {

QDate dateOf(const LocalDateTime& at) {
    return QDate(at.year, at.month, at.day);
}
QTime timeOf(const LocalDateTime& at) {
    return QTime(at.hour, at.minute, at.second);
}

} // namespace

std::string QtTimeFormatter::monthDayYear(const LocalDateTime& at) {
    return QLocale::system().toString(dateOf(at), QStringLiteral("MMM d yyyy")).toStdString();
}

std::string QtTimeFormatter::shortDate(const LocalDateTime& at) {
    return QLocale::system().toString(dateOf(at), QLocale::ShortFormat).toStdString();
}

// The locale's long time format carries seconds but also a time zone, which a log line
// does not want.
std::string QtTimeFormatter::timeOfDay(const LocalDateTime& at) {
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return QLocale::system().toString(timeOf(at), format.trimmed()).toStdString();
}

} // namespace tessivar::ui
