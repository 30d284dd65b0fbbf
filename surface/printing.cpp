#include "surface/printing.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QByteArray>
#include <QPainter>
#include <QPrinter>
#include <cerrno>
#include <cstring>

#include "surface/rounding.h"

namespace printing {

namespace {
bool connects(int family, const sockaddr* address, socklen_t length) {
    const int fd = ::socket(family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) return false;
    bool ok = ::connect(fd, address, length) == 0;
    if (!ok && errno == EINPROGRESS) {
        pollfd p{fd, POLLOUT, 0};
        int error = 0;
        socklen_t size = sizeof error;
        ok = ::poll(&p, 1, 3000) == 1 &&
             ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
    }
    ::close(fd);
    return ok;
}

bool socketConnects(const QByteArray& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= static_cast<qsizetype>(sizeof address.sun_path)) return false;
    std::memcpy(address.sun_path, path.constData(), path.size());
    return connects(AF_UNIX, reinterpret_cast<const sockaddr*>(&address), sizeof address);
}

bool hostConnects(const QByteArray& server) {
    // "host", "host:port", "[v6 address]:port"
    QByteArray host = server, port = "631";
    const qsizetype close = server.indexOf(']');
    if (server.startsWith('[') && close > 0) {
        host = server.mid(1, close - 1);
        if (server.mid(close + 1).startsWith(':')) port = server.mid(close + 2);
    } else if (server.count(':') == 1) {
        host = server.left(server.indexOf(':'));
        port = server.mid(server.indexOf(':') + 1);
    }
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host.constData(), port.constData(), &hints, &found) != 0) return false;
    bool ok = false;
    for (addrinfo* a = found; a != nullptr && !ok; a = a->ai_next)
        ok = connects(a->ai_family, a->ai_addr, a->ai_addrlen);
    ::freeaddrinfo(found);
    return ok;
}
}  // namespace

bool printSystemReachable() {
    const QByteArray server = qgetenv("CUPS_SERVER");
    if (server.startsWith('/')) return socketConnects(server);
    if (!server.isEmpty()) return hostConnects(server);
    for (const char* socket : {"/run/cups/cups.sock", "/var/run/cups/cups.sock"})
        if (::access(socket, F_OK) == 0) return socketConnects(socket);
    return hostConnects("localhost");
}

QRect destination(int w, int h, int screenDpi, int printerDpi, double xMils, double yMils) {
    using surface::roundToInt;
    const double P = printerDpi, S = screenDpi;
    const int left = roundToInt(xMils / 1000.0 * P);
    const int top = roundToInt(yMils / 1000.0 * P);
    const int right = roundToInt((w / S + xMils / 1000.0) * P);
    const int bottom = roundToInt((h / S + yMils / 1000.0) * P);
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

QString printPicture(QPrinter& printer, const surface::Bitmap& picture, double xMils, double yMils,
                     int screenDpi, const QColor& printColor) {
    if (!printer.isValid()) return QStringLiteral("false to init");
    const int P = printer.logicalDpiX();
    const int S = screenDpi;
    if (P <= 0 || S <= 0) return QStringLiteral("Printer is Error");

    const auto jobError = [] { return QStringLiteral("Printer is Error  %1").arg(errno); };
    printer.setDocName(QStringLiteral("Marlisk Barcode Generator"));
    errno = 0;
    QPainter painter;
    if (!painter.begin(&printer)) return jobError();
    painter.setBrush(printColor);
    // Plain pixel replication: a bar edge must land on a printer dot, not be blended.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (!picture.isEmpty()) {
        const QRect dest = destination(picture.width(), picture.height(), S, P, xMils, yMils);
        painter.drawImage(dest, picture.image(), QRect(0, 0, picture.width(), picture.height()));
    }
    if (!painter.end()) return jobError();
    return {};
}

}  // namespace printing
