#pragma once
// The print system (the CUPS scheduler its client settings name), asked directly and never
// for longer than a few seconds an exchange. Qt's print support asks it without a limit: a
// scheduler that takes the connection and then stays silent would hold the program for
// minutes, so these questions come before Qt asks anything.

#include <QString>

namespace printing {

enum class SystemState {
    Answers,      // the scheduler answered
    Unreachable,  // no connection could be made
    Silent,       // connected, but no answer came in time
};

struct SystemCheck {
    SystemState state = SystemState::Unreachable;
    QString where;  // "127.0.0.1:16311", or the local socket's path
    // "the print system cannot be reached", "the print system at … does not answer";
    // empty when it answers.
    QString problem() const;
};

// Whether the scheduler answers a request now.
SystemCheck checkPrintSystem();

// Why the queue would not take a job now, in the print system's own words ("Destination
// \"q\" is not accepting jobs."), or why the print system could not be asked; empty when
// the queue takes jobs.
QString queueRefusal(const QString& queue);

// The queue's resolution as the print system has it: its chosen "Resolution" option, else
// its default; 0 when there is no such queue or the print system does not say.
int queueResolution(const QString& queue);

}  // namespace printing
