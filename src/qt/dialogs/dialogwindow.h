#pragma once
// A dialog's window: Escape and the close box are the dialog's rules to
// decide (hide, destroy), so the window never closes itself; its buttons'
// clicks go the same way. It may draw a picture as its background.

#include "console/views.h"
#include "qt/widgets/qtformview.h"

#include <QCloseEvent>
#include <QDialog>
#include <QImage>
#include <QPainter>
#include <QPushButton>

namespace qm
{

template <typename Id> class DialogWindow final : public QDialog
{
public:
    DialogEvents<Id> *events = nullptr; // none once the view is gone
    QImage background;

protected:
    void reject() override
    {
        if (events)
            events->escape();
    }
    void closeEvent(QCloseEvent *event) override
    {
        event->ignore();
        if (events)
            events->closeBox();
    }
    void paintEvent(QPaintEvent *event) override
    {
        if (background.isNull())
            return QDialog::paintEvent(event);
        QPainter(this).drawImage(QPoint(0, 0), background);
    }
};

// A dialog's view: its window built from `face`, every button's click told.
template <typename Id, typename Base = FormView<Id>, typename Events = DialogEvents<Id>>
class QtDialogView : public QtFormView<Id, Base>
{
public:
    QtDialogView(const FormFace<Id> &face, Events &events)
        : QtFormView<Id, Base>(new DialogWindow<Id>, face), events_(events)
    {
        dialog()->events = &events;
        for (const ControlFace<Id> &row : face.controls)
            if (auto *button = this->template widgetAs<QPushButton>(row.id))
                QObject::connect(button, &QPushButton::clicked, this->context(),
                                 [&events, id = row.id] { events.clicked(id); });
    }
    ~QtDialogView() override
    {
        if (dialog())
            dialog()->events = nullptr;
    }
    DialogWindow<Id> *dialog() const { return static_cast<DialogWindow<Id> *>(this->window()); }

protected:
    Events &events_;
};

} // namespace qm
