#pragma once
// A close the system asks for: SIGTERM, SIGHUP or SIGINT (kill, the end of
// the session that started the program, Ctrl+C). The handler only writes a
// byte to a pipe and sets a flag; the event loop reads the pipe and emits
// requested(), so the console closes on its own thread, also inside a send
// cycle's waits. A blocking wait, where no event is served, asks pending().

#include <QObject>

class QSocketNotifier;

namespace qm
{

class SystemCloseWatcher final : public QObject
{
    Q_OBJECT

public:
    // One per process: installs the signal handlers.
    explicit SystemCloseWatcher(QObject *parent = nullptr);
    ~SystemCloseWatcher() override;

    // A close was asked for since the program started.
    bool pending() const;

signals:
    void requested();

private:
    void onReadable();
    QSocketNotifier *notifier_ = nullptr;
};

} // namespace qm
