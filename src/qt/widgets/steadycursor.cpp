#include "qt/widgets/steadycursor.h"

#include <QEvent>
#include <QGuiApplication>
#include <QLineEdit>
#include <QStyleHints>

namespace qm
{
namespace
{

class SteadyCursor final : public QObject
{
public:
    explicit SteadyCursor(QLineEdit *field) : QObject(field), field_(field)
    {
        connect(field, &QLineEdit::textChanged, this, [this] {
            if (field_->hasFocus())
                apply(true);
        });
        field->installEventFilter(this);
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn)
            apply(true);
        else if (event->type() == QEvent::FocusOut)
            apply(false);
        return false;
    }

private:
    // The flash time is the application's; only the focused field sets it.
    void apply(bool focused)
    {
        QStyleHints *hints = QGuiApplication::styleHints();
        static const int normal = hints->cursorFlashTime();
        const bool steady = focused && field_->text().size() > SteadyCursorLength;
        hints->setCursorFlashTime(steady ? 0 : normal);
    }

    QLineEdit *field_;
};

} // namespace

void KeepCursorSteadyWhenLong(QLineEdit *field)
{
    new SteadyCursor(field);
}

} // namespace qm
