#include "surface/printsystem.h"

#include <cups/cups.h>

#include <iterator>
#include <memory>

#include "surface/rounding.h"

namespace printing {

namespace {
// How long one connection or one answer may take. A scheduler on this machine or the
// network answers in milliseconds; three seconds is an outage, not a slow day.
constexpr int kWaitMs = 3000;

// Called by the client library when a wait has run out: give up, and remember why.
int giveUp(http_t*, void* silent) {
    *static_cast<bool*>(silent) = true;
    return 0;
}

struct Close {
    void operator()(http_t* http) const { httpClose(http); }
};
struct Delete {
    void operator()(ipp_t* ipp) const { ippDelete(ipp); }
};
using Response = std::unique_ptr<ipp_t, Delete>;

// A connection to the scheduler with every wait bounded.
class Connection {
  public:
    Connection() {
        const char* server = cupsServer();
        where_ = server[0] == '/'
                     ? QString::fromLocal8Bit(server)
                     : QStringLiteral("%1:%2").arg(QString::fromLocal8Bit(server)).arg(ippPort());
        http_.reset(httpConnect2(server, ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                 kWaitMs, nullptr));
        if (http_) httpSetTimeout(http_.get(), kWaitMs / 1000.0, giveUp, &silent_);
    }

    // One request and its answer; null when none came (then state() says whether the
    // scheduler was silent).
    Response ask(ipp_t* request, const char* resource = "/") {
        if (!http_) {
            ippDelete(request);
            return nullptr;
        }
        return Response(cupsDoRequest(http_.get(), request, resource));
    }

    http_t* http() const { return http_.get(); }

    SystemCheck check() const {
        return {!http_ ? SystemState::Unreachable
                       : (silent_ ? SystemState::Silent : SystemState::Answers),
                where_};
    }

  private:
    std::unique_ptr<http_t, Close> http_;
    bool silent_ = false;
    QString where_;
};

ipp_t* queueRequest(ipp_op_t operation, const QString& queue) {
    ipp_t* request = ippNewRequest(operation);
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                     "/printers/%s", queue.toUtf8().constData());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
                 cupsUser());
    return request;
}

// "600dpi", "300x600dpi": the horizontal dots per inch; 0 for anything else.
int dotsPerInch(const char* resolution) {
    if (resolution == nullptr) return 0;
    const QString text = QString::fromLatin1(resolution);
    if (!text.endsWith(QLatin1String("dpi"))) return 0;
    bool ok = false;
    const int dpi = text.chopped(3).section(QLatin1Char('x'), 0, 0).toInt(&ok);
    return ok && dpi > 0 ? dpi : 0;
}
}  // namespace

QString SystemCheck::problem() const {
    switch (state) {
        case SystemState::Answers:
            return {};
        case SystemState::Unreachable:
            return QStringLiteral("the print system cannot be reached");
        case SystemState::Silent:
            return QStringLiteral("the print system at %1 does not answer").arg(where);
    }
    return {};
}

SystemCheck checkPrintSystem() {
    Connection c;
    // The cheapest question every scheduler answers: which queue is the default.
    c.ask(ippNewRequest(IPP_OP_CUPS_GET_DEFAULT));
    return c.check();
}

QString queueRefusal(const QString& queue) {
    Connection c;
    ipp_t* request = queueRequest(IPP_OP_GET_PRINTER_ATTRIBUTES, queue);
    static const char* const wanted[] = {"printer-is-accepting-jobs", "printer-state-message"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  std::size(wanted), nullptr, wanted);
    const Response answer = c.ask(request);
    if (const SystemCheck state = c.check(); state.state != SystemState::Answers)
        return state.problem();
    // A queue the scheduler does not know here (one it would make on demand for a printer
    // on the network) is left to the job itself.
    if (!answer || cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE) return {};
    ipp_attribute_t* accepting =
        ippFindAttribute(answer.get(), "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
    if (accepting == nullptr || ippGetBoolean(accepting, 0)) return {};
    // The reason whoever stopped the queue gave ("Rejecting Jobs" when they gave none).
    ipp_attribute_t* message =
        ippFindAttribute(answer.get(), "printer-state-message", IPP_TAG_TEXT);
    const QString reason =
        message ? QString::fromUtf8(ippGetString(message, 0, nullptr)) : QString();
    const QString refusal = QStringLiteral("the queue '%1' does not accept jobs").arg(queue);
    return reason.isEmpty() ? refusal : refusal + QStringLiteral(": ") + reason;
}

int queueResolution(const QString& queue) {
    Connection c;
    if (!c.http()) return 0;
    cups_dest_t* dest = cupsGetNamedDest(c.http(), queue.toLocal8Bit().constData(), nullptr);
    if (dest == nullptr) return 0;
    int dpi = dotsPerInch(cupsGetOption("Resolution", dest->num_options, dest->options));
    if (dpi == 0) {
        if (cups_dinfo_t* info = cupsCopyDestInfo(c.http(), dest)) {
            if (ipp_attribute_t* a =
                    cupsFindDestDefault(c.http(), dest, info, "printer-resolution")) {
                int yres = 0;
                ipp_res_t units = IPP_RES_PER_INCH;
                const int xres = ippGetResolution(a, 0, &yres, &units);
                dpi = units == IPP_RES_PER_INCH ? xres : surface::roundToInt(xres * 2.54);
            }
            cupsFreeDestInfo(info);
        }
    }
    cupsFreeDests(1, dest);
    return dpi;
}

}  // namespace printing
