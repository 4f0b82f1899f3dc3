#pragma once
// A view's generic operations over the widgets of a window built from its
// face table. Orders never reach the console: the widgets' signals that an
// order causes are told apart (applying()) and not passed on.
//
// The view owns its window. Dropping the view cuts every connection made in
// its context(), hides the window and deletes it once the event being
// handled has returned, so a view may be dropped from inside one of its own
// events.

#include "qt/widgets/formbuilder.h"

#include <QPointer>
#include <QWidget>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qm
{

// Single-byte text of a line edit, label, button (caption) or list
// (selected entry); and the orders on them.
std::string WidgetText(const QWidget *w);
void SetWidgetText(QWidget *w, const std::string &text);
void SetListEntries(QWidget *list, const std::vector<std::string> &entries);
int ListSelection(const QWidget *list);
void SelectInList(QWidget *list, int index);

template <typename Id, typename Base> class QtFormView : public Base
{
public:
    QtFormView(QWidget *window, const FormFace<Id> &face)
        : window_(window), controls_(BuildForm(*window, face))
    {
    }
    ~QtFormView() override
    {
        context_.reset();
        if (window_) {
            window_->hide();
            window_->deleteLater();
        }
    }

    std::string text(Id c) const override { return WidgetText(widget(c)); }
    void setText(Id c, const std::string &text) override
    {
        Applying a(applying_);
        SetWidgetText(widget(c), text);
    }
    void setVisible(Id c, bool visible) override { widget(c)->setVisible(visible); }
    void setEnabled(Id c, bool enabled) override { widget(c)->setEnabled(enabled); }
    void setEntries(Id c, const std::vector<std::string> &entries) override
    {
        Applying a(applying_);
        SetListEntries(widget(c), entries);
    }
    int selected(Id c) const override { return ListSelection(widget(c)); }
    void select(Id c, int index) override
    {
        Applying a(applying_);
        SelectInList(widget(c), index);
    }
    void setFocus(Id c) override { widget(c)->setFocus(); }
    void show() override
    {
        window_->show();
        window_->raise();
        window_->activateWindow();
    }
    void hide() override { window_->hide(); }

    QWidget *window() const { return window_; }
    QWidget *widget(Id c) const { return controls_[std::size_t(c)]; }
    template <typename W> W *widgetAs(Id c) const { return qobject_cast<W *>(widget(c)); }
    // The control `w` is, if it is one of this window's.
    std::optional<Id> controlOf(const QWidget *w) const
    {
        for (std::size_t i = 0; i < controls_.size(); ++i)
            if (controls_[i] == w)
                return Id(i);
        return std::nullopt;
    }

protected:
    // The context of every connection to the view: none outlives it.
    QObject *context() const { return context_.get(); }
    // An order is being carried out: what a widget signals now is not the
    // operator's doing.
    bool applying() const { return applying_; }

private:
    struct Applying {
        explicit Applying(bool &flag) : flag_(flag), before_(std::exchange(flag, true)) {}
        ~Applying() { flag_ = before_; }
        bool &flag_;
        bool before_;
    };

    std::unique_ptr<QObject> context_ = std::make_unique<QObject>();
    QPointer<QWidget> window_;
    std::vector<QWidget *> controls_;
    bool applying_ = false;
};

} // namespace qm
