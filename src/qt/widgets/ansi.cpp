#include "qt/widgets/ansi.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace qm
{
namespace
{

bool haveWindows1252()
{
    static const bool available = QStringEncoder("windows-1252").isValid();
    return available;
}

} // namespace

const char *ansiCodePageName()
{
    return haveWindows1252() ? "windows-1252" : "ISO-8859-1";
}

std::string toAnsi(const QString &text)
{
    if (haveWindows1252()) {
        QStringEncoder enc("windows-1252", QStringConverter::Flag::Stateless);
        const QByteArray bytes = enc.encode(text);
        return std::string(bytes.constData(), std::size_t(bytes.size()));
    }
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

QString fromAnsi(std::string_view bytes)
{
    const QByteArray raw(bytes.data(), qsizetype(bytes.size()));
    if (haveWindows1252()) {
        QStringDecoder dec("windows-1252", QStringConverter::Flag::Stateless);
        return dec.decode(raw);
    }
    return QString::fromLatin1(raw);
}

} // namespace qm
