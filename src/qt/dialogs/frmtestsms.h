#pragma once
// The manual test message dialog. One instance: Send and Cancel hide it (its
// texts survive), the close box destroys it. Send hands the number, exactly
// as typed, to the test send it was given; only a refusal because an
// exchange is under way keeps the dialog open.

#include "send/sendcycle.h"

#include <QDialog>

#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace qm
{

using TestSend = std::function<SendCycleResult(const std::string &number)>;

class frmTestSMS final : public QDialog
{
    Q_OBJECT

public:
    static constexpr int ClientWidth = 334;
    static constexpr int ClientHeight = 210;

    explicit frmTestSMS(TestSend send, QWidget *parent = nullptr);

    QLabel *Label1 = nullptr;
    QLineEdit *txtSMSNumber = nullptr;
    QLabel *Label3 = nullptr;
    QLineEdit *txtSMSMessage = nullptr;
    QPushButton *cmdSend = nullptr;
    QPushButton *cmdCancel = nullptr;

signals:
    // The close box was used: this instance is on its way out.
    void discarded();

protected:
    // Escape presses cmdCancel; the close box destroys the dialog.
    void reject() override;
    void closeEvent(QCloseEvent *event) override;

private:
    void onSend();

    TestSend send_;
};

} // namespace qm
