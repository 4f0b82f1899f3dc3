#include "qt/widgets/qtformview.h"

#include "qt/widgets/ansi.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace qm
{

std::string WidgetText(const QWidget *w)
{
    if (auto *field = qobject_cast<const QLineEdit *>(w))
        return toAnsi(field->text());
    if (auto *label = qobject_cast<const QLabel *>(w))
        return toAnsi(label->text());
    if (auto *button = qobject_cast<const QAbstractButton *>(w))
        return toAnsi(button->text());
    if (auto *list = qobject_cast<const QComboBox *>(w))
        return toAnsi(list->currentText());
    return {};
}

void SetWidgetText(QWidget *w, const std::string &text)
{
    const QString shown = fromAnsi(text);
    if (auto *field = qobject_cast<QLineEdit *>(w)) {
        // A field being typed in keeps its cursor as far from the end as it
        // was (a refused character taken out, the cursor stays where it was).
        const qsizetype fromEnd = field->text().size() - field->cursorPosition();
        field->setText(shown);
        if (field->hasFocus())
            field->setCursorPosition(int(std::max<qsizetype>(0, shown.size() - fromEnd)));
    } else if (auto *label = qobject_cast<QLabel *>(w)) {
        label->setText(shown);
    } else if (auto *button = qobject_cast<QAbstractButton *>(w)) {
        button->setText(shown);
    }
}

void SetListEntries(QWidget *w, const std::vector<std::string> &entries)
{
    auto *list = qobject_cast<QComboBox *>(w);
    if (!list)
        return;
    list->clear();
    for (const std::string &e : entries)
        list->addItem(fromAnsi(e));
    list->setCurrentIndex(-1);
}

int ListSelection(const QWidget *w)
{
    auto *list = qobject_cast<const QComboBox *>(w);
    return list ? list->currentIndex() : -1;
}

void SelectInList(QWidget *w, int index)
{
    if (auto *list = qobject_cast<QComboBox *>(w))
        list->setCurrentIndex(index);
}

} // namespace qm
