#pragma once

#include <QObject>

class QSocketNotifier;

// Turns a polite request to end the program (SIGTERM, SIGINT, SIGHUP: a session logging out,
// a service manager) into an ordinary close of the main window, so that the remembered values
// are saved as on any other close.
class TerminationWatcher final : public QObject {
    Q_OBJECT

public:
    explicit TerminationWatcher(QObject* parent = nullptr);

signals:
    void terminationRequested();

private:
    QSocketNotifier* m_notifier = nullptr;
};
