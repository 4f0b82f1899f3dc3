#pragma once
// The operator console: the designed face plus its behaviour (start-up,
// settings editing). Its fields are the gateway's live settings, so it is
// also the ConsoleFields and StatusLine the core routines read and write.

#include "config/configfile.h"
#include "console/consoleface.h"
#include "core/gateway.h"
#include "platform/filedialog.h"

#include <QObject>

#include <memory>

class QComboBox;
class QSystemTrayIcon;

namespace qm
{

// What the console is given: the world outside it.
struct ConsolePlatform {
    SerialPort &port;
    EventPump &pump;
    Clock &clock;
    Notifier &notifier;
    FileDialog &fileDialog;
    ConsoleTimers timers;
    std::string programFolder; // the executable's folder, with trailing separator
    // Retries a start of automatic sending that a test message held up.
    Timer *startRetry = nullptr;
};

class SMSConsole final : public QObject, public ConsoleFields, public StatusLine
{
    Q_OBJECT

public:
    explicit SMSConsole(ConsolePlatform platform, QObject *parent = nullptr);
    ~SMSConsole() override;

    // Runs the start-up sequence once: flags, settings file, lists, fields.
    void startUp();

    frmSMSConsole &form() { return form_; }
    Gateway &gateway() { return gw_; }
    const ConsoleSettings &loadedSettings() const { return loaded_; }
    QSystemTrayIcon *trayIcon() const { return tray_.get(); }

    void ShowUCPFields();
    void ShowTAPFields();

    // ConsoleFields
    std::string smsCenterNumber() const override;
    std::string protocol() const override;
    std::string operationType() const override;
    std::string authenticationCode() const override;
    std::string legitimizationCode() const override;
    std::string storedText() const override;
    std::string deliveredText() const override;
    int modemIndex() const override;
    std::string baudRate() const override;
    std::string smsType() const override;

    // StatusLine
    void setText(const std::string &text) override;
    std::string text() const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void connectHandlers();
    void fillLists();
    void putLoadedValues();
    void onProtocolSwitch();
    void onSMSCenterNumberChanged();
    void saveIfLoaded();
    void onStartSendSMS();
    void retryStartLater();
    void onStartRetry();
    void listAction(QComboBox *list);

    frmSMSConsole form_;
    ConsolePlatform platform_;
    Gateway gw_;
    ConsoleSettings loaded_;
    std::unique_ptr<QSystemTrayIcon> tray_;
};

} // namespace qm
